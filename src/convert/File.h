#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// A file on a path (WTF-8, see Wtf8.h), closed when the object goes away. File
// contents are bytes. Reads and writes go to the system unbuffered: bytes handed to
// AppendWhole are with the system when it returns. Every operation reports failure by
// its result; only running out of memory throws.
class File {
 public:
  // Opens an existing file for reading. Check IsOpen().
  static File OpenForReading(const std::string& path);
  // Opens a file for writing at its end, creating it when absent. Check IsOpen().
  static File OpenForAppending(const std::string& path);

  File() = default;
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  bool IsOpen() const { return stream_ != nullptr; }
  // Reads up to size bytes: the count read, 0 at the end of the file, -1 on failure.
  std::ptrdiff_t Read(char* buffer, std::size_t size);

  enum class AppendResult { Written, NotWritten, PartLeft };
  // Writes bytes at the end of the file, all or nothing: a write that fails part-way
  // is cut back, through this handle, to the length the file had before. PartLeft when
  // even that failed, so that the file may end in part of the bytes.
  AppendResult AppendWhole(std::string_view bytes);
  // Closes the file; false when the system reports a failure. Closing a closed file does nothing.
  bool Close();

 private:
  explicit File(std::FILE* stream) : stream_(stream) {}

  std::FILE* stream_ = nullptr;
};

// The system's reason for the last failed File operation, as text.
std::string LastSystemError();

// What differs between systems, in File_posix.cpp and File_win.cpp.
namespace file {
// Opens path with a C mode such as "rb".
std::FILE* Open(const std::string& path, const char* mode);
// Writes bytes at the end of the file; returns how many reached it, also when it fails
// part-way (Windows' C library then says none did).
std::size_t Write(std::FILE* stream, std::string_view bytes);
std::optional<std::int64_t> Size(std::FILE* stream);
bool Truncate(std::FILE* stream, std::int64_t size);
}  // namespace file
