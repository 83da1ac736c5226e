#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "convert/BlockConversion.h"

// Where a BlockWriter writes: a file that it opens at the first block, or standard output.
struct OutputTarget {
  std::string path;      // empty: standard output
  bool replace = false;  // an existing file is replaced instead of appended to
  std::string folder;    // made, when missing, before the first block
};

// What the writers of both systems do with their target (BlockWriter.cpp).
namespace blocks {

// How writing one block ended.
struct Outcome {
  int error = 0;          // 0 when the block was written, else the system's error number
  bool partLeft = false;  // the failed block could not be cut back to a whole line
};

// Appends block to target, whole lines or nothing, after opening the target when fd is
// still -1 (standard output is descriptor 1). System calls only on POSIX systems.
Outcome Append(const OutputTarget& target, int& fd, std::string_view block);
// Closes a file that Append opened: 0, or the system's error number.
int Close(const OutputTarget& target, int fd);

}  // namespace blocks

// Appends blocks of whole CSV lines to one output, in the background, so that
// converting the next block overlaps writing this one.
//
// A file is created when the first block is written. A write that fails is cut back to
// the last whole line it left (file::AppendWholeLines), and nothing after it is
// written. Interrupting the converter never leaves part of a block in the file: on
// POSIX systems the writes are made by a helper process in a process group of its own,
// deaf to the interrupting signals, which finishes the blocks it was given when the
// converter ends; on Windows the kernel completes a write before it ends a thread.
class BlockWriter : public CsvBlockOutput {
 public:
  // Added to Reason() when a failed block could not be cut back to a whole line.
  static constexpr const char* kPartLeftNote = "; cutting the file back failed too: it may end in part of a line";

  // onFailure is called once a write fails, so that the run may end while the converter
  // waits for input: on another thread, or on POSIX systems in the helper process, where
  // it may make system calls only (BlockReader::Stop).
  BlockWriter(const OutputTarget& target, std::function<void()> onFailure);
  ~BlockWriter();
  BlockWriter(const BlockWriter&) = delete;
  BlockWriter& operator=(const BlockWriter&) = delete;

  // Starts writing in the background now rather than at the first block. A converter
  // that holds a job's points until the job ends calls it before it holds them: on POSIX
  // systems the helper process then shares none of that memory, which a process forked
  // later shares page by page (and copies as the converter writes to it again).
  void StartEarly();
  char* Buffer() override;
  // Hands the first size bytes of Buffer() over for writing. False when writing
  // failed, this block or an earlier one; Reason() and Error() then say why.
  bool Submit(std::size_t size) override;
  // Waits until every block is written and closes the file. False on any failure.
  bool Finish();
  const std::string& Reason() const { return reason_; }
  // The system's error number for the failure, 0 when it has none.
  int Error() const { return error_; }

 private:
  struct Platform;
  // Notes the first failure: the system's error number (0 for none), its text and what
  // follows it. Returns false, for the caller to return.
  bool Fail(int error, const std::string& more = "");
  // Makes the target's folder, when it names one, before the first block; false, with
  // the failure noted, when it cannot.
  bool MakeFolder();

  std::unique_ptr<Platform> platform_;
  OutputTarget target_;
  std::function<void()> onFailure_;
  std::string reason_;
  int error_ = 0;
  bool failed_ = false;
};
