#include "survey/DxfDrawing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <initializer_list>
#include <optional>
#include <utility>

#include "survey/Number.h"

namespace survey {

namespace {

// The layers of the labels, in the order a point's labels are held, and where each
// stands beside its point: up from the north by so many text heights.
constexpr std::string_view kLabelLayers[] = {"PNTNO", "PNTELEV", "PNTDESC"};
constexpr double kLabelRise[] = {0.5, -1.0, -2.5};
constexpr int kLabelColours[] = {1, 5, 3};  // red, blue, green; the points' layers white
constexpr std::size_t kPiece = 64 << 10;

void Group(std::string& out, int code, std::string_view value) {
  char digits[12];
  out.append(digits, std::to_chars(digits, digits + sizeof digits, code).ptr);
  out += "\r\n";
  out += value;
  out += "\r\n";
}

// value with at most four decimals, no trailing zeros and never "-0". Values stay
// below 10^10 in size, so ten-thousandths are exact integers in a double.
void Group(std::string& out, int code, double value) {
  char text[32];
  char* end = text;
  auto units = static_cast<std::int64_t>(std::llround(value * 1e4));
  if (units < 0) *end++ = '-', units = -units;
  end = std::to_chars(end, text + sizeof text, units / 10000).ptr;
  if (const int decimals = static_cast<int>(units % 10000); decimals != 0) {
    *end++ = '.';
    for (int unit = 1000, rest = decimals; rest != 0; unit /= 10) {
      *end++ = static_cast<char>('0' + rest / unit);
      rest %= unit;
    }
  }
  Group(out, code, std::string_view(text, static_cast<std::size_t>(end - text)));
}

// Groups of fixed texts, in order.
void Groups(std::string& out, std::initializer_list<std::pair<int, std::string_view>> groups) {
  for (const auto& [code, value] : groups) Group(out, code, value);
}

void Point3(std::string& out, double x, double y, double z) {
  Group(out, 10, x);
  Group(out, 20, y);
  Group(out, 30, z);
}

void AppendDxfText(std::string& out, std::string_view text) {
  // A reader takes %%% for one percent sign, and %% before other bytes for a symbol.
  bool pairOpen = false;  // the last byte written is a % that no other follows yet
  for (const char c : text) {
    if (static_cast<unsigned char>(c) < 32) continue;
    out += c;
    if (c == '%' && pairOpen) out += '%';
    pairOpen = c == '%' && !pairOpen;
  }
}

}  // namespace

bool IsDxfCodePage(int codePage) {
  return codePage == 874 || codePage == 932 || codePage == 936 || codePage == 949 || codePage == 950 ||
         (codePage >= 1250 && codePage <= 1258);
}

std::string LayerName(std::string_view code) {
  if (code.empty()) return "0";
  std::string name(code.substr(0, 31));
  for (char& c : name) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (!((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '$' || c == '-' || c == '_')) c = '_';
  }
  const bool taken = std::find(std::begin(kLabelLayers), std::end(kLabelLayers), name) != std::end(kLabelLayers);
  return taken || name == "DEFPOINTS" ? "C_" + name : name;
}

std::string DxfText(std::string_view text) {
  std::string out;
  AppendDxfText(out, text);
  return out;
}

bool DxfDrawing::Add(const JobPoint& point) {
  const std::optional<double> north = ParseNumber(point.north), east = ParseNumber(point.east);
  if (!north || !east) return false;
  const std::optional<double> elevation = ParseNumber(point.elevation);
  const double at[3] = {*east, *north, elevation.value_or(0.0)};
  for (int k = 0; k < 3; ++k) {
    low_[k] = points_.empty() ? at[k] : std::min(low_[k], at[k]);
    high_[k] = points_.empty() ? at[k] : std::max(high_[k], at[k]);
  }

  auto layer = layerOfCode_.find(point.code);
  if (layer == layerOfCode_.end()) {
    // Codes that give one name share its layer.
    const std::string name = LayerName(point.code);
    const auto same = std::find(layers_.begin(), layers_.end(), name);
    layer = layerOfCode_.emplace(point.code, static_cast<std::uint32_t>(same - layers_.begin())).first;
    if (same == layers_.end()) layers_.push_back(name);
  }
  points_.push_back({at[0], at[1], at[2], layer->second});

  const std::string_view labels[] = {point.id, elevation ? point.elevation : std::string_view(), point.code};
  for (int k = 0; k < 3; ++k) {
    const std::size_t start = labels_.size();
    AppendDxfText(labels_, labels[k]);
    labelLayerUsed_[k] = labelLayerUsed_[k] || labels_.size() > start;
    labels_ += '\0';
  }
  return true;
}

void DxfDrawing::WriteTables(std::string& out) const {
  Groups(out, {{0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LTYPE"}, {70, "1"}, {0, "LTYPE"}, {2, "CONTINUOUS"},
               {70, "0"}, {3, "Solid line"}, {72, "65"}, {73, "0"}, {40, "0.0"}, {0, "ENDTAB"}});

  std::vector<std::pair<std::string_view, int>> layers;  // name, colour
  for (const std::string& name : layers_) layers.emplace_back(name, 7);
  for (int k = 0; k < 3; ++k) {
    if (labelLayerUsed_[k]) layers.emplace_back(kLabelLayers[k], kLabelColours[k]);
  }
  Groups(out, {{0, "TABLE"}, {2, "LAYER"}});
  Group(out, 70, std::to_string(layers.size()));
  for (const auto& [name, colour] : layers) {
    Groups(out, {{0, "LAYER"}, {2, name}, {70, "0"}});
    Group(out, 62, std::to_string(colour));
    Group(out, 6, "CONTINUOUS");
  }

  Groups(out, {{0, "ENDTAB"}, {0, "TABLE"}, {2, "STYLE"}, {70, "1"}, {0, "STYLE"}, {2, "STANDARD"}, {70, "0"},
               {40, "0.0"}, {41, "1.0"}, {50, "0.0"}, {71, "0"}});
  Group(out, 42, settings_.textHeight);  // the height last used
  Groups(out, {{3, "txt"}, {0, "ENDTAB"}, {0, "ENDSEC"}});
}

bool DxfDrawing::Write(const Writer& write) const {
  std::string out;
  out.reserve(kPiece + 4096);
  Groups(out, {{0, "SECTION"}, {2, "HEADER"}, {9, "$ACADVER"}, {1, "AC1009"}, {9, "$DWGCODEPAGE"}});
  Group(out, 3, "ANSI_" + std::to_string(settings_.codePage));
  Group(out, 9, "$EXTMIN");
  Point3(out, low_[0], low_[1], low_[2]);
  Group(out, 9, "$EXTMAX");
  Point3(out, high_[0], high_[1], high_[2]);
  Group(out, 0, "ENDSEC");
  WriteTables(out);
  Groups(out, {{0, "SECTION"}, {2, "BLOCKS"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}});

  const double height = settings_.textHeight;
  std::size_t label = 0;  // in labels_
  for (const Point& point : points_) {
    Group(out, 0, "POINT");
    Group(out, 8, layers_[point.layer]);
    Point3(out, point.east, point.north, point.elevation);
    for (int k = 0; k < 3; ++k) {
      const std::size_t end = labels_.find('\0', label);
      const std::string_view text(labels_.data() + label, end - label);
      label = end + 1;
      if (text.empty()) continue;
      Group(out, 0, "TEXT");
      Group(out, 8, kLabelLayers[k]);
      Point3(out, point.east + height / 2, point.north + kLabelRise[k] * height, point.elevation);
      Group(out, 40, height);
      Group(out, 1, text);
    }
    if (out.size() >= kPiece) {
      if (!write(out)) return false;
      out.clear();
    }
  }
  Group(out, 0, "ENDSEC");
  Group(out, 0, "EOF");
  return write(out);
}

}  // namespace survey
