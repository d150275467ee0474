// Reading art through the held art suite: kind, children and bounds.
#include "art/art_reading.h"

#include "plugin/suite_art.h"
#include "plugin/suite_table.h"

int16_t TypeOf(ArtHandle art) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  int16_t type = kArtTypeUnknown;
  if (!s || !art || s->GetArtType(art, &type) != kNoErr) return kArtTypeUnknown;
  return type;
}

std::vector<ArtHandle> ChildrenOf(ArtHandle art) {
  std::vector<ArtHandle> out;
  const ArtSuite* s = HeldSuite<ArtSuite>();
  ArtHandle child = nullptr;
  if (!s || !art || s->GetArtFirstChild(art, &child) != kNoErr) return out;
  while (child) {
    out.push_back(child);
    ArtHandle next = nullptr;
    if (s->GetArtSibling(child, &next) != kNoErr) break;
    child = next;
  }
  return out;
}

RealRect BoundsOf(ArtHandle art) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  RealRect r{0, 0, 0, 0};
  if (s && art) s->GetArtBounds(art, &r);
  return r;
}
