#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace file {

enum class AppendResult {
  Written,   // every byte reached the file
  CutBack,   // not all did; the file ends where the last whole line that reached it ends
             // (a pipe or a terminal has no end to cut: what it was given stays given)
  PartLeft,  // not all did, and cutting back failed too: the file may end in part of a line
};

// Writes lines (bytes that end with a line end) at the end of the open descriptor fd,
// going on after short writes. A write the system refuses part-way is cut back to the
// last whole line it left in the file, and errno then holds the write's reason. Only
// system calls on POSIX systems: a process forked from a threaded one may call it.
AppendResult AppendWholeLines(int fd, std::string_view lines);

// Makes a write into a closed pipe or past the file-size limit fail with EPIPE or EFBIG
// instead of ending the process with a signal, so that it is reported and cut back.
void ReportWriteSignalsAsErrors();

// Opens the null device on each of the standard descriptors 0, 1 and 2 that is closed,
// so that no file opened later takes its number and is read or written as a standard
// stream. Standard output gets it for reading only: writing it fails, as when closed.
void KeepStandardDescriptorsTaken();

// What differs between systems, in File_posix.cpp and File_win.cpp.
enum class OpenMode { Read, Append, Replace, CreateNew };
// A descriptor for path (WTF-8, see Wtf8.h), -1 on failure; Append and Replace create it,
// CreateNew only creates it (EEXIST when it exists). New files get the usual permissions.
int Open(const std::string& path, OpenMode mode);
// A new file without a name, for writing, in the folder of path; -1 where the system
// makes none (only Linux does). If the process dies while it has no name, it goes.
int OpenUnnamed(const std::string& path);
// Gives the unnamed file fd the name path, which must not exist (EEXIST).
bool Link(int fd, const std::string& path);
// Renames from over to, replacing it; false (EACCES) when to is read-only, on every system.
bool Rename(const std::string& from, const std::string& to);
bool Remove(const std::string& path);
// Like read(2) and write(2), going on after interruptions; -1 on failure.
std::ptrdiff_t ReadSome(int fd, char* buffer, std::size_t size);
std::ptrdiff_t WriteSome(int fd, const char* bytes, std::size_t size);
// ReadSome and WriteSome going on after short transfers too: the count moved, size but
// at the end of the input or on a failure (errno then says why, 0 when nothing moved).
std::size_t ReadWhole(int fd, void* buffer, std::size_t size);
std::size_t WriteWhole(int fd, const void* bytes, std::size_t size);
// Nothing, with errno ESPIPE, for a pipe or a terminal.
std::optional<std::int64_t> Position(int fd);
bool Truncate(int fd, std::int64_t size);
bool Close(int fd);
// A second descriptor for standard input, in binary mode; -1 on failure.
int DuplicateStandardInput();
#ifdef _WIN32
// The UTF-16 form of path that Windows' wide calls take, in the \\?\ form when it is
// too long for their usual one.
std::wstring SystemPath(const std::string& path);
// The full path of a UTF-16 path, as Windows resolves it; path itself when it cannot.
std::wstring FullPath(const std::wstring& path);
#endif

}  // namespace file

// A file on a path (WTF-8, see Wtf8.h), closed when the object goes away. File
// contents are bytes. Reads and writes go to the system unbuffered: bytes handed to
// AppendWhole are with the system when it returns. Every operation reports failure by
// its result and errno (LastSystemError); only running out of memory throws.
class File {
 public:
  // Opens an existing file for reading. Check IsOpen().
  static File OpenForReading(const std::string& path) { return File(file::Open(path, file::OpenMode::Read)); }
  // Opens a file for writing at its end, creating it when absent. Check IsOpen().
  static File OpenForAppending(const std::string& path) { return File(file::Open(path, file::OpenMode::Append)); }
  // Opens the process's standard input for reading. Check IsOpen().
  static File StandardInput() { return File(file::DuplicateStandardInput()); }

  File() = default;
  // Takes over an open descriptor, or none (-1).
  explicit File(int fd) : fd_(fd) {}
  File(File&& other) noexcept;
  File& operator=(File&& other) noexcept;
  File(const File&) = delete;
  File& operator=(const File&) = delete;
  ~File();

  bool IsOpen() const { return fd_ >= 0; }
  int Descriptor() const { return fd_; }
  // Reads up to size bytes: the count read, 0 at the end of the file, -1 on failure.
  std::ptrdiff_t Read(char* buffer, std::size_t size) { return file::ReadSome(fd_, buffer, size); }
  // Appends bytes that end with a line end: file::AppendWholeLines.
  file::AppendResult AppendWhole(std::string_view bytes) { return file::AppendWholeLines(fd_, bytes); }
  // Closes the file; false when the system reports a failure. Closing a closed file does nothing.
  bool Close();

 private:
  int fd_ = -1;
};

// A file written anew, whole or not at all: the bytes go to a temporary file in the
// target's folder, which takes the target's place only once Commit() has closed it. The
// target stays as it was until then; a replacement that fails, or that is dropped
// without Commit(), leaves no temporary file. Failures leave their reason in errno.
class FileReplacement {
 public:
  // Starts a temporary file for target. Check IsOpen().
  explicit FileReplacement(std::string target);
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  bool IsOpen() const { return file_.IsOpen(); }
  // Writes bytes after those written before; false on failure.
  bool Write(std::string_view bytes);
  // Closes the temporary file and renames it over the target; false on failure.
  bool Commit();

 private:
  bool Fail();  // closes and removes the temporary file, keeping errno; returns false

  std::string target_;
  std::string name_;  // the temporary file's, empty while it has none
  File file_;
};

// The system's reason for the last failed operation, as text.
std::string LastSystemError();
