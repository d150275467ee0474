// libFuzzer target: any bytes given to the SVG importer either import or
// give an error, never a crash, a hang or a leak; what imports also exports
// and imports again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "host/document.h"
#include "host/svg_export.h"
#include "host/svg_import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  host::SvgLimits limits;
  // Small limits keep each run quick; the limits themselves are what is tested.
  limits.max_objects = 20000;
  limits.max_segments = 200000;
  limits.max_depth = 64;
  host::Document doc(1, "fuzz");
  std::string error;
  if (host::ImportSvg(text, doc, &error, limits) != host::SvgStatus::kOk) return 0;
  std::string again = host::ExportSvgText(doc);
  host::Document copy(2, "fuzz copy");
  host::ImportSvg(again, copy, &error);
  return 0;
}
