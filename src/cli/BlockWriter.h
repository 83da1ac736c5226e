#pragma once

#include <cstddef>
#include <memory>
#include <string>

// Appends blocks of whole CSV lines to one output file, in the background, so that
// converting the next block overlaps writing this one.
//
// The file is created when the first block is written. A write that fails is cut
// back to the length the file had before that block. Interrupting the converter never
// leaves part of a block in the file: on POSIX systems the writes are made by a
// helper process in a process group of its own, deaf to the interrupting signals,
// which finishes the blocks it was given when the converter ends; on Windows the
// kernel completes a write before it ends a thread.
class BlockWriter {
 public:
  // Half a megabyte: the block being filled and the one being written stay in cache.
  static constexpr std::size_t kBlockCapacity = 512 << 10;
  // Added to Reason() when a failed block could not be cut off the file again.
  static constexpr const char* kPartLeftNote = "; cutting the file back failed too: it may end in part of a line";

  explicit BlockWriter(const std::string& path);
  ~BlockWriter();
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  // Room for kBlockCapacity bytes to gather the next block in.
  char* Buffer();
  // Hands the first size bytes of Buffer() over for writing. False when writing
  // failed, this block or an earlier one; Reason() then says why.
  bool Submit(std::size_t size);
  // Waits until every block is written and closes the file. False on any failure.
  bool Finish();
  const std::string& Reason() const { return reason_; }

 private:
  struct Platform;
  std::unique_ptr<Platform> platform_;
  std::string path_;
  std::string reason_;
};
