// Numbers, lengths, colours and tag attributes of SVG files.
#include "host/svg_common.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace host {

const LengthUnit kLengthUnits[] = {
    {"px", 0.75},        {"pt", 1.0},  {"pc", 12.0},        {"mm", 72.0 / 25.4},
    {"cm", 72.0 / 2.54}, {"in", 72.0}, {"q", 72.0 / 101.6},
};
const int kLengthUnitCount = static_cast<int>(sizeof(kLengthUnits) / sizeof(kLengthUnits[0]));

namespace {

// The named colours of CSS, as 0xRRGGBB.
struct NamedColor {
  const char* name;
  unsigned rgb;
};
const NamedColor kNamedColors[] = {
    {"aliceblue", 0xF0F8FF},
    {"antiquewhite", 0xFAEBD7},
    {"aqua", 0x00FFFF},
    {"aquamarine", 0x7FFFD4},
    {"azure", 0xF0FFFF},
    {"beige", 0xF5F5DC},
    {"bisque", 0xFFE4C4},
    {"black", 0x000000},
    {"blanchedalmond", 0xFFEBCD},
    {"blue", 0x0000FF},
    {"blueviolet", 0x8A2BE2},
    {"brown", 0xA52A2A},
    {"burlywood", 0xDEB887},
    {"cadetblue", 0x5F9EA0},
    {"chartreuse", 0x7FFF00},
    {"chocolate", 0xD2691E},
    {"coral", 0xFF7F50},
    {"cornflowerblue", 0x6495ED},
    {"cornsilk", 0xFFF8DC},
    {"crimson", 0xDC143C},
    {"cyan", 0x00FFFF},
    {"darkblue", 0x00008B},
    {"darkcyan", 0x008B8B},
    {"darkgoldenrod", 0xB8860B},
    {"darkgray", 0xA9A9A9},
    {"darkgreen", 0x006400},
    {"darkgrey", 0xA9A9A9},
    {"darkkhaki", 0xBDB76B},
    {"darkmagenta", 0x8B008B},
    {"darkolivegreen", 0x556B2F},
    {"darkorange", 0xFF8C00},
    {"darkorchid", 0x9932CC},
    {"darkred", 0x8B0000},
    {"darksalmon", 0xE9967A},
    {"darkseagreen", 0x8FBC8F},
    {"darkslateblue", 0x483D8B},
    {"darkslategray", 0x2F4F4F},
    {"darkslategrey", 0x2F4F4F},
    {"darkturquoise", 0x00CED1},
    {"darkviolet", 0x9400D3},
    {"deeppink", 0xFF1493},
    {"deepskyblue", 0x00BFFF},
    {"dimgray", 0x696969},
    {"dimgrey", 0x696969},
    {"dodgerblue", 0x1E90FF},
    {"firebrick", 0xB22222},
    {"floralwhite", 0xFFFAF0},
    {"forestgreen", 0x228B22},
    {"fuchsia", 0xFF00FF},
    {"gainsboro", 0xDCDCDC},
    {"ghostwhite", 0xF8F8FF},
    {"gold", 0xFFD700},
    {"goldenrod", 0xDAA520},
    {"gray", 0x808080},
    {"grey", 0x808080},
    {"green", 0x008000},
    {"greenyellow", 0xADFF2F},
    {"honeydew", 0xF0FFF0},
    {"hotpink", 0xFF69B4},
    {"indianred", 0xCD5C5C},
    {"indigo", 0x4B0082},
    {"ivory", 0xFFFFF0},
    {"khaki", 0xF0E68C},
    {"lavender", 0xE6E6FA},
    {"lavenderblush", 0xFFF0F5},
    {"lawngreen", 0x7CFC00},
    {"lemonchiffon", 0xFFFACD},
    {"lightblue", 0xADD8E6},
    {"lightcoral", 0xF08080},
    {"lightcyan", 0xE0FFFF},
    {"lightgoldenrodyellow", 0xFAFAD2},
    {"lightgray", 0xD3D3D3},
    {"lightgreen", 0x90EE90},
    {"lightgrey", 0xD3D3D3},
    {"lightpink", 0xFFB6C1},
    {"lightsalmon", 0xFFA07A},
    {"lightseagreen", 0x20B2AA},
    {"lightskyblue", 0x87CEFA},
    {"lightslategray", 0x778899},
    {"lightslategrey", 0x778899},
    {"lightsteelblue", 0xB0C4DE},
    {"lightyellow", 0xFFFFE0},
    {"lime", 0x00FF00},
    {"limegreen", 0x32CD32},
    {"linen", 0xFAF0E6},
    {"magenta", 0xFF00FF},
    {"maroon", 0x800000},
    {"mediumaquamarine", 0x66CDAA},
    {"mediumblue", 0x0000CD},
    {"mediumorchid", 0xBA55D3},
    {"mediumpurple", 0x9370DB},
    {"mediumseagreen", 0x3CB371},
    {"mediumslateblue", 0x7B68EE},
    {"mediumspringgreen", 0x00FA9A},
    {"mediumturquoise", 0x48D1CC},
    {"mediumvioletred", 0xC71585},
    {"midnightblue", 0x191970},
    {"mintcream", 0xF5FFFA},
    {"mistyrose", 0xFFE4E1},
    {"moccasin", 0xFFE4B5},
    {"navajowhite", 0xFFDEAD},
    {"navy", 0x000080},
    {"oldlace", 0xFDF5E6},
    {"olive", 0x808000},
    {"olivedrab", 0x6B8E23},
    {"orange", 0xFFA500},
    {"orangered", 0xFF4500},
    {"orchid", 0xDA70D6},
    {"palegoldenrod", 0xEEE8AA},
    {"palegreen", 0x98FB98},
    {"paleturquoise", 0xAFEEEE},
    {"palevioletred", 0xDB7093},
    {"papayawhip", 0xFFEFD5},
    {"peachpuff", 0xFFDAB9},
    {"peru", 0xCD853F},
    {"pink", 0xFFC0CB},
    {"plum", 0xDDA0DD},
    {"powderblue", 0xB0E0E6},
    {"purple", 0x800080},
    {"rebeccapurple", 0x663399},
    {"red", 0xFF0000},
    {"rosybrown", 0xBC8F8F},
    {"royalblue", 0x4169E1},
    {"saddlebrown", 0x8B4513},
    {"salmon", 0xFA8072},
    {"sandybrown", 0xF4A460},
    {"seagreen", 0x2E8B57},
    {"seashell", 0xFFF5EE},
    {"sienna", 0xA0522D},
    {"silver", 0xC0C0C0},
    {"skyblue", 0x87CEEB},
    {"slateblue", 0x6A5ACD},
    {"slategray", 0x708090},
    {"slategrey", 0x708090},
    {"snow", 0xFFFAFA},
    {"springgreen", 0x00FF7F},
    {"steelblue", 0x4682B4},
    {"tan", 0xD2B48C},
    {"teal", 0x008080},
    {"thistle", 0xD8BFD8},
    {"tomato", 0xFF6347},
    {"turquoise", 0x40E0D0},
    {"violet", 0xEE82EE},
    {"wheat", 0xF5DEB3},
    {"white", 0xFFFFFF},
    {"whitesmoke", 0xF5F5F5},
    {"yellow", 0xFFFF00},
    {"yellowgreen", 0x9ACD32},
};

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  c = Lower(c);
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

// Percent-encodes the characters that separate tag entries.
std::string Escape(std::string_view text) {
  std::string out;
  for (char c : text) {
    unsigned char u = static_cast<unsigned char>(c);
    if (c == '%' || c == ';' || c == '=' || c == ':' || u < 0x20) {
      char buffer[4];
      std::snprintf(buffer, sizeof buffer, "%%%02X", u);
      out += buffer;
    } else {
      out += c;
    }
  }
  return out;
}

bool Unescape(std::string_view text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '%') {
      *out += text[i];
      continue;
    }
    if (i + 2 >= text.size()) return false;
    int hi = HexDigit(text[i + 1]);
    int lo = HexDigit(text[i + 2]);
    if (hi < 0 || lo < 0) return false;
    *out += static_cast<char>(hi * 16 + lo);
    i += 2;
  }
  return true;
}

}  // namespace

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string EncodeOtherTags(const std::vector<Tag>& tags) {
  std::string out;
  for (const Tag& tag : tags) {
    if (tag.name == kQuantityTagName) continue;
    if (!out.empty()) out += ';';
    out += Escape(tag.name);
    if (tag.type != "string") out += ':' + Escape(tag.type);
    out += '=' + Escape(tag.value);
  }
  return out;
}

