#include "startup/StartupSequence.h"

#include <gtest/gtest.h>

#include "FakeWindow.h"
#include "ui/MainForm.h"
#include "ui/Messages.h"

namespace {

using Texts = std::vector<std::string>;

struct Started {
  FakeWindow window;
  FakeProcess process;
  FormState state;
  RandomSource random;
  std::optional<ExitStatus> ended;

  explicit Started(const std::string& argumentText, bool otherInstance = false) {
    process.argumentText = argumentText;
    process.otherInstance = otherInstance;
    try {
      Form_Load(state, window, process, random);
    } catch (const ProcessEnded& e) {
      ended = e.status;
    }
  }
};

TEST(StartupSequenceTest, ShowsTheWindowThenTheCountOfAcceptedNames) {
  const Started started("a.sdr b.txt \"c d.SDR\" e.doc f.Sdr");
  EXPECT_FALSE(started.ended);
  EXPECT_EQ(started.window.events, (Texts{"show", "status: Выбрано файлов SDR: 3"}));
  EXPECT_EQ(started.state.FileCount, 3);
  EXPECT_EQ(started.state.CurrentFile, 0);
}

TEST(StartupSequenceTest, SecondInstanceEndsBeforeShowingAnything) {
  const Started started("a.sdr", true);
  EXPECT_EQ(started.ended, ExitStatus::AnotherInstance);
  EXPECT_TRUE(started.window.events.empty());
  EXPECT_EQ(started.state.FileCount, 0);
}

TEST(StartupSequenceTest, EmptyCommandLineShowsTheMessageOverTheWindowAndEnds) {
  for (const char* text : {"", "x.txt"}) {
    const Started started(text);
    EXPECT_EQ(started.ended, ExitStatus::EndedByMessage);
    EXPECT_EQ(started.window.events, (Texts{"show", std::string("message: ") + msg::kDropFiles, "unload"}));
  }
}

TEST(StartupSequenceTest, RunButtonDisablesTheSixControlsInOrderThenStartsTheTimer) {
  FakeWindow window;
  FakeProcess process;
  MainForm form(window, process);
  form.cmdOk_Click();
  EXPECT_EQ(window.events, (Texts{"disable cmdOk", "disable chChangeXY", "disable fr1", "disable Opt1",
                                  "disable Opt2", "disable Opt3", "timer on"}));
}

}  // namespace
