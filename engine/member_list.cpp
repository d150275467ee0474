// The member list: selected objects, their group lines, and which belongs to which.
#include "engine/member_list.h"

#include <cstdlib>
#include <vector>

#include "art/art_reading.h"
#include "art/group_lines.h"
#include "art/path_geometry.h"
#include "plugin/suite_art.h"
#include "plugin/suite_table.h"

namespace {

// Appends one entry to an array owned by the list; false (array unchanged)
// when it cannot grow.
template <typename T>
bool Append(T** array, int32_t* count, const T& entry) {
  void* grown = std::realloc(*array, sizeof(T) * (static_cast<size_t>(*count) + 1));
  if (!grown) return false;
  *array = static_cast<T*>(grown);
  (*array)[(*count)++] = entry;
  return true;
}

}  // namespace

void FreeMemberList(MemberList* list) {
  if (!list) return;
  std::free(list->group_lines);
  std::free(list->members);
  list->group_lines = nullptr;
  list->members = nullptr;
  list->group_line_count = 0;
  list->member_count = 0;
}

void MembershipTest(ArtHandle art, ArtHandle group_line_path, int16_t* result) {
  switch (TypeOf(art)) {
    case kArtTypeGroup: {
      const bool clipped = [&] {
        const GroupSuite* s = HeldSuite<GroupSuite>();
        bool c = false;
        return s && s->GetGroupClipped(art, &c) == kNoErr && c;
      }();
      if (clipped) {
        if (ArtHandle clip = FindClippingArt(art)) MembershipTest(clip, group_line_path, result);
        return;
      }
      [[fallthrough]];
    }
    case kArtTypeCompoundPath:
      for (ArtHandle child : ChildrenOf(art)) {
        MembershipTest(child, group_line_path, result);
        if (*result == kMemberByOutline) return;
      }
      return;
    case kArtTypePath:
      if (PathsOverlap(group_line_path, art)) *result = kMemberByOutline;
      return;
    default:
      if (*result == kNotAMember) {
        const RealRect a = BoundsOf(art);
        const RealRect p = BoundsOf(group_line_path);
        if (RectOverlap(&a, &p)) *result = kMemberByBounds;
      }
      return;
  }
}

namespace {

bool BuildList(MemberList* list, int16_t merge) {
  *list = MemberList{nullptr, 0, nullptr, 0};
  DeleteGroupLineLayer();
  for (LayerHandle layer : DocumentLayers()) {
    if (!LayerUsable(layer)) continue;
    for (ArtHandle art : TopLevelArtOf(layer)) {
      if (!ArtSelected(art)) continue;
      if (!Append(&list->members, &list->member_count, MemberEntry{art, BoundsOf(art), -1, 0})) {
        FreeMemberList(list);
        return false;
      }
    }
  }
  if (list->member_count == 0) return true;

  if (BuildGroupLines(merge) != kNoErr) {
    FreeMemberList(list);
    return false;
  }

  const LayerSuite* layers = HeldSuite<LayerSuite>();
  LayerHandle group_layer = nullptr;
  if (!layers ||
      NoteHostError(layers->GetLayerByTitle(kGroupLineLayerTitle, &group_layer)) != kNoErr ||
      !group_layer)
    return true;
  for (ArtHandle line : TopLevelArtOf(group_layer)) {
    const std::vector<ArtHandle> paths = CollectPaths(line);
    if (paths.empty()) continue;
    if (!Append(&list->group_lines, &list->group_line_count,
                GroupLineEntry{line, paths[0], BoundsOf(line)})) {
      FreeMemberList(list);
      return false;
    }
  }

  if (merge == 0) {
    // One line per object, named by the object's 1-based position among
    // the members. Lines and members are in the same order, but an object
    // without pieces (an image, a text) has no line, so the position is
    // read from the name rather than counted: a line is never given to the
    // wrong object.
    for (int32_t l = 0; l < list->group_line_count; ++l) {
      const int32_t id = GroupLineObjectId(list->group_lines[l].art);
      if (id >= 1 && id <= list->member_count) list->members[id - 1].group = l;
    }
    return true;
  }
  for (int32_t j = 0; j < list->member_count; ++j) {
    MemberEntry& member = list->members[j];
    const RealPoint c = RectCenter(member.bounds);
    for (int32_t l = 0; l < list->group_line_count; ++l) {
      const GroupLineEntry& line = list->group_lines[l];
      if (!RectOverlap(&line.bounds, &member.bounds)) continue;
      int16_t result = kNotAMember;
      MembershipTest(member.art, line.first_path, &result);
      if (result == kMemberByOutline) {
        member.group = l;
        break;
      }
      if (result == kMemberByBounds) {
        const double d = PointLength(c, RectCenter(line.bounds));
        if (member.group < 0 || member.distance > d) {
          member.group = l;
          member.distance = d;
        }
      }
    }
  }
  return true;
}

}  // namespace

bool BuildMemberList(MemberList* list, int16_t merge) {
  if (!list) return false;
  // A read the host refused for want of memory would look like an object
  // that is not selected or has no outline: the list is not to be trusted.
  ClearHostOutOfMemory();
  if (!BuildList(list, merge)) return false;
  if (HostOutOfMemory()) {
    FreeMemberList(list);
    return false;
  }
  return true;
}
