#include "survey/JobReader.h"

#include <cmath>
#include <cstring>
#include <numbers>

#include "convert/FieldBytes.h"
#include "convert/LineSplitter.h"
#include "convert/SdrRecord.h"
#include "convert/Vector.h"
#include "survey/Number.h"

namespace survey {

namespace {

// Coordinates below this size fit a column with their sign and three decimals.
constexpr double kLargestCoordinate = 1e11;

char At(std::string_view line, std::size_t index) { return index < line.size() ? line[index] : ' '; }

// The types of the records that runs are taken of, at a line's start (two bytes there).
bool IsPointRecord(const char* line) { return (line[0] == '0' || line[0] == '1') && line[1] == '8'; }
bool IsObservation(const char* line) { return line[0] == '0' && line[1] == '9'; }

bool IsBlank(std::string_view bytes) {
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) > 32) return false;
  }
  return true;
}

// Keeps bytes as a column: blank-padded to its width.
void Keep(char* column, std::string_view bytes) {
  if (bytes.size() == kColumnWidth) {  // every SDR33 field: one copy of a known size
    std::memcpy(column, bytes.data(), kColumnWidth);
    return;
  }
  const std::size_t size = std::min(bytes.size(), kColumnWidth);
  if (size > 0) std::memcpy(column, bytes.data(), size);  // an empty view may have no data
  std::memset(column + size, ' ', kColumnWidth - size);
}

// The id as points are told apart: its bytes above 32, blank-padded. False for a blank id.
bool IdKey(std::string_view field, char* key) {
  char raw[2 * kColumnWidth];  // the copies below may read sixteen bytes past the field
  Keep(raw, field);
  std::memset(raw + kColumnWidth, ' ', kColumnWidth);
  const unsigned mask = field::KeptMask(raw);
#ifdef VARNEL_SSE2
  if (mask != 0 && field::IsOneRun(mask)) {  // the usual id: its run moved to the front, blanks after it
    const int first = field::LowestBit(mask);
    const int length = field::LowestBit(mask + (1u << first)) - first;  // the run ends at the first byte not kept
    const __m128i run = _mm_loadu_si128(reinterpret_cast<const __m128i*>(raw + first));
    const __m128i inRun = _mm_cmplt_epi8(_mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15),
                                         _mm_set1_epi8(static_cast<char>(length)));
    const __m128i padded = _mm_or_si128(_mm_and_si128(inRun, run), _mm_andnot_si128(inRun, _mm_set1_epi8(' ')));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(key), padded);
    return mask != 0;
  }
#endif
  char* end = field::CopyPicked(raw, mask, key);
  while (end != key + kColumnWidth) *end++ = ' ';
  return mask != 0;
}

std::optional<double> NumberIn(const std::array<char, kColumnWidth>& column) {
  return ParseNumber(std::string_view(column.data(), column.size()));
}

// A column's text as the CSV column writes it: without bytes of code 0 to 32, or for the
// code only without those at its ends.
std::string_view TextOf(const std::array<char, kColumnWidth>& column, bool code, char* scratch) {
  if (code) {
    std::string_view text(column.data(), column.size());
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= 32) text.remove_prefix(1);
    while (!text.empty() && static_cast<unsigned char>(text.back()) <= 32) text.remove_suffix(1);
    return text;
  }
  // scratch has room for the sixteen bytes that copying a run stores at once.
  const char* const end = field::CopyPicked(column.data(), field::KeptMask(column.data()), scratch);
  return {scratch, static_cast<std::size_t>(end - scratch)};
}

// Writes a reduced coordinate, below kLargestCoordinate in size, as its column.
void KeepMillimetres(char* column, double value) {
  std::memset(column, ' ', kColumnWidth);
  FormatMillimetres(value, column);
}

}  // namespace

JobReader::JobReader(PointSink& sink) : sink_(sink) {
  std::memset(lastFrom_, ' ', kColumnWidth);  // the id of an empty from field
  StartJob();
}

