// Fuzzes the size lookup's fast walks against the plain one: every way of
// walking the table must find the same row and so the same size. The input
// is the wanted code up to its first LF, then two bytes that choose how
// many filler rows (and how long) stand before the rest, which is the
// table; the filler moves rows across the read buffer's edges.
#include <cstring>
#include <string>

#include "fuzz_util.h"
#include "input/part_size.h"

namespace {

PartSize looked_up(const std::string& code, SizeScan scan) {
  PartSize size{-7, -7};
  lookup_part_size_by("size.txt", code.c_str(), size, scan);
  return size;
}

bool same_size(const PartSize& a, const PartSize& b) {
  return memcmp(&a, &b, sizeof a) == 0;
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
  PartSize plain = looked_up(code, SizeScan::kRowByRow);
  require(same_size(plain, looked_up(code, SizeScan::kPortable)),
          "the byte scan found another size");
  require(same_size(plain, looked_up(code, SizeScan::kVector)),
          "the vector scan found another size");
  return 0;
}
