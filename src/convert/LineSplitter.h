#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "convert/Vector.h"

// The first CR or LF in [p, end), or end.
const char* FindLineEnd(const char* p, const char* end);

#ifdef VARNEL_SSE2
// MayHoldLineEnd of the bytes whose least value at each of sixteen places is lowest.
inline bool MayHoldLineEnd(__m128i lowest) {
  return _mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(lowest, _mm_set1_epi8(13)), lowest)) != 0;
}
#endif

// False when none of the size bytes at p (16 or more) is a CR or an LF; true when one
// is, and also when any is below 14, so that a caller that takes a run of whole lines
// may leave the doubtful ones to the line by line reading.
inline bool MayHoldLineEnd(const char* p, std::size_t size) {
#ifdef VARNEL_SSE2
  __m128i lowest = Load16(p + size - 16);  // the last sixteen overlap the ones before
  for (std::size_t at = 0; at + 16 < size; at += 16) lowest = _mm_min_epu8(lowest, Load16(p + at));
  return MayHoldLineEnd(lowest);
#else
  return FindLineEnd(p, p + size) != p + size;
#endif
}

// Splits a stream of bytes, given in blocks of any size, into lines. A line ends at
// CR LF, at a lone CR or at a lone LF; the line end is not part of the line, and a
// last line without a line end is a line too.
//
// Memory stays bounded: of each line only the first keepLimit bytes are kept, so a
// longer line is handed on cut short (still longer than any limit it is tested against).
class LineSplitter {
 public:
  explicit LineSplitter(std::size_t keepLimit) : keepLimit_(keepLimit) {}

  struct TakeNoLines {
    const char* operator()(const char* p, const char*) const { return p; }
  };

  // Calls onLine(std::string_view) for every line that bytes completes. Where a line
  // starts, takeLines(p, end) may first take whole lines from [p, end) itself, ends
  // included, and returns where it stopped: at the start of a line, or at end.
  template <typename OnLine, typename TakeLines = TakeNoLines>
  void Feed(std::string_view bytes, OnLine&& onLine, TakeLines&& takeLines = TakeLines());

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

template <typename OnLine, typename TakeLines>
void LineSplitter::Feed(std::string_view bytes, OnLine&& onLine, TakeLines&& takeLines) {
  const char* p = bytes.data();
  const char* const end = p + bytes.size();
  if (afterCr_ && p != end) {
    if (*p == '\n') ++p;
    afterCr_ = false;
  }
  while (p != end) {
    if (!inLine_ && (p = takeLines(p, end)) == end) return;
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
