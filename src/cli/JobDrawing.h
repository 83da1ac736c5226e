#pragma once

#include <cstdint>
#include <functional>

#include "cli/BlockConverter.h"
#include "survey/DxfDrawing.h"

class File;

// Reads the SDR job in input and writes the drawing of its points to output: a file it
// replaces whole (FileReplacement), or standard output when output.path is empty. No
// drawing is written when no point could be drawn, nor when reading fails, so that an
// older drawing stays. The counts say how many points were read and how many of them
// were left out (leftOut). onProgress is called with the count of input bytes read.
FileOutcome DrawJob(File& input, const OutputTarget& output, const survey::DxfSettings& settings,
                    const std::function<void(std::uint64_t bytesRead)>& onProgress);
