#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>

// A file on a UTF-8 path, closed when the object goes away. File contents are bytes.
// Reads and writes go to the system unbuffered: a line handed to Append is with the
// system when Append returns. Every operation reports failure by its result; only
// running out of memory throws.
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
  // Writes bytes at the end of the file. Returns how many were written: all of them,
  // or fewer when the system failed part-way.
  std::size_t Append(std::string_view bytes);
  std::optional<std::int64_t> Size() const;
  bool Truncate(std::int64_t size);
  // Closes the file; false when the system reports a failure. Closing a closed file does nothing.
  bool Close();

 private:
  File(std::FILE* stream, std::string path) : stream_(stream), path_(std::move(path)) {}

  std::FILE* stream_ = nullptr;
  std::string path_;
};

// Opens path (UTF-8) with a C mode such as "rb". The one place that differs between
// systems: Windows takes names in any script only through its wide-character call.
std::FILE* OpenFileStream(const std::string& path, const char* mode);

// The system's reason for the last failed File operation, as text.
std::string LastSystemError();
