// Open-addressed slots over a list of keys kept elsewhere: each slot holds
// the index of a key in the list, or kFreeSlot. Four bytes a slot, where a
// map from keys makes a node of some 70 bytes a key.
#pragma once

#include <bit>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace korvane {

constexpr uint32_t kFreeSlot = UINT32_MAX;

// Free slots for up to `keys` keys: a power of two past twice as many.
inline std::vector<uint32_t> free_slots(size_t keys) {
  return std::vector<uint32_t>(std::bit_ceil(2 * keys + 1), kFreeSlot);
}

// The slot that holds the index of a key equal to `key`, or the free slot
// where its index goes; key_at(i) is the key of index i.
template <typename KeyAt>
size_t key_slot(const std::vector<uint32_t>& slots, std::string_view key,
                const KeyAt& key_at) {
  size_t mask = slots.size() - 1, hash = std::hash<std::string_view>{}(key);
  size_t at = hash & mask;
  while (slots[at] != kFreeSlot && key_at(slots[at]) != key)
    at = (at + 1) & mask;
  return at;
}

}  // namespace korvane
