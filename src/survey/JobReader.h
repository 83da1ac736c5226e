#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "survey/JobPoint.h"
#include "survey/PointTable.h"
#include "survey/Records.h"
#include "survey/Reduction.h"

// Reads SDR jobs record by record and hands out every point of each job once: the
// coordinates its records give (the latest record wins), else those reduced from its
// latest observation. A header (00) or a job record (10) ends the job in progress.
namespace survey {

// Why an observation whose distance and readings are numbers was not reduced.
enum class NotReduced : std::uint8_t {
  NoStationCoordinates,  // its station was not set up, or has no coordinates that are numbers
  AnglesLeft,            // the job measures angles to the left
  NoAngleUnit,           // no header, or one that names no angle unit the reader knows
  OutOfRange,            // coordinates too large to write
};
inline constexpr std::size_t kNotReducedReasons = 4;

struct JobCounts {
  std::uint64_t points = 0;            // points handed out
  std::uint64_t stations = 0;          // of them, those the job holds a station record of
  std::uint64_t fromObservations = 0;  // of them, those whose coordinates were reduced
  std::uint64_t otherLines = 0;        // lines that neither gave a point coordinates nor were a reduced observation
  std::array<std::uint64_t, kNotReducedReasons> notReduced{};  // by NotReduced
};

// Takes the points of each job as it ends.
class PointSink {
 public:
  // One point; false stops the reader: it hands out no more.
  virtual bool Take(const JobPoint& point) = 0;
  // False for a sink that reads only JobPoint::columns, whose texts are then left empty.
  virtual bool ReadsTexts() const { return true; }

 protected:
  ~PointSink() = default;
};

class JobReader {
 public:
  // The bytes of a line that Read needs; the rest may be cut off.
  static constexpr std::size_t kKeptLength = kLongestRecord;

  explicit JobReader(PointSink& sink);

  // Reads one line, without its line end. False once the sink has stopped the reader.
  bool Read(std::string_view line);
  // Reads the run of point records (08, 18) or of observations (09) that starts at p in
  // [p, end): records of their full length, each ended by CR LF or LF, as instruments
  // write most of a job. Returns where the run stops, at the start of a line: p when it
  // takes none.
  const char* ReadRecordRun(const char* p, const char* end);
  // Ends the input and with it the job in progress; no line may follow. False once the
  // sink has stopped the reader.
  bool Finish();
  const JobCounts& Counts() const { return counts_; }

 private:
  // What the header (00) says, for the lines up to the next one.
  struct Header {
    SdrLayout layout = SdrLayout::Sdr33;
    double radiansPerUnit = 0;  // 0: no angle unit
    bool feet = false;
    bool eastFirst = false;
    bool anglesLeft = false;
  };
  // What an observation's line says, read before the table is asked about it.
  struct Readings {
    std::optional<double> distance, vertical, horizontal;
    char to[kColumnWidth];
    std::uint64_t toHash;
    bool hasTo;
  };
  struct SetupState {
    std::uint32_t station;
    std::optional<double> instrumentHeight;
    double orientation = 0;
    std::uint32_t parsedVersion = PointTable::kNone;  // the station's coordinates, parsed once a version
    std::optional<Setup> parsed;
  };

  // Hands out the job's points; then, when another follows, starts it afresh.
  void EndJob(bool another);
  void StartJob();
  void ReadHeader(std::string_view line);
  void ReadJobRecord(std::string_view line);
  void ReadNote(std::string_view line);
  bool TakeCoordinates(std::string_view line, const CoordinateRecord& record, bool station);
  // Gives the point index the coordinates of record, which line holds.
  void Store(std::uint32_t index, std::string_view line, const CoordinateRecord& record);
  void SetUp(std::string_view line, const CoordinateRecord& record);
  void Orient(std::string_view line);
  // A run of records of length whose type isRecord(line) accepts, each with its line end:
  // prepare(line, prepared) for each, and take(line, prepared) a few records later, in
  // their order, for those prepare returned true for; so that the table's memory is
  // asked for before it is needed.
  template <typename Prepared, typename IsRecord, typename Prepare, typename Take>
  const char* ReadRun(const char* p, const char* end, std::size_t length, IsRecord&& isRecord, Prepare&& prepare,
                      Take&& take);
  const char* ReadPointRecords(const char* p, const char* end);
  const char* ReadObservations(const char* p, const char* end);
  static void ReadReadings(std::string_view line, const Observation09& fields, Readings& readings);
  bool ReduceObservation(std::string_view line, const Readings& readings);
  // The setup of the station with id, with its coordinates as they stand; nothing when
  // it has none that are numbers.
  std::optional<Setup> SetupOf(const char* id);
  // The point index with its coordinates written as the text of its columns.
  const StoredPoint& Formatted(std::uint32_t index);
  const Layouts& Fields() const { return header_.layout == SdrLayout::Sdr2x ? kSdr2x : kSdr33; }

  PointSink& sink_;
  bool stopped_ = false;
  bool finished_ = false;
  Header header_;
  ReductionSettings settings_;
  std::optional<double> targetHeight_;
  PointTable points_;
  std::vector<SetupState> setups_;
  std::uint32_t lastSetup_ = PointTable::kNone;  // the setup of lastStation_, when known
  char lastStation_[kColumnWidth];
  // The from field of the latest observation, as the line held it, and its id.
  char lastFromField_[kColumnWidth];
  std::size_t lastFromFieldSize_ = 0;
  char lastFrom_[kColumnWidth];
  JobCounts counts_;
};

}  // namespace survey
