// The improvement pass: the last sheet emptied into the other sheets, one
// sheet at a time, each refilled by the search from other orders.
//
// Why this method: the search places a part at the first free position of
// a raster scan and never moves it, and its collision test at the spacing
// is the only judge of validity the system has. So the pass never moves a
// part itself: it hands the search one sheet's parts together with the
// parts of the last sheet (the pool) in a different order, and the search
// fills that sheet anew. Whatever it could not place goes back to the pool,
// which must still fit on one sheet (filled by the search too). A refill is
// kept only when the pool's part area shrinks, so every kept step is a
// complete layout strictly better than the one before; when the pool is
// empty, the last sheet is gone and the pass goes on with the new last
// sheet. The greedy order is largest first, which leaves gaps that smaller
// parts, met earlier, would fill; other orders of one sheet's parts fill it
// differently, and a fill is cheap next to a whole new run, since only one
// sheet's parts and the pool are tried.
//
// Determinism: the orders come from a generator seeded by the seed and the
// step; the fills of one step run on workers, each writing only its own
// slot, and the choice waits for all of them; so the result depends on the
// seed and the number of evaluations, never on the threads or the machine.
// Time and cancel only end the pass earlier; a step they interrupt is
// dropped whole.
#include "engine/improve.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <new>
#include <random>
#include <thread>
#include <utility>
#include <vector>

#include "engine/sheets.h"
#include "plugin/globals.h"