bool DecodeOtherTags(std::string_view text, std::vector<Tag>* tags) {
  while (!text.empty()) {
    size_t end = text.find(';');
    std::string_view entry = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    entry = Trim(entry);
    if (entry.empty()) continue;
    size_t equals = entry.find('=');
    if (equals == std::string_view::npos) return false;
    std::string_view head = entry.substr(0, equals);
    size_t colon = head.find(':');
    Tag tag;
    tag.type = "string";
    if (!Unescape(head.substr(0, colon), &tag.name) || tag.name.empty()) return false;
    if (colon != std::string_view::npos && !Unescape(head.substr(colon + 1), &tag.type))
      return false;
    if (!Unescape(entry.substr(equals + 1), &tag.value)) return false;
    tags->push_back(std::move(tag));
  }
  return true;
}

bool ParseNumber(std::string_view text, size_t* pos, double* value) {
  size_t i = *pos;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  size_t digits_start = i;
  size_t digits = 0;
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  if (i < text.size() && text[i] == '.') {
    ++i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i, ++digits;
  }
  if (digits == 0) return false;
  // An exponent only when digits follow it: "1e" leaves the e to the caller.
  if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
    size_t j = i + 1;
    if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
    if (j < text.size() && text[j] >= '0' && text[j] <= '9') {
      while (j < text.size() && text[j] >= '0' && text[j] <= '9') ++j;
      i = j;
    }
  }
  double v = 0;
  const char* first = text.data() + digits_start;
  const char* last = text.data() + i;
  auto result = std::from_chars(first, last, v);
  if (result.ec != std::errc() || result.ptr != last || !std::isfinite(v)) return false;
  *value = negative ? -v : v;
  *pos = i;
  return true;
}