bool JobReader::Read(std::string_view line) {
  if (stopped_) return false;
  line = WithoutTransferMarks(line);
  bool counted = false;  // the line gave a point coordinates, or was a reduced observation
  const char type[2] = {At(line, 0), At(line, 1)};
  switch ((type[0] << 8) | type[1]) {
    case ('0' << 8) | '0':
      EndJob(true);
      ReadHeader(line);
      break;
    case ('1' << 8) | '0':
      EndJob(true);
      ReadJobRecord(line);
      break;
    case ('1' << 8) | '3':
      ReadNote(line);
      break;
    case ('0' << 8) | '1':
      settings_.verticalFromHorizon = At(line, 50) == '2';
      break;
    case ('0' << 8) | '3': {
      const std::string_view field = FieldOf(line, Fields().value);
      targetHeight_ = IsBlank(field) ? std::optional(0.0) : ParseNumber(field);
      break;
    }
    case ('0' << 8) | '6':
      settings_.scaleFactor = ParseNumber(FieldOf(line, Fields().value)).value_or(settings_.scaleFactor);
      break;
    case ('0' << 8) | '2':
      counted = TakeCoordinates(line, Fields().station, true);
      SetUp(line, Fields().station);
      break;
    case ('0' << 8) | '8':
    case ('1' << 8) | '8':
      counted = TakeCoordinates(line, Fields().point, false);
      break;
    case ('1' << 8) | '5':
      counted = header_.layout == SdrLayout::Sdr33 && TakeCoordinates(line, kGpsStation33, true);
      break;
    case ('0' << 8) | '7':
      Orient(line);
      break;
    case ('0' << 8) | '9': {
      Readings readings;
      ReadReadings(line, Fields().observation, readings);
      counted = ReduceObservation(line, readings);
      break;
    }
    default:
      break;
  }
  counts_.otherLines += !counted;
  return !stopped_;
}

bool JobReader::Finish() {
  // The last job's table is left as it is: clearing it would only touch memory again,
  // which a writing process forked meanwhile may share.
  if (!stopped_ && !finished_) EndJob(false);
  finished_ = true;
  return !stopped_;
}

void JobReader::EndJob(bool another) {
  char scratch[4 * kColumnWidth];
  const bool texts = sink_.ReadsTexts();
  for (std::uint32_t k = 0; k < points_.OrderedCount() && !stopped_; ++k) {
    const StoredPoint& stored = Formatted(points_.Ordered(k));
    JobPoint point;
    if (texts) {
      const auto& c = stored.columns;
      point = {TextOf(c[0], false, scratch), TextOf(c[1], false, scratch + kColumnWidth),
               TextOf(c[2], false, scratch + 2 * kColumnWidth), TextOf(c[3], false, scratch + 3 * kColumnWidth),
               TextOf(c[4], true, nullptr)};
    }
    point.columns = stored.columns[0].data();
    point.station = stored.station;
    point.fromObservation = stored.source == Source::Observation;
    ++counts_.points;
    counts_.stations += point.station;
    counts_.fromObservations += point.fromObservation;
    stopped_ = !sink_.Take(point);
  }
  if (!another) return;
  points_.Clear();
  setups_.clear();
  lastSetup_ = PointTable::kNone;
  StartJob();
}

void JobReader::StartJob() {
  settings_ = ReductionSettings{};
  // R is 6,370,000 m in the job's unit: international feet when the header says feet.
  settings_.earthRadius = header_.feet ? kEarthRadiusMetres / 0.3048 : kEarthRadiusMetres;
  targetHeight_ = 0.0;
}

void JobReader::ReadHeader(std::string_view line) {
  // Columns 5-20 name the version; columns 41-46 hold the job's settings in both layouts.
  header_.layout = HeaderLayout(line).value_or(SdrLayout::Sdr33);
  constexpr double kCircle = 2 * std::numbers::pi;
  switch (At(line, 40)) {
    case '1': header_.radiansPerUnit = kCircle / 360; break;   // decimal degrees
    case '2': header_.radiansPerUnit = kCircle / 400; break;   // gons
    case '3': header_.radiansPerUnit = kCircle / 6400; break;  // mils
    default: header_.radiansPerUnit = 0; break;
  }
  header_.feet = At(line, 41) == '2';
  header_.eastFirst = At(line, 44) == '2';
  header_.anglesLeft = At(line, 45) == '2';
  StartJob();
}