namespace {

// Orders tried in every step. Fixed, so that the result does not depend on
// how many threads run them.
constexpr int kOrdersPerStep = 4;
// A refill must leave at least this much less part area over (square points).
constexpr double kAreaGain = 1e-6;
// How often the pass looks at the clock and the cancel flag while fills run.
constexpr auto kPollInterval = std::chrono::milliseconds(5);
// Area centres closer than this (points) belong to the same sheet.
constexpr double kSameSheet = 0.5;

using Clock = std::chrono::steady_clock;

double PolygonArea(const RealPoint* p, int32_t n) {
  double a = 0;
  for (int32_t i = 0; i < n; ++i) {
    const RealPoint s = p[i == 0 ? n - 1 : i - 1];
    a += s.x * p[i].y - p[i].x * s.y;
  }
  return std::fabs(a) / 2;
}

double PartArea(const NestPart& part) {
  if (part.points && part.point_count >= 3) return PolygonArea(part.points, part.point_count);
  return RectWidth(part.bounds) * RectHeight(part.bounds);
}

double LongerSide(const NestPart& part) {
  return std::max(RectWidth(part.bounds), RectHeight(part.bounds));
}

// Where one part went.
struct Spot {
  double center_x = 0, center_y = 0;
  double area_center_x = 0, area_center_y = 0;
  int16_t rotation = 0;
};

// One fill of one sheet: the parts of `order` (job indices) met in that
// order, and what they got.
struct Fill {
  std::vector<int32_t> order;
  int16_t rotation_mode = -1;   // row of the rotation table; -1: the run's
  std::vector<NestPart> parts;  // shallow copies: the polygons stay the job's
  double placed_area = 0;
  bool done = false;
};

void RunFill(const NestJob& job, const SearchSettings& settings, const RealRect& area,
             const std::vector<double>& areas, Fill* fill, const std::atomic<bool>* stop) {
  fill->parts.clear();
  for (int32_t i : fill->order) {
    NestPart p = job.parts[i];
    p.placed = 0;
    p.center_x = p.center_y = 0;
    p.rotation = 0;
    fill->parts.push_back(p);
  }
  SearchSettings own = settings;
  if (fill->rotation_mode >= 0) own.anytime_rotation_mode = fill->rotation_mode;
  NestJob one = job;
  one.parts = fill->parts.data();
  one.part_count = static_cast<int32_t>(fill->parts.size());
  one.area = area;
  one.one_page = 1;
  SearchCounters counters;
  NestSearch(one, own, &counters, stop);
  fill->placed_area = 0;
  for (size_t k = 0; k < fill->parts.size(); ++k)
    if (fill->parts[k].placed) fill->placed_area += areas[static_cast<size_t>(fill->order[k])];
}

// Orders tried for the parts of one step (job indices, in job order, which
// is the run's: largest first): the run's order itself, then the sorting key
// (longer side or area, alternately) scaled by random factors, so that
// smaller parts come forward among larger ones.
void OrdersFor(const std::vector<int32_t>& members, const std::vector<double>& longer,
               const std::vector<double>& areas, uint32_t seed, int64_t step,
               std::vector<Fill>* fills) {
  std::seed_seq sequence{seed, static_cast<uint32_t>(step), static_cast<uint32_t>(step >> 32)};
  std::mt19937 rng(sequence);
  // The generator's output is fixed by the standard, the distributions' is
  // not: a factor from -1 to 1 made here is the same with every library.
  auto factor = [&rng] { return 2 * (static_cast<double>(rng()) / 4294967296.0) - 1; };
  // Larger shuffles as the pass goes on.
  const double spread = std::min(0.8, 0.2 + 0.02 * static_cast<double>(step));
  for (size_t k = 0; k < fills->size(); ++k) {
    std::vector<int32_t>& order = (*fills)[k].order;
    order = members;
    if (k == 0 && step == 0) continue;
    const bool by_area = k % 2 == 1;
    std::vector<std::pair<double, int32_t>> keys;
    keys.reserve(members.size());
    for (int32_t i : members) {
      const double base = by_area ? areas[static_cast<size_t>(i)] : longer[static_cast<size_t>(i)];
      keys.emplace_back(base * (1.0 + spread * factor()), i);
    }
    std::stable_sort(keys.begin(), keys.end(),
                     [](const auto& x, const auto& y) { return x.first > y.first; });
    for (size_t n = 0; n < keys.size(); ++n) order[n] = keys[n].second;
  }
}

// Everything the steps share, and the layout the pass holds.
struct Pass {
  const NestJob& job;
  SearchSettings fill_settings;
  const ImproveBudget& budget;
  ImproveCounters* counters;
  const std::atomic<bool>* cancel;
  Clock::time_point deadline;
  int workers = 1;
  int16_t coarse_mode = -1;  // rotation table row of the refills; -1: the run's
  std::vector<double> areas, longer;
  std::vector<Spot> spots;        // per part, job order
  std::vector<int32_t> sheet_of;  // per part: index on the job's grid
  int32_t sheets = 0;
  int64_t evaluations = 0;
  bool improved = false;

  bool Stopped() const {
    return (cancel && cancel->load(std::memory_order_relaxed)) || Clock::now() >= deadline;
  }
  bool Affords(int64_t fills) const {
    return budget.evaluations <= 0 || evaluations + fills <= budget.evaluations;
  }
  void Count(int64_t fills) {
    evaluations += fills;
    if (counters) counters->evaluations.store(evaluations, std::memory_order_relaxed);
  }

  // Runs the fills on the sheet; false when time or cancel stopped them.
  bool RunFills(const RealRect& area, std::vector<Fill>* fills) {
    std::atomic<bool> stop{false};
    std::atomic<int> next{0};
    std::atomic<int> finished{0};
    const int count = static_cast<int>(fills->size());
    auto work = [&] {
      for (int k = next.fetch_add(1, std::memory_order_relaxed); k < count;
           k = next.fetch_add(1, std::memory_order_relaxed)) {
        Fill& f = (*fills)[static_cast<size_t>(k)];
        RunFill(job, fill_settings, area, areas, &f, &stop);
        f.done = !stop.load(std::memory_order_relaxed);
        finished.fetch_add(1, std::memory_order_release);
      }
    };
    std::vector<std::thread> threads;
    try {
      for (int w = 0; w < std::min(workers, count); ++w) threads.emplace_back(work);
    } catch (...) {
      // Fewer threads than planned; with none, this thread fills them all.
    }
    if (threads.empty()) {
      work();
    } else {
      while (finished.load(std::memory_order_acquire) < count) {
        if (Stopped()) stop.store(true, std::memory_order_relaxed);
        std::this_thread::sleep_for(kPollInterval);
      }
      for (std::thread& t : threads) t.join();
    }
    if (stop.load(std::memory_order_relaxed) || Stopped()) return false;
    for (const Fill& f : *fills)
      if (!f.done) return false;
    return true;
  }

