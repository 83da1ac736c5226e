#include "survey/PointTable.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <utility>

namespace survey {

std::uint64_t PointTable::HashOf(const char* id) {
  std::uint64_t a = 0, b = 0;
  std::memcpy(&a, id, 8);
  std::memcpy(&b, id + 8, 8);
  // Ids differ most in their last characters: mixed into every bit (MurmurHash3's finaliser).
  std::uint64_t h = a ^ (b * 0x9E3779B97F4A7C15u);
  h = (h ^ (h >> 33)) * 0xFF51AFD7ED558CCDu;
  h = (h ^ (h >> 33)) * 0xC4CEB9FE1A85EC53u;
  return h ^ (h >> 33);
}

namespace {

// A free slot, as new memory comes: a slot holds a point's index plus one.
constexpr std::uint64_t kFree = 0;

std::uint32_t IndexIn(std::uint64_t slot) { return static_cast<std::uint32_t>(slot) - 1; }
constexpr std::uint64_t kTagMask = ~std::uint64_t{PointTable::kNone};
constexpr std::size_t kFewestSlots = 1024;

}  // namespace

std::size_t PointTable::Slot(const char* id, std::uint64_t hash) const {
  const std::size_t mask = slotCount_ - 1;
  for (std::size_t slot = (hash >> 32) & mask;; slot = (slot + 1) & mask) {
    const std::uint64_t entry = slots_[slot];
    if (entry == kFree) return slot;
    if ((entry & kTagMask) == (hash & kTagMask) &&
        std::memcmp((*this)[IndexIn(entry)].columns[0].data(), id, kColumnWidth) == 0) {
      return slot;
    }
  }
}

std::uint32_t PointTable::Find(const char* id) const {
  if (size_ == 0) return kNone;
  return IndexIn(slots_[Slot(id, HashOf(id))]);  // kNone for a free slot
}

std::uint32_t PointTable::FindOrAdd(const char* id, std::uint64_t hash) {
  if ((std::size_t{size_} + 1) * 4 > slotCount_ * 3) Grow();  // at most three quarters full
  const std::size_t slot = Slot(id, hash);
  if (slots_[slot] != kFree) return IndexIn(slots_[slot]);
  points_.MakeRoom(size_);
  StoredPoint& point = (*this)[size_];
  std::memcpy(point.columns[0].data(), id, kColumnWidth);
  for (std::size_t k = 1; k < point.columns.size(); ++k) point.columns[k].fill(' ');
  point.version = 0;
  point.setup = kNone;
  point.source = Source::None;
  point.station = false;
  point.unformatted = false;
  slots_[slot] = (hash & kTagMask) | (size_ + 1);
  return size_++;
}

void PointTable::GiveCoordinates(std::uint32_t index, Source source) {
  StoredPoint& point = (*this)[index];
  if (point.source == Source::None) {
    order_.MakeRoom(orderedCount_);
    order_[orderedCount_] = index;
    ++orderedCount_;
  }
  point.source = source;
  ++point.version;
}

void PointTable::Grow() {
  const std::size_t count = std::max(slotCount_ * 2, kFewestSlots);
  LargeArray<std::uint64_t> old = std::exchange(slots_, MakeLargeArray<std::uint64_t>(count));  // all free
  const std::size_t oldCount = std::exchange(slotCount_, count);
  for (std::size_t k = 0; k < oldCount; ++k) {
    if (old[k] == kFree) continue;
    // The tag is the hash's high half, which also places the slot: no point is read.
    std::size_t slot = (old[k] >> 32) & (count - 1);
    while (slots_[slot] != kFree) slot = (slot + 1) & (count - 1);
    slots_[slot] = old[k];
  }
}

void PointTable::Clear() {
  if (size_ == 0) return;
  // As many slots as this job's points needed, so that a file of many small jobs after a
  // large one costs what its points cost.
  slotCount_ = std::min(slotCount_, std::bit_ceil(std::size_t{4} * size_ + kFewestSlots));
  std::fill_n(slots_.get(), slotCount_, kFree);
  size_ = 0;
  orderedCount_ = 0;
}

}  // namespace survey