bool ParseWholeNumber(std::string_view text, double* value) {
  text = Trim(text);
  size_t pos = 0;
  return ParseNumber(text, &pos, value) && pos == text.size();
}

namespace {

// The number and the points per unit of its unit; for em, ex and
// percentages, which are relative, the scale to multiply by instead.
bool SplitLength(std::string_view text, double percent_base, double font_size, double* value,
                 double* points, double* scale) {
  text = Trim(text);
  size_t pos = 0;
  if (!ParseNumber(text, &pos, value)) return false;
  std::string_view unit = Trim(text.substr(pos));
  *points = 0;
  *scale = 0;
  if (unit.empty()) {
    *points = kPointsPerPixel;
  } else if (unit == "%") {
    *scale = percent_base / 100.0;
  } else if (EqualsNoCase(unit, "em")) {
    *scale = font_size;
  } else if (EqualsNoCase(unit, "ex")) {
    *scale = font_size / 2;
  } else {
    for (int i = 0; i < kLengthUnitCount; ++i)
      if (EqualsNoCase(unit, kLengthUnits[i].name)) *points = kLengthUnits[i].points;
    if (*points == 0) return false;
  }
  return true;
}

}  // namespace

bool ParseLengthInPoints(std::string_view text, double percent_base, double* points) {
  double v, unit_points, scale;
  if (!SplitLength(text, percent_base, 16 * kPointsPerPixel, &v, &unit_points, &scale))
    return false;
  double result = unit_points != 0 ? v * unit_points : v * scale;
  if (!std::isfinite(result)) return false;
  *points = result;
  return true;
}

