// What a nesting run did, read from the document afterwards: the sheets
// (artboards), every copy with its object, sheet, centre and rotation, and
// the part area over the nesting area of each sheet; as a summary and as JSON.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "engine/geometry.h"
#include "host/document.h"

namespace cli {

// The tag the command line puts on each object it hands to the plug-in:
// copies carry their tags, so every copy names its object afterwards. It is
// removed again before anything is written.
inline constexpr char kObjectTag[] = "zolvane_command_object";

// An object handed to the plug-in, as it was before the run.
struct TrackedObject {
  std::string name;               // its id or name ("" when it has none)
  int quantity = 1;               // copies asked for (at least 1)
  host::Art* art = nullptr;       // the object itself (gone after a successful run)
  ArtHandle handle = nullptr;     // its handle, to see whether it is still there
  std::vector<RealPoint> points;  // anchors and corners, in tree order (points)
  RealPoint centre{};             // centre of its bounds (points)
  double area = 0;                // area of its outline (square points)
};

// Records the objects and tags them with their index.
std::vector<TrackedObject> TrackObjects(host::Document& doc,
                                        const std::vector<host::Art*>& objects);
// Removes the tag from every art of the document.
void UntrackObjects(host::Document& doc);

struct CopyRecord {
  int object = 0;       // index into the tracked objects
  int sheet = -1;       // index of the artboard holding its centre, -1 for none
  RealPoint centre{};   // mm from the sheet's top-left corner, y down
  double rotation = 0;  // degrees counter-clockwise, 0 to 360
  // Its bounds (geometry, strokes left out) in mm from the sheet's top-left
  // corner, y down: left, top, right, bottom.
  std::array<double, 4> bounds{};
};

struct SheetRecord {
  RealRect rect{};          // the artboard (points, y up)
  double nesting_area = 0;  // mm², inside the margins
  double part_area = 0;     // mm², outlines of the copies on it
  int parts = 0;
};

struct NestReport {
  std::string input;
  std::vector<std::string> outputs;
  std::vector<SheetRecord> sheets;
  std::vector<CopyRecord> copies;
  std::vector<int> placed;          // copies per tracked object
  std::array<double, 4> margins{};  // mm, left top right bottom
  double elapsed = 0;               // seconds, the whole command
};

// Reads the document after the run. margins are the sheet margins in mm.
NestReport CollectReport(const host::Document& doc, const std::vector<TrackedObject>& objects,
                         const std::array<double, 4>& margins);

// The summary printed after a run.
std::string FormatSummary(const NestReport& report, const std::vector<TrackedObject>& objects);
// The same as JSON.
std::string FormatJsonReport(const NestReport& report, const std::vector<TrackedObject>& objects);

}  // namespace cli
