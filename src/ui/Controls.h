#pragma once

#include <array>
#include <cstdint>
#include <string_view>

// frmMain's controls, in the order in which they are created.
enum class Control : std::uint8_t { fr1, Opt3, Opt2, Opt1, cmdOk, chChangeXY, tmrMain, Label1, lblInfo };

enum class ControlKind : std::uint8_t { Frame, OptionButton, PushButton, CheckBox, Timer, Label };

// One control as every front-end builds it. Geometry is in twips (1/1440 inch) as
// left, top, width, height; a control inside fr1 is placed relative to fr1's corner.
struct ControlSpec {
  Control control;
  std::string_view name;
  ControlKind kind;
  bool insideFrame;
  std::string_view caption;  // UTF-8
  int left, top, width, height;
  int tabIndex;   // -1: never takes the focus
  bool checked;   // initially selected or checked
  bool bold;
};

inline constexpr std::string_view kLabel1Caption =
    "Будут созданы файлы CSV с такими же именами как файлы SDR. Если файлы CSV уже существуют - они будут "
    "дописаны!";

inline constexpr std::array<ControlSpec, 9> kControls = {{
    {Control::fr1, "fr1", ControlKind::Frame, false, "Разделитель", 90, 360, 2805, 645, 2, false, false},
    {Control::Opt3, "Opt3", ControlKind::OptionButton, true, "Tab", 1530, 270, 1185, 300, 5, false, false},
    {Control::Opt2, "Opt2", ControlKind::OptionButton, true, ",", 810, 270, 645, 285, 4, false, false},
    {Control::Opt1, "Opt1", ControlKind::OptionButton, true, ";", 90, 270, 645, 285, 3, true, false},
    {Control::cmdOk, "cmdOk", ControlKind::PushButton, false, "Выполнить", 1620, 1080, 1275, 285, 6, false, false},
    {Control::chChangeXY, "chChangeXY", ControlKind::CheckBox, false, "Поменять местами X и Y", 90, 90, 2805, 210, 1,
     true, false},
    {Control::tmrMain, "tmrMain", ControlKind::Timer, false, "", 0, 0, 0, 0, -1, false, false},
    {Control::Label1, "Label1", ControlKind::Label, false, kLabel1Caption, 90, 1710, 2805, 1095, 7, false, false},
    {Control::lblInfo, "lblInfo", ControlKind::Label, false, "", 90, 1440, 2805, 285, 0, false, true},
}};

inline constexpr const ControlSpec& SpecOf(Control control) { return kControls[static_cast<std::size_t>(control)]; }

// A control's corner in the window's client area, in twips: controls inside fr1 are
// placed relative to fr1's corner.
struct TwipsCorner {
  int left, top;
};
inline constexpr TwipsCorner CornerInWindow(const ControlSpec& entry) {
  const ControlSpec& frame = SpecOf(Control::fr1);
  return entry.insideFrame ? TwipsCorner{entry.left + frame.left, entry.top + frame.top}
                           : TwipsCorner{entry.left, entry.top};
}

// The window itself.
struct WindowSpec {
  std::string_view title = "Varnel";  // also every message box's
  std::string_view jobPointsTitle = "Varnel — все точки";  // the window's while it reads every point of each job
  int clientWidth = 3600;  // twips
  int clientHeight = 2835;
  std::uint32_t background = 0xC0C0C0;  // RGB
  std::uint32_t text = 0x000000;
  std::string_view fontFace = "Calibri";
  std::string_view fallbackFontFace = "Carlito";  // metric-compatible, where Calibri is missing
  int fontPoints = 9;
  int fontCharset = 204;  // Cyrillic
  int timerIntervalMs = 10;
};
inline constexpr WindowSpec kWindow;

inline constexpr int kTwipsPerInch = 1440;

// Twips to device pixels at dpi, rounded to the nearest pixel.
inline constexpr int TwipsToPixels(int twips, int dpi) { return (twips * dpi + kTwipsPerInch / 2) / kTwipsPerInch; }

static_assert([] {
  for (std::size_t i = 0; i < kControls.size(); ++i) {
    if (static_cast<std::size_t>(kControls[i].control) != i) return false;
  }
  return true;
}(), "kControls must list the controls in creation order, as the Control enum does");
