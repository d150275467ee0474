#include "art/group_lines.h"
#include <cstdio>
#include "host/svg_import.h"
#include "tests/art/running_host.h"
static void Dump(host::Art* a, int d) {
  RealRect b = host::Bounds(*a);
  std::printf("%*s type %d name '%s' segs %zu closed %d clip %d clipped %d fill %d stroke %d eo %d bounds %.1f %.1f %.1f %.1f\n", d*2, "", a->type, a->name.c_str(), a->segments.size(), a->closed, a->style.clip, a->clipped, a->style.fill_paint, a->style.stroke_paint, a->style.even_odd, b.left,b.top,b.right,b.bottom);
  for (host::Art* c : host::Children(*a)) Dump(c, d+1);
}
class D : public RunningHostTest {};
TEST_F(D, X) {
  host::Documents().CloseAll();
  doc = host::Documents().New("x");
  std::string error;
  host::ImportSvgFile(getenv("SVGFILE"), *doc, &error);
  int id = 0; int want = atoi(getenv("OBJ"));
  for (int32_t i = 0; i < doc->LayerCount(); ++i) {
    host::Layer* l = doc->NthLayer(i);
    if (!l->visible || !l->editable) continue;
    for (host::Art* a : host::TopLevelArt(*l)) { if (++id == want) { Dump(a, 0); host::SelectDeep(*doc, a, true);} }
  }
  BuildGroupLines(0);
  Dump(doc->LayerByTitle(kGroupLineLayerTitle)->group, 0);
}
