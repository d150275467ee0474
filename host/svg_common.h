// Facts and small parsers shared by the SVG importer, the exporter and the
// renderer: numbers, lengths, colours, style declarations, and the attribute
// form in which art tags travel through SVG files.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/art.h"
#include "plugin/host_types.h"

namespace host {

// Points per unit of each length unit SVG accepts. A user unit of an SVG
// without a viewBox is one CSS pixel; 96 pixels are one inch, 72 points.
struct LengthUnit {
  const char* name;
  double points;
};
extern const LengthUnit kLengthUnits[];
extern const int kLengthUnitCount;
constexpr double kPointsPerPixel = 0.75;

// The attributes of our own that carry art tags (see docs/svg.md):
//  data-zolvane_quantity="3"            the quantity tag, type "string";
//  data-zolvane-tags="name=value;..."  every other tag, each entry
//                                       name[:type]=value, percent-encoded,
//                                       type omitted when it is "string".
constexpr char kQuantityTagName[] = "zolvane_quantity";
constexpr char kQuantityAttribute[] = "data-zolvane_quantity";
constexpr char kTagsAttribute[] = "data-zolvane-tags";
// A compound path of one subpath is marked so that it comes back as one.
constexpr char kCompoundAttribute[] = "data-zolvane-compound";
// On the root: where the viewBox origin lies in the document ("x y",
// points, y up), written when it is not (0, 0).
constexpr char kOriginAttribute[] = "data-zolvane-origin";
// Process colours are kept exactly beside their RGB rendering.
constexpr char kFillCmykAttribute[] = "data-zolvane-fill-cmyk";
constexpr char kStrokeCmykAttribute[] = "data-zolvane-stroke-cmyk";

// The other tags of the art as the value of kTagsAttribute ("" when none).
std::string EncodeOtherTags(const std::vector<Tag>& tags);
// Adds the tags of a kTagsAttribute value; false for a malformed entry.
bool DecodeOtherTags(std::string_view text, std::vector<Tag>* tags);

// A plain number: optional sign, digits with an optional fraction, optional
// exponent. Reads from text[*pos], moves *pos past it. False (pos kept) when
// there is no number there or its value is not finite.
bool ParseNumber(std::string_view text, size_t* pos, double* value);
// The whole text (blanks around allowed) as one finite number.
bool ParseWholeNumber(std::string_view text, double* value);

// A length with an optional unit, in pixels (user units). Percentages are
// taken of percent_base. False for a bad number or an unknown unit.
bool ParseLength(std::string_view text, double percent_base, double font_size, double* pixels);
// The same in points (a plain number is pixels); percentages of
// percent_base points. Points stay exact: "100pt" is 100.
bool ParseLengthInPoints(std::string_view text, double percent_base, double* points);

// A colour: a name, #rgb, #rrggbb, rgb()/rgba() with numbers or
// percentages. Components 0..1. False when the text is none of these.
bool ParseColor(std::string_view text, double rgb[3]);

// "key: value; key: value" into pairs with blanks trimmed and any
// "!important" dropped; entries without a colon are skipped.
std::vector<std::pair<std::string, std::string>> ParseDeclarations(std::string_view text);

std::string_view Trim(std::string_view text);

// The shortest decimal text that reads back as exactly the same double.
std::string FormatNumber(double value);

// The RGB a host colour is shown with: gray level (0 black, 1 white), and a
// plain conversion of process colours (each channel (1 - ink)(1 - black)).
void ColorToRgb(const HostColor& color, double rgb[3]);

}  // namespace host