void JobReader::ReadJobRecord(std::string_view line) {
  if (header_.layout == SdrLayout::Sdr2x) return;  // its settings follow as notes
  settings_.curvatureAndRefraction = At(line, 23) == '2';
  settings_.refractionK = At(line, 24) == '2' ? 0.20 : 0.14;
  settings_.seaLevel = At(line, 25) == '2';
}

void JobReader::ReadNote(std::string_view line) {
  if (header_.layout != SdrLayout::Sdr2x) return;
  const std::string_view text = line.substr(std::min<std::size_t>(line.size(), 4));
  const auto yes = [&](std::string_view name) {
    const std::string_view value = text.substr(name.size());
    const std::size_t first = value.find_first_not_of(' ');
    return first != std::string_view::npos && value[first] == 'Y';
  };
  if (text.starts_with("C and R crn:")) settings_.curvatureAndRefraction = yes("C and R crn:");
  if (text.starts_with("Sea level crn:")) settings_.seaLevel = yes("Sea level crn:");
}

bool JobReader::TakeCoordinates(std::string_view line, const CoordinateRecord& record, bool station) {
  // A record whose trailing blanks were cut gives coordinates once it reaches its second
  // coordinate field; a station record is the station's, however short.
  const bool coordinates = line.size() > record.second.start &&
                           (!IsBlank(FieldOf(line, record.first)) || !IsBlank(FieldOf(line, record.second)));
  char id[kColumnWidth];
  IdKey(FieldOf(line, record.id), id);
  if (!coordinates && !station) return false;
  const std::uint32_t index = points_.FindOrAdd(id);
  points_[index].station = points_[index].station || station;
  if (!coordinates) return false;
  Store(index, line, record);
  return true;
}

void JobReader::Store(std::uint32_t index, std::string_view line, const CoordinateRecord& record) {
  StoredPoint& point = points_[index];
  const std::string_view first = FieldOf(line, record.first), second = FieldOf(line, record.second);
  Keep(point.columns[1].data(), header_.eastFirst ? second : first);
  Keep(point.columns[2].data(), header_.eastFirst ? first : second);
  Keep(point.columns[3].data(), FieldOf(line, record.elevation));
  Keep(point.columns[4].data(), FieldOf(line, record.code));
  point.unformatted = false;
  points_.GiveCoordinates(index, Source::Record);
}

template <typename Prepared, typename IsRecord, typename Prepare, typename Take>
const char* JobReader::ReadRun(const char* p, const char* end, std::size_t length, IsRecord&& isRecord,
                               Prepare&& prepare, Take&& take) {
  if (stopped_) return p;
  // Each id is looked up a few records after its slot was asked for: a job of a million
  // points would otherwise wait for memory at every record.
  constexpr std::size_t kAhead = 8;
  struct Pending {
    std::string_view line;
    Prepared prepared;
  };
  Pending pending[kAhead];
  std::size_t taken = 0, done = 0;
  const auto takeOldest = [&] {
    const Pending& oldest = pending[done++ % kAhead];
    take(oldest.line, oldest.prepared);
  };
  for (;;) {
    const std::size_t lineEnd = static_cast<std::size_t>(end - p) > length + 1 && p[length] == '\r' ? 2 : 1;
    if (static_cast<std::size_t>(end - p) < length + lineEnd || p[length + lineEnd - 1] != '\n' || !isRecord(p) ||
        MayHoldLineEnd(p, length)) {
      break;
    }
    if (taken - done == kAhead) takeOldest();
    Pending& next = pending[taken % kAhead];
    next.line = std::string_view(p, length);
    taken += prepare(next.line, next.prepared);
    p += length + lineEnd;
  }
  while (done < taken) takeOldest();
  return p;
}

const char* JobReader::ReadRecordRun(const char* p, const char* end) {
  if (end - p < 2) return p;
  if (IsPointRecord(p)) return ReadPointRecords(p, end);
  if (IsObservation(p)) return ReadObservations(p, end);
  return p;
}

