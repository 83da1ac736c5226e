#include "convert/SdrJob.h"

namespace {

// Columns of the point records, from 0. SDR33 fields are 16 bytes wide; in SDR2x point
// ids are 4 bytes and numbers 10, touching with no blank between them.
constexpr FieldLayout kStation33 = {{4, 20, 36, 52, 84}, {16, 16, 16, 16, 16}, 100};   // instrument height 69-84
constexpr FieldLayout kGpsStation33 = {{4, 20, 36, 52, 132}, {16, 16, 16, 16, 16}, 148};
constexpr FieldLayout kPoint2x = {{4, 8, 18, 28, 38}, {4, 10, 10, 10, 16}, 54};
constexpr FieldLayout kStation2x = {{4, 8, 18, 28, 48}, {4, 10, 10, 10, 16}, 64};    // instrument height 39-48

}  // namespace

const FieldLayout* SdrJobReader::PointLayout(char type0, char type1, bool& station) const {
  const bool older = layout_ == SdrLayout::Sdr2x;
  station = type1 != '8';
  switch ((type0 << 8) | type1) {
    case ('0' << 8) | '8':
    case ('1' << 8) | '8':
      return older ? &kPoint2x : &kSdr33Point;
    case ('0' << 8) | '2':
      return older ? &kStation2x : &kStation33;
    case ('1' << 8) | '5':
      return older ? nullptr : &kGpsStation33;  // SDR2x has no such record
    default:
      return nullptr;
  }
}

const FieldLayout* SdrJobReader::Read(std::string_view line, bool& station) {
  if (line.size() < 2) return nullptr;
  if (line.starts_with("00")) {
    layout_ = HeaderLayout(line).value_or(layout_);
    return nullptr;
  }
  bool isStation = false;
  const FieldLayout* point = PointLayout(line[0], line[1], isStation);
  // A record counts once it reaches its east field.
  if (point == nullptr || line.size() <= point->start[2]) return nullptr;
  station = isStation;
  return point;
}
