// Nesting instances for tests and benchmarks: the NESTTXT v1 reader, a
// seeded generator of polygons, and parts and jobs built as the nesting run
// builds them.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/search.h"

namespace nestdata {

struct Shape {
  std::vector<RealPoint> outline;  // implicitly closed, first point not repeated
  int32_t quantity = 1;
};

struct Instance {
  std::string name;
  double height = 0;  // strip (or sheet) height, instance units
  double width = 0;
  std::vector<int> rotations;
  std::vector<Shape> shapes;
  int32_t Quantity() const;
};

// Reads NESTTXT v1. On failure returns false and says why in *error.
bool ParseNestTxt(const std::string& text, Instance* out, std::string* error);
bool LoadNestTxt(const std::string& path, Instance* out, std::string* error);

// The folder of the shared data sets, or "" when the build does not know it.
std::string DatasetsDir();

struct GeneratorParams {
  uint32_t seed = 1;
  int types = 8;
  int max_quantity = 3;
  double min_size = 40;   // points
  double max_size = 300;  // points
  int concave_percent = 50;
};
// Random convex and concave (star-shaped, notched) polygons, in points.
Instance GenerateInstance(const GeneratorParams& params);

// The parts of an instance, built as the nesting run builds them: every
// copy's outline as straight segments, its bounds, the fine (tolerance 1.0)
// and, above 10 points, the coarse (tolerance 10.0) polygon in Outline mode,
// the rectangle of the bounds otherwise; sorted by the longer side of the
// bounds, largest first, stable. Owns the parts' point arrays.
class PartSet {
 public:
  PartSet() = default;
  PartSet(const Instance& instance, double scale, int16_t outline_mode);
  PartSet(const PartSet& other);
  PartSet& operator=(const PartSet&) = delete;
  ~PartSet();

  NestPart* data() { return parts_.data(); }
  const NestPart* data() const { return parts_.data(); }
  int32_t size() const { return static_cast<int32_t>(parts_.size()); }
  NestPart& operator[](int32_t i) { return parts_[static_cast<size_t>(i)]; }
  const NestPart& operator[](int32_t i) const { return parts_[static_cast<size_t>(i)]; }
  // Total area of the fine outlines (shoelace), points squared.
  double Area() const;

 private:
  std::vector<NestPart> parts_;
};

// Parts from explicit outlines, one copy each, sorted as PartSet sorts them
// (by the longer side, stable).
PartSet PartsOf(const std::vector<std::vector<RealPoint>>& outlines, int16_t outline_mode);
// The outline of a w x h rectangle with a corner at the origin.
std::vector<RealPoint> Rect(double w, double h);

// A part from an explicit outline (points, first not repeated).
NestPart MakePart(const std::vector<RealPoint>& outline, int16_t outline_mode);

// Sheets of width x height millimetres with the given margins, laid on a
// canvas centred on the origin.
struct SheetSize {
  double width_mm = 1000;
  double height_mm = 1000;
  double margin_mm = 0;
};

struct JobOptions {
  int16_t direction = 0;
  int16_t baseline = 0;
  int16_t nesting_type = 1;
  int16_t outline_mode = 0;
  int16_t one_page = 0;
};

NestJob MakeJob(PartSet* parts, const SheetSize& sheet, const JobOptions& options);
// The settings record matching the sheet.
SearchSettings MakeSettings(const SheetSize& sheet, double spacing_mm, int16_t rotation_on,
                            int16_t rotation_mode, int16_t multithread);

// The first difference between two searches' results, or "" when every part
// has the same sheet centre, centre, rotation and placed flag, bit for bit.
std::string FirstDifference(const PartSet& a, const PartSet& b);

// How many sheets the parts use (distinct area centres of placed parts).
int32_t SheetsUsed(const PartSet& parts);

// A digest (FNV-1a, 16 hex digits) of the fields FirstDifference compares,
// bit for bit: two builds that place alike print the same digest, which
// compares runs too large for the oracle.
std::string PlacementDigest(const PartSet& parts);

}  // namespace nestdata
