// Draws docs/group-lines.png's source: the group lines of the example
// drawings, outlined in cyan over the artwork, one drawing above the other.
// Writes SVG to standard output; scripts/group-lines-picture renders it.
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "art/group_lines.h"
#include "host/basic_suite.h"
#include "host/builder.h"
#include "host/host_app.h"
#include "host/svg_export.h"
#include "host/svg_import.h"
#include "plugin/suite_table.h"

namespace {

// One drawing with its group lines on top, as SVG text; "" on failure.
std::string DrawingWithGroupLines(const std::string& path) {
  host::Documents().CloseAll();
  host::Document* doc = host::Documents().New(path);
  std::string error;
  if (host::ImportSvgFile(path, *doc, &error) != host::SvgStatus::kOk) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return "";
  }
  for (int32_t i = 0; i < doc->LayerCount(); ++i) {
    host::Layer* l = doc->NthLayer(i);
    if (!l->visible || !l->editable) continue;
    for (host::Art* a : host::TopLevelArt(*l)) host::SelectDeep(*doc, a, true);
  }
  BuildGroupLines(0);
  host::Layer* lines = doc->LayerByTitle(kGroupLineLayerTitle);
  if (!lines) return "";
  // Outlines only, on a layer above the artwork, so both show.
  host::Layer* top = nullptr;
  doc->InsertLayer(nullptr, kPlaceAboveAll, &top);
  PathStyle cyan = host::StrokeStyleOf(host::Cmyk(1, 0, 0, 0), 1.6);
  cyan.stroke.join = kJoinRound;
  std::vector<host::Art*> stack = host::TopLevelArt(*lines);
  for (host::Art* line : stack) doc->Reorder(line, kPlaceInsideOnBottom, top->group);
  while (!stack.empty()) {
    host::Art* a = stack.back();
    stack.pop_back();
    if (a->type == kArtTypePath || a->type == kArtTypeCompoundPath) a->style = cyan;
    for (host::Art* c : host::Children(*a)) stack.push_back(c);
  }
  doc->DeleteLayer(lines);
  host::SelectDeep(*doc, doc->NthLayer(0)->group, false);
  return host::ExportSvgText(*doc);
}

// The drawing's <svg> element placed at (x, y) of the picture, with its size.
std::string Placed(const std::string& svg, double y, double* width, double* height) {
  const size_t start = svg.find("<svg");
  if (start == std::string::npos) return "";
  std::string body = svg.substr(start);
  std::sscanf(body.c_str() + body.find("width=\"") + 7, "%lf", width);
  std::sscanf(body.c_str() + body.find("height=\"") + 8, "%lf", height);
  // The drawing's size in plain user units (points here): a unit on a
  // nested element would be converted to CSS pixels.
  for (const char* key : {"width=\"", "height=\""}) {
    const size_t at = body.find(key) + std::string(key).size();
    const size_t unit = body.find("pt\"", at);
    if (unit != std::string::npos && unit < body.find('>')) body.erase(unit, 2);
  }
  char place[64];
  std::snprintf(place, sizeof place, "<svg x=\"0\" y=\"%g\"", y);
  return place + body.substr(4);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string root = argc > 1 ? argv[1] : ".";
  host::HostApp app;
  for (int i = 0; i < kSuiteTableSize; ++i)
    g_suite_slots[i] = host::FindSuite(kSuiteTable[i].name, kSuiteTable[i].version);
  std::string inner;
  double y = 0, widest = 0;
  for (const char* name : {"examples/stickers.svg", "examples/shapes.svg"}) {
    const std::string svg = DrawingWithGroupLines(root + "/" + name);
    if (svg.empty()) return 1;
    double w = 0, h = 0;
    inner += Placed(svg, y, &w, &h);
    y += h + 10;
    widest = std::max(widest, w);
  }
  for (const void*& slot : g_suite_slots) slot = nullptr;
  host::Documents().CloseAll();
  std::printf(
      "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
      "width=\"%gpt\" height=\"%gpt\" viewBox=\"0 0 %g %g\">\n<rect width=\"100%%\" "
      "height=\"100%%\" fill=\"white\"/>\n%s</svg>\n",
      widest, y, widest, y, inner.c_str());
  return 0;
}
