// The job model: SDR jobs read record by record, observations reduced to coordinates.
// Observations are made in the tests from points chosen here: each reduced point must
// come back to its chosen coordinates, written to the millimetre. The readings are
// written with 4 decimals of distance and 7 of angle, far below that.
#include <cmath>
#include <numbers>

#include "../Support.h"
#include "convert/PointColumns.h"
#include "survey/JobReader.h"
#include "survey/Number.h"

namespace {

using Lines = std::vector<std::string>;

std::string Fixed(double value, int decimals) {
  char text[64];
  std::snprintf(text, sizeof text, "%.*f", decimals, value);
  return text;
}

// SDR33 records from their fields. settings: columns 41-46 of the header (angle unit,
// distance unit, pressure, temperature, coordinate order, angle direction).
std::string Header(const std::string& settings) { return Record({{"00NMSDR33 V04-04.02", 40}, {settings, 0}}); }
std::string Job(const std::string& settings) { return Record({{"10NMJOB", 20}, {"121" + settings, 0}}); }
std::string Station(const std::string& id, const std::string& n, const std::string& e, const std::string& z,
                    const std::string& height) {
  return Record({{"02TP", 4}, {id, 16}, {n, 16}, {e, 16}, {z, 16}, {height, 16}, {"STN", 16}});
}
std::string Point(const std::string& id, const std::string& n, const std::string& e, const std::string& z,
                  const std::string& code = "") {
  return Record({{"08KI", 4}, {id, 16}, {n, 16}, {e, 16}, {z, 16}, {code, 16}});
}
std::string Backsight(const std::string& station, const std::string& to, const std::string& azimuth, const std::string& circle) {
  return Record({{"07TP", 4}, {station, 16}, {to, 16}, {azimuth, 16}, {circle, 16}});
}
std::string Target(const std::string& height) { return Record({{"03NM", 4}, {height, 16}}); }

struct Place {
  double n, e, z;
};
const Place kS1{1000, 2000, 50}, kP1{1060, 2080, 51.234}, kP2{950, 1990, 48.765};

// How an instrument reads: kCorrected, an MC observation (heights folded in, an
// azimuth); kFace2, the telescope turned over; kFromHorizon, vertical angles from the horizon.
enum Reading { kRaw = 0, kCorrected = 1, kFace2 = 2, kFromHorizon = 4 };

// An observation from a station at `from` (instrument height hi, orientation in the
// unit) to `to` (target height ht), in an angle unit of `circle` to the turn: the readings
// that reduce to `to`.
std::string Observe(double circle, const std::string& fromId, Place from, double hi, const std::string& toId, Place to,
                    double ht, double orientation = 0, int reading = kRaw) {
  const bool corrected = reading & kCorrected;
  const double unit = circle / (2 * std::numbers::pi);
  const double dn = to.n - from.n, de = to.e - from.e, d = std::hypot(dn, de);
  const double dz = corrected ? to.z - from.z : to.z + ht - from.z - hi;
  double zenith = std::atan2(d, dz) * unit;
  double horizontal = std::fmod(std::atan2(de, dn) * unit - (corrected ? 0 : orientation) + 2 * circle, circle);
  if (reading & kFace2) zenith = circle - zenith, horizontal = std::fmod(horizontal + circle / 2, circle);
  if (reading & kFromHorizon) zenith = circle / 4 - zenith;
  return Record({{corrected ? "09MC" : "09F1", 4}, {fromId, 16}, {toId, 16}, {Fixed(std::hypot(d, dz), 4), 16},
                 {Fixed(zenith, 7), 16}, {Fixed(horizontal, 7), 16}, {"CODE", 16}});
}

// What the reader gives for lines: its points as varnel-cli writes them in the columns
// PNEZD, marked when they are stations or observed, then its counts.
std::string Points(const Lines& lines) {
  struct Collect : survey::PointSink {
    std::string csv;
    PointWriter writer{*ParseColumns("PNEZD"), ';'};
    bool Take(const survey::JobPoint& p) override {
      char line[PointWriter::kRoom];
      csv.append(line, writer.Write(p.columns, kJobPointColumns, line));
      csv.append(p.station ? " (station)" : "").append(p.fromObservation ? " (observed)\n" : "\n");
      return true;
    }
  } sink;
  survey::JobReader reader(sink);
  for (const std::string& line : lines) reader.Read(line);
  reader.Finish();
  const survey::JobCounts& c = reader.Counts();
  return sink.csv + std::to_string(c.otherLines) + " other lines; not reduced: " + std::to_string(c.notReduced[0]) +
         " without station, " + std::to_string(c.notReduced[1]) + " left, " + std::to_string(c.notReduced[2]) +
         " without unit, " + std::to_string(c.notReduced[3]) + " too far";
}

const std::string kS1Line = "S1;1000;2000;50;STN (station)\n";
const std::string kReduced = kS1Line + "P1;1060.000;2080.000;51.234;CODE (observed)\nP2;950.000;1990.000;48.765;CODE (observed)\n";

TEST(SurveyTest, ReducesObservationsInEveryUnitFaceAndSetting) {
  // Circle readings 10 units to the right of north: the backsight sets orientation -10.
  const auto job = [&](const std::string& settings, double circle, int reading = kRaw, Lines extra = {}) {
    Lines lines{Header(settings), Station("S1", "1000", "2000", "50", "1.5"), Backsight("S1", "B", "0", "10"), Target("1.6")};
    lines.insert(lines.end(), extra.begin(), extra.end());
    for (const auto& [id, place] : {std::pair{"P1", kP1}, {"P2", kP2}}) {
      lines.push_back(Observe(circle, "S1", kS1, 1.5, id, place, 1.6, -10, reading));
    }
    return lines;
  };
  const std::string counts = "3 other lines; not reduced: 0 without station, 0 left, 0 without unit, 0 too far";
  const std::string oneMore = "4 other lines; not reduced: 0 without station, 0 left, 0 without unit, 0 too far";
  const struct {
    const char* what;
    Lines lines;
    std::string points;
  } cases[] = {
      {"degrees", job("111111", 360), kReduced + counts},
      {"gons", job("211111", 400), kReduced + counts},
      {"mils", job("311111", 6400), kReduced + counts},
      {"face 2", job("211111", 400, kFace2), kReduced + counts},
      {"from the horizon", job("111111", 360, kFromHorizon, {Record({{"01NM:SET630RK", 50}, {"2", 1}})}), kReduced + oneMore},
      // Neither orientation nor heights apply to a corrected observation.
      {"corrected", job("211111", 400, kCorrected, {Target("7")}), kReduced + oneMore},
  };
  for (const auto& c : cases) EXPECT_EQ(Points(c.lines), c.points) << c.what;
}

// Readings typed by hand where the tests' geometry would hide a correction: a sight of
// 2000 m level (100 gons) from S1 at elevation 50 to the north, instrument and target
// both 1.5 high. Curvature and refraction: V = S·sin((1 - k)·S/2R), 0.270 m with k =
// 0.14 and 0.251 m with 0.20 (and no target height: a new job starts without). To sea level from 1000 m up, 1000 m away: D·(h1 + h2)/2R =
// 0.157 m, or 0.048 when the job counts in feet.
TEST(SurveyTest, AppliesTheJobsCorrectionsAndStartsEachJobAfresh) {
  const std::string s1 = Station("S1", "1000", "2000", "50", "1.5"), level = "100.0000000";
  const auto sight = [](const std::string& to, const std::string& distance, const std::string& vertical,
                        const std::string& horizontal, const std::string& derivation = "F1") {
    return Record({{"09" + derivation, 4}, {"S1", 16}, {to, 16}, {distance, 16}, {vertical, 16}, {horizontal, 16}});
  };
  const auto summary = [](int other, int noStation = 0, int left = 0, int noUnit = 0) {
    return std::to_string(other) + " other lines; not reduced: " + std::to_string(noStation) + " without station, " +
           std::to_string(left) + " left, " + std::to_string(noUnit) + " without unit, 0 too far";
  };
  const std::string sdr2x = "00NMSDR20     V03-05    25-Sep-10 22:10 113111";
  const struct {
    const char* what;
    Lines lines;
    std::string points;
  } cases[] = {
      {"curvature and refraction, face 1 and 2",
       {Header("211111"), Job("211"), s1, Target("1.5"), sight("N", "2000", level, "0"), sight("F", "2000", "300", "200"),
        Job("221"), s1, sight("K", "2000", level, "0")},
       "S1;1000;2000;50;STN (station)\nN;3000.000;2000.000;50.270; (observed)\nF;3000.000;2000.000;50.270; (observed)\n"
       "S1;1000;2000;50;STN (station)\nK;3000.000;2000.000;51.751; (observed)\n" + summary(4)},
      {"sea level, metres and feet, and the scale factor",
       {Header("211111"), Job("112"), Station("S1", "1000", "2000", "1000", "0"), sight("M", "1000", level, "0"),
        Record({{"06NM", 4}, {"1.0005", 16}}), sight("S", "1000", level, "0"),
        Header("221111"), Job("112"), Station("S1", "1000", "2000", "1000", "0"), sight("F", "1000", level, "0")},
       "S1;1000;2000;1000;STN (station)\nM;1999.843;2000.000;1000.000; (observed)\nS;2000.343;2000.000;1000.000; (observed)\n"
       "S1;1000;2000;1000;STN (station)\nF;1999.952;2000.000;1000.000; (observed)\n" + summary(5)},
      {"SDR2x, its settings in notes",
       {sdr2x, "10NMTRAVERSE", "13CPC and R crn: Y",
        Record({{"02TP", 4}, {"S1", 4}, {"1000.000", 10}, {"2000.000", 10}, {"50.000", 10}, {"1.500", 10}, {"STN", 16}}),
        "03NM1.500000", Record({{"09F1", 4}, {"S1", 4}, {"N", 4}, {"2000", 10}, {"90", 10}, {"0", 10}, {"TWO WORDS", 16}})},
       "S1;1000.000;2000.000;50.000;STN (station)\nN;3000.000;2000.000;50.270;TWO WORDS (observed)\n" + summary(4)},
      // Coordinates recorded East first, in every coordinate record; no target height.
      {"east first",
       {Header("211121"), Station("S1", "2000", "1000", "50", "1.5"), Point("Q", "2100", "900", "", "X"),
        sight("P", "100", level, "100")},
       "S1;1000;2000;50;STN (station)\nQ;900;2100;;X\nP;1000.000;2100.000;51.500; (observed)\n" + summary(1)},
  };
  for (const auto& c : cases) EXPECT_EQ(Points(c.lines), c.points) << c.what;
}

// Each point once, in the order in which it first got coordinates: a record's coordinates
// win over any observation, the latest record over earlier ones. A traverse chains its
// stations: S2 set up where S1 observed it, oriented on S1 by the azimuth between them,
// then P3 set up where S2 observed it (its record cut after the id), oriented on Q, which
// S2 observed too.
TEST(SurveyTest, TakesEachPointOnceAndChainsAStationObservedBefore) {
  const Place s2{1050, 2050, 50.5}, p3{1100, 2000, 49.999}, p5{1150, 1950, 50.25}, q{1000, 2100, 50};
  const auto observe = [](const std::string& from, Place at, double hi, const std::string& to, Place place, double orientation) {
    return Observe(360, from, at, hi, to, place, 1.6, orientation);
  };
  const Lines lines = {
      observe("S1", kS1, 1.5, "N0", kP1, 0),  // before any header: no angle unit
      Header("111111"), Station("S1", "1000", "2000", "50", "1.5"), Backsight("S1", "B", "0", "0"), Target("1.6"),
      observe("S1", kS1, 1.5, "S2", s2, 0), observe("S1", kS1, 1.5, "P 1", kP1, 0), Point("P1", "1060.5", "2080", "51", "REC"),
      Point("P2", "1", "2", "3", "OLD"), Point("P2", "950.25", "1990", "", "NEW"), observe("S1", kS1, 1.5, "P2", kP2, 0),
      Record({{"09F1", 4}, {"S1", 16}, {"DIR", 16}, {"", 16}, {"90", 16}, {"45", 16}}),  // angles only
      Station("S2", "", "", "", "1.4"), Backsight("S2", "S1", "", "0"), observe("S2", s2, 1.4, "P3", p3, 225), observe("S2", s2, 1.4, "Q", q, 225),
      Record({{"02TP", 4}, {"P3", 16}}), Backsight("P3", "Q", "", "0"), observe("P3", p3, 0, "P5", p5, 135),
      Station("S9", "", "", "", "1.4"), observe("S9", s2, 1.4, "N1", p3, 0), observe("S8", s2, 1.4, "N2", p3, 0),
      Station("S7", "N/A", "2000", "50", "1.4"), observe("S7", s2, 1.4, "N4", p3, 0),
      Station("S6", "1000", "2000", "50", "?"), observe("S6", kS1, 0, "P4", kP2, 0),  // no instrument height: no elevation
      Job("111"), Point("P1", "7", "8", "9"),
      Header("111112"), Station("S1", "1000", "2000", "50", "1.5"), observe("S1", kS1, 1.5, "N3", kP1, 0),
  };
  EXPECT_EQ(Points(lines),
            "S1;1000;2000;50;STN (station)\nS2;1050.000;2050.000;50.500;CODE (station) (observed)\nP1;1060.5;2080;51;REC\n"
            "P2;950.25;1990;;NEW\nP3;1100.000;2000.000;49.999;CODE (station) (observed)\nQ;1000.000;2100.000;50.000;CODE (observed)\nP5;1150.000;1950.000;50.250;CODE (observed)\n"
            "S7;N/A;2000;50;STN (station)\n"
            "S6;1000;2000;50;STN (station)\nP4;950.000;1990.000;;CODE (observed)\n"
            "P1;7;8;9;\nS1;1000;2000;50;STN (station)\n"
            "16 other lines; not reduced: 3 without station, 1 left, 1 without unit, 0 too far");
}

TEST(SurveyTest, ReadsNumbersByOneRuleAndWritesMillimetresAsPrintfRounds) {
  const std::pair<std::string, std::optional<double>> fields[] = {
      {" 12.5\t", 12.5}, {"-0.25", -0.25}, {"+7", 7}, {"12.", 12}, {".5", 0.5}, {"000123.4560000", 123.456},
      {"999999999.999999", 999999999.999999}, {"1000000000", std::nullopt}, {"-1000000000.0", std::nullopt},
      {"", std::nullopt}, {"  ", std::nullopt}, {".", std::nullopt}, {"-", std::nullopt}, {"1 2", std::nullopt},
      {"1e3", std::nullopt}, {"1.2.3", std::nullopt}, {"--1", std::nullopt}, {"0x10", std::nullopt}, {"nan", std::nullopt},
      {"inf", std::nullopt}, {"1,5", std::nullopt}, {"5!", std::nullopt}, {"0.1000000000000000055511151231257827", 0.1},
      {"12.50000000000000000000", 12.5}, {"1.00000000000000000000", 1}, {"000000000000000000012.5", 12.5},  // long
  };
  for (const auto& [field, value] : fields) EXPECT_EQ(survey::ParseNumber(field), value) << field;
  const std::pair<double, std::string> written[] = {
      {0, "0.000"}, {-0.0004, "0.000"}, {-0.0, "0.000"}, {-0.0006, "-0.001"}, {1234.5678, "1234.568"},
      {2.0625, "2.062"},  // exactly halfway: to even, as printf
      {1.0005, "1.000"},  // just below halfway in binary
      {1.0015, "1.002"},  // just above
      {-2.0625, "-2.062"}, {99999999999.9995, "99999999999.999"}, {123456789012.25, "123456789012.250"},
  };
  for (const auto& [value, text] : written) {
    char out[survey::kFormattedRoom];
    EXPECT_EQ(std::string(out, survey::FormatMillimetres(value, out)), text) << value;
  }
}

// Coordinate records of both layouts, also cut short after their east field; the code
// keeps its inner blanks, and a field that holds the separator or a quote is quoted.
TEST(SurveyTest, TakesTheCoordinateRecordsOfBothLayouts) {
  const Lines lines = {
      Record({{"08TP", 4}, {"1", 16}, {"19.914", 16}, {"9.217", 16}, {"0.975", 16}, {"SOGLIA NORD", 0}}),  // before any header
      "\x02" + Header("213111"),  // a serial transfer's mark glued to the header
      Record({{"02TP", 4}, {"  STN 1", 16}, {"100.5", 16}, {"200.25", 16}, {"10", 16}, {"1.475", 16}, {" BASE ", 16}}),
      Record({{"08KI", 4}, {"0007", 16}, {"1.5", 16}, {"2", 0}}), Record({{"08TP", 4}, {"8", 16}, {"1.5", 16}}),
      Record({{"18RK", 4}, {"G1", 16}, {"3", 16}, {"4", 16}, {"5", 16}, {"GPS \"A\"", 16}, {"12", 0}}),
      Record({{"15RK", 4}, {"G2", 16}, {"6", 16}, {"7", 16}, {"8", 16}, {"", 64}, {"BASE;GPS", 16}, {"x", 0}}),
      Record({{"08TP", 4}, {"9", 16}, {"1", 16}, {"2", 16}, {"3", 16}, {"", 13}}) + "\x1f\t ",
      "00NMSDR20     V03-05    25-Sep-10", "08TP100029.1755686-4.00952570.00963371FIT-TEST        ",
      "02TP00010.000000000.000000000.000000001.59500000TRAV", "18RK1001  1.5     2.5", "08TP1002  1.5",
      "15RK1003  1.5     2.5     3.5",  // SDR2x has no such record
  };
  EXPECT_EQ(Points(lines),
            "1;19.914;9.217;0.975;SOGLIA NORD\n"
            "STN1;100.5;200.25;10;BASE (station)\n0007;1.5;2;;\nG1;3;4;5;\"GPS \"\"A\"\"\"\nG2;6;7;8;\"BASE;GPS\" (station)\n"
            "9;1;2;3;\n1000;29.1755686;-4.0095257;0.00963371;FIT-TEST\n0001;0.00000000;0.00000000;0.00000000;TRAV (station)\n"
            "1001;1.5;2.5;;\n"
            "5 other lines; not reduced: 0 without station, 0 left, 0 without unit, 0 too far");
}

// A job of thousands of points, each recorded twice: the table grows and still finds them.
TEST(SurveyTest, FindsEveryPointAgainInALargeJob) {
  struct Ids : survey::PointSink {
    std::vector<std::string> ids;
    bool Take(const survey::JobPoint& point) override {
      ids.emplace_back(point.id);
      return true;
    }
  } sink;
  survey::JobReader reader(sink);
  constexpr int kPoints = 5000;
  for (int pass = 0; pass < 2; ++pass) {
    for (int k = 0; k < kPoints; ++k) reader.Read(Point("P" + std::to_string(k), "1", std::to_string(pass), ""));
  }
  reader.Finish();
  ASSERT_EQ(sink.ids.size(), std::size_t{kPoints});
  for (int k = 0; k < kPoints; ++k) EXPECT_EQ(sink.ids[k], "P" + std::to_string(k));
}

}  // namespace
