#include "survey/LargeMemory.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace survey {

#ifdef __linux__
namespace {

constexpr std::size_t kHugePage = std::size_t{2} << 20;
// Smaller blocks come from calloc: a whole huge page for a small job's table would be
// mostly waste.
constexpr std::size_t kHugeFrom = kHugePage;

std::size_t InHugePages(std::size_t bytes) { return (bytes + kHugePage - 1) & ~(kHugePage - 1); }

}  // namespace
#endif

// Fresh pages come zeroed from the system: no second pass writes them.
void* AllocateLarge(std::size_t bytes) {
#ifdef __linux__
  if (bytes >= kHugeFrom) {
    if (bytes > SIZE_MAX - 2 * kHugePage) throw std::bad_alloc();  // no room to round up
    // Mapped here, not by malloc, so that the block starts and ends on huge pages: a page
    // of the block touched 4 KiB at a time costs more than all the table then does with it.
    const std::size_t size = InHugePages(bytes), mapped = size + kHugePage;
    void* const mapping = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (mapping == MAP_FAILED) throw std::bad_alloc();
    const std::uintptr_t first = reinterpret_cast<std::uintptr_t>(mapping);
    const std::uintptr_t start = (first + kHugePage - 1) & ~std::uintptr_t{kHugePage - 1};
    if (start > first) munmap(mapping, start - first);
    if (first + mapped > start + size) munmap(reinterpret_cast<void*>(start + size), first + mapped - start - size);
#ifdef MADV_HUGEPAGE
    madvise(reinterpret_cast<void*>(start), size, MADV_HUGEPAGE);  // only advice: the table works without
#endif
    return reinterpret_cast<void*>(start);
  }
#endif
  void* memory = std::calloc(1, bytes);
  if (memory == nullptr) throw std::bad_alloc();
  return memory;
}

void FreeLarge(void* memory, [[maybe_unused]] std::size_t bytes) {
#ifdef __linux__
  if (bytes >= kHugeFrom) {
    munmap(memory, InHugePages(bytes));
    return;
  }
#endif
  std::free(memory);
}

}  // namespace survey
