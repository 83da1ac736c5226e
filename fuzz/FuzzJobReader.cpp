// The job reader on any bytes: fed in blocks of any size, with its runs of point records and
// observations taken straight from the blocks, and with every line end made LF, it gives the points
// and counts of the plain line by line reading; every point is a CSV line of the chosen
// columns, and a reduced coordinate is a plain number with three decimals.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "convert/LineSplitter.h"
#include "convert/PointColumns.h"
#include "survey/JobReader.h"

namespace {

struct Collect : survey::PointSink {
  std::string csv;
  PointWriter writer{*ParseColumns("PNEZD"), ';'};
  bool Take(const survey::JobPoint& point) override {
    char line[PointWriter::kRoom];
    const char* const end = writer.Write(point.columns, kJobPointColumns, line);
    // Five columns: four separators outside quotes.
    int separators = 0;
    bool quoted = false;
    for (const char* p = line; p != end; ++p) {
      quoted ^= *p == '"';
      separators += !quoted && *p == ';';
    }
    if (separators != 4) std::abort();
    if (point.fromObservation) {
      for (std::string_view number : {point.north, point.east}) {
        const std::size_t dot = number.find('.');
        if (dot == std::string_view::npos || number.size() - dot != 4 ||
            number.find_first_not_of("-0123456789.") != std::string_view::npos) {
          std::abort();
        }
      }
    }
    csv.append(line, static_cast<std::size_t>(end - line)).append(point.station ? "S" : "-").append(point.fromObservation ? "O\n" : "R\n");
    return true;
  }
};

std::string Read(std::string_view input, std::size_t blockSize, bool takeRuns, std::vector<std::string>* lines) {
  Collect sink;
  survey::JobReader reader(sink);
  LineSplitter splitter(survey::JobReader::kKeptLength);
  const auto onLine = [&](std::string_view line) {
    if (lines != nullptr) lines->emplace_back(line);
    reader.Read(line);
  };
  const auto runs = [&](const char* p, const char* end) { return takeRuns ? reader.ReadRecordRun(p, end) : p; };
  for (std::size_t at = 0; at < input.size(); at += blockSize) splitter.Feed(input.substr(at, blockSize), onLine, runs);
  splitter.Finish(onLine);
  reader.Finish();
  const survey::JobCounts& c = reader.Counts();
  std::string result = sink.csv + std::to_string(c.points) + " " + std::to_string(c.stations) + " " +
                       std::to_string(c.fromObservations) + " " + std::to_string(c.otherLines);
  for (std::uint64_t count : c.notReduced) result += " " + std::to_string(count);
  return result;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
  std::vector<std::string> lines;
  const std::string expected = Read(input, input.size() + 1, false, &lines);
  if (Read(input, 1 + data[0] % 199, true, nullptr) != expected) std::abort();
  std::string lf;
  for (const std::string& line : lines) lf += line + "\n";
  if (Read(lf, 1 + data[0] % 89, true, nullptr) != expected) std::abort();
  return 0;
}
