// The alerts of the nesting engine's runs, in English and Japanese.
#pragma once

#include <cstdint>

enum class RunText : int32_t {
  kNoObjectSelected,
  kMultipleObjectsSelected,
  kObjectTooLarge,
  kReproduced,  // a printf format: the number of copies made
  kNothingReproduced,
  // A printf format: the object's number, its quantity, the most copies a
  // run makes of it.
  kTooManyCopies,
  kOutOfMemory,
  kCount,
};

// The text in `language` (1 English, 0 Japanese); any other value is
// taken as English.
const char* GetRunText(RunText text, int16_t language);