bool ParseLength(std::string_view text, double percent_base, double font_size, double* pixels) {
  double v, unit_points, scale;
  if (!SplitLength(text, percent_base, font_size, &v, &unit_points, &scale)) return false;
  double result;
  if (unit_points == kPointsPerPixel)
    result = v;  // pixels are user units: no rounding at all
  else if (unit_points != 0)
    result = v * unit_points / kPointsPerPixel;
  else
    result = v * scale;
  if (!std::isfinite(result)) return false;
  *pixels = result;
  return true;
}

bool ParseColor(std::string_view text, double rgb[3]) {
  text = Trim(text);
  if (text.empty()) return false;
  if (text[0] == '#') {
    std::string_view hex = text.substr(1);
    int d[8];
    for (size_t i = 0; i < hex.size() && i < 8; ++i) d[i] = HexDigit(hex[i]);
    for (size_t i = 0; i < hex.size(); ++i)
      if (i >= 8 || d[i] < 0) return false;
    if (hex.size() == 3 || hex.size() == 4) {
      for (int i = 0; i < 3; ++i) rgb[i] = (d[i] * 17) / 255.0;
      return true;
    }
    if (hex.size() == 6 || hex.size() == 8) {
      for (int i = 0; i < 3; ++i) rgb[i] = (d[2 * i] * 16 + d[2 * i + 1]) / 255.0;
      return true;
    }
    return false;
  }
  size_t open = text.find('(');
  if (open != std::string_view::npos) {
    std::string_view fn = Trim(text.substr(0, open));
    if (!EqualsNoCase(fn, "rgb") && !EqualsNoCase(fn, "rgba")) return false;
    if (text.back() != ')') return false;
    std::string_view args = text.substr(open + 1, text.size() - open - 2);
    size_t pos = 0;
    for (int i = 0; i < 3; ++i) {
      while (pos < args.size() && (IsBlank(args[pos]) || (i > 0 && args[pos] == ','))) ++pos;
      double v = 0;
      if (!ParseNumber(args, &pos, &v)) return false;
      if (pos < args.size() && args[pos] == '%') {
        v = v / 100.0;
        ++pos;
      } else {
        v = v / 255.0;
      }
      rgb[i] = v < 0 ? 0 : (v > 1 ? 1 : v);
    }
    return true;
  }
  for (const NamedColor& named : kNamedColors) {
    if (EqualsNoCase(text, named.name)) {
      rgb[0] = ((named.rgb >> 16) & 0xFF) / 255.0;
      rgb[1] = ((named.rgb >> 8) & 0xFF) / 255.0;
      rgb[2] = (named.rgb & 0xFF) / 255.0;
      return true;
    }
  }
  return false;
}

std::vector<std::pair<std::string, std::string>> ParseDeclarations(std::string_view text) {
  std::vector<std::pair<std::string, std::string>> out;
  while (!text.empty()) {
    size_t end = text.find(';');
    std::string_view entry = text.substr(0, end);
    text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
    size_t colon = entry.find(':');
    if (colon == std::string_view::npos) continue;
    std::string key(Trim(entry.substr(0, colon)));
    std::string_view value = Trim(entry.substr(colon + 1));
    size_t bang = value.find("!important");
    if (bang != std::string_view::npos) value = Trim(value.substr(0, bang));
    for (char& c : key) c = Lower(c);
    if (!key.empty()) out.emplace_back(std::move(key), std::string(value));
  }
  return out;
}

std::string FormatNumber(double value) {
  if (value == 0) return "0";  // also folds -0
  char buffer[32];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

void ColorToRgb(const HostColor& color, double rgb[3]) {
  auto clamp = [](double v) { return std::isfinite(v) ? (v < 0 ? 0 : (v > 1 ? 1 : v)) : 0; };
  switch (color.kind) {
    case kColorGray:
      rgb[0] = rgb[1] = rgb[2] = clamp(color.components[0]);
      return;
    case kColorFourProcess: {
      double k = clamp(color.components[3]);
      for (int i = 0; i < 3; ++i) rgb[i] = (1 - clamp(color.components[i])) * (1 - k);
      return;
    }
    default:
      for (int i = 0; i < 3; ++i) rgb[i] = clamp(color.components[i]);
      return;
  }
}

}  // namespace host
