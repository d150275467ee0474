// What every suite of the host stand-in shares: the document a call works
// on, handle checks that answer with error codes, and a guard that keeps
// exceptions from crossing the host boundary.
#pragma once

#include <cstring>
#include <new>
#include <string>

#include "host/document.h"
#include "plugin/host_types.h"

namespace host {

// Runs the body of a suite call or an effect; an allocation failure becomes
// kErrOutOfMemory and nothing else escapes (the polygon clipper refuses
// coordinates out of its range by throwing: kErrBadParameter).
template <class F>
HostErr Guard(F&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return kErrOutOfMemory;
  } catch (...) {
    return kErrBadParameter;
  }
}

// The document calls work on: the front one.
inline HostErr CurrentDocument(Document** doc) {
  *doc = Documents().Front();
  return *doc ? kNoErr : kErrNoDocument;
}

// Resolves an art handle in the current document. A null handle is a bad
// parameter; a disposed, stale, foreign or wrong-kind handle is a bad handle.
inline HostErr ResolveArt(ArtHandle handle, Document** doc, Art** art) {
  if (!handle) return kErrBadParameter;
  if (HostErr err = CurrentDocument(doc)) return err;
  *art = (*doc)->Resolve(handle);
  return *art ? kNoErr : kErrBadHandle;
}

inline HostErr ResolveLayer(LayerHandle handle, Document** doc, Layer** layer) {
  if (!handle) return kErrBadParameter;
  if (HostErr err = CurrentDocument(doc)) return err;
  *layer = (*doc)->Resolve(handle);
  return *layer ? kNoErr : kErrBadHandle;
}

// Copies text into a caller's buffer of capacity bytes, cut at a UTF-8
// character boundary so that a truncated text is still valid UTF-8, and
// terminated.
inline void CopyText(const std::string& text, char* out, int32_t capacity) {
  if (!out || capacity <= 0) return;
  size_t n = text.size();
  size_t room = static_cast<size_t>(capacity) - 1;
  if (n > room) {
    n = room;
    // Step back over continuation bytes (10xxxxxx) to the start of the
    // character that did not fit.
    while (n > 0 && (static_cast<unsigned char>(text[n]) & 0xC0) == 0x80) --n;
  }
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

}  // namespace host
