#pragma once

#include <string>
#include <string_view>

#include "convert/RandomSource.h"
#include "ui/ExitStatus.h"
#include "ui/FormState.h"
#include "ui/ProcessServices.h"

class BlockFile;
class File;
struct ConversionOptions;
class MainWindow;

// The timer tick that converts the listed files, one whole file per tick, and
// unloads the window on the tick after the last one. Either reading appends its CSV
// lines one at a time, each through AppendCsvLine, unless the window reads the file and
// takes its lines itself, in blocks.
class BatchDriver {
 public:
  BatchDriver(FormState& state, MainWindow& window, RandomSource& random, FileReading reading = FileReading::Records)
      : state_(state), window_(window), random_(random), reading_(reading) {}

  // tmrMain's tick. A tick that arrives while another is still running (from the
  // event pump or a message box inside it) does nothing, so ticks never nest.
  void tmrMain_Timer();

 private:
  // Converts entry CurrentFile of FileList; false when reading it failed.
  bool ConvertCurrentFile();
  // Converts a file that the window reads, a slice at a time, into its blocks of CSV
  // lines; false when reading failed. A failed write is reported, and the window unloaded.
  bool ConvertInBlocks(BlockFile& file, const ConversionOptions& options);
  // Appends one CSV line; on failure reports it and unloads the window.
  void Append(const std::string& outputPath, std::string_view csvLine, File& input);
  // Lets the window breathe now and then: on average once in 100 calls.
  void PumpNowAndThen();

  FormState& state_;
  MainWindow& window_;
  RandomSource& random_;
  FileReading reading_;
  bool inTick_ = false;
  bool messageShown_ = false;  // a failure was reported and the run went on
};
