// Nests a data-set or generated instance onto square sheets and prints parts,
// sheets, utilization and wall time, beside the literal oracle's time and
// whether both placed every part identically.
//
//   bench_nest_runner --instance fu --mode outline --rotation 90 --spacing 10
//   bench_nest_runner --generate 500 --mode outline --rotation 10 --oracle sample
//   bench_nest_runner --instance fu --rotation 10 --spacing 10 --oracle off --improve 10
//
// With --improve the improvement pass runs after the search, and the layout
// is checked by polygon clipping independently of the search.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/improve.h"
#include "engine/search.h"
#include "tests/engine/oracle/layout_check.h"
#include "tests/engine/oracle/nest_instance.h"
#include "tests/engine/oracle/search_oracle.h"

namespace {

struct Options {
  std::string instance;  // data-set name or path
  int generate = 0;      // number of generated parts (designs), when no instance
  int copies = 1;        // copies of each generated design: a gang sheet
  uint32_t seed = 1;
  double sheet_mm = 1000;
  double spacing_mm = 0;
  int16_t outline_mode = 1;
  std::string rotation = "instance";  // off, 180, 90, 45, 30, 15, 10, instance
  int16_t threads = 1;
  std::string oracle = "on";  // on, off, sample (first sheet only)
  double improve_s = 0;       // improvement budget, seconds (0: none)
  uint32_t improve_seed = 1;
  int64_t improve_evaluations = 0;
};

void Usage() {
  std::fprintf(stderr,
               "usage: bench_nest_runner (--instance NAME|PATH | --generate N [--seed S] "
               "[--copies C])\n"
               "  [--sheet MM] [--spacing MM] [--mode rect|outline]\n"
               "  [--rotation off|180|90|45|30|15|10|instance] [--threads on|off]\n"
               "  [--oracle on|off|sample]\n"
               "  [--improve SECONDS [--improve-seed S] [--improve-evaluations N]]\n");
}

bool Parse(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; ++i) {
    const std::string key = argv[i];
    if (i + 1 >= argc) return false;
    const std::string value = argv[++i];
    if (key == "--instance") {
      o->instance = value;
    } else if (key == "--generate") {
      o->generate = std::atoi(value.c_str());
    } else if (key == "--copies") {
      o->copies = std::atoi(value.c_str());
    } else if (key == "--seed") {
      o->seed = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
    } else if (key == "--sheet") {
      o->sheet_mm = std::atof(value.c_str());
    } else if (key == "--spacing") {
      o->spacing_mm = std::atof(value.c_str());
    } else if (key == "--mode") {
      if (value != "rect" && value != "outline") return false;
      o->outline_mode = value == "outline" ? 1 : 0;
    } else if (key == "--rotation") {
      o->rotation = value;
    } else if (key == "--threads") {
      o->threads = value == "on" ? 1 : 0;
    } else if (key == "--oracle") {
      o->oracle = value;
    } else if (key == "--improve") {
      o->improve_s = std::atof(value.c_str());
    } else if (key == "--improve-seed") {
      o->improve_seed = static_cast<uint32_t>(std::strtoul(value.c_str(), nullptr, 10));
    } else if (key == "--improve-evaluations") {
      o->improve_evaluations = std::atoll(value.c_str());
    } else {
      return false;
    }
  }
  return (!o->instance.empty() || o->generate > 0) && o->sheet_mm > 0 && o->copies >= 1;
}

// Rotation on/off and the table index for a rotation option.
bool RotationSetting(const std::string& r, const nestdata::Instance& inst, int16_t* on,
                     int16_t* mode) {
  std::string step = r;
  if (r == "instance") {
    step = "off";
    for (int d : inst.rotations) {
      if (d == 180 && step == "off") step = "180";
      if (d == 90) step = "90";
    }
  }
  const char* steps[] = {"180", "90", "45", "30", "15", "10"};
  *on = 0;
  *mode = 0;
  if (step == "off") return true;
  for (int k = 0; k < 6; ++k) {
    if (step == steps[k]) {
      *on = 1;
      *mode = static_cast<int16_t>(k);
      return true;
    }
  }
  return false;
}

double ShoelaceArea(const std::vector<RealPoint>& pts) {
  double a = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    const RealPoint s = pts[i == 0 ? pts.size() - 1 : i - 1];
    a += s.x * pts[i].y - pts[i].x * s.y;
  }
  return std::fabs(a) / 2;
}

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

}  // namespace

