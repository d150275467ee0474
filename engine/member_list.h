// The member list of a nesting run: every selected object linked to the group
// line that stands for it, and the tests that decide the link.
//
// The records are read by the copy step of art/ (PlaceGroupCopies), which
// includes this header for them alone; the functions are built in the
// nesting library (engine/CMakeLists.txt), which sits above art/.
#pragma once

#include <cstdint>

#include "engine/geometry.h"
#include "plugin/host_types.h"

// One group line on the layer "<<Zolvane Group>>".
struct GroupLineEntry {
  ArtHandle art;         // the group line (a group of that layer)
  ArtHandle first_path;  // the first path found in it
  RealRect bounds;       // bounds of the group line
};

// One selected top-level object of a usable layer.
struct MemberEntry {
  ArtHandle art;    // the object; null once it has been removed
  RealRect bounds;  // its bounds when the list was built
  int32_t group;    // index of its group line, -1 for none
  double distance;  // centre distance that chose the group line by bounds, 0 at first
};

// Owns both arrays (allocated with malloc/realloc); FreeMemberList frees them.
struct MemberList {
  GroupLineEntry* group_lines;
  int32_t group_line_count;
  MemberEntry* members;
  int32_t member_count;
};

// Results of MembershipTest.
enum MembershipResult : int16_t {
  kNotAMember = 0,
  kMemberByOutline = 1,
  kMemberByBounds = 2,
};

// Clears the list, deletes any old group-line layer, collects the selected
// top-level objects of the usable layers, draws their group lines
// (BuildGroupLines with merge) and links every object to its group line.
// merge is the setting consider_object_overlap. Returns false when a list
// could not grow or the host could not draw the group lines (out of
// memory): the list is then left empty.
bool BuildMemberList(MemberList* list, int16_t merge);

// Frees both arrays and sets the counts to 0. A zeroed list is accepted.
void FreeMemberList(MemberList* list);

// Whether the art belongs to the group line whose first path is
// group_line_path: *result (0 on entry) becomes kMemberByOutline when an
// outline of the art overlaps the path, kMemberByBounds when only the bounds
// of art that has no outline overlap it.
void MembershipTest(ArtHandle art, ArtHandle group_line_path, int16_t* result);
