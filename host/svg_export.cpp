// Writes host documents as SVG: y flipped back down, one user unit per point.
#include "host/svg_export.h"

#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>

#include <pugixml.hpp>

#include "host/render.h"
#include "host/svg_common.h"

namespace host {
namespace {

// The document's y axis points up, SVG's down: the one map between them.
double SvgY(double y) {
  return -y;
}

std::string Point(RealPoint p) {
  return FormatNumber(p.x) + " " + FormatNumber(SvgY(p.y));
}

bool Straight(const PathSegment& from, const PathSegment& to) {
  return from.out.x == from.p.x && from.out.y == from.p.y && to.in.x == to.p.x && to.in.y == to.p.y;
}

// Every segment as a line or a cubic, exactly; the closing curve too.
void AppendPathData(const Art& path, std::string* d) {
  const auto& s = path.segments;
  if (s.empty()) return;
  if (!d->empty()) *d += ' ';
  *d += "M" + Point(s[0].p);
  auto curve = [&](const PathSegment& a, const PathSegment& b) {
    if (Straight(a, b))
      *d += " L" + Point(b.p);
    else
      *d += " C" + Point(a.out) + " " + Point(b.in) + " " + Point(b.p);
  };
  for (size_t i = 1; i < s.size(); ++i) curve(s[i - 1], s[i]);
  if (path.closed) {
    // The closing segment is written out when it is curved, and also when
    // the last anchor sits on the first: a reader drops one closing anchor
    // that repeats the start, and this keeps the one that belongs.
    const PathSegment& last = s.back();
    bool repeats = last.p.x == s[0].p.x && last.p.y == s[0].p.y;
    if (s.size() > 1 && (!Straight(last, s[0]) || repeats)) curve(last, s[0]);
    *d += " Z";
  }
}

std::string Color(const HostColor& c) {
  double rgb[3];
  ColorToRgb(c, rgb);
  bool bytes = true;
  for (double v : rgb) bytes = bytes && std::round(v * 255) == v * 255;
  if (bytes) {
    char buffer[8];
    std::snprintf(buffer, sizeof buffer, "#%02x%02x%02x", static_cast<int>(rgb[0] * 255),
                  static_cast<int>(rgb[1] * 255), static_cast<int>(rgb[2] * 255));
    return buffer;
  }
  return "rgb(" + FormatNumber(rgb[0] * 100) + "%," + FormatNumber(rgb[1] * 100) + "%," +
         FormatNumber(rgb[2] * 100) + "%)";
}

std::string Cmyk(const HostColor& c) {
  return FormatNumber(c.components[0]) + "," + FormatNumber(c.components[1]) + "," +
         FormatNumber(c.components[2]) + "," + FormatNumber(c.components[3]);
}

const char* kCaps[] = {"butt", "round", "square"};
const char* kJoins[] = {"miter", "round", "bevel"};

void WriteStyle(const PathStyle& st, pugi::xml_node el) {
  std::string s;
  s += "fill:" + (st.fill_paint ? Color(st.fill.color) : std::string("none")) + ";";
  s += std::string("fill-rule:") + (st.even_odd ? "evenodd" : "nonzero") + ";";
  if (st.stroke_paint) {
    s += "stroke:" + Color(st.stroke.color) + ";";
    s += "stroke-width:" + FormatNumber(st.stroke.width) + ";";
    int cap = st.stroke.cap >= 0 && st.stroke.cap <= 2 ? st.stroke.cap : 0;
    int join = st.stroke.join >= 0 && st.stroke.join <= 2 ? st.stroke.join : 0;
    s += std::string("stroke-linecap:") + kCaps[cap] + ";";
    s += std::string("stroke-linejoin:") + kJoins[join] + ";";
    s +=
        "stroke-miterlimit:" + FormatNumber(st.stroke.miter_limit < 1 ? 1 : st.stroke.miter_limit) +
        ";";
    int n = st.stroke.dash.length;
    if (n > 0 && n <= kDashArrayCapacity) {
      s += "stroke-dasharray:";
      for (int i = 0; i < n; ++i) s += (i ? "," : "") + FormatNumber(st.stroke.dash.array[i]);
      s += ";stroke-dashoffset:" + FormatNumber(st.stroke.dash.offset) + ";";
    }
  } else {
    s += "stroke:none;";
  }
  el.append_attribute("style").set_value(s.c_str());
  if (st.fill_paint && st.fill.color.kind == kColorFourProcess)
    el.append_attribute(kFillCmykAttribute).set_value(Cmyk(st.fill.color).c_str());
  if (st.stroke_paint && st.stroke.color.kind == kColorFourProcess)
    el.append_attribute(kStrokeCmykAttribute).set_value(Cmyk(st.stroke.color).c_str());
}

std::string MatrixText(const RealMatrix& m) {
  // The art's matrix maps into the document; then y flips back down.
  return "matrix(" + FormatNumber(m.a) + "," + FormatNumber(-m.b) + "," + FormatNumber(m.c) + "," +
         FormatNumber(-m.d) + "," + FormatNumber(m.tx) + "," + FormatNumber(-m.ty) + ")";
}

class Exporter {
 public:
  explicit Exporter(const Document& doc) : doc_(doc) {}
  std::string Run();

