// Writes host documents as SVG. Art read from a file and untouched since is
// written back from the element it was read from, with one added transform
// for where the host moved it; art changed or made here is written from the
// model, y flipped back down, one user unit per point.
#include "host/svg_export.h"

#include <cmath>
#include <cstdio>
#include <set>
#include <sstream>
#include <unordered_map>
#include <unordered_set>

#include <pugixml.hpp>

#include "host/render.h"
#include "host/svg_common.h"
#include "host/svg_source.h"

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

// --- matrices ------------------------------------------------------------------

constexpr RealMatrix kIdentity{1, 0, 0, 1, 0, 0};
// The document's y axis points up, SVG's down: a point (x, y) of the
// document is (x, -y) in the space the model's art is written in.
constexpr RealMatrix kFlip{1, 0, 0, -1, 0, 0};

// a after b: the matrix that applies b first.
RealMatrix Multiply(const RealMatrix& a, const RealMatrix& b) {
  return RealMatrix{a.a * b.a + a.c * b.b,          a.b * b.a + a.d * b.b,
                    a.a * b.c + a.c * b.d,          a.b * b.c + a.d * b.d,
                    a.a * b.tx + a.c * b.ty + a.tx, a.b * b.tx + a.d * b.ty + a.ty};
}

// The inverse; a matrix that flattens everything has none and gives the
// identity (such art draws nothing anyway).
RealMatrix Inverse(const RealMatrix& m) {
  double det = m.a * m.d - m.b * m.c;
  if (!(det != 0) || !std::isfinite(det)) return kIdentity;
  return RealMatrix{m.d / det,
                    -m.b / det,
                    -m.c / det,
                    m.a / det,
                    (m.c * m.ty - m.d * m.tx) / det,
                    (m.b * m.tx - m.a * m.ty) / det};
}

// Inv(to) m: m seen from the space to maps into the document. Two maps that
// only scale and move by the same scale give a plain move, exactly where
// they agree.
RealMatrix Relative(const RealMatrix& to, const RealMatrix& m) {
  if (to.b == 0 && to.c == 0 && m.b == 0 && m.c == 0 && to.a == m.a && to.d == m.d && to.a != 0 &&
      to.d != 0)
    return RealMatrix{1, 0, 0, 1, (m.tx - to.tx) / to.a, (m.ty - to.ty) / to.d};
  return Multiply(Inverse(to), m);
}

bool Same(const RealMatrix& a, const RealMatrix& b) {
  return a.a == b.a && a.b == b.b && a.c == b.c && a.d == b.d && a.tx == b.tx && a.ty == b.ty;
}

std::string MatrixText(const RealMatrix& m) {
  return "matrix(" + FormatNumber(m.a) + "," + FormatNumber(m.b) + "," + FormatNumber(m.c) + "," +
         FormatNumber(m.d) + "," + FormatNumber(m.tx) + "," + FormatNumber(m.ty) + ")";
}

// --- references between elements ----------------------------------------------

bool IsIdChar(char c) {
  return c != ')' && c != '\'' && c != '"' && c != ' ' && c != '\t' && c != '\n' && c != '\r';
}

// Calls found(id, begin, end) for every "url(#id)" in the text, with the
// offsets of the id.
template <typename Found>
void ForEachUrl(std::string_view text, Found found) {
  size_t at = 0;
  while ((at = text.find("url(", at)) != std::string_view::npos) {
    size_t i = at + 4;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\'' || text[i] == '"')) ++i;
    at = i;
    if (i >= text.size() || text[i] != '#') continue;
    size_t begin = ++i;
    while (i < text.size() && IsIdChar(text[i])) ++i;
    if (i > begin) found(text.substr(begin, i - begin), begin, i);
    at = i;
  }
}

bool IsHref(std::string_view name) {
  return name == "href" || name == "xlink:href";
}

// Every id the element refers to: by href, by url() in any attribute, and
// in the text of a style sheet.
template <typename Found>
void ForEachReference(const pugi::xml_node& el, Found found) {
  for (pugi::xml_attribute a = el.first_attribute(); a; a = a.next_attribute()) {
    std::string_view v = a.value();
    if (IsHref(a.name()) && v.size() > 1 && v[0] == '#') found(v.substr(1));
    ForEachUrl(v, [&](std::string_view id, size_t, size_t) { found(id); });
  }
  if (LocalName(el) == "style")
    for (pugi::xml_node t = el.first_child(); t; t = t.next_sibling())
      ForEachUrl(t.value(), [&](std::string_view id, size_t, size_t) { found(id); });
}

