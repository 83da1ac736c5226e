#pragma once

// What the program must show, typed from how it must behave and never taken from the
// program's own tables, so that a wrong text or a moved control fails a test.
#include <string_view>

#include "ui/Controls.h"

namespace expected {

inline constexpr std::string_view kTitle = "Varnel";
inline constexpr std::string_view kDropFiles = "Перетащите файлы формата SDR на значок программы.";
inline constexpr std::string_view kTooManyFiles = "Выбрано очень много файлов!";
inline constexpr std::string_view kNameTestFailure = "Произошла ошибка при проверке названия файла.";
inline constexpr std::string_view kRenamingFailure = "Произошла ошибка при переименовании файла.";
inline constexpr std::string_view kReadFailure = "Произошла ошибка при чтении файла.";
inline constexpr std::string_view kWriteFailure = "Произошла ошибка при записи файла.";

// The window at 96 DPI, in pixels of its client area (15 twips to the pixel).
inline constexpr int kClientWidth = 240;
inline constexpr int kClientHeight = 189;

struct ControlLook {
  Control control;
  std::string_view caption;
  int left, top, width, height;
  bool checked = false;
  bool bold = false;
};

inline constexpr ControlLook kControls[] = {
    {Control::fr1, "Разделитель", 6, 24, 187, 43},
    {Control::Opt3, "Tab", 108, 42, 79, 20},
    {Control::Opt2, ",", 60, 42, 43, 19},
    {Control::Opt1, ";", 12, 42, 43, 19, true},
    {Control::cmdOk, "Выполнить", 108, 72, 85, 19},
    {Control::chChangeXY, "Поменять местами X и Y", 6, 6, 187, 14, true},
    {Control::Label1,
     "Будут созданы файлы CSV с такими же именами как файлы SDR. Если файлы CSV уже существуют - они будут дописаны!",
     6, 114, 187, 73},
    {Control::lblInfo, "", 6, 96, 187, 19, false, true},
};

// TAB moves the focus round these, from the check box.
inline constexpr Control kTabOrder[] = {Control::chChangeXY, Control::Opt1, Control::cmdOk};

}  // namespace expected