const char* JobReader::ReadPointRecords(const char* p, const char* end) {
  struct Id {
    char key[kColumnWidth];
    std::uint64_t hash;
  };
  const CoordinateRecord& record = Fields().point;
  return ReadRun<Id>(
      p, end, record.length, IsPointRecord,
      [&](std::string_view line, Id& id) {
        if (IsBlank(FieldOf(line, record.first)) && IsBlank(FieldOf(line, record.second))) {
          ++counts_.otherLines;  // a point without coordinates
          return false;
        }
        IdKey(FieldOf(line, record.id), id.key);
        id.hash = PointTable::HashOf(id.key);
        points_.Prefetch(id.hash);
        return true;
      },
      [&](std::string_view line, const Id& id) { Store(points_.FindOrAdd(id.key, id.hash), line, record); });
}

const char* JobReader::ReadObservations(const char* p, const char* end) {
  const Observation09& fields = Fields().observation;
  return ReadRun<Readings>(
      p, end, fields.code.end(), IsObservation,
      [&](std::string_view line, Readings& readings) {
        ReadReadings(line, fields, readings);
        points_.Prefetch(readings.toHash);
        return true;
      },
      [&](std::string_view line, const Readings& readings) { counts_.otherLines += !ReduceObservation(line, readings); });
}

void JobReader::SetUp(std::string_view line, const CoordinateRecord& record) {
  char id[kColumnWidth];
  IdKey(FieldOf(line, record.id), id);
  const std::uint32_t station = points_.FindOrAdd(id);
  const std::string_view height = FieldOf(line, record.instrumentHeight);
  // The station's latest setup is the one its observations and backsights belong to.
  std::uint32_t& setup = points_[station].setup;
  if (setup == PointTable::kNone) {
    setup = static_cast<std::uint32_t>(setups_.size());
    setups_.emplace_back();
  }
  setups_[setup] = {station, IsBlank(height) ? std::optional(0.0) : ParseNumber(height), 0, PointTable::kNone, {}};
}

std::optional<Setup> JobReader::SetupOf(const char* id) {
  // Observations come in runs from one station: its setup is remembered.
  if (lastSetup_ == PointTable::kNone || std::memcmp(id, lastStation_, kColumnWidth) != 0) {
    const std::uint32_t station = points_.Find(id);
    if (station == PointTable::kNone || points_[station].setup == PointTable::kNone) return std::nullopt;
    lastSetup_ = points_[station].setup;
    std::memcpy(lastStation_, id, kColumnWidth);
  }
  SetupState& state = setups_[lastSetup_];
  const StoredPoint& point = Formatted(state.station);
  if (state.parsedVersion != point.version) {
    // The coordinates the station would be written with now.
    const std::optional<double> north = NumberIn(point.columns[1]), east = NumberIn(point.columns[2]);
    state.parsed.reset();
    if (point.source != Source::None && north && east) {
      state.parsed = Setup{*north, *east, NumberIn(point.columns[3]), state.instrumentHeight, 0};
    }
    state.parsedVersion = point.version;
  }
  if (!state.parsed) return std::nullopt;
  Setup setup = *state.parsed;
  setup.orientation = state.orientation;
  return setup;
}

void JobReader::Orient(std::string_view line) {
  const Backsight07& fields = Fields().backsight;
  char station[kColumnWidth];
  IdKey(FieldOf(line, fields.station), station);
  const std::uint32_t index = points_.Find(station);
  const std::optional<double> circle = ParseNumber(FieldOf(line, fields.circle));
  if (index == PointTable::kNone || points_[index].setup == PointTable::kNone || !circle || header_.radiansPerUnit == 0) {
    return;  // a backsight of no setup, or that says nothing usable
  }
  const std::string_view azimuthField = FieldOf(line, fields.azimuth);
  std::optional<double> azimuth;
  if (!IsBlank(azimuthField)) {
    if (const std::optional<double> given = ParseNumber(azimuthField)) azimuth = *given * header_.radiansPerUnit;
  } else {
    // No azimuth: the one between the two points, when both have coordinates.
    char backsight[kColumnWidth];
    IdKey(FieldOf(line, fields.backsight), backsight);
    const std::optional<Setup> from = SetupOf(station);
    const std::uint32_t to = points_.Find(backsight);
    if (from && to != PointTable::kNone && points_[to].source != Source::None) {
      const StoredPoint& target = Formatted(to);
      const std::optional<double> north = NumberIn(target.columns[1]), east = NumberIn(target.columns[2]);
      if (north && east) azimuth = AzimuthBetween(from->north, from->east, *north, *east);
    }
  }
  // orientation = backsight azimuth − backsight circle reading
  if (azimuth) setups_[points_[index].setup].orientation = *azimuth - *circle * header_.radiansPerUnit;
}

