#include "survey/LargeMemory.h"

#include <cstdint>
#include <cstdlib>
#include <new>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

namespace survey {

// calloc takes fresh pages for large blocks, which the system hands out zeroed: no
// second pass writes them.
void* AllocateLarge(std::size_t bytes) {
  void* memory = std::calloc(1, bytes);
  if (memory == nullptr) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  // Only advice, for the whole huge pages inside the block: the table works without.
  constexpr std::uintptr_t kHugePage = 2 << 20;
  const std::uintptr_t start = (reinterpret_cast<std::uintptr_t>(memory) + kHugePage - 1) & ~(kHugePage - 1);
  const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(memory) + bytes) & ~(kHugePage - 1);
  if (end > start) madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
#endif
  return memory;
}

void FreeLarge(void* memory) { std::free(memory); }

}  // namespace survey
