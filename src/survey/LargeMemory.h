#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

// Memory for the large tables of a job, in whole huge pages where the system gives them:
// on some machines touching a fresh page for the first time costs more than all the
// table then does with it.
namespace survey {

// Zeroed memory, as fresh pages come from the system; throws std::bad_alloc.
void* AllocateLarge(std::size_t bytes);
// Frees memory that AllocateLarge gave for as many bytes.
void FreeLarge(void* memory, std::size_t bytes);

struct LargeDeleter {
  std::size_t bytes = 0;
  void operator()(void* memory) const { FreeLarge(memory, bytes); }
};
// An array of count trivial objects, all bytes 0.
template <typename T>
using LargeArray = std::unique_ptr<T[], LargeDeleter>;
template <typename T>
LargeArray<T> MakeLargeArray(std::size_t count) {
  return LargeArray<T>(static_cast<T*>(AllocateLarge(count * sizeof(T))), LargeDeleter{count * sizeof(T)});
}

// An array of trivial objects that grows by chunks that never move, each as large as all
// before it: no copy while it grows, and a small job takes little memory.
template <typename T>
class GrowingArray {
 public:
  T& operator[](std::uint32_t index) { return chunks_[ChunkOf(index)][OffsetOf(index)]; }
  const T& operator[](std::uint32_t index) const { return chunks_[ChunkOf(index)][OffsetOf(index)]; }
  // Makes room for the element at index, the first one past those there.
  void MakeRoom(std::uint32_t index) {
    if (index == capacity_) {
      const std::size_t count = std::size_t{1} << (chunks_.empty() ? kFirstBits : std::bit_width(index) - 1);
      chunks_.push_back(MakeLargeArray<T>(count));
      capacity_ += static_cast<std::uint32_t>(count);
    }
  }

 private:
  // Chunk 0 holds indexes below 2^kFirstBits, chunk k > 0 those of bit width kFirstBits + k.
  static constexpr unsigned kFirstBits = 8;
  static std::size_t ChunkOf(std::uint32_t index) {
    return index >> kFirstBits == 0 ? 0 : static_cast<std::size_t>(std::bit_width(index)) - kFirstBits;
  }
  static std::uint32_t OffsetOf(std::uint32_t index) {
    return index >> kFirstBits == 0 ? index : index - (std::uint32_t{1} << (std::bit_width(index) - 1));
  }

  std::vector<LargeArray<T>> chunks_;
  std::uint32_t capacity_ = 0;
};

}  // namespace survey
