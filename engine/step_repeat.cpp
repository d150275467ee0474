// Step and repeat over the host: the selection and size checks, the
// initial turn, the grown sample, the grid or lattice of copies, and the
// cleanup that keeps the user's objects unless copies were made.
#include "engine/step_repeat.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>
#include <vector>

#include "art/art_reading.h"
#include "art/effects.h"
#include "art/group_lines.h"
#include "engine/lattice.h"
#include "engine/member_list.h"
#include "engine/nesting_run.h"
#include "engine/run_texts.h"
#include "plugin/globals.h"
#include "plugin/suite_art.h"
#include "plugin/suite_path.h"
#include "plugin/suite_table.h"
#include "plugin/suite_ui.h"

namespace {

// The offset that grows the sample: join type 0 (mitre), mitre limit 4.
constexpr int16_t kSampleJoin = 0;
constexpr double kSampleMiterLimit = 4.0;

bool BoundsOf(ArtHandle art, RealRect* bounds) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  return s && art && s->GetArtBounds(art, bounds) == kNoErr;
}

bool IsIdentity(const RealMatrix& m) {
  return m.a == 1 && m.b == 0 && m.c == 0 && m.d == 1 && m.tx == 0 && m.ty == 0;
}

RealMatrix TurnAbout(RealPoint c, double angle) {
  RealMatrix m;
  MatrixSetTranslate(&m, -c.x, -c.y);
  MatrixConcatRotate(&m, angle);
  MatrixConcatTranslate(&m, c.x, c.y);
  return m;
}

bool Transform(ArtHandle art, const RealMatrix& m) {
  const TransformArtSuite* t = HeldSuite<TransformArtSuite>();
  return t && t->TransformArt(art, &m, kTransformLineScale, kTransformOptionsPlace) == kNoErr;
}

void Dispose(ArtHandle art) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  if (s && art) s->DisposeArt(art);
}

bool SegmentsOf(ArtHandle path, std::vector<PathSegment>* out) {
  const PathSuite* p = HeldSuite<PathSuite>();
  int32_t count = 0;
  if (!p || p->GetPathSegmentCount(path, &count) != kNoErr || count <= 0) return false;
  out->resize(static_cast<size_t>(count));
  return p->GetPathSegments(path, 0, count, out->data()) == kNoErr;
}

// The copies of a lattice of the grown sample, or false when no sample
// could be made (the offset failed or gave no closed outline).
bool LatticeOfSample(ArtHandle shape, const RealMatrix& r0, const RealRect& area,
                     const StepRepeatSettings& s, std::vector<RealMatrix>* copies) {
  const ArtSuite* art = HeldSuite<ArtSuite>();
  const LayerSuite* layers = HeldSuite<LayerSuite>();
  if (!art || !layers) return false;
  LayerHandle layer = nullptr;
  ArtHandle layer_group = nullptr;
  if (layers->GetCurrentLayer(&layer) != kNoErr || !layer ||
      art->GetLayerGroup(layer, &layer_group) != kNoErr || !layer_group) {
    return false;
  }
  ArtHandle holder = nullptr;
  if (art->NewArt(kArtTypeGroup, kPlaceInsideOnTop, layer_group, &holder) != kNoErr || !holder) {
    return false;
  }
  // The sample is temporary art in the user's layer: it goes however this
  // ends, out of memory in the lattice search included.
  struct Disposer {
    ArtHandle art;
    ~Disposer() { Dispose(art); }
  } disposer{holder};
  bool made = false;
  ArtHandle duplicate = nullptr;
  if (art->DuplicateArt(shape, kPlaceInsideOnTop, holder, &duplicate) == kNoErr && duplicate) {
    if (!IsIdentity(r0)) Transform(duplicate, r0);
    // Grown outlines that do not cross are at least v apart.
    OffsetPath(duplicate, s.spacing / 2, kSampleJoin, kSampleMiterLimit);
    const ArtHandle sample = ChooseShape(holder, false);
    std::vector<PathSegment> segments;
    RealRect bounds{0, 0, 0, 0};
    if (sample && SegmentsOf(sample, &segments) && BoundsOf(sample, &bounds)) {
      LatticeInput in;
      in.segments = segments.data();
      in.segment_count = static_cast<int32_t>(segments.size());
      in.sample_bounds = bounds;
      in.area = area;
      in.spacing = s.spacing;
      in.toward_baseline = s.toward_baseline;
      in.toward_mode = s.toward_mode;
      in.enable_anytime_rotation = s.enable_anytime_rotation;
      in.workers = s.workers;
      const LatticeResult lattice = LatticeSearch(in);
      // Not "nothing fits": the run reports it as out of memory.
      if (lattice.out_of_memory) throw std::bad_alloc();
      *copies = LatticeMatrices(lattice, RectCenter(bounds), area, &r0);
      made = true;
    }
  }
  return made;
}

}  // namespace

void ShowRunAlert(const char* text) {
  if (const UserSuite* user = HeldSuite<UserSuite>()) user->MessageAlert(text);
}

StepRepeatSettings StepRepeatSettingsFrom(const PluginGlobals& g) {
  StepRepeatSettings s;
  s.toward_baseline = g.toward_baseline;
  s.toward_mode = g.toward_mode;
  s.outline_mode = g.outline_mode;
  s.consider_object_overlap = g.consider_object_overlap;
  s.enable_initial_rotation = g.enable_initial_rotation;
  s.enable_anytime_rotation = g.enable_anytime_rotation;
  s.anytime_rotation_mode = g.anytime_rotation_mode;
  s.spacing = g.cur_param.collection_margin * PointsPerMm;
  s.language = g.language;
  return s;
}

