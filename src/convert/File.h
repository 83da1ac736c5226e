#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// A file opened on a UTF-8 path through the platform's own API (wide characters on
// Windows), closed when the object goes away. File contents are bytes.
// Every operation reports failure by its result; only running out of memory throws.
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

  bool IsOpen() const;
  // Reads up to size bytes: the count read, 0 at the end of the file, -1 on failure.
  std::ptrdiff_t Read(char* buffer, std::size_t size);
  // Writes bytes at the end of the file. Returns how many were written: all of them,
  // or fewer when the platform failed part-way.
  std::size_t Append(std::string_view bytes);
  std::optional<std::int64_t> Size();
  bool Truncate(std::int64_t size);
  // Closes the file; false when the platform reports a failure. Closing a closed file does nothing.
  bool Close();

 private:
#ifdef _WIN32
  using NativeHandle = void*;
  static inline const NativeHandle kNoHandle = reinterpret_cast<NativeHandle>(-1);
#else
  using NativeHandle = int;
  static constexpr NativeHandle kNoHandle = -1;
#endif
  explicit File(NativeHandle handle) : handle_(handle) {}
  NativeHandle handle_ = kNoHandle;
};

// The platform's reason for the last failed File operation, as text (UTF-8).
std::string LastSystemError();
