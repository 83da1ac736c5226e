#include "survey/LargeMemory.h"

#include <new>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#endif

namespace survey {

namespace {

constexpr std::size_t kHugePage = 2 << 20;

// Small tables take the usual memory; large ones whole huge pages, where there are any.
std::align_val_t AlignmentFor(std::size_t bytes) {
#ifdef MADV_HUGEPAGE
  if (bytes >= kHugePage) return std::align_val_t{kHugePage};
#endif
  (void)bytes;
  return std::align_val_t{alignof(std::max_align_t)};
}

std::size_t Rounded(std::size_t bytes) {
  const std::size_t alignment = static_cast<std::size_t>(AlignmentFor(bytes));
  return (bytes + alignment - 1) / alignment * alignment;
}

}  // namespace

void* AllocateLarge(std::size_t bytes) {
  void* memory = ::operator new(Rounded(bytes), AlignmentFor(bytes));
#ifdef MADV_HUGEPAGE
  if (bytes >= kHugePage) madvise(memory, Rounded(bytes), MADV_HUGEPAGE);  // only advice: works without
#endif
  return memory;
}

void FreeLarge(void* memory, std::size_t bytes) { ::operator delete(memory, AlignmentFor(bytes)); }

}  // namespace survey
