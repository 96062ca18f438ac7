#include "input/part_size.h"

#include <gtest/gtest.h>

#include <cctype>
#include <random>
#include <string>
#include <vector>

#include "test_util.h"
#include "text/text_input.h"

using namespace std::string_literals;

namespace {

struct Size {
  double length;
  double width;
  bool operator==(const Size&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Size& s) {
  return os << s.length << " x " << s.width;
}

constexpr Size kUnchanged{-1, -1};
constexpr SizeScan kScans[] = {SizeScan::kRowByRow, SizeScan::kPortable,
                               SizeScan::kVector};

using Sizes = std::vector<Size>;

// What each scan, in the order of kScans, finds for `code` in the table
// at `path`.
Sizes found_in_file(const std::string& path, const std::string& code) {
  Sizes sizes;
  for (SizeScan scan : kScans) {
    PartSize size{kUnchanged.length, kUnchanged.width};
    lookup_part_size_by(path.c_str(), code.c_str(), size, scan);
    sizes.push_back({size.length, size.width});
  }
  return sizes;
}

Sizes found_plain(const std::string& table, const std::string& code) {
  std::string path = scratch_path("size.txt");
  write_file(path, table);
  return found_in_file(path, code);
}

// Harmless rows, enough to keep the rows around them out of a scan's
// last bytes, which are always read row by row; `shift` moves them.
std::string filler(int shift) {
  std::string rows = std::string(shift, 'x') + "\tfiller\t0\t0\r\n";
  for (int i = 0; i < 6; ++i) rows += "0\tfill-" + std::to_string(i) + "\t0\n";
  return rows;
}

// What each scan finds for `code` in a table holding `table`. The same
// table with filler rows after the heading or after the end (if it ends
// with LF) must give the same.
Sizes found(const std::string& table, const std::string& code) {
  Sizes sizes = found_plain(table, code);
  std::string path = scratch_path("size.txt");
  size_t heading = table.find('\n');
  if (heading == std::string::npos || table.back() != '\n') return sizes;
  for (int shift = 0; shift < 4; ++shift) {
    SCOPED_TRACE("with filler rows " + std::to_string(shift));
    write_file(path, table + filler(shift));
    EXPECT_EQ(sizes, found_in_file(path, code));
    write_file(path, table.substr(0, heading + 1) + filler(shift) +
                         table.substr(heading + 1) + filler(shift));
    EXPECT_EQ(sizes, found_in_file(path, code));
  }
  return sizes;
}

// The same size from every scan.
Sizes each(Size size) { return Sizes(std::size(kScans), size); }

}  // namespace

TEST(LookupPartSize, TakesTheFirstRowWhoseField2IsTheCode) {
  std::string table =
      "No\tCode\tL\tW\r\n1\tR12\t10\t4\r\n2\tR15\t20\t8\r\n"
      "3\tR15\t30\t9\r\n4\tx\tR16\t1\t1\r\n";
  EXPECT_EQ(each({20, 8}), found(table, "r15"));
  EXPECT_EQ(each({10, 4}), found(table, "R12"));
  EXPECT_EQ(each(kUnchanged), found(table, "XX"));
  EXPECT_EQ(each(kUnchanged), found(table, "R1"));
  EXPECT_EQ(each(kUnchanged), found(table, "R150"));
  EXPECT_EQ(each(kUnchanged), found(table, "R16"));  // field 3
  EXPECT_EQ(each(kUnchanged), found(table, "3"));    // field 1
  EXPECT_EQ(each(kUnchanged), found(table, "R15 "));
  EXPECT_EQ(each({20, 8}), found("h\n1\tR12\t10\t4\n2\tR15\t20\t8", "R15"));
  EXPECT_EQ(each(kUnchanged), found("", "R15"));
  EXPECT_EQ(each({0, 0}), found("h\nnote\n2\t\t20\t8\n", ""));
}

TEST(LookupPartSize, LongCodesMatchWholeBeforeTheirFirst31Characters) {
  const std::string cut(kCodeCutLength, 'L');  // 31 characters
  const std::string a = cut + "_a", b = cut + "_b";
  std::string table = "h\n1\t" + cut + "\t1\t1\n2\t" + a + "\t2\t2\n3\t" + b +
                      "\t3\t3\n4\t" + a + "\t4\t4\n";
  EXPECT_EQ(each({2, 2}), found(table, a));
  EXPECT_EQ(each({3, 3}),
            found(table, std::string(kCodeCutLength, 'l') + "_B"));
  EXPECT_EQ(each({1, 1}), found(table, cut + "_c"));
  EXPECT_EQ(each({1, 1}), found(table, cut));
  EXPECT_EQ(each(kUnchanged), found(table, cut.substr(1)));
  // Only rows before the first empty line count, for either match.
  EXPECT_EQ(each({1, 1}),
            found("h\n1\t" + cut + "\t1\t1\n\n2\t" + a + "\t2\t2\n", a));
  EXPECT_EQ(each(kUnchanged), found("h\n\n1\t" + cut + "\t1\t1\n", a));
}

TEST(LookupPartSize, FoldsOnlyTheLettersAToZ) {
  std::string table =
      "h\n1\tab[@\t1\t2\n2\tAB{`\t3\t4\n3\t\xe9z\t5\t6\n"
      "4\tq\t7\t8\n";
  EXPECT_EQ(each({1, 2}), found(table, "aB[@"));
  EXPECT_EQ(each({3, 4}), found(table, "ab{`"));
  EXPECT_EQ(each(kUnchanged), found(table, "ab{@"));
  EXPECT_EQ(each(kUnchanged), found(table, "AB[`"));
  EXPECT_EQ(each({5, 6}), found(table, "\xe9Z"));
  EXPECT_EQ(each(kUnchanged), found(table, "\xc9z"));
  EXPECT_EQ(each({7, 8}), found(table, "Q"));
}

TEST(LookupPartSize, StopsAtTheFirstEmptyRow) {
  EXPECT_EQ(each({1, 1}), found("h\n1\tA\t1\t1\n\n2\tR15\t20\t8\n", "A"));
  EXPECT_EQ(each(kUnchanged), found("h\n1\tA\t1\t1\n\n2\tR15\t20\t8\n", "R15"));
  EXPECT_EQ(each(kUnchanged),
            found("h\r\n1\tA\t1\t1\r\n\r\n2\tR15\t20\t8\r\n", "R15"));
  EXPECT_EQ(each(kUnchanged),
            found("h\n1\tA\t1\t1\n\r\r\n2\tR15\t20\t8\n", "R15"));
  EXPECT_EQ(each(kUnchanged), found("h\n\n1\tR15\t20\t8\n", "R15"));
  EXPECT_EQ(each(kUnchanged), found("h\r\n\r\n1\tR15\t20\t8\r\n", "R15"));
  EXPECT_EQ(each(kUnchanged), found("h\r\n\0\r\n1\tR15\t20\t8\r\n"s, "R15"));
  // A row whose first byte is NUL is empty.
  EXPECT_EQ(each(kUnchanged),
            found("h\n1\tA\t1\t1\n\0\tR15\t1\t1\n2\tR15\t20\t8\n"s, "R15"));
  // Rows that only look empty are not.
  EXPECT_EQ(each({20, 8}), found("h\n1\tA\t1\t1\n\rX\tR15\t20\t8\n", "R15"));
  EXPECT_EQ(each({20, 8}), found("h\n\t\t\t\n2\tR15\t20\t8\n", "R15"));
  EXPECT_EQ(each({20, 8}), found("h\n \n2\tR15\t20\t8\n", "R15"));
}

TEST(LookupPartSize, DropsEveryCr) {
  EXPECT_EQ(each({20, 8}), found("h\n1\tR1\r5\t20\t8\n", "R15"));
  EXPECT_EQ(each({20, 8}), found("h\n1\t\rR15\t20\t8\n", "R15"));
  EXPECT_EQ(each({20, 8}), found("h\n1\r\tR15\r\t2\r0\t8\r\n", "R15"));
  EXPECT_EQ(each({20, 8}), found("h\n1\tR15\r\r\t20\t8\n", "R15"));
  EXPECT_EQ(each({0, 0}), found("h\r\n1\tR15\r\r\n", "R15"));
  EXPECT_EQ(each({0, 0}), found("h\n1\tR15\r", "R15"));
  EXPECT_EQ(each(kUnchanged), found("h\n1\tR15\rX\t20\t8\n", "R15"));
}

TEST(LookupPartSize, NulEndsTheTextOfItsRow) {
  EXPECT_EQ(each({0, 0}), found("h\n1\tR15\0junk\t20\t8\n"s, "R15"));
  EXPECT_EQ(each({30, 9}),
            found("h\n1\0\tR15\t20\t8\n2\tR15\t30\t9\n"s, "R15"));
  EXPECT_EQ(each(kUnchanged), found("h\n1\tR1\0"
                                    "5\t20\t8\n"s,
                                    "R15"));
  EXPECT_EQ(each({0, 0}), found("h\n1\tR1\0"
                                "5\t20\t8\n"s,
                                "R1"));
  EXPECT_EQ(each({20, 0}), found("h\n1\tR15\t20\0\t8\n"s, "R15"));
}

TEST(LookupPartSize, CtrlZEndsTheTable) {
  EXPECT_EQ(each(kUnchanged), found("h\n1\tA\t1\t1\n\x1a"
                                    "2\tR15\t20\t8\n",
                                    "R15"));
  EXPECT_EQ(each({20, 0}), found("h\n1\tR15\t20\x1a\t8\n", "R15"));
  EXPECT_EQ(each(kUnchanged), found("h\n1\tR1\x1a"
                                    "5\t20\t8\n",
                                    "R15"));
  EXPECT_EQ(each({0, 0}), found("h\n1\tR1\x1a"
                                "5\t20\t8\n",
                                "R1"));
}

TEST(LookupPartSize, KeepsThe1023FirstBytesOfARow) {
  auto row = [](size_t field1, const std::string& rest) {
    return "h\n" + std::string(field1, 'x') + rest + "\n2\tR15\t50\t60\n";
  };
  // Byte 1023 of the row and all after it are cut off.
  EXPECT_EQ(each({20, 0}), found(row(1016, "\tR15\t20\t8"), "R15"));
  EXPECT_EQ(each({0, 0}), found(row(1018, "\tR15\t20\t8"), "R15"));
  EXPECT_EQ(each({0, 0}), found(row(1019, "\tR15\t20\t8"), "R15"));
  EXPECT_EQ(each({50, 60}), found(row(1020, "\tR15\t20\t8"), "R15"));
  EXPECT_EQ(each({0, 0}), found(row(1020, "\tR15\t20\t8"), "R1"));
  EXPECT_EQ(each({50, 60}), found(row(1022, "\tR15\t20\t8"), "R15"));
  EXPECT_EQ(each({50, 60}), found(row(3000, "\tR15\t20\t8"), "R15"));
  // CRs are dropped before the cut.
  EXPECT_EQ(each({2, 0}), found(row(1017, "\r\r\r\tR15\t20\t8"), "R15"));
  EXPECT_EQ(each({0, 0}), found(row(1019, "\tR\r1\r5\t20\t8"), "R15"));
  // A row cut inside its code field matches the code's first bytes only.
  EXPECT_EQ(each({0, 0}), found(row(1019, "\tR150\t20\t8"), "r15"));
  EXPECT_EQ(each(kUnchanged), found(row(1019, "\tR150\t20\t8"), "R150"));
}

TEST(LookupPartSize, ReadsRowsAcrossBufferRefills) {
  // Rows up to byte `at`, the last one stretched to end right there.
  auto filler = [](size_t at) {
    std::string table = "No\tCode\tL\tW\r\n";
    for (int i = 0; table.size() + 40 < at; ++i)
      table +=
          std::to_string(i) + "\tC0603-" + std::to_string(i) + "\t1\t1\r\n";
    table += std::string(at - table.size() - 2, 'x') + "\r\n";
    return table;
  };
  for (size_t boundary : {kTextInputBuffer, 2 * kTextInputBuffer}) {
    for (size_t shift = 0; shift < 24; ++shift) {
      SCOPED_TRACE("row starts " + std::to_string(shift) + " bytes before " +
                   std::to_string(boundary));
      std::string start = filler(boundary - shift);
      std::string end = "\r\n9\tR15\t30\t9\r\n";
      EXPECT_EQ(each({20, 8}),
                found_plain(start + "7\tR15\t20\t8" + end, "r15"));
      EXPECT_EQ(each({20, 8}),
                found_plain(start + "7\tR1\r5\t20\t8" + end, "r15"));
      EXPECT_EQ(each({30, 9}),
                found_plain(start + "7\tR1\r\n5\t20\t8" + end, "r15"));
      EXPECT_EQ(each({30, 9}),
                found_plain(start + "7\0\tR15\t20\t8"s + end, "r15"));
      EXPECT_EQ(each(kUnchanged), found_plain(start + "\r\n" + end, "r15"));
      EXPECT_EQ(each(kUnchanged), found_plain(start + "1\tX\x1a" + end, "r15"));
    }
  }
}

// The scans only pass over rows faster: on any table, for any code, they
// must find what reading row by row finds.
TEST(LookupPartSize, ScansAgreeWithReadingRowByRow) {
  std::mt19937 random(20240607);
  auto pick = [&random](int n) {
    return static_cast<int>(random() % static_cast<unsigned>(n));
  };
  const std::string common = "aAbB1[{\t\t\t";
  // Big tables, to cross buffer refills, get fewer odd bytes and no Ctrl-Z.
  std::string rare = "\r\n\0\x1a"s;
  int odds = 40;
  auto text = [&](int length) {
    std::string s;
    for (int i = 0; i < length; ++i)
      s += pick(odds) ? common[pick(static_cast<int>(common.size()))]
                      : rare[pick(static_cast<int>(rare.size()))];
    return s;
  };
  // The code with CRs dropped, letter case or brackets changed at random.
  auto changed = [&](std::string code) {
    std::erase(code, '\r');
    for (char& c : code) {
      if (!pick(2)) continue;
      if (c == '[' || c == '{') c ^= '[' ^ '{';
      if (isalpha(static_cast<unsigned char>(c))) c ^= 0x20;
    }
    return code;
  };
  for (int t = 0; t < 150; ++t) {
    std::string table = "heading\r\n";
    int rows = t < 10 ? 12000 : 20 + pick(200);
    rare = t < 10 ? "\r\n\0"s : "\r\n\0\x1a"s;
    odds = t < 10 ? 5000 : 40;
    std::vector<std::string> codes = {text(1), text(2), text(3)};
    for (int r = 0; r < rows; ++r) {
      // Some codes pass 31 characters, sharing all but their last few.
      std::string code = text(1 + pick(4));
      if (pick(4) == 0) code = std::string(29, 'a') + text(1 + pick(5));
      if (pick(5) == 0) codes.push_back(code);
      if (pick(10) == 0) codes.push_back(changed(code));
      int field1 = pick(50) ? pick(4) : 1000 + pick(30);
      table += text(field1);
      table += '\t';
      table += code;
      if (pick(4)) table += '\t' + std::to_string(r) + '\t' + text(2);
      table += pick(3) ? "\r\n" : "\n";
    }
    std::string path = scratch_path("size.txt");
    write_file(path, table);
    for (size_t c = 0; c < codes.size() && c < 16; ++c) {
      SCOPED_TRACE("table " + std::to_string(t) + ", code " +
                   std::to_string(c));
      Sizes sizes = found_in_file(path, codes[c]);
      EXPECT_EQ(each(sizes[0]), sizes);
    }
  }
}