bool StepRepeatTooLarge(const RealRect& bounds, const RealRect& area, const StepRepeatSettings& s) {
  const double w = RectWidth(bounds), h = RectHeight(bounds);
  const double big_w = RectWidth(area), big_h = RectHeight(area);
  if (!std::isfinite(w) || !std::isfinite(h)) return true;
  const bool turns = s.enable_initial_rotation != 0 ||
                     (s.enable_anytime_rotation != 0 && s.anytime_rotation_mode > 0);
  if (turns) return (w > big_w && w > big_h) || (h > big_w && h > big_h);
  // Copies keep the object's orientation on every baseline (the lattice's
  // pass turns only its own frame), so the object must fit the area as it
  // stands.
  return w > big_w || h > big_h;
}

RealMatrix InitialTurn(ArtHandle shape, double along) {
  RealMatrix identity;
  MatrixSetIdentity(&identity);
  RealRect start{0, 0, 0, 0};
  const ArtSuite* art = HeldSuite<ArtSuite>();
  if (!art || !BoundsOf(shape, &start)) return identity;
  const RealPoint centre = RectCenter(start);
  double least = std::min(RectWidth(start), RectHeight(start));
  double angle = 0;
  RealRect best = start;
  ArtHandle probe = nullptr;
  if (art->DuplicateArt(shape, kPlaceAbove, shape, &probe) == kNoErr && probe) {
    const RealMatrix step = TurnAbout(centre, kFiveDegrees);
    for (int n = 1; n <= kPreRotationTurns; ++n) {
      RealRect b{0, 0, 0, 0};
      if (!Transform(probe, step) || !BoundsOf(probe, &b)) break;
      const double side = std::min(RectWidth(b), RectHeight(b));
      if (side < least - kPreRotationGain) {
        least = side;
        angle = n * kFiveDegrees;
        best = b;
      }
    }
    Dispose(probe);
  }
  const double bw = RectWidth(best), bh = RectHeight(best);
  if (bw > along || (bh < along && bh > bw)) angle += kHalfPi;
  if (angle == 0) return identity;
  return TurnAbout(centre, angle);
}

StepRepeatOutcome ReproduceOnArea(const MemberList& list, const RealRect& area,
                                  const StepRepeatSettings& s) {
  StepRepeatOutcome out;
  if (list.group_line_count <= 0 || !list.group_lines) {
    ShowRunAlert(GetRunText(RunText::kNoObjectSelected, s.language));
    out.result = -3;
    return out;
  }
  if (list.group_line_count > 1) {
    ShowRunAlert(GetRunText(RunText::kMultipleObjectsSelected, s.language));
    out.result = -1;
    return out;
  }
  const GroupLineEntry& line = list.group_lines[0];
  const ArtHandle shape = ChooseShape(line.art, false);
  RealRect measured = line.bounds;
  if (shape) BoundsOf(shape, &measured);
  if (StepRepeatTooLarge(measured, area, s)) {
    ShowRunAlert(GetRunText(RunText::kObjectTooLarge, s.language));
    out.result = -2;
    return out;
  }
  RealMatrix r0;
  MatrixSetIdentity(&r0);
  if (s.enable_initial_rotation != 0 && shape) r0 = InitialTurn(shape, RectWidth(area));

  std::vector<RealMatrix> copies;
  const bool lattice = s.outline_mode != 0 && shape && LatticeOfSample(shape, r0, area, s, &copies);
  if (!lattice) {
    // The box of the group line, unturned. Also when the sample could not
    // be grown: the object is still reproduced, by its box.
    const PlainGrid grid =
        PlainGridFor(line.bounds, area, s.spacing, s.toward_baseline, s.toward_mode);
    copies = PlainGridMatrices(grid, line.bounds, area, s.spacing);
  }
  // All or nothing: copies the host could not make would leave a partial
  // sheet reported as reproduced.
  if (HostOutOfMemory()) {
    ShowRunAlert(GetRunText(RunText::kOutOfMemory, s.language));
    out.result = -1;
    return out;
  }
  std::vector<ArtHandle> made;
  for (const RealMatrix& m : copies) {
    if (PlaceGroupCopies(list, 0, m, &made) != kNoErr) {
      for (ArtHandle copy : made) Dispose(copy);
      ShowRunAlert(GetRunText(RunText::kOutOfMemory, s.language));
      out.result = -1;
      out.copies = 0;
      return out;
    }
    ++out.copies;
  }
  return out;
}

int32_t FinishStepAndRepeat(MemberList* list, const StepRepeatOutcome& outcome, int16_t language) {
  const ArtSuite* art = HeldSuite<ArtSuite>();
  int32_t result = outcome.result;
  if (result == 0 && outcome.copies > 0 && art && list && list->members) {
    // The copies replace the objects they were made from.
    for (int32_t i = 0; i < list->member_count; ++i) {
      MemberEntry& m = list->members[i];
      if (m.group < 0 || !m.art) continue;
      art->DisposeArt(m.art);
      m.art = nullptr;
    }
  }
  if (list && list->group_lines) {
    for (int32_t i = 0; i < list->group_line_count; ++i) Dispose(list->group_lines[i].art);
  }
  DeleteGroupLineLayer();
  if (result == 0 && outcome.copies == 0) {
    // Nothing fitted (the size check let a turnable object pass, but the
    // copies are not turned): removing the objects would lose them.
    ShowRunAlert(GetRunText(RunText::kNothingReproduced, language));
    return -2;
  }
  if (result == 0) {
    char text[160];
    std::snprintf(text, sizeof text, GetRunText(RunText::kReproduced, language),
                  static_cast<int>(outcome.copies));
    ShowRunAlert(text);
  }
  return result;
}
