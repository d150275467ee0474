// The host's own effects as the plug-in plays them: selection, offset,
// union, outline conversion and compound-path release.
#pragma once

#include <cstdint>

#include "plugin/host_types.h"

// Half the length of the placeholder path that keeps a union's parent
// non-empty while the pathfinder plays (points).
constexpr double kPlaceholderHalfLength = 5;

// No art of any layer is selected afterwards.
void DeselectAll();

// The art and everything inside its groups and compound paths get the flag.
void SetSelectedDeep(ArtHandle art, bool on);

// Plays the host's offset on the art alone (offset in points, join code,
// miter limit), then disposes the art: the offset result stays. Without a
// parameter block nothing happens and the art stays.
void OffsetPath(ArtHandle art, double offset, int16_t join, double miter_limit);

// Replaces the content of the art (normally a group) by the host's union of
// it. A placeholder path sits on top inside the art's parent while the union
// plays, so the parent is never left empty, and is disposed afterwards.
void UniteArt(ArtHandle art);

// Replaces the art in place by its outline form: strokes become filled areas.
void ConvertToOutline(ArtHandle art);

// Releases every compound path inside the art into a group of its paths,
// each painted with the compound path's style (clip, clip lock and even-odd
// cleared). Returns how many were released.
int32_t ReleaseCompoundPaths(ArtHandle art);

// Releases the art's compound paths; with unite, once anything was released,
// gathers the art's content into one group and unites it. Returns how many
// compound paths were released.
int32_t ReleaseAndUnite(ArtHandle art, bool unite);
