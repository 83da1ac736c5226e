#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The first CR or LF in [p, end), or end.
const char* FindLineEnd(const char* p, const char* end);

// Splits a stream of bytes, given in blocks of any size, into lines. A line ends at
// CR LF, at a lone CR or at a lone LF; the line end is not part of the line, and a
// last line without a line end is a line too.
//
// Memory stays bounded: of each line only the first keepLimit bytes are kept, so a
// longer line is handed on cut short (still longer than any limit it is tested against).
class LineSplitter {
 public:
  explicit LineSplitter(std::size_t keepLimit) : keepLimit_(keepLimit) {}

  // Calls onLine(std::string_view) for every line that bytes completes.
  template <typename OnLine>
  void Feed(std::string_view bytes, OnLine&& onLine);

  // Hands on the last line when the input did not end with a line end.
  template <typename OnLine>
  void Finish(OnLine&& onLine);

 private:
  void Keep(std::string_view bytes) {
    if (pending_.size() < keepLimit_) pending_.append(bytes.substr(0, keepLimit_ - pending_.size()));
  }

  std::size_t keepLimit_;
  std::string pending_;       // the kept start of a line that the last block left open
  bool inLine_ = false;       // bytes of an unfinished line have been seen
  bool afterCr_ = false;      // the last block ended with a CR, whose LF may start the next
};

template <typename OnLine>
void LineSplitter::Feed(std::string_view bytes, OnLine&& onLine) {
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  if (afterCr_ && p != end) {
    if (*p == '\n') ++p;
    afterCr_ = false;
  }
  while (p != end) {
    const char* lineEnd = FindLineEnd(p, end);
    const std::string_view piece(p, static_cast<std::size_t>(lineEnd - p));
    if (lineEnd == end) {
      Keep(piece);
      inLine_ = true;
      return;
    }
    if (inLine_) {
      Keep(piece);
      onLine(std::string_view(pending_));
      pending_.clear();
      inLine_ = false;
    } else {
      onLine(piece.substr(0, keepLimit_));
    }
    p = lineEnd + 1;
    if (*lineEnd == '\r') {
      if (p == end) {
        afterCr_ = true;
      } else if (*p == '\n') {
        ++p;
      }
    }
  }
}

template <typename OnLine>
void LineSplitter::Finish(OnLine&& onLine) {
  if (inLine_) onLine(std::string_view(pending_));
  pending_.clear();
  inLine_ = false;
  afterCr_ = false;
}
