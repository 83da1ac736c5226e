#include "convert/Wtf8.h"

#include "../Support.h"

namespace {

TEST(Wtf8Test, CarriesAnyUtf16ThereAndBack) {
  const std::tuple<std::u16string, std::string, bool> cases[] = {  // false: bytes that begin no sequence
      {u"a.sdr", "a.sdr", true},
      {u"\u007F\u0080\u07FF\u0800\uFFFF", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80\xEF\xBF\xBF", true},
      {u"\U00010000\U0001F600\U0010FFFF", "\xF0\x90\x80\x80\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF", true},
      {{u'a', 0xD800, u'b'}, "a\xED\xA0\x80" "b", true},  // a high surrogate alone
      {{0xDBFF, 0xDBFF, 0xDFFF}, "\xED\xAF\xBF\xF4\x8F\xBF\xBF", true},  // a lone one, then a pair
      {{0xDFFF}, "\xED\xBF\xBF", true},  // a low surrogate alone
      {u"\uFFFD" "a\uFFFD\uFFFD", "\xFF" "a\xC0\xAF", false},
      {u"\uFFFD\uFFFD\uFFFD\uFFFD\uFFFD", "\xE0\x9F\xBF\xE6\xB8", false},
      {std::u16string(8, u'\uFFFD'), "\xF4\x90\x80\x80\xF0\x8F\xBF\xBF", false},
  };
  for (const auto& [utf16, wtf8, valid] : cases) {
    EXPECT_EQ(wtf8::ToUtf16(wtf8), utf16) << testing::PrintToString(wtf8);
    EXPECT_TRUE(!valid || wtf8::FromUtf16(std::u16string_view(utf16)) == wtf8) << testing::PrintToString(wtf8);
  }
  // A view that ends inside a sequence is read no further, whatever follows it.
  EXPECT_EQ(wtf8::ToUtf16(std::string_view("\xE6\xB8\xAC").substr(0, 2)), u"\uFFFD\uFFFD");
}

}  // namespace