void JobReader::ReadReadings(std::string_view line, const Observation09& fields, Readings& readings) {
  readings.distance = ParseNumber(FieldOf(line, fields.slopeDistance));
  readings.vertical = ParseNumber(FieldOf(line, fields.vertical));
  readings.horizontal = ParseNumber(FieldOf(line, fields.horizontal));
  readings.hasTo = IdKey(FieldOf(line, fields.to), readings.to);
  readings.toHash = PointTable::HashOf(readings.to);
}

bool JobReader::ReduceObservation(std::string_view line, const Readings& readings) {
  const Observation09& fields = Fields().observation;
  const auto& [distance, vertical, horizontal, to, toHash, hasTo] = readings;
  // Readings without a distance are angles only: a backsight or a direction, no point.
  if (!hasTo || !distance || !vertical || !horizontal) return false;
  const auto notReduced = [&](NotReduced reason) {
    ++counts_.notReduced[static_cast<std::size_t>(reason)];
    return false;
  };
  if (header_.radiansPerUnit == 0) return notReduced(NotReduced::NoAngleUnit);
  if (header_.anglesLeft) return notReduced(NotReduced::AnglesLeft);
  // Observations come in runs from one station: its id is read once a run.
  const std::string_view fromField = FieldOf(line, fields.from);
  if (fromField != std::string_view(lastFromField_, lastFromFieldSize_)) {
    IdKey(fromField, lastFrom_);
    lastFromFieldSize_ = fromField.size();
    if (!fromField.empty()) std::memcpy(lastFromField_, fromField.data(), fromField.size());
  }
  const std::optional<Setup> setup = SetupOf(lastFrom_);
  if (!setup) return notReduced(NotReduced::NoStationCoordinates);

  const Observation observation{*distance, *vertical * header_.radiansPerUnit, *horizontal * header_.radiansPerUnit,
                                FieldOf(line, {2, 2}) == "MC", targetHeight_};
  const Coordinates reduced = Reduce(settings_, *setup, observation);
  const auto fits = [](double value) { return std::fabs(value) < kLargestCoordinate; };
  if (!fits(reduced.north) || !fits(reduced.east) || (reduced.elevation && !fits(*reduced.elevation))) {
    return notReduced(NotReduced::OutOfRange);
  }
  const std::uint32_t index = points_.FindOrAdd(to, toHash);
  StoredPoint& point = points_[index];
  if (point.source == Source::Record) return true;  // a coordinate record wins over any observation
  const ReducedNumbers numbers{reduced.north, reduced.east, reduced.elevation.value_or(0), reduced.elevation.has_value()};
  std::memcpy(point.columns[1].data(), &numbers, sizeof numbers);
  point.unformatted = true;
  Keep(point.columns[4].data(), FieldOf(line, fields.code));
  points_.GiveCoordinates(index, Source::Observation);
  return true;
}

const StoredPoint& JobReader::Formatted(std::uint32_t index) {
  StoredPoint& point = points_[index];
  if (point.unformatted) {
    ReducedNumbers numbers;
    std::memcpy(&numbers, point.columns[1].data(), sizeof numbers);
    KeepMillimetres(point.columns[1].data(), numbers.north);
    KeepMillimetres(point.columns[2].data(), numbers.east);
    if (numbers.hasElevation) {
      KeepMillimetres(point.columns[3].data(), numbers.elevation);
    } else {
      point.columns[3].fill(' ');
    }
    point.unformatted = false;
  }
  return point;
}

}  // namespace survey