std::string RenameUrls(std::string_view text,
                       const std::unordered_map<std::string, std::string>& renamed) {
  std::string out;
  size_t done = 0;
  ForEachUrl(text, [&](std::string_view id, size_t begin, size_t end) {
    auto it = renamed.find(std::string(id));
    if (it == renamed.end()) return;
    out.append(text.substr(done, begin - done));
    out += it->second;
    done = end;
  });
  if (done == 0) return std::string(text);
  out.append(text.substr(done));
  return out;
}

// Calls visit(node) for the element and every element below it.
template <typename Visit>
void ForEachElement(pugi::xml_node top, Visit visit) {
  std::vector<pugi::xml_node> stack{top};
  while (!stack.empty()) {
    pugi::xml_node n = stack.back();
    stack.pop_back();
    if (n.type() != pugi::node_element) continue;
    visit(n);
    for (pugi::xml_node c = n.last_child(); c; c = c.previous_sibling()) stack.push_back(c);
  }
}

// The properties that children inherit, which an element written away from
// its parents takes along as presentation attributes (so its own style, its
// classes and its own attributes still win).
const char* const kInheritedProperties[] = {"fill",
                                            "fill-opacity",
                                            "fill-rule",
                                            "stroke",
                                            "stroke-width",
                                            "stroke-opacity",
                                            "stroke-linecap",
                                            "stroke-linejoin",
                                            "stroke-miterlimit",
                                            "stroke-dasharray",
                                            "stroke-dashoffset",
                                            "color",
                                            "visibility",
                                            "font-family",
                                            "font-size",
                                            "font-style",
                                            "font-variant",
                                            "font-weight",
                                            "font-stretch",
                                            "text-anchor",
                                            "letter-spacing",
                                            "word-spacing",
                                            "line-height",
                                            "writing-mode",
                                            "direction",
                                            "text-rendering",
                                            "clip-rule",
                                            "marker-start",
                                            "marker-mid",
                                            "marker-end",
                                            "paint-order",
                                            "shape-rendering",
                                            "image-rendering",
                                            "color-interpolation",
                                            "color-interpolation-filters",
                                            "font"};

bool IsBlankText(const pugi::xml_node& n) {
  return n.type() == pugi::node_pcdata && Trim(n.value()).empty();
}

void SetAttribute(pugi::xml_node el, const char* name, const std::string& value) {
  pugi::xml_attribute a = el.attribute(name);
  if (!a) a = el.append_attribute(name);
  a.set_value(value.c_str());
}

void AppendStyle(pugi::xml_node el, const std::string& declarations) {
  std::string style(Trim(el.attribute("style").value()));
  if (!style.empty() && style.back() != ';') style += ';';
  SetAttribute(el, "style", style + declarations);
}

// Where the art's content is written: the space its coordinates are in.
struct Context {
  RealMatrix to_doc = kFlip;  // from the content's user space to document points
  bool flip = true;           // exactly the document with y negated
  // The imported art written here as it was read, with its placement: its
  // children that kept their place are written without any change.
  uint32_t parent = 0;
  RealMatrix placement = kIdentity;
};

class Exporter {
 public:
  explicit Exporter(const Document& doc)
      : doc_(doc), drawing_(doc.source()), root_board_(SvgRootArtboard(doc)) {}
  std::string Run();

 private:
  void IndexSource();
  void WriteNamedView(pugi::xml_node source);
  void WriteLayer(const Layer& layer, int32_t number);
  void WriteArt(const Art& art, pugi::xml_node parent, const Context& ctx);
  pugi::xml_node WriteSource(const Art& art, pugi::xml_node source, pugi::xml_node parent);
  void WriteShallow(const Art& art, pugi::xml_node source, pugi::xml_node parent,
                    const RealMatrix& x, bool in_place);
  void WriteModel(const Art& art, pugi::xml_node parent, const Context& ctx);
  void WriteModelClip(const Art& clip, pugi::xml_node group, const RealMatrix& to_space);
  bool Place(pugi::xml_node el, pugi::xml_node source, const RealMatrix& x, bool in_place);
  void UpdateAttributes(const Art& art, pugi::xml_node el, pugi::xml_node source);
  void CopyKept(pugi::xml_node source, pugi::xml_node out);
  void ClaimIds(pugi::xml_node el, pugi::xml_node source, bool moved, bool deep);
  std::string FreshId(const std::string& base);
  // A unique id, wanted unless taken; own: the id is the source's own.
  std::string ClaimId(const std::string& wanted, bool own);
  bool ReferencedFromOutside(const std::string& id, pugi::xml_node source) const;
  bool Intact(const Art& art, const RealMatrix& placement) const;
  void CopyMissingDefinitions();
  void Common(const Art& art, pugi::xml_node el, bool name);
  void CollectNames(const Art& art);
  pugi::xml_node Source(const Art& art) const {
    return drawing_ && art.origin.element ? SourceNode(art.origin.element) : pugi::xml_node();
  }
  // A line break before the next child, so the file reads as lines.
  static void Break(pugi::xml_node parent) {
    parent.append_child(pugi::node_pcdata).set_value("\n");
  }

