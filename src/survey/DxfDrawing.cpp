#include "survey/DxfDrawing.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
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
constexpr std::size_t kChunkPoints = 1 << 14;
// The bytes of a point's entities but its labels and its layer's name; of a layer's entry
// but its name.
constexpr std::size_t kEntitiesRoom = 1024;

// The bytes of the drawing, gathered into pieces of about kPiece bytes for the caller's
// writer. Everything goes where Room() has made room for it.
class Pieces {
 public:
  explicit Pieces(const DxfDrawing::Writer& write) : write_(write), buffer_(2 * kPiece, '\0') {}

  // Room for size more bytes; a full piece goes to the writer first. False once the
  // writer has failed.
  bool Room(std::size_t size) {
    if (used_ + size > kPiece) ok_ = ok_ && Flush();
    if (size > buffer_.size()) buffer_.resize(size);
    return ok_;
  }
  bool Flush() {
    const bool ok = ok_ && write_(std::string_view(buffer_.data(), used_));
    used_ = 0;
    return ok;
  }

  template <std::size_t N>
  Pieces& operator<<(const char (&text)[N]) {  // a literal: copied at a known size
    return Put(text, N - 1);
  }
  Pieces& operator<<(std::string_view text) { return Put(text.data(), text.size()); }

  // value with at most four decimals, no trailing zeros and never "-0". Values stay
  // below 10^10 in size, so ten-thousandths are exact integers in a double.
  Pieces& operator<<(double value) {
    char* const start = buffer_.data() + used_;
    char* end = start;
    auto units = static_cast<std::int64_t>(std::llround(value * 1e4));
    if (units < 0) *end++ = '-', units = -units;
    end = std::to_chars(end, end + 20, units / 10000).ptr;
    if (const int decimals = static_cast<int>(units % 10000); decimals != 0) {
      *end++ = '.';
      for (int unit = 1000, rest = decimals; rest != 0; unit /= 10) {
        *end++ = static_cast<char>('0' + rest / unit);
        rest %= unit;
      }
    }
    used_ += static_cast<std::size_t>(end - start);
    return *this;
  }

 private:
  Pieces& Put(const char* bytes, std::size_t size) {
    std::memcpy(buffer_.data() + used_, bytes, size);
    used_ += size;
    return *this;
  }

  const DxfDrawing::Writer& write_;
  std::string buffer_;
  std::size_t used_ = 0;
  bool ok_ = true;
};

// The groups of a point: 10 x, 20 y, 30 z.
Pieces& Coordinates(Pieces& out, double x, double y, double z) {
  return out << "10\r\n" << x << "\r\n20\r\n" << y << "\r\n30\r\n" << z << "\r\n";
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
    low_[k] = pointCount_ == 0 ? at[k] : std::min(low_[k], at[k]);
    high_[k] = pointCount_ == 0 ? at[k] : std::max(high_[k], at[k]);
  }

  auto layer = layerOfCode_.find(point.code);
  if (layer == layerOfCode_.end()) {
    // Codes that give one name share its layer.
    const std::string name = LayerName(point.code);
    const auto same = std::find(layers_.begin(), layers_.end(), name);
    layer = layerOfCode_.emplace(point.code, static_cast<std::uint32_t>(same - layers_.begin())).first;
    if (same == layers_.end()) layers_.push_back(name);
  }
  if (chunks_.empty() || chunks_.back().points.size() == kChunkPoints) {
    chunks_.emplace_back().points.reserve(kChunkPoints);
    chunks_.back().labels.reserve(kChunkPoints * 32);
  }
  Chunk& chunk = chunks_.back();
  chunk.points.push_back({at[0], at[1], at[2], layer->second});
  ++pointCount_;

  const std::string_view labels[] = {point.id, elevation ? point.elevation : std::string_view(), point.code};
  for (int k = 0; k < 3; ++k) {
    const std::size_t start = chunk.labels.size();
    AppendDxfText(chunk.labels, labels[k]);
    labelLayerUsed_[k] = labelLayerUsed_[k] || chunk.labels.size() > start;
    chunk.labels += '\0';
  }
  return true;
}

