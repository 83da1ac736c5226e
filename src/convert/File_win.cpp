#include "convert/File.h"

#include "convert/Utf16.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <utility>

namespace {

HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
  if (path.empty()) return INVALID_HANDLE_VALUE;
  const std::wstring wide = Widen(path);
  return CreateFileW(wide.c_str(), access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

File File::OpenForReading(const std::string& path) {
  return File(Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING));
}

File File::OpenForAppending(const std::string& path) {
  // Write access, not append-only access, so that a failed line can be cut off again.
  return File(Open(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS));
}

std::ptrdiff_t File::Read(char* buffer, std::size_t size) {
  DWORD count = 0;
  const DWORD wanted = size > MAXDWORD ? MAXDWORD : static_cast<DWORD>(size);
  if (!ReadFile(handle_, buffer, wanted, &count, nullptr)) return -1;
  return static_cast<std::ptrdiff_t>(count);
}

std::size_t File::Append(std::string_view bytes) {
  LARGE_INTEGER end{};
  if (!SetFilePointerEx(handle_, end, nullptr, FILE_END)) return 0;
  std::size_t written = 0;
  while (written < bytes.size()) {
    DWORD count = 0;
    const std::size_t left = bytes.size() - written;
    const DWORD wanted = left > MAXDWORD ? MAXDWORD : static_cast<DWORD>(left);
    if (!WriteFile(handle_, bytes.data() + written, wanted, &count, nullptr) || count == 0) break;
    written += count;
  }
  return written;
}

std::optional<std::int64_t> File::Size() {
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(handle_, &size)) return std::nullopt;
  return size.QuadPart;
}

bool File::Truncate(std::int64_t size) {
  LARGE_INTEGER position{};
  position.QuadPart = size;
  return SetFilePointerEx(handle_, position, nullptr, FILE_BEGIN) && SetEndOfFile(handle_);
}

bool File::Close() {
  if (!IsOpen()) return true;
  return CloseHandle(std::exchange(handle_, kNoHandle)) != 0;
}

std::string LastSystemError() {
  const DWORD error = GetLastError();
  wchar_t* text = nullptr;
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                     nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = length ? std::wstring(text, length) : L"error " + std::to_wstring(error);
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\r' || message.back() == L'\n' || message.back() == L'.')) {
    message.pop_back();
  }
  return Narrow(message);
}
