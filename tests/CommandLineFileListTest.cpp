#include "startup/CommandLineFileList.h"

#include <gtest/gtest.h>

#include <vector>

#include "FakeWindow.h"
#include "ui/Messages.h"

namespace {

struct ReadResult {
  std::vector<std::string> names;
  std::vector<std::string> messages;
  bool ended = false;
};

ReadResult Read(const std::string& argumentText) {
  FormState state;
  FakeWindow window;
  FakeProcess process;
  process.argumentText = argumentText;
  ReadResult result;
  try {
    ReadCommandLine(state, process, window);
  } catch (const ProcessEnded& ended) {
    EXPECT_EQ(ended.status, ExitStatus::EndedByMessage);
    result.ended = true;
  }
  for (int i = 1; i <= state.FileCount; ++i) result.names.push_back(state.FileList[i]);
  EXPECT_EQ(state.FileList[state.FileCount + 1], "");
  result.messages = window.messages;
  return result;
}

using Names = std::vector<std::string>;

TEST(CommandLineFileListTest, ScansNamesByTheQuotingRules) {
  const struct {
    const char* text;
    Names names;
  } cases[] = {
      {"a.sdr", {"a.sdr"}},
      {"a.sdr b.SDR c.Sdr", {"a.sdr", "b.SDR", "c.Sdr"}},
      {"  a.sdr   b.sdr  ", {"a.sdr", "b.sdr"}},
      {"\"C:\\My Data\\job 1.sdr\"", {"C:\\My Data\\job 1.sdr"}},
      {"\"C:\\My Data\\job 1.sdr\" b.sdr", {"C:\\My Data\\job 1.sdr", "b.sdr"}},
      {"a.txt b.sdr c.csv", {"b.sdr"}},
      {"a\tb.sdr", {"a\tb.sdr"}},                       // a tab is no separator
      {"ab\"c.sdr\"", {}},                               // quote inside a plain name stays
      {"ab\"c.sdr", {"ab\"c.sdr"}},
      {"\"a.sdr\"\"b.sdr\"", {"a.sdr"}},                 // second quote dropped, name ends in a quote
      {"\"a.sdr\"x.sdr", {"a.sdr", ".sdr"}},             // the x after the quote is lost
      {"\"a.sdr\"\xD1\x84.sdr", {"a.sdr", ".sdr"}},      // so is a whole two-byte letter
      {"\"open quote .sdr x.sdr", {"open quote .sdr x.sdr"}},
      {"\"a.sdr \"", {}},                                // blank before the closing quote
      {"a.sdr a.sdr", {"a.sdr", "a.sdr"}},
      {"\"\xD0\xBF\xD0\xBB\xD0\xB0\xD0\xBD 1.sdr\"", {"\xD0\xBF\xD0\xBB\xD0\xB0\xD0\xBD 1.sdr"}},
  };
  for (const auto& c : cases) {
    const ReadResult result = Read(c.text);
    if (c.names.empty()) {
      EXPECT_TRUE(result.ended) << c.text;
      EXPECT_EQ(result.messages, Names{msg::kDropFiles}) << c.text;
    } else {
      EXPECT_FALSE(result.ended) << c.text;
      EXPECT_EQ(result.names, c.names) << c.text;
      EXPECT_TRUE(result.messages.empty()) << c.text;
    }
  }
}

TEST(CommandLineFileListTest, NothingUsableEndsWithTheDropMessage) {
  for (const char* text : {"", " ", "     ", "a.txt b.doc", "sdr", "\"\""}) {
    const ReadResult result = Read(text);
    EXPECT_TRUE(result.ended) << '"' << text << '"';
    EXPECT_EQ(result.messages, Names{msg::kDropFiles}) << '"' << text << '"';
    EXPECT_TRUE(result.names.empty());
  }
}

std::string ManyNames(int count) {
  std::string text;
  // Appended piece by piece: GCC 12 warns wrongly about a literal plus a temporary.
  for (int i = 0; i < count; ++i) text.append(i ? " f" : "f").append(std::to_string(i)).append(".sdr");
  return text;
}

TEST(CommandLineFileListTest, AcceptsExactlyMaxFilesAndNoMore) {
  const std::string full = ManyNames(MaxFiles);
  // A single trailing blank only finishes the last name.
  for (const std::string& extra : {std::string(), std::string(" ")}) {
    const ReadResult atLimit = Read(full + extra);
    EXPECT_FALSE(atLimit.ended);
    ASSERT_EQ(atLimit.names.size(), static_cast<std::size_t>(MaxFiles));
    EXPECT_EQ(atLimit.names.back(), "f31999.sdr");
  }
  for (const std::string& extra : {std::string(" one-more.sdr"), std::string(" not-sdr.txt"), std::string("  "),
                                   std::string(" \"\"")}) {
    const ReadResult past = Read(full + extra);
    EXPECT_TRUE(past.ended) << '"' << extra << '"';
    EXPECT_EQ(past.messages, Names{msg::kTooManyFiles}) << '"' << extra << '"';
  }
}

TEST(CommandLineFileListTest, ExtensionTest) {
  const struct {
    std::string name;
    uint8_t accepted;
  } cases[] = {
      {"a.sdr", 1}, {"a.SDR", 1}, {"a.Sdr", 1}, {".sdr", 1}, {"C:\\x.y\\a.sDr", 1},
      {"x.sdr.txt", 0}, {"x.sdrx", 0}, {"x.sd", 0}, {"sdr", 0}, {"a.", 0}, {"", 0},
      {"C:\\data.sdr\\file", 0}, {"a.sdr ", 0}, {"a.s\xC3\x90r", 0}, {"a.\xC5\xBF" "dr", 0},
  };
  FakeWindow window;
  for (const auto& c : cases) EXPECT_EQ(IsSdrFileName(c.name, window), c.accepted) << c.name;
  EXPECT_TRUE(window.messages.empty());
}

TEST(CommandLineFileListTest, NameTooLongForTheScanIsRejectedWithMessage) {
  FakeWindow window;
  const std::string longest = std::string(32767 - 4, 'a') + ".sdr";
  EXPECT_EQ(IsSdrFileName(longest, window), 1);
  // Two-byte letters: more bytes than the limit, but not more characters.
  std::string cyrillic(20000, 'x');
  for (int i = 0; i < 12000; ++i) cyrillic += "\xD0\xBF";
  EXPECT_EQ(IsSdrFileName(cyrillic + ".sdr", window), 1);
  EXPECT_TRUE(window.messages.empty());

  EXPECT_EQ(IsSdrFileName("a" + longest, window), 0);
  EXPECT_EQ(window.messages, Names{msg::kNameTestFailure});

  // The scan goes on after a rejected name.
  const ReadResult result = Read("a" + longest + " b.sdr");
  EXPECT_EQ(result.names, Names{"b.sdr"});
  EXPECT_EQ(result.messages, Names{msg::kNameTestFailure});
}

}  // namespace