bool DxfDrawing::Write(const Writer& write) const {
  Pieces out(write);
  out.Room(kEntitiesRoom);
  out << "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$ACADVER\r\n1\r\nAC1009\r\n9\r\n$DWGCODEPAGE\r\n3\r\nANSI_"
      << std::to_string(settings_.codePage) << "\r\n9\r\n$EXTMIN\r\n";
  Coordinates(out, low_[0], low_[1], low_[2]) << "9\r\n$EXTMAX\r\n";
  Coordinates(out, high_[0], high_[1], high_[2]) << "0\r\nENDSEC\r\n";

  std::vector<std::pair<std::string_view, int>> layers;  // name, colour
  for (const std::string& name : layers_) layers.emplace_back(name, 7);
  for (int k = 0; k < 3; ++k) {
    if (labelLayerUsed_[k]) layers.emplace_back(kLabelLayers[k], kLabelColours[k]);
  }
  out << "0\r\nSECTION\r\n2\r\nTABLES\r\n0\r\nTABLE\r\n2\r\nLTYPE\r\n70\r\n1\r\n0\r\nLTYPE\r\n2\r\nCONTINUOUS\r\n"
         "70\r\n0\r\n3\r\nSolid line\r\n72\r\n65\r\n73\r\n0\r\n40\r\n0.0\r\n0\r\nENDTAB\r\n0\r\nTABLE\r\n2\r\nLAYER\r\n70\r\n"
      << std::to_string(layers.size()) << "\r\n";
  for (const auto& [name, colour] : layers) {
    out.Room(kEntitiesRoom + name.size());
    out << "0\r\nLAYER\r\n2\r\n" << name << "\r\n70\r\n0\r\n62\r\n" << std::to_string(colour) << "\r\n6\r\nCONTINUOUS\r\n";
  }
  out.Room(kEntitiesRoom);
  out << "0\r\nENDTAB\r\n0\r\nTABLE\r\n2\r\nSTYLE\r\n70\r\n1\r\n0\r\nSTYLE\r\n2\r\nSTANDARD\r\n70\r\n0\r\n40\r\n0.0\r\n"
         "41\r\n1.0\r\n50\r\n0.0\r\n71\r\n0\r\n42\r\n"  // the height last used
      << settings_.textHeight << "\r\n3\r\ntxt\r\n0\r\nENDTAB\r\n0\r\nENDSEC\r\n"
      << "0\r\nSECTION\r\n2\r\nBLOCKS\r\n0\r\nENDSEC\r\n0\r\nSECTION\r\n2\r\nENTITIES\r\n";

  const double height = settings_.textHeight;
  for (const Chunk& chunk : chunks_) {
    const char* label = chunk.labels.data();
    for (const Point& point : chunk.points) {
      const char* const first = label;
      std::string_view texts[3];
      for (std::string_view& text : texts) {
        text = label;  // up to its 0 byte
        label += text.size() + 1;
      }
      if (!out.Room(kEntitiesRoom + layers_[point.layer].size() + static_cast<std::size_t>(label - first))) return false;
      Coordinates(out << "0\r\nPOINT\r\n8\r\n" << layers_[point.layer] << "\r\n", point.east, point.north, point.elevation);
      for (int k = 0; k < 3; ++k) {
        if (texts[k].empty()) continue;
        Coordinates(out << "0\r\nTEXT\r\n8\r\n" << kLabelLayers[k] << "\r\n", point.east + height / 2,
                    point.north + kLabelRise[k] * height, point.elevation)
            << "40\r\n" << height << "\r\n1\r\n" << texts[k] << "\r\n";
      }
    }
  }
  out.Room(kEntitiesRoom);
  out << "0\r\nENDSEC\r\n0\r\nEOF\r\n";
  return out.Flush();
}

}  // namespace survey
