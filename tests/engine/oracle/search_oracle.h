// The literal nesting search, step by step as the system defines it: the
// reference that the fast search must match bit for bit.
#pragma once

#include <atomic>
#include <cstdint>

#include "engine/search.h"

namespace oracle {

// The literal position search on a sheet holding placed[0 .. placed_count).
int16_t FindPosition(const RealRect& area, const PlacedBox* placed, int32_t placed_count,
                     int16_t direction, int16_t nesting_type, int16_t outline_mode,
                     PlacedBox* state, RealPoint* buffer1, RealPoint* buffer2,
                     const SearchEnv& env);

int PartsCollide(const NestPart& placed_part, const NestPart& candidate_part, double m,
                 RealPoint* buffer1, RealPoint* buffer2);

int PolygonsNear(const RealPoint* a, int32_t a_count, const RealPoint* b, int32_t b_count,
                 double m);

double PartDistance(const NestPart& a, const NestPart& b, int across, RealPoint* buffer1,
                    RealPoint* buffer2);

// The whole search with the literal steps, trials one after another.
void NestSearch(const NestJob& job, const SearchSettings& settings, SearchCounters* counters,
                const std::atomic<bool>* cancel);

}  // namespace oracle