int main(int argc, char** argv) {
  Options o;
  if (!Parse(argc, argv, &o)) {
    Usage();
    return 2;
  }
  nestdata::Instance inst;
  double scale = 1;  // points per instance unit
  if (!o.instance.empty()) {
    std::string path = o.instance;
    if (path.find('/') == std::string::npos) {
      path = nestdata::DatasetsDir() + "/esicup/" + path + ".txt";
    }
    std::string error;
    if (!nestdata::LoadNestTxt(path, &inst, &error)) {
      std::fprintf(stderr, "bench_nest_runner: %s\n", error.c_str());
      return 1;
    }
    // The strip height becomes the sheet height.
    scale = o.sheet_mm / inst.height * 2.834645669291339;
  } else {
    nestdata::GeneratorParams g;
    g.seed = o.seed;
    g.types = o.generate;
    g.max_quantity = 1;
    g.min_size = 60;
    g.max_size = 600;
    inst = nestdata::GenerateInstance(g);
    for (nestdata::Shape& shape : inst.shapes) shape.quantity = o.copies;
  }
  int16_t rotation_on = 0, rotation_mode = 0;
  if (!RotationSetting(o.rotation, inst, &rotation_on, &rotation_mode)) {
    Usage();
    return 2;
  }
  double part_area = 0;
  for (const nestdata::Shape& s : inst.shapes) {
    part_area += s.quantity * ShoelaceArea(s.outline) * scale * scale;
  }

  const nestdata::SheetSize sheet{o.sheet_mm, o.sheet_mm, 0};
  const SearchSettings settings =
      nestdata::MakeSettings(sheet, o.spacing_mm, rotation_on, rotation_mode, o.threads);
  const nestdata::PartSet start(inst, scale, o.outline_mode);
  const nestdata::JobOptions job_options{0, 0, 1, o.outline_mode, 0};

  nestdata::PartSet fast(start);
  auto t0 = std::chrono::steady_clock::now();
  SearchCounters counters;
  NestSearch(nestdata::MakeJob(&fast, sheet, job_options), settings, &counters, nullptr);
  const double fast_s = Seconds(t0);
  const int32_t sheets = nestdata::SheetsUsed(fast);
  const double area_pt = (o.sheet_mm * 2.834645669291339) * (o.sheet_mm * 2.834645669291339);

  double oracle_s = -1, ratio = -1;
  std::string identical = "-";
  if (o.oracle == "on" || o.oracle == "sample") {
    // A sample runs both searches on the first sheet only.
    nestdata::JobOptions once = job_options;
    once.one_page = o.oracle == "sample" ? 1 : 0;
    nestdata::PartSet literal(start);
    t0 = std::chrono::steady_clock::now();
    oracle::NestSearch(nestdata::MakeJob(&literal, sheet, once), settings, nullptr, nullptr);
    oracle_s = Seconds(t0);
    double fast_once_s = fast_s;
    std::string diff;
    if (o.oracle == "sample") {
      nestdata::PartSet first(start);
      t0 = std::chrono::steady_clock::now();
      NestSearch(nestdata::MakeJob(&first, sheet, once), settings, nullptr, nullptr);
      fast_once_s = Seconds(t0);
      diff = nestdata::FirstDifference(first, literal);
    } else {
      diff = nestdata::FirstDifference(fast, literal);
    }
    identical = diff.empty() ? "yes" : "NO";
    if (!diff.empty()) std::fprintf(stderr, "first difference: %s\n", diff.c_str());
    ratio = fast_once_s > 0 ? oracle_s / fast_once_s : 0;
  }
  std::printf(
      "instance=%s parts=%d mode=%s rotation=%s threads=%s spacing_mm=%g sheets=%d "
      "utilization=%.3f wall_s=%.3f oracle=%s oracle_s=%.3f speedup=%.1f identical=%s "
      "digest=%s\n",
      inst.name.c_str(), start.size(), o.outline_mode ? "outline" : "rect", o.rotation.c_str(),
      o.threads ? "on" : "off", o.spacing_mm, sheets, part_area / (sheets * area_pt), fast_s,
      o.oracle.c_str(), oracle_s, ratio, identical.c_str(),
      nestdata::PlacementDigest(fast).c_str());
  if (o.improve_s > 0) {
    // The pass starts from the search's layout; the judge checks the result.
    NestJob job = nestdata::MakeJob(&fast, sheet, job_options);
    ImproveBudget budget;
    budget.seconds = o.improve_s;
    budget.seed = o.improve_seed;
    budget.evaluations = o.improve_evaluations;
    budget.workers = o.threads ? 0 : 1;
    t0 = std::chrono::steady_clock::now();
    const ImproveResult r = ImproveNesting(job, settings, budget, nullptr, nullptr);
    const double improve_wall = Seconds(t0);
    const nestdata::LayoutProblems check =
        nestdata::CheckLayout(fast.data(), fast.size(), job.area, o.spacing_mm * 2.834645669291339);
    const RealPoint last = RectCenter(SheetAreaOf(job, settings, r.sheets - 1));
    double last_area = 0;
    for (int32_t i = 0; i < fast.size(); ++i) {
      if (std::fabs(fast[i].area_center_x - last.x) < 0.5 &&
          std::fabs(fast[i].area_center_y - last.y) < 0.5)
        last_area += ShoelaceArea(
            std::vector<RealPoint>(fast[i].points, fast[i].points + fast[i].point_count));
    }
    const int bound = static_cast<int>(std::ceil(part_area / area_pt - 1e-9));
    // The parts grown by half the spacing, in sheets grown by as much: how
    // full the sheets of a layout on k sheets are at the least is this / k.
    const double m = o.spacing_mm * 2.834645669291339;
    double grown = 0;
    for (int32_t i = 0; i < fast.size(); ++i) grown += nestdata::GrownArea(fast[i], m / 2);
    const double grown_sheets = grown / ((RectWidth(job.area) + m) * (RectHeight(job.area) + m));
    std::printf(
        "improve instance=%s budget_s=%g seed=%u greedy_sheets=%d sheets=%d bound=%d "
        "grown_sheets=%.3f last_sheet_util=%.3f evaluations=%lld steps=%d improve_wall_s=%.2f "
        "check=%s%s\n",
        inst.name.c_str(), o.improve_s, o.improve_seed, r.greedy_sheets, r.sheets, bound,
        grown_sheets, last_area / area_pt, static_cast<long long>(r.evaluations), r.steps,
        improve_wall, check.ok() ? "ok" : "FAILED ", check.first.c_str());
    if (!check.ok() || r.sheets > r.greedy_sheets) return 1;
  }
  return identical == "NO" ? 1 : 0;
}
