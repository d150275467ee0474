// The nesting run. Every host call happens on the calling thread, before the
// search thread starts or after it has ended; while it runs, this thread
// only waits, moves the progress bar and pumps the dialog's messages.
#include "engine/nesting_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "art/art_reading.h"
#include "art/group_lines.h"
#include "art/path_geometry.h"
#include "engine/improve.h"
#include "engine/member_list.h"
#include "engine/model.h"
#include "engine/placement.h"
#include "engine/search.h"
#include "engine/sheets.h"
#include "platform/system.h"
#include "plugin/globals.h"
#include "plugin/suite_art.h"
#include "plugin/suite_document.h"
#include "plugin/suite_path.h"
#include "plugin/suite_table.h"
#include "plugin/suite_ui.h"
#include "ui/daily_log.h"
#include "ui/progress_dialog.h"

namespace {

// How finely the true outline is sampled when the fine polygon's deviation
// from it is measured: points per curve.
constexpr int kDeviationSamples = 16;
// The flip test's distance window.
constexpr double kFlipMinDistance = 5.0;
// Items whose sides differ by less than this are equal for the alternate turn.
constexpr double kEqualSide = 0.01;
// The wait for the search thread between two looks at the dialog.
constexpr int64_t kWaitSliceMs = 100;

using Clock = std::chrono::steady_clock;
double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

void Alert(const std::string& text) {
  if (const UserSuite* user = HeldSuite<UserSuite>()) user->MessageAlert(text.c_str());
}

void AlertText(RunText text, int16_t language) {
  Alert(GetRunText(text, language));
}

bool ReadSegments(ArtHandle path, std::vector<PathSegment>* segments, bool* closed) {
  const PathSuite* s = HeldSuite<PathSuite>();
  int32_t count = 0;
  if (!s || s->GetPathSegmentCount(path, &count) != kNoErr || count < 0) return false;
  segments->resize(static_cast<size_t>(count));
  if (count > 0 && s->GetPathSegments(path, 0, count, segments->data()) != kNoErr) return false;
  *closed = false;
  return s->GetPathClosed(path, closed) == kNoErr;
}

// A closed path of more than 2 segments: one that can stand for an object.
bool IsShapePath(ArtHandle path) {
  const PathSuite* s = HeldSuite<PathSuite>();
  int32_t count = 0;
  bool closed = false;
  return s && s->GetPathSegmentCount(path, &count) == kNoErr && count > 2 &&
         s->GetPathClosed(path, &closed) == kNoErr && closed;
}

ArtHandle Duplicate(ArtHandle art, ArtHandle above) {
  const ArtSuite* s = HeldSuite<ArtSuite>();
  ArtHandle copy = nullptr;
  if (!s || s->DuplicateArt(art, kPlaceAbove, above, &copy) != kNoErr) return nullptr;
  return copy;
}

void Dispose(ArtHandle art) {
  if (const ArtSuite* s = HeldSuite<ArtSuite>(); s && art) s->DisposeArt(art);
}

void Transform(ArtHandle art, const RealMatrix& m) {
  if (const TransformArtSuite* s = HeldSuite<TransformArtSuite>(); s && art)
    s->TransformArt(art, &m, kTransformLineScale, kTransformOptionsPlace);
}

RealMatrix RotationAbout(RealPoint c, double angle) {
  RealMatrix m;
  MatrixSetTranslate(&m, -c.x, -c.y);
  MatrixConcatRotate(&m, angle);
  MatrixConcatTranslate(&m, c.x, c.y);
  return m;
}

// Turns the item's art and records the turn after what it already had.
void TurnItem(NestItem* item, const RealMatrix& turn) {
  Transform(item->art, turn);
  MatrixConcat(&item->matrix, &turn, &item->matrix);
}

// The frame an item is measured by: its shape's bounds, or its art's.
RealRect ItemFrame(const NestItem& item) {
  return BoundsOf(item.shape ? item.shape : item.art);
}

// A part for a path where it lies: fine polygon only.
bool PartOfPath(ArtHandle path, NestPart* part) {
  std::vector<PathSegment> segments;
  bool closed = false;
  *part = NestPart{};
  if (!ReadSegments(path, &segments, &closed)) return false;
  const Polygon fine =
      FlattenPath(segments.data(), static_cast<int32_t>(segments.size()), kFineTolerance);
  if (fine.count == 0) return false;
  part->bounds = BoundsOf(path);
  part->points = fine.points;
  part->point_count = fine.count;
  const RealPoint c = RectCenter(part->bounds);
  part->center_x = c.x;
  part->center_y = c.y;
  return true;
}

// The largest distance by which the path's true outline reaches outside the
// polygon that stands for it (0 when it never does): chords of the fine
// polygon cut inside convex curves by up to this much.
double OutwardDeviation(ArtHandle path, const RealPoint* points, int32_t count) {
  std::vector<PathSegment> s;
  bool closed = false;
  if (!points || count < 2 || !ReadSegments(path, &s, &closed) || s.size() < 3) return 0;
  double worst = 0;
  const size_t n = s.size();
  for (size_t i = 0; i < n; ++i) {
    const PathSegment& a = s[i];
    const PathSegment& b = s[(i + 1) % n];
    for (int k = 0; k < kDeviationSamples; ++k) {
      const RealPoint p =
          BezierPoint(a.p, a.out, b.in, b.p, static_cast<double>(k) / kDeviationSamples);
      if (PointInPolygon(points, count, p, 0) != kOutside) continue;
      double nearest = kNothingFaces;
      for (int32_t e = 1; e < count; ++e) {
        RealPoint foot;
        nearest = std::min(nearest, PointSegmentDistance(points[e - 1], points[e], p, &foot));
      }
      worst = std::max(worst, nearest);
    }
  }
  return worst;
}

// The 5-degree search for the turn that gives the flattest box, then the
// flip test against a turned copy of itself below.
void PreRotateWithShape(NestItem* item, double j_side) {
  const RealRect frame = BoundsOf(item->shape);
  const RealPoint c0 = RectCenter(frame);
  double p = std::min(RectWidth(frame), RectHeight(frame));
  double best_angle = 0;
  RealRect best = frame;
  if (ArtHandle probe = Duplicate(item->shape, item->art)) {
    const RealMatrix step = RotationAbout(c0, kFiveDegrees);
    for (int t = 1; t <= kPreRotationTurns; ++t) {
      Transform(probe, step);
      const RealRect b = BoundsOf(probe);
      const double side = std::min(RectWidth(b), RectHeight(b));
      if (side < p - kPreRotationGain) {
        p = side;
        best_angle = t * kFiveDegrees;
        best = b;
      }
    }
    Dispose(probe);
  }
  if (RectWidth(best) > j_side || (RectHeight(best) < j_side && RectHeight(best) > RectWidth(best)))
    best_angle += kHalfPi;
  ArtHandle turned = Duplicate(item->shape, item->art);
  const RealMatrix turn = RotationAbout(c0, best_angle);
  Transform(item->art, turn);
  Transform(turned, turn);
  item->matrix = turn;
  if (!turned) return;

  ArtHandle flipped = Duplicate(turned, item->art);
  if (flipped) {
    const RealRect fb = BoundsOf(flipped);
    RealMatrix flip = RotationAbout(RectCenter(fb), kPi);
    MatrixConcatTranslate(&flip, 0, -RectHeight(fb));
    Transform(flipped, flip);
    NestPart first{}, second{};
    if (PartOfPath(turned, &first) && PartOfPath(flipped, &second)) {
      const int32_t room = LargestOutline(&first, 1) + LargestOutline(&second, 1) + kBufferRoom;
      std::vector<RealPoint> buffer1(static_cast<size_t>(room)), buffer2(static_cast<size_t>(room));
      const double d = PartDistance(first, second, 0, buffer1.data(), buffer2.data());
      const RealRect tb = BoundsOf(turned);
      if (d > kFlipMinDistance && d < RectHeight(tb))
        TurnItem(item, RotationAbout(RectCenter(tb), kPi));
    }
    FreeNestPart(&first);
    FreeNestPart(&second);
    Dispose(flipped);
  }
  Dispose(turned);
}

// What a run holds: the member list, the items and the parts, whose
// polygons are freed with it.
struct RunState {
  MemberList list{nullptr, 0, nullptr, 0};
  std::vector<NestItem> items;
  std::vector<NestPart> parts;
  ~RunState() {
    for (NestPart& p : parts) FreeNestPart(&p);
  }
};

// The end of every run that built the member list: the list freed and the
// group-line layer, with every duplicate and measuring copy on it, deleted.
void EndRun(RunState* run) {
  FreeMemberList(&run->list);
  DeleteGroupLineLayer();
}

int64_t SegmentsOfMembers(const MemberList& list, int32_t group) {
  const PathSuite* s = HeldSuite<PathSuite>();
  int64_t total = 0;
  for (int32_t j = 0; j < list.member_count; ++j) {
    if (list.members[j].group != group || !list.members[j].art) continue;
    for (ArtHandle path : CollectPaths(list.members[j].art)) {
      int32_t count = 0;
      if (s && s->GetPathSegmentCount(path, &count) == kNoErr) total += count;
    }
  }
  return total;
}

// Whether the copies the quantities ask for fit the run's bounds; otherwise
// alerts, naming the object with the largest quantity.
bool CopiesWithinBounds(const MemberList& list, const std::vector<int64_t>& copies,
                        int16_t language) {
  int64_t total = 0, segments = 0;
  int32_t worst = 0;
  for (int32_t l = 0; l < list.group_line_count; ++l) {
    total += copies[static_cast<size_t>(l)];
    segments += copies[static_cast<size_t>(l)] * std::max<int64_t>(1, SegmentsOfMembers(list, l));
    if (copies[static_cast<size_t>(l)] > copies[static_cast<size_t>(worst)]) worst = l;
  }
  if (total <= kMaxRunCopies && segments <= kMaxRunCopySegments) return true;
  const int64_t per_copy = std::max<int64_t>(1, SegmentsOfMembers(list, worst));
  const int64_t limit = std::min(kMaxRunCopies, kMaxRunCopySegments / per_copy);
  char text[512];
  std::snprintf(text, sizeof text, GetRunText(RunText::kTooManyCopies, language),
                GroupLineObjectId(list.group_lines[worst].art),
                static_cast<int>(copies[static_cast<size_t>(worst)]), static_cast<int>(limit));
  Alert(text);
  return false;
}

// The improvement pass on its own thread behind the progress dialog, which
// shows the sheets of the best layout so far and the share of the time
// used. "Abort" ends the pass and keeps the best layout it had. Returns the
// sheets the parts now use, or 0 when the pass did not run.
int32_t ImproveBehindProgress(const NestJob& job, const SearchSettings& settings,
                              const ImproveBudget& budget, int16_t language) {
  ImproveCounters counters;
  std::atomic<bool> cancel{false};
  ImproveResult result;
  const Clock::time_point start = Clock::now();
  auto show = [&](int32_t best, int32_t greedy) {
    char text[160];
    std::snprintf(text, sizeof text, ui::GetProgressText(ui::ProgressText::kImproving, language),
                  static_cast<int>(best), static_cast<int>(greedy));
    ui::SetProgressText(text);
  };
  int32_t shown = -1;
  ui::SetProgressPercent(0);
  platform::Thread pass;
  const bool started = pass.Start([&job, &settings, &budget, &counters, &cancel, &result] {
    result = ImproveNesting(job, settings, budget, &counters, &cancel);
  });
  if (!started) result = ImproveNesting(job, settings, budget, &counters, &cancel);
  while (!pass.WaitFor(kWaitSliceMs)) {
    const int32_t best = counters.best_sheets.load(std::memory_order_relaxed);
    if (best > 0 && best != shown) {
      show(best, counters.greedy_sheets.load(std::memory_order_relaxed));
      shown = best;
    }
    const double used = budget.seconds > 0 ? SecondsSince(start) / budget.seconds : 1;
    ui::SetProgressPercent(static_cast<int>(100 * std::min(used, 1.0)));
    ui::PumpProgressMessages();
    if (ui::IsProgressAborted() != 0) cancel.store(true, std::memory_order_relaxed);
  }
  return result.greedy_sheets > 0 ? result.sheets : 0;
}

int32_t Run(RunState& run, int32_t* extra_sheets, RunPhaseTimes* times) {
  RunPhaseTimes local;
  RunPhaseTimes& t = times ? *times : local;
  if (extra_sheets) *extra_sheets = 0;
  const uint64_t start_tick = platform::TickCountMs();
  const PluginGlobals* g = g_globals;
  const DocumentListSuite* documents = HeldSuite<DocumentListSuite>();
  DocumentHandle front = nullptr;
  if (!g || !documents || documents->GetNthDocument(0, &front) != kNoErr || !front)
    return kNestingNotRun;
  const int16_t language = g->language;
  const int16_t baseline = g->toward_baseline;
  const bool one_page = g->one_page_reproduction != 0;

  RealRect square;
  if (!CanvasSquare(&square, kReferenceSquareSide)) return kNestingNotRun;
  const SheetSettings plate = SheetSettingsFrom(*g);
  const RealRect area = FirstSheet(square, plate).area;
  const bool along_width = baseline == kBaselineTop || baseline == kBaselineBottom;
  const double j_side = along_width ? RectWidth(area) : RectHeight(area);
  const double i_side = along_width ? RectHeight(area) : RectWidth(area);
  const int16_t direction = FillsRightToLeft(baseline, g->toward_mode) ? 1 : 0;

  Clock::time_point phase = Clock::now();
  if (!BuildMemberList(&run.list, g->consider_object_overlap)) {
    EndRun(&run);
    AlertText(RunText::kOutOfMemory, language);
    return kNestingNotRun;
  }
  t.member_list += SecondsSince(phase);
  const MemberList& list = run.list;
  if (one_page && list.group_line_count > 1) {
    AlertText(RunText::kMultipleObjectsSelected, language);
    EndRun(&run);
    return kNestingNotRun;
  }
  if (list.group_line_count == 0) {
    AlertText(RunText::kNoObjectSelected, language);
    EndRun(&run);
    return kNestingNoObject;
  }

  // Items: the group line and its duplicates, as many as the quantity asks.
  phase = Clock::now();
  std::vector<int64_t> copies(static_cast<size_t>(list.group_line_count));
  for (int32_t l = 0; l < list.group_line_count; ++l) {
    int32_t quantity = 0;
    if (!ReadQuantityOf(list.group_lines[l].art, &quantity)) {
      EndRun(&run);
      AlertText(RunText::kOutOfMemory, language);
      return kNestingNotRun;
    }
    int64_t n = std::max<int32_t>(1, quantity);
    if (one_page) {
      const int64_t per_copy = std::max<int64_t>(1, SegmentsOfMembers(list, l));
      n = OnePageEstimate(area, list.group_lines[l].bounds, g->outline_mode,
                          std::min(kMaxRunCopies, kMaxRunCopySegments / per_copy));
    }
    copies[static_cast<size_t>(l)] = n;
  }
  if (!one_page && !CopiesWithinBounds(list, copies, language)) {
    EndRun(&run);
    return kNestingNotRun;
  }
  try {
    size_t total = 0;
    for (int64_t n : copies) total += static_cast<size_t>(n);
    run.items.reserve(total);
    for (int32_t l = 0; l < list.group_line_count; ++l) {
      ArtHandle line = list.group_lines[l].art;
      const int32_t source = one_page ? 0 : l;
      RealMatrix identity;
      MatrixSetIdentity(&identity);
      run.items.push_back(NestItem{line, nullptr, source, identity});
      for (int64_t k = 1; k < copies[static_cast<size_t>(l)]; ++k) {
        // A copy the host could not make would be a copy short.
        ArtHandle copy = Duplicate(line, line);
        if (!copy) throw std::bad_alloc();
        run.items.push_back(NestItem{copy, nullptr, source, identity});
      }
    }
  } catch (const std::bad_alloc&) {
    EndRun(&run);
    AlertText(RunText::kOutOfMemory, language);
    return kNestingNotRun;
  }
  t.items += SecondsSince(phase);

  // Shapes and the size check.
  phase = Clock::now();
  for (NestItem& item : run.items) item.shape = ChooseShape(item.art, true);
  const bool may_turn = g->enable_initial_rotation != 0 ||
                        (g->enable_anytime_rotation != 0 && g->anytime_rotation_mode > 0);
  for (const NestItem& item : run.items) {
    const RealRect b = ItemFrame(item);
    const double w = RectWidth(b), h = RectHeight(b);
    const bool too_large = may_turn ? (w > j_side && w > i_side) || (h > j_side && h > i_side)
                                    : w > RectWidth(area) || h > RectHeight(area);
    if (too_large) {
      AlertText(RunText::kObjectTooLarge, language);
      EndRun(&run);
      return kNestingTooLarge;
    }
  }
  t.shapes += SecondsSince(phase);

  // Pre-rotation.
  phase = Clock::now();
  for (NestItem& item : run.items) {
    if (g->enable_initial_rotation != 0) {
      if (item.shape) {
        PreRotateWithShape(&item, j_side);
      } else {
        const RealRect b = BoundsOf(item.art);
        if (RectHeight(b) > RectWidth(b)) TurnItem(&item, RotationAbout(RectCenter(b), kHalfPi));
      }
      continue;
    }
    // Cancels the baseline's final turn so that objects keep their
    // orientation on the sheet.
    const RealRect b = ItemFrame(item);
    double angle = baseline == kBaselineBottom  ? kPi
                   : baseline == kBaselineLeft  ? -kHalfPi
                   : baseline == kBaselineRight ? kHalfPi
                                                : 0;
    if ((along_width ? RectWidth(b) : RectHeight(b)) > j_side) angle += kHalfPi;
    if (angle != 0) TurnItem(&item, RotationAbout(RectCenter(b), angle));
  }
  t.prerotation += SecondsSince(phase);

  // Sort, largest longer side first, equal keys in their order.
  phase = Clock::now();
  std::vector<double> keys;
  keys.reserve(run.items.size());
  for (const NestItem& item : run.items) {
    const RealRect b = BoundsOf(item.art);
    keys.push_back(std::max(RectWidth(b), RectHeight(b)));
  }
  std::vector<size_t> order(run.items.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::stable_sort(order.begin(), order.end(),
                   [&](size_t a, size_t b) { return keys[a] > keys[b]; });
  std::vector<NestItem> sorted;
  sorted.reserve(run.items.size());
  for (size_t i : order) sorted.push_back(run.items[i]);
  run.items.swap(sorted);

  if (g->enable_initial_rotation != 0) {
    // Every second item of a run of equal items is turned by 180 degrees,
    // so that neighbours of the same shape interlock.
    RealRect previous{0, 0, 0, 0};
    int in_run = 0;
    for (NestItem& item : run.items) {
      const RealRect b = ItemFrame(item);
      const bool equal = std::fabs(RectWidth(b) - RectWidth(previous)) < kEqualSide &&
                         std::fabs(RectHeight(b) - RectHeight(previous)) < kEqualSide;
      in_run = equal ? in_run + 1 : 1;
      previous = b;
      if (in_run % 2 == 0) TurnItem(&item, RotationAbout(RectCenter(b), kPi));
    }
  }

  // Parts, and the spacing the search keeps between their polygons.
  double deviation = 0;
  try {
    run.parts.resize(run.items.size());
  } catch (const std::bad_alloc&) {
    EndRun(&run);
    AlertText(RunText::kOutOfMemory, language);
    return kNestingNotRun;
  }
  for (size_t i = 0; i < run.items.size(); ++i) {
    const NestItem& item = run.items[i];
    NestPart& part = run.parts[i];
    part = NestPart{};
    part.id = static_cast<int32_t>(i) + 1;
    part.art = item.art;
    part.bounds = ItemFrame(item);
    if (g->outline_mode != 0 && item.shape) {
      std::vector<PathSegment> segments;
      bool closed = false;
      if (ReadSegments(item.shape, &segments, &closed)) {
        const int32_t count = static_cast<int32_t>(segments.size());
        const Polygon fine = FlattenPath(segments.data(), count, kFineTolerance);
        if (fine.count > 0) {
          part.shape = item.shape;
          part.points = fine.points;
          part.point_count = fine.count;
          if (fine.count > kCoarseThreshold) {
            const Polygon coarse = FlattenPath(segments.data(), count, kCoarseTolerance);
            part.coarse_points = coarse.points;
            part.coarse_count = coarse.count;
          }
          deviation = std::max(deviation, OutwardDeviation(item.shape, fine.points, fine.count));
        }
      }
    }
    if (!part.points) {
      const Polygon box = RectanglePolygon(part.bounds);
      part.points = box.points;
      part.point_count = box.count;
    }
  }
  SearchSettings settings = SearchSettingsFrom(*g);
  // The search keeps the polygons m apart, so the true outlines are at
  // least m less both parts' deviations apart. Where that could let
  // outlines overlap (m below twice the largest deviation), the polygons
  // are kept apart by the deviations as well, so the outlines keep m.
  // At larger spacings nothing changes.
  const double m = settings.collection_margin * PointsPerMm;
  if (g->nesting_type != 0 && m < 2 * deviation)
    settings.collection_margin = (m + 2 * deviation) / PointsPerMm;
  t.parts += SecondsSince(phase);

  // The search, on its own thread, behind the progress dialog.
  phase = Clock::now();
  WindowHandle main_window = nullptr;
  if (const ContextSuite* context = HeldSuite<ContextSuite>()) context->GetMainWindow(&main_window);
  ui::ShowProgress(main_window);
  ui::SetProgressText(ui::GetProgressText(ui::ProgressText::kCalculating, language));
  NestJob job;
  job.part_count = static_cast<int32_t>(run.parts.size());
  job.parts = run.parts.data();
  job.direction = direction;
  job.baseline = baseline;
  job.nesting_type = g->nesting_type;
  job.outline_mode = g->outline_mode;
  job.reference = square;
  job.area = area;
  job.one_page = one_page ? 1 : 0;
  SearchCounters counters;
  counters.parts_total.store(job.part_count, std::memory_order_relaxed);
  std::atomic<bool> cancel{false};
  platform::Thread search;
  const bool started = search.Start(
      [&job, &settings, &counters, &cancel] { NestSearch(job, settings, &counters, &cancel); });
  if (!started) NestSearch(job, settings, &counters, &cancel);
  while (!search.WaitFor(kWaitSliceMs)) {
    const int32_t done = counters.parts_done.load(std::memory_order_relaxed);
    const int32_t total = counters.parts_total.load(std::memory_order_relaxed);
    if (total > 0)
      ui::SetProgressPercent(
          static_cast<int>(100.0f * static_cast<float>(done) / static_cast<float>(total)));
    ui::PumpProgressMessages();
    if (ui::IsProgressAborted() != 0) cancel.store(true, std::memory_order_relaxed);
  }
  int32_t result = ui::IsProgressAborted() != 0 ? kNestingNotRun : kNestingDone;
  // A search that ran out of memory left parts without a place: placing
  // the others would lose the rest of the copies, so nothing is placed.
  const bool search_out_of_memory = counters.out_of_memory.load(std::memory_order_relaxed);
  if (search_out_of_memory) result = kNestingNotRun;
  int32_t sheets_beyond_first = counters.extra_sheets.load(std::memory_order_relaxed);
  ImproveBudget budget;
  std::string request;
  if (result == kNestingDone && !one_page &&
      platform::EnvironmentValue(kImproveVariable, &request) &&
      ParseImproveRequest(request, &budget, nullptr)) {
    const int32_t sheets = ImproveBehindProgress(job, settings, budget, language);
    if (sheets > 0) sheets_beyond_first = sheets - 1;
  }
  ui::CloseProgress();
  if (search_out_of_memory) AlertText(RunText::kOutOfMemory, language);
  if (extra_sheets) *extra_sheets = sheets_beyond_first;
  t.search += SecondsSince(phase);

  // Placement: only parts that found a place are applied. In 1-page
  // reproduction the copies that found none are removed.
  phase = Clock::now();
  int32_t reproduced = 0;
  // Reads the host refused for want of memory while the run prepared may
  // have left objects or outlines out: nothing is placed then.
  if (result == kNestingDone && HostOutOfMemory()) {
    result = kNestingNotRun;
    AlertText(RunText::kOutOfMemory, language);
  }
  if (result == kNestingDone) {
    std::vector<NestPart> placed;
    placed.reserve(run.parts.size());
    for (NestPart& part : run.parts) {
      if (part.placed) {
        placed.push_back(part);
      } else if (one_page) {
        Dispose(part.art);
        part.art = nullptr;
        run.items[static_cast<size_t>(part.id - 1)].art = nullptr;
      }
    }
    reproduced = one_page ? static_cast<int32_t>(placed.size()) : 0;
    if (!ApplyNesting(placed.data(), static_cast<int32_t>(placed.size()), run.items.data(),
                      &run.list, baseline)) {
      // The host could not make every copy: none stays, the objects do.
      result = kNestingNotRun;
      reproduced = 0;
      AlertText(RunText::kOutOfMemory, language);
    }
  }
  if (g->output_processing_time != 0) {
    const uint64_t now = platform::TickCountMs();
    ui::AppendToDailyLog(ui::ProcessingTimeEntry(ui::ProcessingSeconds(start_tick, now)));
  }
  EndRun(&run);
  t.apply += SecondsSince(phase);
  if (result == kNestingDone && reproduced > 0 && one_page) {
    char text[128];
    std::snprintf(text, sizeof text, GetRunText(RunText::kReproduced, language), reproduced);
    Alert(text);
  }
  return result;
}

}  // namespace

int64_t OnePageEstimate(const RealRect& area, const RealRect& bounds, int16_t outline_mode,
                        int64_t cap) {
  const double a = RectWidth(area) * RectHeight(area);
  const double b = RectWidth(bounds) * RectHeight(bounds);
  // An object without area would ask for infinitely many: the cap.
  if (!(b > 0) || !(a > 0)) return std::max<int64_t>(1, cap);
  const double estimate = outline_mode != 0 ? 1 + std::trunc(2 * a / b) : std::trunc(a / b) + 1;
  return static_cast<int64_t>(
      std::clamp(estimate, 1.0, static_cast<double>(std::max<int64_t>(1, cap))));
}

ArtHandle ChooseShape(ArtHandle art, bool look_for_cut_line) {
  if (look_for_cut_line) {
    const ArtSuite* s = HeldSuite<ArtSuite>();
    for (ArtHandle child : ChildrenOf(art)) {
      char name[64] = {};
      bool is_default = true;
      if (!s || s->GetArtName(child, name, sizeof name, &is_default) != kNoErr || is_default ||
          std::string(name) != kCutLineName)
        continue;
      for (ArtHandle path : CollectPaths(child))
        if (IsShapePath(path)) return path;
      return nullptr;
    }
  }
  ArtHandle best = nullptr;
  double best_extent = 0;
  for (ArtHandle path : CollectPaths(art)) {
    if (!IsShapePath(path)) continue;
    const RealRect b = BoundsOf(path);
    const double extent = RectWidth(b) + RectHeight(b);
    if (!best || extent > best_extent) {
      best = path;
      best_extent = extent;
    }
  }
  return best;
}

int32_t RunNestingTimed(int32_t* extra_sheets, RunPhaseTimes* times) {
  RunState run;
  bool out_of_memory = false;
  try {
    return Run(run, extra_sheets, times);
  } catch (const std::bad_alloc&) {
    out_of_memory = true;
  } catch (...) {
  }
  // Nothing escapes into the host's message; neither the dialog nor the
  // group lines and their duplicates stay, and the user is told.
  try {
    ui::CloseProgress();
    EndRun(&run);
    if (out_of_memory && g_globals) AlertText(RunText::kOutOfMemory, g_globals->language);
  } catch (...) {
  }
  return kNestingNotRun;
}

int32_t RunNesting(int32_t* extra_sheets) {
  return RunNestingTimed(extra_sheets, nullptr);
}
