#include "convert/File.h"

#include <utility>

File::File(File&& other) noexcept : handle_(std::exchange(other.handle_, kNoHandle)) {}

File& File::operator=(File&& other) noexcept {
  if (this != &other) {
    Close();
    handle_ = std::exchange(other.handle_, kNoHandle);
  }
  return *this;
}

File::~File() { Close(); }

bool File::IsOpen() const { return handle_ != kNoHandle; }
