// Fuzzes the size table's index against a plain reading of every row: the
// index must give each code the size the first matching row gives, the
// whole code before its cut. The input is the wanted code up to its first
// LF, then two bytes that choose how many filler rows (and how long) stand
// before the rest, which is the table; the filler moves rows across the
// read buffer's edges. The table's windows must come out the same from
// each way of finding them.
#include <cstring>
#include <string>

#include "fuzz_util.h"
#include "input/row_window.h"
#include "input/size_table.h"
#include "text/scan.h"

using namespace korvane;

namespace {

// The table read line by line, as korvane once read it for every lookup.
bool plain_lookup(const std::string& text, const std::string& code,
                  PartSize& size) {
  std::string rows = read_as_text(text);
  bool cut_found = false;
  PartSize cut;
  for (size_t at = rows.find('\n'); at != std::string::npos;) {
    size_t end = rows.find('\n', at + 1);
    std::string line = rows.substr(at + 1, end - at - 1).substr(0, 1023);
    line = line.c_str();
    if (line.empty()) break;
    CodeMatch match =
        match_code(field_text(line.c_str(), 2).substr(0, 1023).c_str(), code);
    PartSize row{to_real(field_text(line.c_str(), 3).substr(0, 1023).c_str()),
                 to_real(field_text(line.c_str(), 4).substr(0, 1023).c_str())};
    if (match == CodeMatch::kWhole) return size = row, true;
    if (match == CodeMatch::kCut && !cut_found) cut = row, cut_found = true;
    at = end;
  }
  if (cut_found) size = cut;
  return cut_found;
}

// Each way of finding a window's bytes agrees with the plain one.
void compare_windows(const std::string& table) {
  for (size_t at = 0; at + kWindowBytes < table.size(); ++at) {
    const char* p = table.data() + at;
    Window plain = window_bytes(p, kWindowBytes, p[kWindowBytes]);
#ifdef KORVANE_X86
    for (Window w : {window_sse2(p, p[kWindowBytes]),
                     have_avx2() ? window_avx2(p, p[kWindowBytes]) : plain})
      require(memcmp(&w, &plain, sizeof w) == 0,
              "every way of finding a window finds the same bytes");
#endif
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enter_scratch_directory();
  std::string_view input = bytes_of(data, size);
  size_t lf = input.find('\n');
  if (lf == std::string_view::npos || input.size() < lf + 3) return 0;
  std::string code(input.substr(0, lf));
  code = code.c_str();  // a code is text up to its first NUL
  auto rows = static_cast<unsigned char>(input[lf + 1]) * 41u;
  auto pad = static_cast<unsigned char>(input[lf + 2]) % 97u;
  std::string table = "no\tcode\tlength\twidth\r\n";
  for (unsigned i = 0; i < rows; ++i)
    table += "9\tF" + std::string(pad, 'f') + "\t1\t1\r\n";
  table += input.substr(lf + 3);
  write_file("size.txt", table);
  compare_windows(std::string(input));
  SizeTable index;
  read_size_table("size.txt", {code}, {}, index);
  PartSize plain{-7, -7}, indexed{-7, -7};
  bool found = plain_lookup(table, code, plain);
  CodeMatch match;
  const SizeRow* row = find_size_row(index, code, match);
  if (row) indexed = row->size;
  require(found == (row != nullptr),
          "the index finds the code exactly when the rows hold it");
  require(memcmp(&plain, &indexed, sizeof plain) == 0,
          "the index gives the size the first matching row gives");
  return 0;
}