  void Take(const Fill& f, int32_t sheet) {
    for (size_t k = 0; k < f.parts.size(); ++k) {
      const NestPart& p = f.parts[k];
      if (!p.placed) continue;
      const size_t i = static_cast<size_t>(f.order[k]);
      spots[i] = Spot{p.center_x, p.center_y, p.area_center_x, p.area_center_y, p.rotation};
      sheet_of[i] = sheet;
    }
  }

  // One step: the parts of `target` and of the last sheet refilled onto
  // `target`. False when the budget ended it.
  bool Step(int64_t step, int32_t target) {
    const int32_t last = sheets - 1;
    std::vector<int32_t> members;
    double pool_area = 0;
    for (int32_t i = 0; i < job.part_count; ++i) {
      const int32_t s = sheet_of[static_cast<size_t>(i)];
      if (s == last) pool_area += areas[static_cast<size_t>(i)];
      if (s == last || s == target) members.push_back(i);
    }
    if (!Affords(kOrdersPerStep + 1) || Stopped()) return false;
    std::vector<Fill> fills(kOrdersPerStep);
    OrdersFor(members, longer, areas, budget.seed, step, &fills);
    for (Fill& f : fills) f.rotation_mode = coarse_mode;
    if (!RunFills(SheetAreaOf(job, fill_settings, target), &fills)) return false;
    Count(kOrdersPerStep);
    // The fill that leaves the least part area over, if less than the pool.
    int chosen = -1;
    double least = pool_area - kAreaGain;
    for (int k = 0; k < kOrdersPerStep; ++k) {
      double over = 0;
      for (size_t n = 0; n < fills[static_cast<size_t>(k)].parts.size(); ++n)
        if (!fills[static_cast<size_t>(k)].parts[n].placed)
          over += areas[static_cast<size_t>(fills[static_cast<size_t>(k)].order[n])];
      if (over < least) {
        least = over;
        chosen = k;
      }
    }
    if (chosen < 0) return true;
    const Fill& f = fills[static_cast<size_t>(chosen)];
    std::vector<int32_t> rest;
    for (size_t n = 0; n < f.parts.size(); ++n)
      if (!f.parts[n].placed) rest.push_back(f.order[n]);
    if (rest.empty()) {
      Take(f, target);
      sheets -= 1;
    } else {
      // What is left must fit on the last sheet, as the search fills it.
      std::vector<Fill> back(1);
      std::sort(rest.begin(), rest.end());  // job order
      back[0].order = rest;
      if (!RunFills(SheetAreaOf(job, fill_settings, last), &back)) return false;
      Count(1);
      for (const NestPart& p : back[0].parts)
        if (!p.placed) return true;
      Take(f, target);
      Take(back[0], last);
    }
    improved = true;
    if (counters) counters->best_sheets.store(sheets, std::memory_order_relaxed);
    return true;
  }
};

}  // namespace

RealRect SheetAreaOf(const NestJob& job, const SearchSettings& settings, int32_t index) {
  // The search's own walk over the grid, step for step.
  RealRect area = job.area;
  const double sheet_w = settings.plate_width * PointsPerMm;
  const double sheet_h = settings.plate_height * PointsPerMm;
  double sheet_right = job.reference.left + sheet_w;
  for (int32_t i = 0; i < index; ++i) StepToNextSheet(job, sheet_w, sheet_h, &area, &sheet_right);
  return area;
}

