// Plug-in modules: reading and checking the PiPL block that describes a
// module, and loading the module's library to reach its entry point.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "plugin/messages.h"

namespace host {

// A module carries its PiPL block as two exported C symbols: the bytes and
// their count.
//   extern "C" const unsigned char PiPL_PLUGIN[];
//   extern "C" const uint32_t PiPL_PLUGIN_size;
// The block: big-endian 32-bit reserved (1), version (0) and property count,
// then per property a vendor and a key of four characters each, a 32-bit id
// and data length, and the data padded with zeros to a multiple of four.
constexpr char kPiPLSymbol[] = "PiPL_PLUGIN";
constexpr char kPiPLSizeSymbol[] = "PiPL_PLUGIN_size";
constexpr char kPluginExtension[] = ".aip";
// What the host accepts: a plug-in of kind "SPEA" for interface version 2.
constexpr char kPiPLKind[] = "SPEA";
constexpr uint32_t kPiPLInterfaceVersion = 2;
// Blocks larger than this are not PiPL blocks.
constexpr size_t kMaxPiPLSize = 1 << 16;

struct PiPLInfo {
  std::string name;              // "pinm"
  std::string kind;              // "kind"
  uint32_t interface_version{};  // "ivrs"
};

// Reads the block and checks it: the header, every property inside the
// block, the kind, the interface version and a non-empty, terminated name.
// False with a message that says what is wrong.
bool ParsePiPL(const unsigned char* data, size_t size, PiPLInfo* info, std::string* message);

// A loaded module library. Closing it (or destroying the object) unloads it.
class PluginModule {
 public:
  PluginModule() = default;
  ~PluginModule();
  PluginModule(PluginModule&& other) noexcept;
  PluginModule& operator=(PluginModule&& other) noexcept;
  PluginModule(const PluginModule&) = delete;
  PluginModule& operator=(const PluginModule&) = delete;

  // Loads the library, checks its PiPL block and resolves PluginMain. On
  // failure nothing stays loaded and *message names the file and the fault.
  bool Open(const std::string& path, std::string* message);
  void Close();
  bool is_open() const { return library_ != nullptr; }
  PluginMainProc main() const { return main_; }
  const PiPLInfo& info() const { return info_; }

 private:
  void* library_ = nullptr;
  PluginMainProc main_ = nullptr;
  PiPLInfo info_;
};

}  // namespace host
