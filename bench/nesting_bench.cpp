// Wall times of group lines and of whole nesting runs on documents made from
// the example stickers, phase by phase.
//
//   nesting_bench group-lines [repo]   200 stickers (merge off, on), one object of 60 pieces
//   nesting_bench run [repo]           500 copies of 20 designs, Outline mode, 10-degree step
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "art/group_lines.h"
#include "engine/nesting_run.h"
#include "engine/placement.h"
#include "host/basic_suite.h"
#include "host/builder.h"
#include "host/host_app.h"
#include "host/svg_import.h"
#include "host/user.h"
#include "plugin/globals.h"
#include "plugin/suite_table.h"

namespace {

using Clock = std::chrono::steady_clock;

double Since(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

// The example stickers as a fresh front document; its top-level objects.
std::vector<host::Art*> Stickers(const std::string& repo, host::Document** doc) {
  host::Documents().CloseAll();
  *doc = host::Documents().New("bench");
  std::string error;
  if (host::ImportSvgFile(repo + "/examples/stickers.svg", **doc, &error) != host::SvgStatus::kOk) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return {};
  }
  return host::TopLevelArt(*(*doc)->NthLayer(0));
}

// n objects: the stickers repeated on a grid, scaled by the scales in turn.
std::vector<host::Art*> Grid(host::Document* doc, const std::vector<host::Art*>& designs, int n,
                             const std::vector<double>& scales) {
  std::vector<host::Art*> out;
  host::Art* layer = doc->NthLayer(0)->group;
  for (int i = 0; i < n; ++i) {
    host::Art* source = designs[static_cast<size_t>(i) % designs.size()];
    const double s = scales[(static_cast<size_t>(i) / designs.size()) % scales.size()];
    host::Art* copy = nullptr;
    if (doc->Duplicate(source, kPlaceInsideOnBottom, layer, &copy) != kNoErr) continue;
    const RealRect b = host::Bounds(*copy);
    const RealMatrix m{s, 0, 0, s, (i % 20) * 300.0 - s * b.left, (i / 20) * 300.0 - s * b.bottom};
    host::Transform(*copy, m);
    out.push_back(copy);
  }
  for (host::Art* d : designs) doc->Dispose(d);
  return out;
}

void SelectAll(host::Document* doc, const std::vector<host::Art*>& objects) {
  for (host::Art* o : objects) host::SelectDeep(*doc, o, true);
}

void ReportGroupLines(const char* what, int objects, double wall, const GroupLineTimes& t) {
  std::printf(
      "%-34s %4d objects %8.3f s  %7.2f ms/object | pieces %.3f pairs %.3f outlines %.3f "
      "unions %.3f bridges %.3f\n",
      what, objects, wall, wall * 1000 / objects, t.collect, t.pairs, t.outlines, t.unions,
      t.bridges);
}

int GroupLines(const std::string& repo) {
  for (int16_t merge : {0, 1}) {
    host::Document* doc = nullptr;
    const std::vector<host::Art*> designs = Stickers(repo, &doc);
    if (designs.empty()) return 1;
    const std::vector<host::Art*> objects = Grid(doc, designs, 200, {1.0});
    SelectAll(doc, objects);
    GroupLineTimes times;
    const Clock::time_point start = Clock::now();
    BuildGroupLines(merge, &times);
    ReportGroupLines(merge ? "200 stickers, merge on" : "200 stickers, merge off",
                     static_cast<int>(objects.size()), Since(start), times);
  }
  // One object of 60 separate rounded pieces.
  host::Documents().CloseAll();
  host::Document* doc = host::Documents().New("pieces");
  host::Art* group = host::AddGroup(*doc, kPlaceInsideOnBottom, doc->NthLayer(0)->group);
  for (int i = 0; i < 60; ++i)
    host::AddEllipse(*doc, kPlaceInsideOnBottom, group, {(i % 10) * 40.0, (i / 10) * 40.0}, 12, 9,
                     host::FillStyleOf(host::Gray(0)));
  SelectAll(doc, {group});
  GroupLineTimes times;
  const Clock::time_point start = Clock::now();
  BuildGroupLines(0, &times);
  const double wall = Since(start);
  std::printf(
      "%-34s %4d pieces  %8.3f s  %7.2f ms/piece  | pieces %.3f pairs %.3f outlines %.3f "
      "unions %.3f bridges %.3f\n",
      "one object of 60 pieces", 60, wall, wall * 1000 / 60, times.collect, times.pairs,
      times.outlines, times.unions, times.bridges);
  return 0;
}

int Run(const std::string& repo) {
  host::Document* doc = nullptr;
  const std::vector<host::Art*> designs = Stickers(repo, &doc);
  if (designs.empty()) return 1;
  // 20 designs: the four stickers at five scales, 25 copies each.
  std::vector<host::Art*> objects;
  const std::vector<double> scales = {0.5, 0.6, 0.7, 0.85, 1.0};
  const int count = static_cast<int>(designs.size() * scales.size());
  objects = Grid(doc, designs, count, scales);
  for (host::Art* o : objects) {
    o->tags.clear();
    o->tags.push_back({kQuantityTagName, kQuantityTagType, std::to_string(500 / count)});
  }
  SelectAll(doc, objects);
  PluginGlobals globals{};
  SetDefaultSettings(&globals);
  globals.language = kLanguageEnglish;
  globals.outline_mode = 1;
  globals.anytime_rotation_mode = 5;
  globals.enable_multithread = 1;
  g_globals = &globals;
  RunPhaseTimes t;
  int32_t extra = 0;
  const Clock::time_point start = Clock::now();
  const int32_t result = RunNestingTimed(&extra, &t);
  const Clock::time_point boards = Clock::now();
  CreateSheetArtboards(extra + 1);
  t.artboards = Since(boards);
  const double wall = Since(start);
  g_globals = nullptr;
  const double host_side =
      t.member_list + t.items + t.shapes + t.prerotation + t.parts + t.apply + t.artboards;
  std::printf(
      "run of %d copies (%d designs), Outline, 10-degree step: result %d, %d sheets, "
      "%.2f s\n",
      (500 / count) * count, count, result, extra + 1, wall);
  std::printf("  member list and group lines %8.3f s\n", t.member_list);
  std::printf("  items and duplicates        %8.3f s\n", t.items);
  std::printf("  shapes and size check       %8.3f s\n", t.shapes);
  std::printf("  pre-rotation                %8.3f s\n", t.prerotation);
  std::printf("  sort and parts              %8.3f s\n", t.parts);
  std::printf("  search                      %8.3f s\n", t.search);
  std::printf("  apply                       %8.3f s\n", t.apply);
  std::printf("  artboards                   %8.3f s\n", t.artboards);
  std::printf("  host side in all            %8.3f s (%.1f%% of the search)\n", host_side,
              100 * host_side / t.search);
  return result == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "group-lines";
  const std::string repo = argc > 2 ? argv[2] : ".";
  host::HostApp app;
  host::ScriptedUser user;
  app.SetUser(&user);
  for (int i = 0; i < kSuiteTableSize; ++i)
    g_suite_slots[i] = host::FindSuite(kSuiteTable[i].name, kSuiteTable[i].version);
  const int rc = what == "run" ? Run(repo) : GroupLines(repo);
  for (const void*& slot : g_suite_slots) slot = nullptr;
  host::Documents().CloseAll();
  for (const auto& e : user.entries()) std::printf("alert: %s\n", e.text.c_str());
  return rc;
}