 private:
  void WriteArt(const Art& art, pugi::xml_node parent);
  void Common(const Art& art, pugi::xml_node el, bool name);
  void CollectNames(const Art& art);

  const Document& doc_;
  pugi::xml_document xml_;
  pugi::xml_node defs_;
  std::set<std::string> names_;
  std::set<std::string> clip_ids_;
  std::set<std::string> used_ids_;  // ids written so far
  int next_clip_ = 1;
};

void Exporter::CollectNames(const Art& art) {
  // Clipping paths are written as <clipPath> with their name as the id.
  bool clipping = (art.type == kArtTypePath || art.type == kArtTypeCompoundPath) && art.style.clip;
  if (!art.name.empty() && !clipping) names_.insert(art.name);
  for (const Art* c = art.first_child; c; c = c->next) CollectNames(*c);
}

// Whether the name can stand as an XML id: a letter or underscore, then
// letters, digits, '-', '_' and '.' (any UTF-8 beyond ASCII allowed).
bool IsIdName(const std::string& name) {
  if (name.empty()) return false;
  for (size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c >= 0x80;
    bool other = (c >= '0' && c <= '9') || c == '-' || c == '.';
    if (!letter && (i == 0 || !other)) return false;
  }
  return true;
}

void Exporter::Common(const Art& art, pugi::xml_node el, bool name) {
  // A name that is a unique id is written as the id, any other as a label.
  if (name && !art.name.empty()) {
    if (IsIdName(art.name) && !used_ids_.count(art.name) && !clip_ids_.count(art.name)) {
      used_ids_.insert(art.name);
      el.append_attribute("id").set_value(art.name.c_str());
    } else {
      el.append_attribute("inkscape:label").set_value(art.name.c_str());
    }
  }
  if (const Tag* q = FindTag(art, kQuantityTagName))
    el.append_attribute(kQuantityAttribute).set_value(q->value.c_str());
  std::string others = EncodeOtherTags(art.tags);
  if (!others.empty()) el.append_attribute(kTagsAttribute).set_value(others.c_str());
  if (art.locked) el.append_attribute("sodipodi:insensitive").set_value("true");
  if (art.hidden) el.append_attribute("display").set_value("none");
}

void Exporter::WriteArt(const Art& art, pugi::xml_node parent) {
  switch (art.type) {
    case kArtTypeGroup: {
      pugi::xml_node g = parent.append_child("g");
      Common(art, g, true);
      const Art* clip = art.clipped ? ClippingArt(art) : nullptr;
      if (clip) {
        std::string id = clip->name;
        if (id.empty() || names_.count(id) || clip_ids_.count(id)) {
          do {
            id = "zolvane-clip-" + std::to_string(next_clip_++);  // the importer drops these
          } while (names_.count(id) || clip_ids_.count(id));
        }
        clip_ids_.insert(id);
        pugi::xml_node cp = defs_.append_child("clipPath");
        cp.append_attribute("id").set_value(id.c_str());
        cp.append_attribute("clipPathUnits").set_value("userSpaceOnUse");
        pugi::xml_node p = cp.append_child("path");
        std::string d;
        if (clip->type == kArtTypePath) {
          AppendPathData(*clip, &d);
        } else {
          for (const Art* c = clip->first_child; c; c = c->next) AppendPathData(*c, &d);
        }
        p.append_attribute("d").set_value(d.c_str());
        if (clip->style.even_odd) p.append_attribute("clip-rule").set_value("evenodd");
        g.append_attribute("clip-path").set_value(("url(#" + id + ")").c_str());
      }
      for (const Art* c = art.last_child; c; c = c->prev)
        if (c != clip) WriteArt(*c, g);
      return;
    }
    case kArtTypePath:
    case kArtTypeCompoundPath: {
      std::string d;
      if (art.type == kArtTypePath) {
        AppendPathData(art, &d);
      } else {
        for (const Art* c = art.first_child; c; c = c->next) AppendPathData(*c, &d);
      }
      if (d.empty()) return;
      pugi::xml_node p = parent.append_child("path");
      Common(art, p, true);
      p.append_attribute("d").set_value(d.c_str());
      WriteStyle(art.style, p);
      if (art.type == kArtTypeCompoundPath && art.first_child == art.last_child)
        p.append_attribute(kCompoundAttribute).set_value("1");
      return;
    }
    default: {
      if (!IsBoxArtType(art.type) || art.source.empty()) return;
      pugi::xml_document scratch;
      if (!scratch.load_buffer(art.source.data(), art.source.size(), pugi::parse_default,
                               pugi::encoding_utf8))
        return;
      pugi::xml_node source = scratch.document_element();
      if (!source) return;
      pugi::xml_node el = parent.append_copy(source);
      el.remove_attribute("transform");
      el.remove_attribute("id");
      Common(art, el, true);
      el.append_attribute("transform").set_value(MatrixText(art.matrix).c_str());
      return;
    }
  }
}

std::string Exporter::Run() {
  pugi::xml_node svg = xml_.append_child("svg");
  svg.append_attribute("xmlns").set_value("http://www.w3.org/2000/svg");
  svg.append_attribute("xmlns:xlink").set_value("http://www.w3.org/1999/xlink");
  svg.append_attribute("xmlns:inkscape").set_value("http://www.inkscape.org/namespaces/inkscape");
  svg.append_attribute("xmlns:sodipodi")
      .set_value("http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd");
  // The viewBox covers every artboard.
  const auto& boards = doc_.artboards();
  RealRect all = boards.empty() ? RealRect{0, 792, 612, 0} : boards[0];
  for (const RealRect& r : boards) {
    all.left = std::min(all.left, r.left);
    all.right = std::max(all.right, r.right);
    all.top = std::max(all.top, r.top);
    all.bottom = std::min(all.bottom, r.bottom);
  }
  double w = all.right - all.left, h = all.top - all.bottom;
  if (!(w > 0)) w = 1;
  if (!(h > 0)) h = 1;
  svg.append_attribute("width").set_value((FormatNumber(w) + "pt").c_str());
  svg.append_attribute("height").set_value((FormatNumber(h) + "pt").c_str());
  svg.append_attribute("viewBox").set_value((FormatNumber(all.left) + " " +
                                             FormatNumber(SvgY(all.top)) + " " + FormatNumber(w) +
                                             " " + FormatNumber(h))
                                                .c_str());
  pugi::xml_node view = svg.append_child("sodipodi:namedview");
  for (size_t i = 0; i < boards.size(); ++i) {
    const RealRect& r = boards[i];
    pugi::xml_node page = view.append_child("inkscape:page");
    page.append_attribute("id").set_value(("page" + std::to_string(i + 1)).c_str());
    page.append_attribute("x").set_value(FormatNumber(r.left).c_str());
    page.append_attribute("y").set_value(FormatNumber(SvgY(r.top)).c_str());
    page.append_attribute("width").set_value(FormatNumber(r.right - r.left).c_str());
    page.append_attribute("height").set_value(FormatNumber(r.top - r.bottom).c_str());
  }
  defs_ = svg.append_child("defs");
  for (int32_t i = 0; i < doc_.LayerCount(); ++i) {
    CollectNames(*doc_.NthLayer(i)->group);
    used_ids_.insert("layer" + std::to_string(i + 1));
  }
  // Layers bottom first: SVG paints later content on top.
  for (int32_t i = doc_.LayerCount() - 1; i >= 0; --i) {
    const Layer* layer = doc_.NthLayer(i);
    pugi::xml_node g = svg.append_child("g");
    g.append_attribute("id").set_value(("layer" + std::to_string(doc_.LayerCount() - i)).c_str());
    g.append_attribute("inkscape:groupmode").set_value("layer");
    g.append_attribute("inkscape:label").set_value(layer->title.c_str());
    if (!layer->visible) g.append_attribute("style").set_value("display:none");
    if (!layer->editable) g.append_attribute("sodipodi:insensitive").set_value("true");
    for (const Art* c = layer->group->last_child; c; c = c->prev) WriteArt(*c, g);
  }
  if (!defs_.first_child()) svg.remove_child(defs_);
  std::ostringstream out;
  xml_.save(out, "  ", pugi::format_indent | pugi::format_no_declaration, pugi::encoding_utf8);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + out.str();
}

}  // namespace

std::string ExportSvgText(const Document& doc) {
  Exporter exporter(doc);
  return exporter.Run();
}

bool ExportSvgFile(const Document& doc, const std::string& path, std::string* error) {
  return WriteFileReplacing(path, ExportSvgText(doc), error);
}

}  // namespace host
