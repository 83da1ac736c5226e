#include <sys/stat.h>
#include <unistd.h>

#include "convert/File.h"

namespace file {

std::FILE* Open(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }

// The stream has no buffer of its own: fwrite counts what the system took.
std::size_t Write(std::FILE* stream, std::string_view bytes) { return std::fwrite(bytes.data(), 1, bytes.size(), stream); }

std::optional<std::int64_t> Size(std::FILE* stream) {
  struct stat status {};
  if (fstat(fileno(stream), &status) != 0) return std::nullopt;
  return status.st_size;
}

bool Truncate(std::FILE* stream, std::int64_t size) { return ftruncate(fileno(stream), size) == 0; }

}  // namespace file
