#include "korvane-import/decode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/encoding.h"

namespace korvane {

// Each case: bytes, their text ("error": refused), the warning's line or 0.
TEST(DecodeExport, ReadsWhatIsNotUtf8AsWindows1252) {
  const struct {
    std::string raw, text;
    int warning_line;
  } cases[] = {
      {"R \xce\xa9 10\xc2\xb5", "R \xce\xa9 10\xc2\xb5", 0},
      {std::string(kByteOrderMark) + "\xf0\x9f\x94\x8c", "\xf0\x9f\x94\x8c", 0},
      // Windows' own table, the five bytes it leaves undefined as C1 controls.
      {"\x80\x81\x82\x83\x84\x85\x86\x87\x88\x89\x8a\x8b\x8c\x8d\x8e\x8f"
       "\x90\x91\x92\x93\x94\x95\x96\x97\x98\x99\x9a\x9b\x9c\x9d\x9e\x9f",
       "€\u0081‚ƒ„…†‡ˆ‰Š‹Œ\u008dŽ\u008f\u0090‘’“”•–—˜™š›œ\u009džŸ", 1},
      {"a\r\n\xa0\xb0\xb1\xb5\xd7\xff", "a\n\u00a0°±µ×ÿ", 2},
      // Overlong, surrogate, past U+10FFFF, cut short.
      {"\xc0\xaf \xed\xa0\x80 \xf4\x90\x80\x80", "À¯ í\u00a0€ ô\u0090€€", 1},
      {"ok\n\xe2\x82", "ok\nâ‚", 2},
      {std::string("\xb5\0", 2), "error", 1},
  };
  for (const auto& c : cases) {
    std::string text;
    std::vector<Problem> warnings;
    Problem problem;
    int status = decode_export(c.raw, text, warnings, problem);
    EXPECT_EQ(c.text, status == 0 ? text : "error") << c.raw;
    EXPECT_EQ(c.warning_line, warnings.empty() ? 0 : warnings[0].line);
  }
}

}  // namespace korvane
