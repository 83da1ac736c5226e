#pragma once

// The program's fixed texts, UTF-8. Front-ends convert them at the toolkit call.
namespace msg {

inline constexpr const char* kAppTitle = "Varnel";

inline constexpr const char* kDropFiles = "Перетащите файлы формата SDR на значок программы.";
inline constexpr const char* kTooManyFiles = "Выбрано очень много файлов!";
inline constexpr const char* kCommandLineFailure = "Произошла ошибка чтении команды.";
inline constexpr const char* kNameTestFailure = "Произошла ошибка при проверке названия файла.";
inline constexpr const char* kRenamingFailure = "Произошла ошибка при переименовании файла.";
inline constexpr const char* kReadFailure = "Произошла ошибка при чтении файла.";
inline constexpr const char* kWriteFailure = "Произошла ошибка при записи файла.";

inline constexpr const char* kFileCountPrefix = "Выбрано файлов SDR: ";
inline constexpr const char* kProgressPrefix = "Обрабатывается ";
inline constexpr const char* kProgressOf = " из ";
inline constexpr const char* kProgressSuffix = "...";

}  // namespace msg
