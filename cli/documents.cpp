// `zolvane convert` and `zolvane info`: open an SVG drawing in the host
// stand-in and write it as SVG, PDF or PNG, or list what it holds.
#include "cli/documents.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "host/builder.h"
#include "host/document.h"
#include "host/render.h"
#include "host/svg_common.h"
#include "host/svg_export.h"
#include "host/svg_import.h"

namespace cli {
namespace {

const char kConvertHelp[] =
    "usage: zolvane convert IN.svg -o OUT.svg|OUT.pdf|OUT.png [--dpi N] [--artboard N]\n"
    "Opens the SVG drawing and writes it in the format the output name ends with:\n"
    "  .svg  the document as SVG: the drawing as it was read, pages as Inkscape's\n"
    "  .pdf  one page per artboard, in artboard order, drawn by librsvg\n"
    "  .png  a preview of the whole document with its artboards outlined, or of one\n"
    "        artboard with --artboard N (1 is the first)\n"
    "  --dpi N   resolution of the PNG, 1 to 2400 (default 96)\n"
    "Exit codes: 0 done, 1 usage error, 2 bad input file, 3 output not written.\n";

const char kInfoHelp[] =
    "usage: zolvane info IN.svg\n"
    "Opens the SVG drawing and lists its artboards, its layers and the objects on\n"
    "each layer with their kind, name, bounds (points, y up) and quantity.\n"
    "Exit codes: 0 done, 1 usage error, 2 bad input file.\n";

bool IsHelp(const char* arg) {
  return std::strcmp(arg, "--help") == 0 || std::strcmp(arg, "-h") == 0;
}

int UsageError(const char* help, const std::string& message) {
  std::fprintf(stderr, "zolvane: %s\n%s", message.c_str(), help);
  return kExitUsage;
}

// Opens the drawing into a new document; on failure says why and where.
host::Document* Open(const std::string& path) {
  host::Document* doc = host::Documents().New(path);
  std::string error;
  host::SvgStatus status = host::ImportSvgFile(path, *doc, &error);
  if (status != host::SvgStatus::kOk) {
    std::fprintf(stderr, "zolvane: %s\n", error.c_str());
    host::Documents().Close(doc);
    return nullptr;
  }
  return doc;
}

const char* KindName(int16_t type) {
  switch (type) {
    case kArtTypeGroup:
      return "group";
    case kArtTypePath:
      return "path";
    case kArtTypeCompoundPath:
      return "compound path";
    case kArtTypeText:
      return "text";
    case kArtTypePlaced:
      return "placed file";
    case kArtTypeRaster:
      return "image";
    case kArtTypeSymbol:
      return "symbol";
    case kArtTypeMesh:
      return "mesh";
    case kArtTypePluginArt:
      return "other art";
    default:
      return "unknown";
  }
}

}  // namespace

int Convert(int argc, char** argv) {
  std::string in, out;
  double dpi = 96;
  int artboard = 0;
  for (int i = 0; i < argc; ++i) {
    std::string arg = argv[i];
    if (IsHelp(argv[i])) {
      std::fputs(kConvertHelp, stdout);
      return kExitOk;
    }
    if (arg == "-o" || arg == "--dpi" || arg == "--artboard") {
      if (i + 1 >= argc) return UsageError(kConvertHelp, arg + " needs a value");
      std::string value = argv[++i];
      if (arg == "-o") {
        out = value;
      } else {
        double v = 0;
        if (!host::ParseWholeNumber(value, &v))
          return UsageError(kConvertHelp, arg + " needs a number, not \"" + value + "\"");
        if (arg == "--dpi") {
          if (!(v >= 1 && v <= 2400))
            return UsageError(kConvertHelp, "--dpi must be 1 to 2400, not " + value);
          dpi = v;
        } else {
          if (!(v >= 1 && v <= 1000) || v != static_cast<int>(v))
            return UsageError(kConvertHelp, "--artboard must be a whole number 1 to 1000");
          artboard = static_cast<int>(v);
        }
      }
    } else if (!arg.empty() && arg[0] == '-') {
      return UsageError(kConvertHelp, "unknown option " + arg);
    } else if (in.empty()) {
      in = arg;
    } else {
      return UsageError(kConvertHelp, "one input file only (\"" + arg + "\" is extra)");
    }
  }
  if (in.empty()) return UsageError(kConvertHelp, "no input file");
  if (out.empty()) return UsageError(kConvertHelp, "no output file (-o OUT)");
  bool svg = EndsWithNoCase(out, ".svg"), pdf = EndsWithNoCase(out, ".pdf"),
       png = EndsWithNoCase(out, ".png");
  if (!svg && !pdf && !png)
    return UsageError(kConvertHelp, "the output name must end with .svg, .pdf or .png");
  if (artboard > 0 && !png) return UsageError(kConvertHelp, "--artboard is for PNG output");
  host::Document* doc = Open(in);
  if (!doc) return kExitBadInput;
  std::string error;
  bool ok;
  if (svg) {
    ok = host::ExportSvgFile(*doc, out, &error);
  } else if (pdf) {
    ok = host::WritePdf(*doc, out, &error);
  } else {
    host::PngOptions options;
    options.dpi = dpi;
    options.artboard = artboard - 1;
    if (artboard > static_cast<int>(doc->artboards().size())) {
      std::fprintf(stderr, "zolvane: %s: the document has %zu artboards, not %d\n", in.c_str(),
                   doc->artboards().size(), artboard);
      host::Documents().Close(doc);
      return kExitUsage;
    }
    ok = host::WritePng(*doc, out, options, &error);
  }
  host::Documents().Close(doc);
  if (!ok) {
    std::fprintf(stderr, "zolvane: %s\n", error.c_str());
    return kExitCannotWrite;
  }
  return kExitOk;
}

int Info(int argc, char** argv) {
  std::string in;
  for (int i = 0; i < argc; ++i) {
    if (IsHelp(argv[i])) {
      std::fputs(kInfoHelp, stdout);
      return kExitOk;
    }
    if (argv[i][0] == '-') return UsageError(kInfoHelp, std::string("unknown option ") + argv[i]);
    if (!in.empty()) return UsageError(kInfoHelp, "one input file only");
    in = argv[i];
  }
  if (in.empty()) return UsageError(kInfoHelp, "no input file");
  host::Document* doc = Open(in);
  if (!doc) return kExitBadInput;
  std::printf("%s\n", in.c_str());
  const auto& boards = doc->artboards();
  std::printf("artboards: %zu\n", boards.size());
  for (size_t i = 0; i < boards.size(); ++i) {
    const RealRect& b = boards[i];
    std::printf("  %zu: left %.3f top %.3f right %.3f bottom %.3f (%.3f x %.3f pt)\n", i + 1,
                b.left, b.top, b.right, b.bottom, b.right - b.left, b.top - b.bottom);
  }
  std::printf("layers: %d\n", doc->LayerCount());
  for (int32_t i = 0; i < doc->LayerCount(); ++i) {
    const host::Layer* layer = doc->NthLayer(i);
    std::vector<host::Art*> art = host::TopLevelArt(*layer);
    std::printf("  layer \"%s\"%s%s: %zu objects\n", layer->title.c_str(),
                layer->visible ? "" : " (hidden)", layer->editable ? "" : " (locked)", art.size());
    for (const host::Art* a : art) {
      RealRect r{};
      bool measured = host::ArtExtent(*a, nullptr, kBoundsNoStroke, &r);
      const host::Tag* q = host::FindTag(*a, host::kQuantityTagName);
      std::printf("    %-13s %-24s", KindName(a->type),
                  a->name.empty() ? "-" : ("\"" + a->name + "\"").c_str());
      if (measured)
        std::printf(" bounds %.3f %.3f %.3f %.3f", r.left + 0.0, r.top + 0.0, r.right + 0.0,
                    r.bottom + 0.0);  // + 0.0: no "-0.000"
      else
        std::printf(" bounds none");
      std::printf(" quantity %s%s\n", q ? q->value.c_str() : "-", a->hidden ? " (hidden)" : "");
    }
  }
  host::Documents().Close(doc);
  return kExitOk;
}

bool EndsWithNoCase(const std::string& s, const char* suffix) {
  size_t n = std::strlen(suffix);
  if (s.size() < n) return false;
  for (size_t i = 0; i < n; ++i) {
    char c = s[s.size() - n + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != suffix[i]) return false;
  }
  return true;
}

}  // namespace cli