  const Document& doc_;
  const SourceDrawing* drawing_;
  RealRect root_board_;
  double unit_ = 1;       // points per user unit of the root
  bool as_read_ = false;  // the root shows the page the file was read with
  RealMatrix root_to_doc_ = kIdentity;
  pugi::xml_document xml_;
  pugi::xml_node svg_;
  pugi::xml_node defs_;
  std::set<std::string> names_;
  std::set<std::string> clip_ids_;
  std::unordered_set<std::string> used_ids_;  // ids written so far
  std::unordered_map<std::string, pugi::xml_node> source_ids_;
  std::unordered_map<std::string, std::vector<pugi::xml_node>> referrers_;
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

void Exporter::IndexSource() {
  ForEachElement(drawing_->xml.document_element(), [&](pugi::xml_node n) {
    if (pugi::xml_attribute id = n.attribute("id")) source_ids_.emplace(id.value(), n);
    ForEachReference(n, [&](std::string_view id) { referrers_[std::string(id)].push_back(n); });
  });
}

std::string Exporter::FreshId(const std::string& base) {
  for (int n = 2;; ++n) {
    std::string id = base + "-" + std::to_string(n);
    if (!used_ids_.count(id) && !source_ids_.count(id) && !names_.count(id)) return id;
  }
}

std::string Exporter::ClaimId(const std::string& wanted, bool own) {
  bool taken = used_ids_.count(wanted) || (!own && source_ids_.count(wanted));
  std::string id = taken ? FreshId(wanted) : wanted;
  used_ids_.insert(id);
  return id;
}

bool Exporter::ReferencedFromOutside(const std::string& id, pugi::xml_node source) const {
  auto it = referrers_.find(id);
  if (it == referrers_.end()) return false;
  for (pugi::xml_node r : it->second) {
    bool inside = false;
    for (pugi::xml_node n = r; n && !inside; n = n.parent()) inside = n == source;
    if (!inside) return true;
  }
  return false;
}

// Every id written is unique. An id already written is renamed, and so is
// one of art written away from where it was read that something outside
// it refers to (a clone of it must show it where it was: the original
// element is then written among the definitions). References inside the
// written element follow its renamed ids; references to anything else stay.
void Exporter::ClaimIds(pugi::xml_node el, pugi::xml_node source, bool moved, bool deep) {
  std::unordered_map<std::string, std::string> renamed;
  auto claim = [&](pugi::xml_node n) {
    pugi::xml_attribute a = n.attribute("id");
    if (!a) return;
    std::string id = a.value();
    if (used_ids_.count(id) || (moved && ReferencedFromOutside(id, source))) {
      std::string fresh = FreshId(id);
      renamed[id] = fresh;
      // The name read from the id stays the name.
      if (!n.attribute("inkscape:label"))
        n.append_attribute("inkscape:label").set_value(id.c_str());
      a.set_value(fresh.c_str());
      id = fresh;
    }
    used_ids_.insert(id);
  };
  if (!deep) {
    claim(el);
    return;
  }
  ForEachElement(el, claim);
  if (renamed.empty()) return;
  ForEachElement(el, [&](pugi::xml_node n) {
    for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
      std::string_view v = a.value();
      if (IsHref(a.name()) && v.size() > 1 && v[0] == '#') {
        auto it = renamed.find(std::string(v.substr(1)));
        if (it != renamed.end()) a.set_value(("#" + it->second).c_str());
      } else if (v.find("url(") != std::string_view::npos) {
        a.set_value(RenameUrls(v, renamed).c_str());
      }
    }
    if (LocalName(n) == "style")
      for (pugi::xml_node t = n.first_child(); t; t = t.next_sibling())
        if (t.type() == pugi::node_pcdata || t.type() == pugi::node_cdata)
          t.set_value(RenameUrls(t.value(), renamed).c_str());
  });
}

