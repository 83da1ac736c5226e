#include "convert/Wtf8.h"

#include <gtest/gtest.h>

namespace {

TEST(Wtf8Test, CarriesAnyUtf16ThereAndBack) {
  const struct {
    std::u16string utf16;
    std::string wtf8;
    bool fromUtf16 = true;  // false: bytes that begin no sequence, each read as U+FFFD
  } cases[] = {
      {u"a.sdr", "a.sdr"},
      {u"\u007F\u0080\u07FF\u0800\uFFFF", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF"},
      {u"\U0001F600\U0010FFFF", "\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF"},
      {{u'a', 0xD800, u'b'}, "a\xED\xA0\x80" "b"},  // a high surrogate alone
      {{0xDBFF, 0xDBFF, 0xDFFF}, "\xED\xAF\xBF\xF4\x8F\xBF\xBF"},  // a lone one, then a pair
      {{0xDFFF}, "\xED\xBF\xBF"},  // a low surrogate alone
      {u"\uFFFD" "a\uFFFD\uFFFD", "\xFF" "a\xC0\xAF", false},
      {u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD", "\xE0\x9F\xBF\xE6\xB8", false},
      {u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD", "\xF4\x90\x80\x80\xF0\x8F\xBF\xBF", false},
  };
  for (const auto& c : cases) {
    if (c.fromUtf16) {
      EXPECT_EQ(wtf8::FromUtf16(std::u16string_view(c.utf16)), c.wtf8);
    }
    EXPECT_EQ(wtf8::ToUtf16(c.wtf8), c.utf16) << testing::PrintToString(c.wtf8);
  }
}

}  // namespace
