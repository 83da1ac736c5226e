#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "survey/JobPoint.h"

// The points of a job as a drawing for CAD programs: AutoCAD R12 ASCII DXF (AC1009),
// which every CAD program reads.
namespace survey {

// The ANSI code pages that R12 readers know for $DWGCODEPAGE: 874, 932, 936, 949, 950
// and 1250 to 1258.
bool IsDxfCodePage(int codePage);

// The layer of a point's code: upper case, letters A-Z, digits, $, - and _ kept and
// every other byte _, at most 31 characters; layer 0 for an empty code, and C_ before
// a name that the label layers or DEFPOINTS have.
std::string LayerName(std::string_view code);

// text as a TEXT entity holds it: the bytes 0-31 left out and %% written %%% (the
// escape of a percent sign); other bytes as they are, read in the drawing's code page.
std::string DxfText(std::string_view text);

struct DxfSettings {
  int codePage = 1251;      // of the job's texts
  double textHeight = 0.2;  // of the labels, in drawing units
};

// One file's points, held until the drawing is written: its tables, which come before
// the entities, need them all. Each point is a POINT at (east, north, elevation) on its
// code's layer, labelled with its id (layer PNTNO), its elevation (PNTELEV) and its
// code (PNTDESC) to its right.
class DxfDrawing {
 public:
  // Takes bytes of the drawing in order; false when they could not be written.
  using Writer = std::function<bool(std::string_view bytes)>;

  explicit DxfDrawing(const DxfSettings& settings) : settings_(settings) {}

  // Copies what the drawing needs of point. False, and nothing drawn, when its north or
  // east is not a number (survey::ParseNumber); an elevation that is none is drawn as 0,
  // without a label.
  bool Add(const JobPoint& point);
  std::size_t PointCount() const { return pointCount_; }

  // Writes the whole drawing, lines ending in CR LF, through write in pieces of about
  // 64 KiB. False as soon as write returns false.
  bool Write(const Writer& write) const;

 private:
  struct Point {
    double east, north, elevation;
    std::uint32_t layer;
  };

  // Points in chunks, so that holding more never moves those held.
  struct Chunk {
    std::vector<Point> points;
    // The labels of the points in order, as DxfText writes them, each followed by a 0
    // byte, which no label holds: id, elevation (empty without one) and code.
    std::string labels;
  };

  DxfSettings settings_;
  std::vector<Chunk> chunks_;
  std::size_t pointCount_ = 0;
  std::vector<std::string> layers_;                             // in the order of first use
  std::map<std::string, std::uint32_t, std::less<>> layerOfCode_;  // codes seen, by their text
  bool labelLayerUsed_[3] = {};                                  // PNTNO, PNTELEV, PNTDESC
  double low_[3] = {}, high_[3] = {};                            // the extents: east, north, elevation
};

}  // namespace survey
