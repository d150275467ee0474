// Reading art through the held art suite: kind, children and bounds.
#include "art/art_reading.h"

#include <atomic>

#include "plugin/suite_art.h"
#include "plugin/suite_table.h"

namespace {
// Set from the main thread, which alone calls the host; atomic so that a
// helper thread may ask.
std::atomic<bool> g_out_of_memory{false};
}  // namespace

HostErr NoteHostError(HostErr err) {
  if (err == kErrOutOfMemory) g_out_of_memory.store(true, std::memory_order_relaxed);
  return err;
}

void ClearHostOutOfMemory() {
  g_out_of_memory.store(false, std::memory_order_relaxed);
}

bool HostOutOfMemory() {
  return g_out_of_memory.load(std::memory_order_relaxed);
}

int16_t TypeOf(ArtHandle art) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  int16_t type = kArtTypeUnknown;
  if (!s || !art || NoteHostError(s->GetArtType(art, &type)) != kNoErr) return kArtTypeUnknown;
  return type;
}

std::vector<ArtHandle> ChildrenOf(ArtHandle art) {
  std::vector<ArtHandle> out;
  const ArtSuite* s = HeldSuite<ArtSuite>();
  ArtHandle child = nullptr;
  if (!s || !art || NoteHostError(s->GetArtFirstChild(art, &child)) != kNoErr) return out;
  while (child) {
    out.push_back(child);
    ArtHandle next = nullptr;
    if (NoteHostError(s->GetArtSibling(child, &next)) != kNoErr) break;
    child = next;
  }
  return out;
}

RealRect BoundsOf(ArtHandle art) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  RealRect r{0, 0, 0, 0};
  if (s && art) NoteHostError(s->GetArtBounds(art, &r));
  return r;
}
