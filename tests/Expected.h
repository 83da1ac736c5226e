#pragma once

// What the program must show, typed from how it must behave and never taken from the
// program's own tables, so that a wrong text or a moved control fails a test.
#include <string_view>

namespace expected {

inline constexpr std::string_view kTitle = "Varnel";
inline constexpr std::string_view kDropFiles = "Перетащите файлы формата SDR на значок программы.";
inline constexpr std::string_view kTooManyFiles = "Выбрано очень много файлов!";
inline constexpr std::string_view kNameTestFailure = "Произошла ошибка при проверке названия файла.";
inline constexpr std::string_view kRenamingFailure = "Произошла ошибка при переименовании файла.";
inline constexpr std::string_view kReadFailure = "Произошла ошибка при чтении файла.";
inline constexpr std::string_view kWriteFailure = "Произошла ошибка при записи файла.";

}  // namespace expected