// Whether the art is exactly as imported below itself: nothing changed,
// the same children in the same order, all moved as one.
bool Exporter::Intact(const Art& art, const RealMatrix& placement) const {
  const ArtOrigin& o = art.origin;
  if (o.id == 0 || o.changed || !Same(o.placement, placement)) return false;
  // Flags of the parts without an element of their own cannot be written.
  if (!o.element && art.hidden != o.hidden) return false;
  uint32_t i = 0;
  for (const Art* c = art.first_child; c; c = c->next, ++i) {
    if (i >= o.children || c->origin.parent != o.id || c->origin.index != i) return false;
    if (!Intact(*c, placement)) return false;
  }
  return i == o.children;
}

void Exporter::Common(const Art& art, pugi::xml_node el, bool name) {
  // A name that is a unique id is written as the id, any other as a label.
  if (name && !art.name.empty()) {
    pugi::xml_node source = Source(art);
    bool own = source && art.name == source.attribute("id").value();
    if (IsIdName(art.name) && !used_ids_.count(art.name) && !clip_ids_.count(art.name) &&
        (own || !source_ids_.count(art.name))) {
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

// The name, tags and flags the host may have changed on art written from
// its source, set on the written element.
void Exporter::UpdateAttributes(const Art& art, pugi::xml_node el, pugi::xml_node source) {
  // The name of an expanded clone is its target's unless the clone has an
  // id; a label would not come back, so it is left.
  if (LocalName(source) != "use" && !art.name.empty()) {
    pugi::xml_attribute label = source.attribute("inkscape:label");
    std::string read = label ? label.value() : source.attribute("id").value();
    if (art.name != read) SetAttribute(el, "inkscape:label", art.name);
  }
  const Tag* q = FindTag(art, kQuantityTagName);
  if (q)
    SetAttribute(el, kQuantityAttribute, q->value);
  else
    el.remove_attribute(kQuantityAttribute);
  std::string others = EncodeOtherTags(art.tags);
  if (!others.empty())
    SetAttribute(el, kTagsAttribute, others);
  else
    el.remove_attribute(kTagsAttribute);
  if (art.hidden != art.origin.hidden)
    AppendStyle(el, art.hidden ? "display:none" : "display:inline;visibility:visible");
  if (art.locked)
    SetAttribute(el, "sodipodi:insensitive", "true");
  else
    el.remove_attribute("sodipodi:insensitive");
}

// The added transform, and what the element inherited where it was read
// when it is written elsewhere. True when the element is not as it was.
bool Exporter::Place(pugi::xml_node el, pugi::xml_node source, const RealMatrix& x, bool in_place) {
  bool changed = false;
  if (!Same(x, kIdentity)) {
    std::string own(Trim(el.attribute("transform").value()));
    SetAttribute(el, "transform", MatrixText(x) + (own.empty() ? "" : " " + own));
    changed = true;
  }
  if (in_place) return changed;
  pugi::xml_node root = drawing_->xml.document_element();
  std::unordered_map<std::string, std::string> found;
  double opacity = 1;
  for (pugi::xml_node a = source.parent(); a && a != root && a.type() == pugi::node_element;
       a = a.parent()) {
    auto declarations = ParseDeclarations(a.attribute("style").value());
    auto value_of = [&](const char* name) {
      std::string v;
      for (const auto& [k, value] : declarations)
        if (k == name) v = value;
      if (v.empty()) v = a.attribute(name).value();
      return v;
    };
    for (const char* name : kInheritedProperties) {
      if (found.count(name)) continue;
      std::string v = value_of(name);
      if (!v.empty() && v != "inherit") found[name] = v;
    }
    double o;
    if (ParseWholeNumber(value_of("opacity"), &o) && o >= 0 && o <= 1) opacity *= o;
  }
  std::unordered_set<std::string> own;
  for (const auto& [k, v] : ParseDeclarations(el.attribute("style").value())) own.insert(k);
  for (const char* name : kInheritedProperties) {
    auto it = found.find(name);
    if (it != found.end() && !el.attribute(name) && !own.count(name)) {
      el.append_attribute(name).set_value(it->second.c_str());
      changed = true;
    }
  }
  if (opacity != 1 && !el.attribute("opacity") && !own.count("opacity")) {
    el.append_attribute("opacity").set_value(FormatNumber(opacity).c_str());
    changed = true;
  }
  return changed;
}

// The children of a source element that the model does not hold: the
// definitions, titles and metadata in it, and drawable elements that drew
// nothing when read.
void Exporter::CopyKept(pugi::xml_node source, pugi::xml_node out) {
  bool chooses = LocalName(source) == "switch";
  for (pugi::xml_node n = source.first_child(); n; n = n.next_sibling()) {
    if (IsBlankText(n)) continue;
    if (n.type() == pugi::node_element && IsDrawn(LocalName(n)) &&
        (chooses || drawing_->made.count(n.internal_object())))
      continue;
    Break(out);
    pugi::xml_node copy = out.append_copy(n);
    if (copy.type() == pugi::node_element) ClaimIds(copy, n, false, true);
  }
}

pugi::xml_node Exporter::WriteSource(const Art& art, pugi::xml_node source, pugi::xml_node parent) {
  pugi::xml_node el = parent.append_child(source.name());
  for (pugi::xml_attribute a = source.first_attribute(); a; a = a.next_attribute())
    el.append_attribute(a.name()).set_value(a.value());
  UpdateAttributes(art, el, source);
  std::unordered_map<const void*, const Art*> parts;
  for (const Art* c = art.first_child; c; c = c->next)
    if (c->origin.element) parts[c->origin.element] = c;
  for (pugi::xml_node n = source.first_child(); n; n = n.next_sibling()) {
    auto it = n.type() == pugi::node_element ? parts.find(n.internal_object()) : parts.end();
    if (it != parts.end())
      WriteSource(*it->second, n, el);
    else
      el.append_copy(n);
  }
  return el;
}

void Exporter::WriteShallow(const Art& art, pugi::xml_node source, pugi::xml_node parent,
                            const RealMatrix& x, bool in_place) {
  Break(parent);
  pugi::xml_node el = parent.append_child(source.name());
  for (pugi::xml_attribute a = source.first_attribute(); a; a = a.next_attribute())
    el.append_attribute(a.name()).set_value(a.value());
  bool changed = Place(el, source, x, in_place);
  UpdateAttributes(art, el, source);
  ClaimIds(el, source, changed, false);
  Context inner{Multiply(art.origin.placement, art.origin.inner), false, art.origin.id,
                art.origin.placement};
  // The clipping path stays the element's own while it is as it was read.
  const Art* clip = art.clipped ? ClippingArt(art) : nullptr;
  bool clip_kept = clip && !clip->origin.element && clip->origin.parent == art.origin.id &&
                   Intact(*clip, art.origin.placement);
  if (!clip_kept) {
    el.remove_attribute("clip-path");
    if (clip) WriteModelClip(*clip, el, Multiply(Inverse(inner.to_doc), kFlip));
  }
  CopyKept(source, el);
  for (const Art* c = art.last_child; c; c = c->prev)
    if (c != clip) WriteArt(*c, el, inner);
  Break(el);
}

void Exporter::WriteArt(const Art& art, pugi::xml_node parent, const Context& ctx) {
  if (pugi::xml_node source = Source(art)) {
    const ArtOrigin& o = art.origin;
    // Where it was read, as it was placed there: no change at all.
    bool in_place = ctx.parent != 0 && o.parent == ctx.parent && Same(o.placement, ctx.placement);
    RealMatrix x = kIdentity;
    if (!in_place) x = Relative(ctx.to_doc, Multiply(o.placement, o.outer));
    std::string_view kind = LocalName(source);
    // A nested viewport takes no transform of its own.
    bool placeable = kind != "svg" || Same(x, kIdentity);
    if (placeable && Intact(art, o.placement)) {
      Break(parent);
      pugi::xml_node el = WriteSource(art, source, parent);
      ClaimIds(el, source, Place(el, source, x, in_place), true);
      return;
    }
    if (placeable && art.type == kArtTypeGroup && !o.changed && IsGroupLike(kind) &&
        kind != "switch") {
      WriteShallow(art, source, parent, x, in_place);
      return;
    }
  }
  WriteModel(art, parent, ctx);
}

// A clipping path of the model, as a <clipPath> among the definitions; its
// geometry is in the space to_space maps the flipped document into.
void Exporter::WriteModelClip(const Art& clip, pugi::xml_node group, const RealMatrix& to_space) {
  std::string id = clip.name;
  if (id.empty() || names_.count(id) || clip_ids_.count(id) || used_ids_.count(id) ||
      source_ids_.count(id)) {
    do {
      id = "zolvane-clip-" + std::to_string(next_clip_++);  // the importer drops these
    } while (names_.count(id) || clip_ids_.count(id) || used_ids_.count(id) ||
             source_ids_.count(id));
  }
  clip_ids_.insert(id);
  used_ids_.insert(id);
  Break(defs_);
  pugi::xml_node cp = defs_.append_child("clipPath");
  cp.append_attribute("id").set_value(id.c_str());
  cp.append_attribute("clipPathUnits").set_value("userSpaceOnUse");
  pugi::xml_node p = cp.append_child("path");
  std::string d;
  if (clip.type == kArtTypePath) {
    AppendPathData(clip, &d);
  } else {
    for (const Art* c = clip.first_child; c; c = c->next) AppendPathData(*c, &d);
  }
  p.append_attribute("d").set_value(d.c_str());
  if (!Same(to_space, kIdentity))
    p.append_attribute("transform").set_value(MatrixText(to_space).c_str());
  if (clip.style.even_odd) p.append_attribute("clip-rule").set_value("evenodd");
  group.append_attribute("clip-path").set_value(("url(#" + id + ")").c_str());
}

void Exporter::WriteModel(const Art& art, pugi::xml_node parent, const Context& ctx) {
  // The model's art is written in the flipped document; in another space
  // the element takes the map into it.
  RealMatrix to_space = ctx.flip ? kIdentity : Multiply(Inverse(ctx.to_doc), kFlip);
  auto place = [&](pugi::xml_node el) {
    if (!ctx.flip) el.append_attribute("transform").set_value(MatrixText(to_space).c_str());
  };
  switch (art.type) {
    case kArtTypeGroup: {
      Break(parent);
      pugi::xml_node g = parent.append_child("g");
      Common(art, g, true);
      place(g);
      const Art* clip = art.clipped ? ClippingArt(art) : nullptr;
      if (clip) WriteModelClip(*clip, g, kIdentity);
      Context flat;
      for (const Art* c = art.last_child; c; c = c->prev)
        if (c != clip) WriteArt(*c, g, flat);
      if (g.first_child()) Break(g);
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
      Break(parent);
      pugi::xml_node p = parent.append_child("path");
      Common(art, p, true);
      p.append_attribute("d").set_value(d.c_str());
      WriteStyle(art.style, p);
      if (art.type == kArtTypeCompoundPath && art.first_child == art.last_child)
        p.append_attribute(kCompoundAttribute).set_value("1");
      place(p);
      return;
    }
    default: {
      if (!IsBoxArtType(art.type) || art.source.empty()) return;
      pugi::xml_document scratch;
      if (!scratch.load_buffer(art.source.data(), art.source.size(),
                               pugi::parse_default | pugi::parse_ws_pcdata, pugi::encoding_utf8))
        return;
      pugi::xml_node source = scratch.document_element();
      if (!source) return;
      Break(parent);
      pugi::xml_node el = parent.append_copy(source);
      el.remove_attribute("transform");
      el.remove_attribute("id");
      Common(art, el, true);
      RealMatrix m = Multiply(ctx.flip ? kFlip : Inverse(ctx.to_doc), art.matrix);
      el.append_attribute("transform").set_value(MatrixText(m).c_str());
      return;
    }
  }
}

void Exporter::WriteNamedView(pugi::xml_node source) {
  Break(svg_);
  pugi::xml_node view = svg_.append_child("sodipodi:namedview");
  std::vector<pugi::xml_node> pages;
  if (source) {
    for (pugi::xml_attribute a = source.first_attribute(); a; a = a.next_attribute())
      view.append_attribute(a.name()).set_value(a.value());
    ClaimIds(view, source, false, false);
    for (pugi::xml_node n = source.first_child(); n; n = n.next_sibling()) {
      if (IsBlankText(n)) continue;
      if (std::string_view(n.name()) == "inkscape:page") {
        pages.push_back(n);
        continue;
      }
      Break(view);
      pugi::xml_node copy = view.append_copy(n);
      if (copy.type() == pugi::node_element) ClaimIds(copy, n, false, true);
    }
  }
  // Every artboard as a page placed relative to the first, which the root
  // shows; the attributes of the file's pages stay with them in order.
  const auto& boards = doc_.artboards();
  if (boards.size() > 1 || !pages.empty()) {
    for (size_t i = 0; i < boards.size(); ++i) {
      const RealRect& r = boards[i];
      Break(view);
      pugi::xml_node page = view.append_child("inkscape:page");
      if (i < pages.size())
        for (pugi::xml_attribute a = pages[i].first_attribute(); a; a = a.next_attribute())
          page.append_attribute(a.name()).set_value(a.value());
      pugi::xml_attribute id = page.attribute("id");
      SetAttribute(page, "id",
                   id ? ClaimId(id.value(), true) : ClaimId("page" + std::to_string(i + 1), false));
      SetAttribute(page, "x", FormatNumber((r.left - root_board_.left) / unit_));
      SetAttribute(page, "y", FormatNumber((root_board_.top - r.top) / unit_));
      SetAttribute(page, "width", FormatNumber((r.right - r.left) / unit_));
      SetAttribute(page, "height", FormatNumber((r.top - r.bottom) / unit_));
    }
  }
  if (view.first_child()) Break(view);
}

void Exporter::WriteLayer(const Layer& layer, int32_t number) {
  const Art& group = *layer.group;
  pugi::xml_node source = Source(group);
  Break(svg_);
  pugi::xml_node g;
  Context ctx;
  if (source) {
    g = svg_.append_child(source.name());
    for (pugi::xml_attribute a = source.first_attribute(); a; a = a.next_attribute())
      g.append_attribute(a.name()).set_value(a.value());
    // A clipped layer's art is in a clipping group of the model.
    g.remove_attribute("clip-path");
    Place(g, source, Relative(root_to_doc_, group.origin.outer), true);
    ClaimIds(g, source, false, false);
    pugi::xml_attribute label = source.attribute("inkscape:label");
    std::string read = label ? label.value() : source.attribute("id").value();
    if (layer.title != read) SetAttribute(g, "inkscape:label", layer.title);
    if (layer.visible == group.origin.hidden)
      AppendStyle(g, layer.visible ? "display:inline;visibility:visible" : "display:none");
    ctx = Context{group.origin.inner, false, group.origin.id, kIdentity};
  } else {
    g = svg_.append_child("g");
    g.append_attribute("id").set_value(ClaimId("layer" + std::to_string(number), false).c_str());
    g.append_attribute("inkscape:groupmode").set_value("layer");
    g.append_attribute("inkscape:label").set_value(layer.title.c_str());
    if (!layer.visible) g.append_attribute("style").set_value("display:none");
    // Art read from the file goes where it was read, in the root's space;
    // a document made here is written in its points, y down, moved so
    // the first artboard is at the origin of the root's viewBox.
    if (drawing_)
      ctx = Context{root_to_doc_, false, 0, kIdentity};
    else if (root_board_.left != 0 || root_board_.top != 0)
      g.append_attribute("transform")
          .set_value(("translate(" + FormatNumber(0.0 - root_board_.left) + "," +
                      FormatNumber(root_board_.top) + ")")
                         .c_str());
  }
  if (!layer.editable)
    SetAttribute(g, "sodipodi:insensitive", "true");
  else
    g.remove_attribute("sodipodi:insensitive");
  if (source) CopyKept(source, g);
  for (const Art* c = group.last_child; c; c = c->prev) WriteArt(*c, g, ctx);
  if (g.first_child()) Break(g);
}

// Elements referred to that nothing written defines (the original of a
// clone that moved or went, a gradient inside art written from the model)
// are copied from the source into the definitions.
void Exporter::CopyMissingDefinitions() {
  std::vector<pugi::xml_node> pending{svg_};
  for (int round = 0; round < 100 && !pending.empty(); ++round) {
    std::vector<std::string> missing;
    std::unordered_set<std::string> seen;
    for (pugi::xml_node top : pending)
      ForEachElement(top, [&](pugi::xml_node n) {
        ForEachReference(n, [&](std::string_view ref) {
          std::string id(ref);
          if (!used_ids_.count(id) && source_ids_.count(id) && seen.insert(id).second)
            missing.push_back(id);
        });
      });
    pending.clear();
    for (const std::string& id : missing) {
      if (used_ids_.count(id)) continue;
      pugi::xml_node source = source_ids_[id];
      Break(defs_);
      pugi::xml_node copy = defs_.append_copy(source);
      ClaimIds(copy, source, false, true);
      pending.push_back(copy);
    }
  }
}

std::string Exporter::Run() {
  const auto& boards = doc_.artboards();
  // The file's user unit stays (one point for a document made here), so
  // that lengths in percent of the viewport keep their size.
  unit_ = drawing_ ? drawing_->unit : 1;
  as_read_ = drawing_ && root_board_.left == drawing_->page_left &&
             root_board_.top == drawing_->page_top && root_board_.right == drawing_->page_right &&
             root_board_.bottom == drawing_->page_bottom;
  // The map the importer will read the written root with.
  if (as_read_)
    root_to_doc_ = RealMatrix{drawing_->scale_x,
                              0,
                              0,
                              -drawing_->scale_y,
                              drawing_->align_x + root_board_.left,
                              drawing_->align_y + root_board_.top};
  else
    root_to_doc_ = RealMatrix{unit_, 0, 0, -unit_, root_board_.left, root_board_.top};
  pugi::xml_node source_root = drawing_ ? drawing_->xml.document_element() : pugi::xml_node();
  if (source_root) IndexSource();
  for (int32_t i = 0; i < doc_.LayerCount(); ++i) CollectNames(*doc_.NthLayer(i)->group);
  svg_ = xml_.append_child("svg");
  // The file's root attributes and namespaces stay; its size and viewBox
  // become the first artboard's.
  if (source_root)
    for (pugi::xml_attribute a = source_root.first_attribute(); a; a = a.next_attribute())
      if (std::string_view(a.name()) != "transform")
        svg_.append_attribute(a.name()).set_value(a.value());
  for (auto [name, uri] :
       {std::pair{"xmlns", "http://www.w3.org/2000/svg"},
        {"xmlns:xlink", "http://www.w3.org/1999/xlink"},
        {"xmlns:inkscape", "http://www.inkscape.org/namespaces/inkscape"},
        {"xmlns:sodipodi", "http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd"}})
    if (!svg_.attribute(name)) svg_.append_attribute(name).set_value(uri);
  double w = root_board_.right - root_board_.left, h = root_board_.top - root_board_.bottom;
  if (as_read_) {
    // The page as the file gave it (its size in its own units), only the
    // viewBox origin moved to (0, 0): it reads back with the same scale.
    // A file without a viewBox gets one of its page in its user units, so
    // that every renderer fits it to the page alike.
    if (drawing_->has_view_box)
      SetAttribute(
          svg_, "viewBox",
          "0 0 " + FormatNumber(drawing_->view_width) + " " + FormatNumber(drawing_->view_height));
    else
      SetAttribute(
          svg_, "viewBox",
          "0 0 " + FormatNumber(w / drawing_->scale_x) + " " + FormatNumber(h / drawing_->scale_y));
  } else {
    SetAttribute(svg_, "width", FormatNumber(w) + "pt");
    SetAttribute(svg_, "height", FormatNumber(h) + "pt");
    SetAttribute(svg_, "viewBox", "0 0 " + FormatNumber(w / unit_) + " " + FormatNumber(h / unit_));
  }
  if (root_board_.left != 0 || root_board_.top != 0)
    SetAttribute(svg_, kOriginAttribute,
                 FormatNumber(root_board_.left) + " " + FormatNumber(root_board_.top));
  else
    svg_.remove_attribute(kOriginAttribute);
  if (source_root) ClaimIds(svg_, source_root, false, false);
  // The root's definitions, style sheets and metadata as they were; the
  // layers and their art follow from the document.
  bool view_written = false;
  for (pugi::xml_node n = source_root.first_child(); n; n = n.next_sibling()) {
    if (IsBlankText(n)) continue;
    if (n.type() == pugi::node_element) {
      if (std::string_view(n.name()) == "sodipodi:namedview") {
        if (!view_written) WriteNamedView(n);
        view_written = true;
        continue;
      }
      if (IsLayerGroup(n) || IsDrawn(LocalName(n))) continue;
    }
    Break(svg_);
    pugi::xml_node copy = svg_.append_copy(n);
    if (copy.type() == pugi::node_element) ClaimIds(copy, n, false, true);
  }
  if (!view_written && boards.size() > 1) WriteNamedView(pugi::xml_node());
  Break(svg_);
  defs_ = svg_.append_child("defs");
  // Layers bottom first: SVG paints later content on top.
  for (int32_t i = doc_.LayerCount() - 1; i >= 0; --i)
    WriteLayer(*doc_.NthLayer(i), doc_.LayerCount() - i);
  CopyMissingDefinitions();
  if (defs_.first_child()) {
    Break(defs_);
  } else {
    svg_.remove_child(defs_.previous_sibling());
    svg_.remove_child(defs_);
  }
  Break(svg_);
  std::ostringstream out;
  xml_.save(out, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
  return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n" + out.str() + "\n";
}

}  // namespace

RealRect SvgRootArtboard(const Document& doc) {
  for (const RealRect& r : doc.artboards())
    if (std::isfinite(r.left) && std::isfinite(r.top) && r.right - r.left > 0 &&
        r.top - r.bottom > 0 && std::isfinite(r.right - r.left) && std::isfinite(r.top - r.bottom))
      return r;
  return RealRect{-306, 396, 306, -396};
}

std::string ExportSvgText(const Document& doc) {
  Exporter exporter(doc);
  return exporter.Run();
}

bool ExportSvgFile(const Document& doc, const std::string& path, std::string* error) {
  return WriteFileReplacing(path, ExportSvgText(doc), error);
}

}  // namespace host
