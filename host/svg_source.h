// The drawing a document was imported from, kept whole so that the SVG
// exporter writes untouched art back from the elements it was read from.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include <pugixml.hpp>

namespace host {

struct SourceDrawing {
  pugi::xml_document xml;
  // The folder of the file read, where relative links (linked images) are
  // found; empty for text imported from memory.
  std::string folder;
  // The elements that made art when imported. A drawable element outside
  // this set drew nothing (an empty path, say) and is kept as it is.
  std::unordered_set<const void*> made;
  // The map from the root's user space to document points it was read
  // with: the exporter keeps its scale, so that lengths given in percent of
  // the viewport stay what they were.
  double unit = 1;  // points per user unit when the scale is the same both ways
  // The page the root showed, and how it was given: while the first
  // artboard is that page the root keeps its size as written and its
  // viewBox size, so that it reads back with exactly the same scale.
  double page_left = 0, page_top = 0, page_right = 0, page_bottom = 0;
  bool has_view_box = false;
  double view_width = 0, view_height = 0;
  // The root's map without its viewBox origin: scales and alignment.
  double scale_x = 1, scale_y = 1, align_x = 0, align_y = 0;
};

// An element's name without the "svg:" prefix; foreign elements keep theirs.
inline std::string_view LocalName(const pugi::xml_node& node) {
  std::string_view name = node.name();
  size_t colon = name.find(':');
  if (colon != std::string_view::npos && name.substr(0, colon) == "svg")
    return name.substr(colon + 1);
  return name;
}

// The kinds of element the importer makes art of.
inline bool IsGroupLike(std::string_view kind) {
  return kind == "g" || kind == "a" || kind == "switch" || kind == "svg";
}
inline bool IsShape(std::string_view kind) {
  return kind == "path" || kind == "rect" || kind == "circle" || kind == "ellipse" ||
         kind == "line" || kind == "polyline" || kind == "polygon";
}
// The elements that draw something; everything else (definitions, style
// sheets, metadata, page settings) draws nothing where it stands.
inline bool IsDrawn(std::string_view kind) {
  return IsGroupLike(kind) || IsShape(kind) || kind == "use" || kind == "image" || kind == "text" ||
         kind == "foreignObject";
}
// A top-level group that an editor shows as a layer.
inline bool IsLayerGroup(const pugi::xml_node& el) {
  return LocalName(el) == "g" &&
         std::string_view(el.attribute("inkscape:groupmode").value()) == "layer";
}

// The node an ArtOrigin's element names.
inline pugi::xml_node SourceNode(const void* element) {
  return pugi::xml_node(static_cast<pugi::xml_node_struct*>(const_cast<void*>(element)));
}

}  // namespace host
