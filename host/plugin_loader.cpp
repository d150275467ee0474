// PiPL blocks and module libraries loaded with the dynamic loader.
#include "host/plugin_loader.h"

#include <dlfcn.h>

#include <cstring>
#include <utility>

namespace host {
namespace {

uint32_t ReadBig32(const unsigned char* p) {
  return (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
         (static_cast<uint32_t>(p[2]) << 8) | static_cast<uint32_t>(p[3]);
}

bool Fail(std::string* message, const std::string& text) {
  if (message) *message = text;
  return false;
}

}  // namespace

bool ParsePiPL(const unsigned char* data, size_t size, PiPLInfo* info, std::string* message) {
  PiPLInfo found;
  if (!data) return Fail(message, "no PiPL block");
  if (size < 12 || size > kMaxPiPLSize) return Fail(message, "PiPL block of a wrong size");
  if (ReadBig32(data) != 1 || ReadBig32(data + 4) != 0) {
    return Fail(message, "PiPL block with a wrong header");
  }
  uint32_t count = ReadBig32(data + 8);
  size_t at = 12;
  bool have_kind = false;
  bool have_version = false;
  bool have_name = false;
  for (uint32_t i = 0; i < count; ++i) {
    if (size - at < 16) return Fail(message, "PiPL block ends inside a property");
    std::string vendor(reinterpret_cast<const char*>(data + at), 4);
    std::string key(reinterpret_cast<const char*>(data + at + 4), 4);
    uint32_t length = ReadBig32(data + at + 12);
    at += 16;
    size_t padded = (static_cast<size_t>(length) + 3) / 4 * 4;
    if (padded > size - at)
      return Fail(message, "PiPL property \"" + key + "\" runs past the block");
    const unsigned char* value = data + at;
    at += padded;
    if (vendor != "ADBE") continue;
    if (key == "kind") {
      if (length != 4) return Fail(message, "PiPL kind of a wrong length");
      found.kind.assign(reinterpret_cast<const char*>(value), 4);
      have_kind = true;
    } else if (key == "ivrs") {
      if (length != 4) return Fail(message, "PiPL interface version of a wrong length");
      found.interface_version = ReadBig32(value);
      have_version = true;
    } else if (key == "pinm") {
      const void* end = std::memchr(value, 0, length);
      if (!end) return Fail(message, "PiPL plug-in name without its terminator");
      found.name.assign(reinterpret_cast<const char*>(value),
                        static_cast<const unsigned char*>(end) - value);
      have_name = true;
    }
  }
  if (!have_kind) return Fail(message, "PiPL block without a kind");
  if (found.kind != kPiPLKind) return Fail(message, "PiPL kind \"" + found.kind + "\" is not SPEA");
  if (!have_version) return Fail(message, "PiPL block without an interface version");
  if (found.interface_version != kPiPLInterfaceVersion) {
    return Fail(message,
                "PiPL interface version " + std::to_string(found.interface_version) + " is not 2");
  }
  if (!have_name || found.name.empty()) return Fail(message, "PiPL block without a plug-in name");
  if (info) *info = std::move(found);
  return true;
}

PluginModule::~PluginModule() {
  Close();
}

PluginModule::PluginModule(PluginModule&& other) noexcept
    : library_(std::exchange(other.library_, nullptr)),
      main_(std::exchange(other.main_, nullptr)),
      info_(std::move(other.info_)) {}

PluginModule& PluginModule::operator=(PluginModule&& other) noexcept {
  if (this != &other) {
    Close();
    library_ = std::exchange(other.library_, nullptr);
    main_ = std::exchange(other.main_, nullptr);
    info_ = std::move(other.info_);
  }
  return *this;
}

bool PluginModule::Open(const std::string& path, std::string* message) {
  Close();
  void* library = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!library) {
    const char* why = dlerror();
    return Fail(message, path + ": cannot be loaded: " + (why ? why : "unknown reason"));
  }
  auto refuse = [&](const std::string& why) {
    dlclose(library);
    return Fail(message, path + ": " + why);
  };
  const auto* block = static_cast<const unsigned char*>(dlsym(library, kPiPLSymbol));
  const auto* block_size = static_cast<const uint32_t*>(dlsym(library, kPiPLSizeSymbol));
  if (!block || !block_size) return refuse("no PiPL block");
  PiPLInfo info;
  std::string why;
  if (!ParsePiPL(block, *block_size, &info, &why)) return refuse(why);
  void* entry = dlsym(library, kPluginMainName);
  if (!entry) return refuse("no PluginMain entry point");
  library_ = library;
  main_ = reinterpret_cast<PluginMainProc>(entry);
  info_ = std::move(info);
  return true;
}

void PluginModule::Close() {
  if (library_) dlclose(library_);
  library_ = nullptr;
  main_ = nullptr;
}

}  // namespace host