int32_t SheetsOfLayout(const NestJob& job, const SearchSettings& settings) {
  if (!job.parts || job.part_count <= 0) return 0;
  int32_t highest = -1;
  // Sheets are used in grid order, so the highest index used is found by
  // walking the grid until every placed part's sheet has been met.
  std::vector<char> seen(static_cast<size_t>(job.part_count), 0);
  int32_t unseen = 0;
  for (int32_t i = 0; i < job.part_count; ++i)
    if (job.parts[i].placed)
      ++unseen;
    else
      seen[static_cast<size_t>(i)] = 1;
  for (int32_t s = 0; unseen > 0 && s < job.part_count; ++s) {
    const RealPoint c = RectCenter(SheetAreaOf(job, settings, s));
    for (int32_t i = 0; i < job.part_count; ++i) {
      if (seen[static_cast<size_t>(i)]) continue;
      const NestPart& p = job.parts[i];
      if (std::fabs(p.area_center_x - c.x) < kSameSheet &&
          std::fabs(p.area_center_y - c.y) < kSameSheet) {
        seen[static_cast<size_t>(i)] = 1;
        --unseen;
        highest = s;
      }
    }
  }
  return highest + 1;
}

ImproveResult ImproveNesting(const NestJob& job, const SearchSettings& settings,
                             const ImproveBudget& budget, ImproveCounters* counters,
                             const std::atomic<bool>* cancel) {
  ImproveResult result;
  if (!job.parts || job.part_count <= 0 || job.one_page != 0) return result;
  for (int32_t i = 0; i < job.part_count; ++i)
    if (!job.parts[i].placed) return result;  // an incomplete layout is left as it is
  try {
    const double seconds = std::min(std::max(budget.seconds, 0.0), kMaxImproveSeconds);
    const Clock::time_point deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                          std::chrono::duration<double>(seconds));
    Pass pass{job, settings, budget, counters, cancel, deadline, 1,    -1,
              {},  {},       {},     {},       0,      0,        false};
    // Refills try the coarsest step whose turns are all turns of the chosen
    // step (90 degrees for 10, 15, 30 or 45): a quarter or less of the trials
    // of a fine step, so several times as many refills in the same time.
    // Half turns alone are too few to fill a sheet well and are not used.
    if (settings.enable_anytime_rotation != 0) {
      const int chosen = std::clamp<int>(settings.anytime_rotation_mode, 0, kRotationModeCount - 1);
      for (int m = chosen - 1; m >= 1; --m)
        if (kRotationTable[m].degrees % kRotationTable[chosen].degrees == 0)
          pass.coarse_mode = static_cast<int16_t>(m);
    }
    // The fills run one per worker, each with its rotation trials in turn.
    pass.fill_settings.enable_multithread = 0;
    int workers =
        budget.workers > 0 ? budget.workers : static_cast<int>(std::thread::hardware_concurrency());
    if (settings.enable_multithread == 0) workers = 1;
    pass.workers = std::clamp(workers, 1, kOrdersPerStep);
    const int32_t n = job.part_count;
    for (int32_t i = 0; i < n; ++i) {
      const NestPart& p = job.parts[i];
      pass.areas.push_back(PartArea(p));
      pass.longer.push_back(LongerSide(p));
      pass.spots.push_back(
          Spot{p.center_x, p.center_y, p.area_center_x, p.area_center_y, p.rotation});
    }
    // Each part's sheet on the grid, as the search walked it.
    pass.sheet_of.assign(static_cast<size_t>(n), -1);
    int32_t unknown = n;
    for (int32_t s = 0; unknown > 0 && s < n; ++s) {
      const RealPoint c = RectCenter(SheetAreaOf(job, settings, s));
      for (int32_t i = 0; i < n; ++i) {
        if (pass.sheet_of[static_cast<size_t>(i)] >= 0) continue;
        if (std::fabs(job.parts[i].area_center_x - c.x) < kSameSheet &&
            std::fabs(job.parts[i].area_center_y - c.y) < kSameSheet) {
          pass.sheet_of[static_cast<size_t>(i)] = s;
          pass.sheets = std::max(pass.sheets, s + 1);
          --unknown;
        }
      }
    }
    if (unknown > 0) return result;  // not the search's grid: left as it is
    // The grid must have no empty sheet before the last.
    std::vector<char> used(static_cast<size_t>(pass.sheets), 0);
    for (int32_t s : pass.sheet_of) used[static_cast<size_t>(s)] = 1;
    for (char u : used)
      if (!u) return result;
    result.greedy_sheets = result.sheets = pass.sheets;
    if (counters) {
      counters->greedy_sheets.store(pass.sheets, std::memory_order_relaxed);
      counters->best_sheets.store(pass.sheets, std::memory_order_relaxed);
    }
    for (int64_t step = 0; seconds > 0 && pass.sheets > 1; ++step) {
      // The other sheets in turn.
      const int32_t target = static_cast<int32_t>(step % (pass.sheets - 1));
      if (!pass.Step(step, target)) break;
      ++result.steps;
      if (counters) counters->steps.store(result.steps, std::memory_order_relaxed);
    }
    result.evaluations = pass.evaluations;
    if (pass.improved) {
      for (int32_t i = 0; i < n; ++i) {
        const Spot& s = pass.spots[static_cast<size_t>(i)];
        NestPart& p = job.parts[i];
        p.center_x = s.center_x;
        p.center_y = s.center_y;
        p.area_center_x = s.area_center_x;
        p.area_center_y = s.area_center_y;
        p.rotation = s.rotation;
        p.placed = 1;
      }
    }
    result.sheets = pass.sheets;
    result.improved = pass.improved;
  } catch (const std::bad_alloc&) {
    // Out of memory: the parts still hold the layout they were given.
  }
  return result;
}

