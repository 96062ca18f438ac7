#include "text/text_input.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "test_util.h"

namespace korvane {

namespace {

struct Line {
  std::string text;
  bool at_end;
  bool operator==(const Line&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Line& l) {
  return os << '"' << l.text << '"' << (l.at_end ? " end" : "");
}

// Reads `count` lines from a file holding `bytes`, each into a buffer of
// `size` bytes.
std::vector<Line> lines_of(const std::string& bytes, int count,
                           size_t size = 64) {
  std::string path = write_file(scratch_path("in"), bytes);
  auto in = std::make_unique<TextInput>();
  EXPECT_EQ(ReadStatus::kRead, open_text_input(*in, path.c_str()));
  std::vector<Line> lines;
  std::vector<char> buffer(size);
  for (int i = 0; i < count; ++i) {
    bool at_end = read_line(*in, buffer.data(), size);
    lines.push_back({buffer.data(), at_end});
  }
  close_text_input(*in);
  return lines;
}

using Lines = std::vector<Line>;

}  // namespace

// Each read takes as many lines as it expects; "\032" is Ctrl-Z.
TEST(ReadLine, ReadsLinesAsKorvaneDoes) {
  // The end is reported only when no byte follows.
  EXPECT_EQ((Lines{{"a", false}, {"b", false}, {"", true}, {"", true}}),
            lines_of("a\nb\n", 4));
  EXPECT_EQ((Lines{{"a", false}, {"b", true}, {"", true}}),
            lines_of("a\nb", 3));
  EXPECT_EQ((Lines{{"", true}, {"", true}}), lines_of("", 2));
  EXPECT_EQ((Lines{{"", false}, {"", false}, {"x", true}}),
            lines_of("\n\nx", 3));
  // Every CR is dropped.
  EXPECT_EQ((Lines{{"a\tb", false}, {"c", true}}), lines_of("a\tb\r\nc", 2));
  EXPECT_EQ((Lines{{"abc", false}, {"", true}}), lines_of("a\rb\r\rc\r\n", 2));
  EXPECT_EQ((Lines{{"xy", true}}), lines_of("x\ry\r", 1));
  // Ctrl-Z ends the input.
  EXPECT_EQ((Lines{{"a", false}, {"b", true}, {"", true}}),
            lines_of("a\nb\032c\nd\n", 3));
  EXPECT_EQ((Lines{{"", true}}), lines_of("\032abc", 1));
  EXPECT_EQ((Lines{{"a", false}, {"", true}}), lines_of("a\n\032\n", 2));
  // Every other byte is kept; a NUL is stored, and ends the text for
  // whoever reads it as a string.
  EXPECT_EQ((Lines{{"a\377b", false}}), lines_of("a\377b\n", 1));
  EXPECT_EQ((Lines{{"ab", false}, {"c", true}}),
            lines_of(std::string("ab\0z\nc", 6), 2));
  // The start of an overlong line is kept.
  EXPECT_EQ((Lines{{"abc", false}, {"de", true}}),
            lines_of("abcdefgh\nde", 2, 4));
  EXPECT_EQ((Lines{{"", false}, {"", true}}), lines_of("abc\n", 2, 1));
}

TEST(ReadLine, ReadsAcrossBufferRefills) {
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += "row" + std::to_string(i) + "\r\n";
  std::vector<Line> lines = lines_of(bytes, 20001);
  EXPECT_EQ((Line{"row0", false}), lines[0]);
  EXPECT_EQ((Line{"row12345", false}), lines[12345]);
  EXPECT_EQ((Line{"row19999", false}), lines[19999]);
  EXPECT_EQ((Line{"", true}), lines[20000]);

  std::string wide(kTextInputBuffer * 2 + 10, 'x');
  wide[kTextInputBuffer + 3] = '\x1a';
  EXPECT_EQ((Line{std::string(kTextInputBuffer + 3, 'x'), true}),
            lines_of(wide, 1, wide.size() + 1)[0]);
}

TEST(OpenTextInput, FailsOnMissingFilesAndDirectories) {
  auto in = std::make_unique<TextInput>();
  EXPECT_EQ(ReadStatus::kNotOpened,
            open_text_input(*in, scratch_path("missing").c_str()));
  std::string dir =
      std::filesystem::path(scratch_path("x")).parent_path().string();
  EXPECT_EQ(ReadStatus::kNotOpened, open_text_input(*in, dir.c_str()));
}

TEST(PeekRaw, ShowsTheBytesAsTheyStandUpToCtrlZ) {
  std::string path = write_file(scratch_path("in"), "a\r\nb\rc\r\n\032d\n");
  auto in = std::make_unique<TextInput>();
  ASSERT_EQ(ReadStatus::kRead, open_text_input(*in, path.c_str()));
  const char* bytes;
  size_t n = peek_raw(*in, &bytes);
  EXPECT_EQ("a\r\nb\rc\r\n", std::string(bytes, n));
  EXPECT_EQ(n, peek_raw(*in, &bytes));  // nothing taken yet
  skip_raw(*in, 3);
  char line[8];
  EXPECT_FALSE(read_line(*in, line, sizeof line));
  EXPECT_EQ("bc", std::string(line));
  EXPECT_EQ(0u, peek_raw(*in, &bytes));
  close_text_input(*in);
}

#ifdef __linux__
TEST(TextInput, TellsAReadErrorFromTheEnd) {
  // Offset 0 of a process's memory is never mapped: reading it fails with
  // EIO, a real read error.
  auto in = std::make_unique<TextInput>();
  ASSERT_EQ(ReadStatus::kRead, open_text_input(*in, "/proc/self/mem"));
  char line[16];
  EXPECT_EQ(true, read_line(*in, line, sizeof line));
  EXPECT_EQ("", std::string(line));
  EXPECT_EQ(true, in->failed);
  close_text_input(*in);

  std::string path = write_file(scratch_path("in"), "a");
  ASSERT_EQ(ReadStatus::kRead, open_text_input(*in, path.c_str()));
  EXPECT_EQ(true, read_line(*in, line, sizeof line));
  EXPECT_EQ(false, in->failed);
  close_text_input(*in);
}
#endif

TEST(ReadLineCut, TellsACutLineFromOneThatFits) {
  struct Case {
    const char* bytes;
    bool cut;
  } cases[] = {{"abcd\n", false},   {"abcd\r\r\n", false}, {"abcde\n", true},
               {"abcd\rx\n", true}, {"ab\rcd\n", false},   {"abcde", true}};
  std::string path = scratch_path("cut");
  for (const Case& c : cases) {
    write_file(path, c.bytes);
    auto in = std::make_unique<TextInput>();
    ASSERT_EQ(ReadStatus::kRead, open_text_input(*in, path.c_str()));
    char line[5];
    bool cut = !c.cut;
    read_line(*in, line, sizeof line, &cut);
    EXPECT_EQ(c.cut, cut) << c.bytes;
    close_text_input(*in);
  }
}

}  // namespace korvane
