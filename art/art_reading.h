// Reading art through the held art suite: its kind, its children and its
// bounds, with the answers the group lines, the hit tests, the member list
// and the runs all give when the host cannot answer.
#pragma once

#include <vector>

#include "engine/geometry.h"
#include "plugin/host_types.h"

// The host's art type code, kArtTypeUnknown when there is no suite, no art
// or the host refuses.
int16_t TypeOf(ArtHandle art);

// The children of a group or compound path in paint order (topmost first).
// The walk stops where the host cannot give the next sibling, so a refused
// answer shortens the list instead of ending the command.
std::vector<ArtHandle> ChildrenOf(ArtHandle art);

// The art's bounds, strokes excluded; an empty rectangle at the origin when
// the host cannot give them.
RealRect BoundsOf(ArtHandle art);

// A read the host refuses for want of memory gives the answers above as if
// there were nothing to read (no child, no selection, no tag). A run must
// not take it for that: a missed object would stay behind unnested while
// the run reports success. So the reading helpers of art/ note every
// kErrOutOfMemory here; a run clears the note when it starts and asks it
// before it changes the user's art. Returns err.
HostErr NoteHostError(HostErr err);
void ClearHostOutOfMemory();
bool HostOutOfMemory();
