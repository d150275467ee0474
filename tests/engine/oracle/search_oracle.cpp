// The literal nesting search: every step written out as stated, with no
// shortcut, so that it can judge the fast search.
#include "tests/engine/oracle/search_oracle.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "engine/sheets.h"
#include "plugin/globals.h"

namespace oracle {
namespace {

bool Cancelled(const std::atomic<bool>* cancel) {
  return cancel && cancel->load(std::memory_order_relaxed);
}

// Maps count points into the buffer and drops the last one when it lies
// within 0.01 of the first. Returns the count kept.
int32_t MapInto(RealPoint* buffer, const RealMatrix& m, const RealPoint* points, int32_t count) {
  if (!points || count <= 0) return 0;
  for (int32_t i = 0; i < count; ++i) buffer[i] = MatrixXformPoint(&m, points[i]);
  if (count >= 2 && PointLength(buffer[count - 1], buffer[0]) < 0.01) return count - 1;
  return count;
}

RealRect CentralHalf(RealRect r) {
  RectInset(&r, RectWidth(r) / 4, RectHeight(r) / 4);
  return r;
}

}  // namespace

int PolygonsNear(const RealPoint* a, int32_t a_count, const RealPoint* b, int32_t b_count,
                 double m) {
  for (int32_t i = 0; i < a_count; ++i) {
    const RealPoint a1 = a[i == 0 ? a_count - 1 : i - 1];
    const RealPoint a2 = a[i];
    for (int32_t j = 0; j < b_count; ++j) {
      const RealPoint b1 = b[j == 0 ? b_count - 1 : j - 1];
      const RealPoint b2 = b[j];
      RealPoint crossing;
      if (SegmentIntersection(a1, a2, b1, b2, &crossing)) return 1;
      RealPoint nearest;
      double d = PointSegmentDistance(b1, b2, a1, &nearest);
      d = std::min(d, PointSegmentDistance(b1, b2, a2, &nearest));
      d = std::min(d, PointSegmentDistance(a1, a2, b1, &nearest));
      d = std::min(d, PointSegmentDistance(a1, a2, b2, &nearest));
      if (d < m) return 1;
    }
  }
  return 0;
}

int PartsCollide(const NestPart& p, const NestPart& c, double m, RealPoint* buffer1,
                 RealPoint* buffer2) {
  const RealMatrix mp = PartMatrix(p, p.rotation, p.center_x, p.center_y);
  const RealMatrix mc = PartMatrix(c, c.rotation, c.center_x, c.center_y);
  RealRect bp = MappedBox(mp, p.bounds);
  RealRect bc = MappedBox(mc, c.bounds);
  RectInset(&bp, -m / 2, -m / 2);
  RectInset(&bc, -m / 2, -m / 2);
  if (!RectOverlap(&bp, &bc)) return 0;
  if (!buffer1 || !buffer2) return 0;
  if (p.coarse_points && p.coarse_count > 0 && c.coarse_points && c.coarse_count > 0) {
    const int32_t np = MapInto(buffer1, mp, p.coarse_points, p.coarse_count);
    const int32_t nc = MapInto(buffer2, mc, c.coarse_points, c.coarse_count);
    if (np > 0 && nc > 0) {
      if (PointInPolygon(buffer1, np, buffer2[0], 0) == kInside) return 1;
      if (oracle::PolygonsNear(buffer1, np, buffer2, nc, m)) return 1;
    }
  }
  const int32_t np = MapInto(buffer1, mp, p.points, p.point_count);
  const int32_t nc = MapInto(buffer2, mc, c.points, c.point_count);
  if (np <= 0 || nc <= 0) return 0;
  if (PointInPolygon(buffer1, np, buffer2[0], 0) == kInside) return 1;
  if (oracle::PolygonsNear(buffer1, np, buffer2, nc, m)) return 1;
  // The candidate may wholly enclose the placed part.
  if (PointInPolygon(buffer2, nc, buffer1[0], 0) == kInside) return 1;
  return 0;
}

double PartDistance(const NestPart& a, const NestPart& b, int across, RealPoint* buffer1,
                    RealPoint* buffer2) {
  const RealMatrix ma = PartMatrix(a, a.rotation, a.center_x, a.center_y);
  const RealMatrix mb = PartMatrix(b, b.rotation, b.center_x, b.center_y);
  const RealRect ba = MappedBox(ma, a.bounds);
  RealRect bb = MappedBox(mb, b.bounds);
  if (across == 0) {
    bb.top = ba.top;
    bb.bottom = ba.bottom;
  } else {
    bb.left = ba.left;
    bb.right = ba.right;
  }
  RectInset(&bb, 1, 1);
  if (!RectOverlap(&ba, &bb)) return kNothingFaces;
  if (!buffer1 || !buffer2) return kNothingFaces;
  const int32_t na = MapInto(buffer1, ma, a.points, a.point_count);
  const int32_t nb = MapInto(buffer2, mb, b.points, b.point_count);
  double best = kNothingFaces;
  for (int32_t i = 0; i < na; ++i) {
    const RealPoint a1 = buffer1[i == 0 ? na - 1 : i - 1];
    const RealPoint a2 = buffer1[i];
    for (int32_t j = 0; j < nb; ++j) {
      const RealPoint b1 = buffer2[j == 0 ? nb - 1 : j - 1];
      const RealPoint b2 = buffer2[j];
      RealPoint crossing;
      if (SegmentIntersection(a1, a2, b1, b2, &crossing)) return kOutlinesCross;
      RealPoint nearest;
      const double d[4] = {
          PointSegmentDistance(b1, b2, a1, &nearest), PointSegmentDistance(b1, b2, a2, &nearest),
          PointSegmentDistance(a1, a2, b1, &nearest), PointSegmentDistance(a1, a2, b2, &nearest)};
      for (double v : d) {
        if (v < best) best = v;
      }
    }
  }
  return best;
}

int16_t FindPosition(const RealRect& area, const PlacedBox* placed, int32_t placed_count,
                     int16_t direction, int16_t nesting_type, int16_t outline_mode,
                     PlacedBox* state, RealPoint* buffer1, RealPoint* buffer2,
                     const SearchEnv& env) {
  const double m = env.m;
  // Step 1.
  const RealRect extent = RotatedExtent(state->box, state->rotation);
  const double w = RectWidth(extent);
  const double h = RectHeight(extent);
  double s = outline_mode != 0 ? 15 : 5;
  const RealRect& e = area;
  // Step 2.
  if (placed_count == 0) {
    if (direction != 0) {
      state->box = RealRect{e.right - w, e.top, e.right, e.top - h};
    } else {
      state->box = RealRect{e.left, e.top, e.left + w, e.top - h};
    }
    return 1;
  }
  // Step 3.
  double y = e.top;
  double row_start = direction != 0 ? e.right : e.left;
  int refinements = 0;
  while (y >= e.bottom + h) {
    double x = row_start;
    bool restart = false;
    for (;;) {
      if (direction != 0 ? x < e.left + w : x > e.right - w) break;
      RealRect candidate =
          direction != 0 ? RealRect{x - w, y, x, y - h} : RealRect{x, y, x + w, y - h};
      // Step 4.
      bool collides = false;
      for (int32_t i = 0; i < placed_count && !collides; ++i) {
        const PlacedBox& p = placed[i];
        if (!(nesting_type != 0 && env.enable_anytime_rotation != 0)) {
          if (nesting_type == 0) {
            RealRect q{p.box.left - m, p.box.top, p.box.right, p.box.bottom - m};
            RectInset(&q, 1, 1);
            if (RectOverlap(&q, &candidate)) collides = true;
          } else {
            const RealRect hp = CentralHalf(p.box);
            const RealRect hc = CentralHalf(candidate);
            if (RectOverlap(&hp, &hc)) collides = true;
          }
        }
        if (!collides && nesting_type != 0 && state->part && p.part) {
          RealRect gp = p.box;
          RealRect gc = candidate;
          RectInset(&gp, -m / 2, -m / 2);
          RectInset(&gc, -m / 2, -m / 2);
          if (RectOverlap(&gp, &gc)) {
            NestPart c = *state->part;
            const RealPoint centre = RectCenter(candidate);
            c.center_x = centre.x;
            c.center_y = centre.y;
            c.rotation = state->rotation;
            if (oracle::PartsCollide(*p.part, c, m, buffer1, buffer2)) collides = true;
            if (Cancelled(env.cancel)) return 0;
          }
        }
      }
      if (!collides) {
        // Step 5.
        if (m < 1.5 && refinements < 6) {
          y = std::min(e.top, y + s);
          row_start = direction != 0 ? std::min(e.right, x + s) : std::max(e.left, x - s);
          s = s / 2;
          refinements += 1;
          restart = true;
          break;
        }
        // Step 6.
        state->box = candidate;
        return 1;
      }
      if (direction != 0) {
        x -= s;
      } else {
        x += s;
      }
    }
    if (!restart) y -= s;
  }
  return 0;
}

void NestSearch(const NestJob& job, const SearchSettings& settings, SearchCounters* counters,
                const std::atomic<bool>* cancel) {
  SearchCounters unused;
  if (!counters) counters = &unused;
  if (!job.parts || job.part_count <= 0) return;
  const double m = settings.collection_margin * PointsPerMm;
  const SearchEnv env{m, settings.enable_anytime_rotation, cancel};
  const RotationStep& step = RotationStepFor(settings.anytime_rotation_mode);

  int32_t p = 0;
  for (int32_t i = 0; i < job.part_count; ++i) {
    p = std::max(p, std::max(job.parts[i].point_count, job.parts[i].coarse_count));
  }
  std::vector<RealPoint> buffer1(static_cast<size_t>(p) + kBufferRoom);
  std::vector<RealPoint> buffer2(static_cast<size_t>(p) + kBufferRoom);
  std::vector<PlacedBox> placed;
  placed.reserve(static_cast<size_t>(job.part_count));

  RealRect area = job.area;
  // The right edge of the current sheet; a sheet that would pass the
  // square's right edge starts a new row.
  double sheet_right = job.reference.left + settings.plate_width * PointsPerMm;
  for (;;) {
    // Step 1: the engine area and the area centre.
    const RealRect e = EngineFrameArea(area, job.baseline);
    const RealPoint ac = RectCenter(area);
    placed.clear();
    int32_t placed_here = 0;
    // Step 2: the sheet loop.
    for (int32_t j = 0; j < job.part_count; ++j) {
      NestPart& part = job.parts[j];
      if (part.placed) continue;
      if (Cancelled(cancel)) return;
      RealRect chosen{0, 0, 0, 0};
      int16_t rotation = 0;
      if (settings.enable_anytime_rotation != 0 && job.nesting_type != 0 &&
          RectWidth(e) > RectHeight(part.bounds)) {
        int best = -1;
        double best_key1 = 0, best_key2 = 0;
        RealRect best_box{0, 0, 0, 0};
        for (int k = 0; k < step.trials; ++k) {
          PlacedBox state{part.bounds, static_cast<int16_t>(k * step.degrees), &part};
          const int16_t found = oracle::FindPosition(
              e, placed.data(), static_cast<int32_t>(placed.size()), job.direction,
              job.nesting_type, job.outline_mode, &state, buffer1.data(), buffer2.data(), env);
          if (Cancelled(cancel)) return;
          if (!found) continue;
          const RealRect& b = state.box;
          const double key1 = std::trunc(10 * ((b.left + b.right) / 2));
          const double key2 = std::trunc(10 * ((b.top + b.bottom) / 2 - (b.top - b.bottom) / 4));
          bool take = best < 0;
          if (!take && key2 > best_key2) take = true;
          if (!take && key2 == best_key2) {
            take = job.direction != 0 ? key1 > best_key1 : key1 < best_key1;
          }
          if (take) {
            best = k;
            best_key1 = key1;
            best_key2 = key2;
            best_box = state.box;
          }
        }
        if (best < 0) continue;
        chosen = best_box;
        rotation = static_cast<int16_t>(best * step.degrees);
      } else {
        PlacedBox state{part.bounds, 0, &part};
        if (!oracle::FindPosition(e, placed.data(), static_cast<int32_t>(placed.size()),
                                  job.direction, job.nesting_type, job.outline_mode, &state,
                                  buffer1.data(), buffer2.data(), env)) {
          continue;
        }
        if (Cancelled(cancel)) return;
        chosen = state.box;
      }
      // Step 2.4.
      part.rotation = rotation;
      part.placed = 1;
      part.area_center_x = ac.x;
      part.area_center_y = ac.y;
      const RealPoint c = RectCenter(chosen);
      part.center_x = c.x;
      part.center_y = c.y;
      ++placed_here;
      // Step 2.5: settling with bounding boxes.
      if (job.nesting_type == 0) {
        for (int round = 0; round < 4; ++round) {
          double d = kNothingFaces;
          for (int32_t q = 0; q < j; ++q) {
            const double v =
                oracle::PartDistance(job.parts[q], part, 0, buffer1.data(), buffer2.data());
            if (v < d) d = v;
          }
          if (d > m) {
            part.center_y += (d - m) / 2;
            if (part.center_y > e.top - RectHeight(part.bounds) / 2) {
              part.center_y = e.top - RectHeight(part.bounds) / 2;
            }
          }
          d = kNothingFaces;
          for (int32_t q = 0; q < j; ++q) {
            const double v =
                oracle::PartDistance(job.parts[q], part, 1, buffer1.data(), buffer2.data());
            if (v < d) d = v;
          }
          if (d > m) {
            if (job.direction == 0) {
              part.center_x -= (d - m) / 2;
              if (part.center_x < e.left + RectWidth(part.bounds) / 2) {
                part.center_x = e.left + RectWidth(part.bounds) / 2;
              }
            } else {
              part.center_x += (d - m) / 2;
              if (part.center_x > e.right - RectWidth(part.bounds) / 2) {
                part.center_x = e.right - RectWidth(part.bounds) / 2;
              }
            }
          }
        }
      }
      // Step 2.6.
      RealRect box = RotatedExtent(part.bounds, part.rotation);
      box.left += part.center_x;
      box.right += part.center_x;
      box.top += part.center_y;
      box.bottom += part.center_y;
      placed.push_back(PlacedBox{box, part.rotation, &part});
      counters->parts_done.fetch_add(1, std::memory_order_relaxed);
    }
    // Step 3: the end of the sheet.
    if (job.one_page != 0) {
      counters->reproduced_count.store(placed_here, std::memory_order_relaxed);
      return;
    }
    bool all = true;
    for (int32_t j = 0; j < job.part_count; ++j) {
      if (!job.parts[j].placed) all = false;
    }
    if (all) return;
    const double sheet_w = settings.plate_width * PointsPerMm;
    const double sheet_h = settings.plate_height * PointsPerMm;
    area.left += sheet_w;
    area.right += sheet_w;
    sheet_right += sheet_w;
    if (sheet_right > job.reference.right) {
      area.left = job.area.left;
      area.right = job.area.right;
      area.top -= sheet_h;
      area.bottom -= sheet_h;
      sheet_right = job.reference.left + sheet_w;
    }
    counters->extra_sheets.fetch_add(1, std::memory_order_relaxed);
    if (Cancelled(cancel)) return;
  }
}

}  // namespace oracle
