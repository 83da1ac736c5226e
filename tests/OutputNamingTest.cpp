#include "convert/OutputNaming.h"

#include <gtest/gtest.h>

#include "FakeWindow.h"
#include "ui/Messages.h"

namespace {

TEST(OutputNamingTest, ReplacesEverythingFromTheLastDot) {
  const struct {
    std::string input;
    std::string output;
  } cases[] = {
      {"/data/site1.sdr", "/data/site1.csv"},
      {"/data/SITE1.SDR", "/data/SITE1.csv"},
      {"/data/site1.rev2.sdr", "/data/site1.rev2.csv"},
      {"/data/site1.", "/data/site1.csv"},
      {"/data/site1", "/data/site1.csv"},
      {"/data/set.2/site1", "/data/set.csv"},
      {"C:\\data\\site1.sdr", "C:\\data\\site1.csv"},
      {".sdr", ".sdr.csv"},
      {"", ".csv"},
      {"/data/\xD0\xBF\xD0\xBB\xD0\xB0\xD0\xBD.sdr", "/data/\xD0\xBF\xD0\xBB\xD0\xB0\xD0\xBD.csv"},
  };
  FakeWindow window;
  for (const auto& c : cases) EXPECT_EQ(MakeCsvFileName(c.input, window), c.output) << c.input;
  EXPECT_TRUE(window.messages.empty());
}

TEST(OutputNamingTest, PathTooLongForTheScanGivesEmptyPathAndMessage) {
  FakeWindow window;
  EXPECT_EQ(MakeCsvFileName(std::string(32763, 'a') + ".sdr", window), std::string(32763, 'a') + ".csv");
  EXPECT_TRUE(window.messages.empty());
  EXPECT_EQ(MakeCsvFileName(std::string(32764, 'a') + ".sdr", window), "");
  EXPECT_EQ(window.messages, std::vector<std::string>{msg::kRenamingFailure});
}

}  // namespace
