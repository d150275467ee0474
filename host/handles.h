// Opaque host handles: slot tables with generation numbers, so that a stale,
// disposed or foreign handle is recognised instead of being trusted.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace host {

// What a handle value refers to. A handle of one kind passed where another
// kind is expected is rejected like a stale one.
enum class HandleKind : uint8_t {
  kArt = 1,
  kLayer = 2,
  kDocument = 3,
  kView = 4,
  kArtboardList = 5,
};

// A handle value packs, from the high bits down: the document's serial
// (16 bits), the kind (4 bits), the slot's generation (20 bits) and the slot
// index (24 bits). The plug-in only compares and passes these values; the
// host decodes them and checks every field before it touches anything.
struct HandleFields {
  uint32_t document = 0;
  HandleKind kind = HandleKind::kArt;
  uint32_t generation = 0;
  uint32_t slot = 0;
};

constexpr uint32_t kSlotBits = 24;
constexpr uint32_t kGenerationBits = 20;
constexpr uint32_t kMaxSlots = 1u << kSlotBits;
constexpr uint32_t kGenerationMask = (1u << kGenerationBits) - 1;

inline uint64_t EncodeHandle(const HandleFields& f) {
  return (static_cast<uint64_t>(f.document & 0xFFFFu) << 48) |
         (static_cast<uint64_t>(static_cast<uint8_t>(f.kind) & 0xFu) << 44) |
         (static_cast<uint64_t>(f.generation & kGenerationMask) << kSlotBits) |
         static_cast<uint64_t>(f.slot & (kMaxSlots - 1));
}

inline HandleFields DecodeHandle(uint64_t value) {
  HandleFields f;
  f.document = static_cast<uint32_t>(value >> 48);
  f.kind = static_cast<HandleKind>((value >> 44) & 0xFu);
  f.generation = static_cast<uint32_t>((value >> kSlotBits) & kGenerationMask);
  f.slot = static_cast<uint32_t>(value & (kMaxSlots - 1));
  return f;
}

template <class H>
H ToHandle(const HandleFields& f) {
  return reinterpret_cast<H>(static_cast<uintptr_t>(EncodeHandle(f)));
}

template <class H>
HandleFields FromHandle(H handle) {
  return DecodeHandle(static_cast<uint64_t>(reinterpret_cast<uintptr_t>(handle)));
}

// Owns objects by slot. A freed slot's generation moves on, so handles made
// for the object that lived there no longer resolve; the slot is reused
// later under the new generation. Generations start at 1, so no live handle
// is ever all zero below the document field.
template <class T>
class SlotTable {
 public:
  // Takes ownership; returns false (and keeps nothing) when the table is full.
  bool Add(std::unique_ptr<T> object, uint32_t* slot, uint32_t* generation) {
    uint32_t index;
    if (!free_.empty()) {
      index = free_.back();
      free_.pop_back();
    } else {
      if (slots_.size() >= kMaxSlots) return false;
      index = static_cast<uint32_t>(slots_.size());
      slots_.push_back(Slot{});
    }
    slots_[index].object = std::move(object);
    *slot = index;
    *generation = slots_[index].generation;
    return true;
  }

  // The live object of that slot and generation, or null.
  T* Get(uint32_t slot, uint32_t generation) const {
    if (slot >= slots_.size()) return nullptr;
    const Slot& s = slots_[slot];
    if (!s.object || s.generation != generation) return nullptr;
    return s.object.get();
  }

  // Destroys the object and retires its handles.
  void Remove(uint32_t slot) {
    if (slot >= slots_.size() || !slots_[slot].object) return;
    slots_[slot].object.reset();
    uint32_t next = (slots_[slot].generation + 1) & kGenerationMask;
    slots_[slot].generation = next == 0 ? 1 : next;
    free_.push_back(slot);
  }

  size_t LiveCount() const { return slots_.size() - free_.size(); }

 private:
  struct Slot {
    std::unique_ptr<T> object;
    uint32_t generation = 1;
  };
  std::vector<Slot> slots_;
  std::vector<uint32_t> free_;
};

}  // namespace host
