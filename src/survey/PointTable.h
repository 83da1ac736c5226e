#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include "survey/LargeMemory.h"

// The points of one job, by id, in the order in which each first got coordinates.
// Memory grows with the points of the job: each takes about 100 bytes.
namespace survey {

inline constexpr std::size_t kColumnWidth = 16;

enum class Source : std::uint8_t { None, Record, Observation };

struct StoredPoint {
  // Id, North, East, Elevation, Code, each blank-padded to 16 bytes: the id as compared
  // (no byte of code 0 to 32), the others as the record or the reduction gave them.
  std::array<std::array<char, kColumnWidth>, 5> columns;
  std::uint32_t version;  // changes whenever the coordinates do
  std::uint32_t setup;    // the station's latest setup, or kNone
  Source source;
  bool station;  // the job holds a station record (02 or 15) of it
  // North, East and Elevation still hold a reduction's numbers (ReducedNumbers), not text:
  // a point observed many times is formatted once, when it is read.
  bool unformatted;
};

// A reduction's result as an unformatted point keeps it, in the bytes of its columns.
struct ReducedNumbers {
  double north, east, elevation;
  bool hasElevation;
};
static_assert(sizeof(ReducedNumbers) <= 3 * kColumnWidth);

class PointTable {
 public:
  static constexpr std::uint32_t kNone = 0xFFFFFFFF;

  // What the table finds an id (16 bytes as StoredPoint keeps it) by.
  static std::uint64_t HashOf(const char* id);
  // The point of id, or kNone.
  std::uint32_t Find(const char* id) const;
  // The point of id, added without coordinates when it is new.
  std::uint32_t FindOrAdd(const char* id) { return FindOrAdd(id, HashOf(id)); }
  std::uint32_t FindOrAdd(const char* id, std::uint64_t hash);
  // Starts loading where the id of hash is looked for, so that the lookup a few records
  // later need not wait for memory.
  void Prefetch(std::uint64_t hash) const {
#ifdef __GNUC__
    if (slotCount_ > 0) __builtin_prefetch(&slots_[(hash >> 32) & (slotCount_ - 1)]);
#endif
  }
  StoredPoint& operator[](std::uint32_t index) { return points_[index]; }
  const StoredPoint& operator[](std::uint32_t index) const { return points_[index]; }
  // Notes that the point now has coordinates from source.
  void GiveCoordinates(std::uint32_t index, Source source);
  // The points that have coordinates, in the order in which they first got them.
  std::uint32_t OrderedCount() const { return orderedCount_; }
  std::uint32_t Ordered(std::uint32_t k) const { return order_[k]; }
  // Forgets every point; keeps the memory for the next job.
  void Clear();

 private:
  // The slot of id: where it is, or the free one where it would go.
  std::size_t Slot(const char* id, std::uint64_t hash) const;
  void Grow();

  // Points never move, so that a job of a million points never holds two copies of them.
  GrowingArray<StoredPoint> points_;
  std::uint32_t size_ = 0;
  GrowingArray<std::uint32_t> order_;
  std::uint32_t orderedCount_ = 0;
  // Open addressing over the ids: a slot holds a point's index plus one in its low half
  // and the high half of its id's hash above, so that a probe seldom has to read the point.
  LargeArray<std::uint64_t> slots_;
  std::size_t slotCount_ = 0;
};

}  // namespace survey
