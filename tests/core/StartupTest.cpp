#include "../FakeWindow.h"
#include "../Support.h"
#include "startup/CommandLineFileList.h"
#include "startup/StartupSequence.h"

namespace {

using Texts = std::vector<std::string>;

struct Started {
  Texts names;  // the accepted names, in order
  FakeWindow window;
  std::optional<ExitStatus> ended;
};

Started Start(const std::string& text, std::optional<Texts> names = std::nullopt, bool otherInstance = false) {
  FakeProcess process;
  process.arguments = {text, std::move(names)};
  process.otherInstance = otherInstance;
  FormState state;
  RandomSource random;
  Started started;
  started.ended = EndOf([&] { Form_Load(state, started.window, process, random); });
  for (int i = 1; i <= state.FileCount; ++i) started.names.push_back(state.FileList[i]);
  return started;
}

TEST(StartupTest, ShowsTheWindowThenCountsTheNamesReadAsTheShellWritesADrop) {
  const std::pair<const char*, Texts> cases[] = {
      {"a.sdr b.SDR c.Sdr a.sdr", {"a.sdr", "b.SDR", "c.Sdr", "a.sdr"}},
      {"  a.sdr   b.sdr  ", {"a.sdr", "b.sdr"}},
      {"\"C:\\My Data\\job 1.sdr\" b.txt x.sdr", {"C:\\My Data\\job 1.sdr", "x.sdr"}},
      {"a\tb.sdr ab\"c.sdr", {"a\tb.sdr", "ab\"c.sdr"}},  // tabs and quotes inside plain names stay
      {"\"a.sdr\"\"b.sdr\"", {"a.sdr"}},                   // the second is read plain, ending in a quote
      {"\"a.sdr\"x.sdr \"a.sdr\"\xD1\x84.sdr", {"a.sdr", ".sdr", "a.sdr", ".sdr"}},  // a whole letter dropped
      {"\"open quote .sdr x.sdr", {"open quote .sdr x.sdr"}},
  };
  for (const auto& [text, names] : cases) {
    const Started started = Start(text);
    EXPECT_EQ(started.names, names) << text;
    EXPECT_EQ(started.window.events, (Texts{"show", "Выбрано файлов SDR: " + std::to_string(names.size())}));
  }
  // Names that the system split are taken as they are, even those a drop cannot write.
  EXPECT_EQ(Start("", Texts{"say \"hi\" now.sdr", "\"q.sdr", "", "a b.txt"}).names, (Texts{"say \"hi\" now.sdr", "\"q.sdr"}));
}

TEST(StartupTest, EndsAfterItsMessageWithoutAUsableNameOrWithTooMany) {
  std::string full;
  for (int i = 0; i < 32000; ++i) full.append(i ? " f" : "f").append(std::to_string(i)).append(".sdr");
  EXPECT_EQ(Start(full + " ").names.size(), 32000u);  // one blank finishes the last name only
  const std::string drop = "Перетащите файлы формата SDR на значок программы.", tooMany = "Выбрано очень много файлов!";
  const std::pair<Started, std::string> cases[] = {
      {Start(""), drop}, {Start("   "), drop}, {Start("a.txt \"\" sdr"), drop}, {Start("", Texts{}), drop},
      {Start("", Texts{"a.sdr "}), drop},
      // Any name past the 32000th, accepted or not, and any extra blank is one too many.
      {Start(full + " one-more.sdr"), tooMany}, {Start(full + " not-sdr.txt"), tooMany}, {Start(full + "  "), tooMany},
      {Start(full + " \"\""), tooMany},
  };
  for (const auto& [started, message] : cases) {
    EXPECT_EQ(started.ended, ExitStatus::EndedByMessage);
    EXPECT_EQ(started.window.events, (Texts{"show", "message: " + message, "unload"}));
  }
  // A second instance ends before it shows anything.
  const Started second = Start("a.sdr", std::nullopt, true);
  EXPECT_EQ(second.ended, ExitStatus::AnotherInstance);
  EXPECT_TRUE(second.window.events.empty());
}

TEST(StartupTest, ExtensionTestLooksAfterTheLastDotOnly) {
  std::string cyrillic(20000, 'x');  // more bytes than the scan's 32767 characters, but not more characters
  for (int i = 0; i < 12000; ++i) cyrillic += "\xD0\xBF";
  const std::pair<std::string, uint8_t> cases[] = {
      {"a.sdr", 1}, {"a.SDR", 1}, {"a.Sdr", 1}, {".sdr", 1}, {"C:\\x.y\\a.sDr", 1}, {cyrillic + ".sdr", 1},
      {std::string(32763, 'a') + ".sdr", 1}, {"x.sdr.txt", 0}, {"x.sdrx", 0}, {"x.sd", 0}, {"sdr", 0}, {"a.", 0},
      {"", 0}, {"C:\\data.sdr\\file", 0}, {"a.sdr ", 0}, {"a.s\xC3\x90r", 0}, {"a.\xC5\xBF" "dr", 0}, {"a.zdr", 0},
      {"a.sar", 0}, {"a.sdq", 0},
  };
  FakeWindow window;
  for (const auto& [name, accepted] : cases) EXPECT_EQ(IsSdrFileName(name, window), accepted) << name.substr(0, 20);
  EXPECT_TRUE(window.messages.empty());
  // A longer name is rejected with a message, and the scan goes on.
  const Started started = Start(std::string(32764, 'a') + ".sdr b.sdr");
  EXPECT_EQ(started.names, Texts{"b.sdr"});
  EXPECT_EQ(started.window.messages, Texts{"Произошла ошибка при проверке названия файла."});
}

}  // namespace
