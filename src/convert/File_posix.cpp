#include <sys/stat.h>
#include <unistd.h>

#include "convert/File.h"

namespace file {

std::FILE* Open(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

std::optional<std::int64_t> Size(std::FILE* stream) {
  struct stat status {};
  if (fstat(fileno(stream), &status) != 0) return std::nullopt;
  return status.st_size;
}

bool Truncate(std::FILE* stream, std::int64_t size) { return ftruncate(fileno(stream), size) == 0; }

}  // namespace file
