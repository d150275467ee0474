// The loadable module Zolvane.aip: its PiPL block and the exported entry point.
#include <cstdint>

#include "plugin/entry.h"

#define ZOLVANE_EXPORT extern "C" __attribute__((visibility("default")))

// Big-endian: reserved 1, version 0, four properties; then each property's
// vendor, key, id, data length and data padded to a multiple of four.
ZOLVANE_EXPORT const unsigned char PiPL_PLUGIN[] = {
    0,   0,   0,   1,   0,   0,   0,   0,   0,   0,   0,   4,  // header
    'A', 'D', 'B', 'E', 'i', 'v', 'r', 's', 0,   0,   0,   0,  // interface version
    0,   0,   0,   4,   0,   0,   0,   2,                      //   2
    'A', 'D', 'B', 'E', 'w', 'x', '8', '6', 0,   0,   0,   0,  // code for 64-bit
    0,   0,   0,   0,                                          //   no data
    'A', 'D', 'B', 'E', 'k', 'i', 'n', 'd', 0,   0,   0,   0,  // kind
    0,   0,   0,   4,   'S', 'P', 'E', 'A',                    //   "SPEA"
    'A', 'D', 'B', 'E', 'p', 'i', 'n', 'm', 0,   0,   0,   0,  // name
    0,   0,   0,   8,   'Z', 'o', 'l', 'v', 'a', 'n', 'e', 0,  //   "Zolvane"
};
ZOLVANE_EXPORT const uint32_t PiPL_PLUGIN_size = sizeof(PiPL_PLUGIN);

ZOLVANE_EXPORT HostErr PluginMain(const char* caller, const char* selector, void* message) {
  return ZolvanePluginMain(caller, selector, message);
}