bool ParseImproveRequest(const std::string& text, ImproveBudget* budget, std::string* error) {
  auto fail = [&](const std::string& why) {
    if (error) *error = why;
    return false;
  };
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    const size_t comma = text.find(',', start);
    fields.push_back(text.substr(start, comma == std::string::npos ? comma : comma - start));
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  if (fields.size() > 3)
    return fail("\"" + text + "\" has more than three fields (SECONDS,SEED,EVALUATIONS)");
  ImproveBudget b = budget ? *budget : ImproveBudget{};
  char* end = nullptr;
  const double seconds = std::strtod(fields[0].c_str(), &end);
  if (fields[0].empty() || *end != '\0' || !(seconds > 0) || seconds > kMaxImproveSeconds)
    return fail("\"" + fields[0] + "\" is not a number of seconds above 0 and at most 86400");
  b.seconds = seconds;
  auto whole = [&](const std::string& f, unsigned long long most, unsigned long long* out) {
    if (f.empty() || f.find_first_not_of("0123456789") != std::string::npos || f.size() > 19)
      return false;
    *out = std::strtoull(f.c_str(), nullptr, 10);
    return *out <= most;
  };
  unsigned long long v = 0;
  if (fields.size() > 1) {
    if (!whole(fields[1], 0xffffffffULL, &v))
      return fail("the seed \"" + fields[1] + "\" is not a whole number 0 to 4294967295");
    b.seed = static_cast<uint32_t>(v);
  }
  if (fields.size() > 2) {
    if (!whole(fields[2], 1000000000000ULL, &v))
      return fail("the evaluations \"" + fields[2] + "\" are not a whole number 0 to 10^12");
    b.evaluations = static_cast<int64_t>(v);
  }
  if (budget) *budget = b;
  return true;
}

std::string FormatImproveRequest(const ImproveBudget& budget) {
  char text[96];
  std::snprintf(text, sizeof text, "%.17g,%u,%lld", budget.seconds, budget.seed,
                static_cast<long long>(budget.evaluations));
  return text;
}
