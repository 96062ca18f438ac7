#include "korvane-import/name_size.h"

#include <cmath>
#include <string>
#include <utility>

#include "text/scan.h"

namespace korvane {

namespace {

constexpr size_t kNone = std::string_view::npos;

// A standard chip: its EIA (inch) code, its metric code, its body in mm.
struct ChipSize {
  std::string_view imperial;
  std::string_view metric;
  double length;
  double width;
  bool named_alone;  // an EIA code that names the chip on its own
};

// The EIA/IEC case codes with their nominal bodies. The metric code rounds
// some of them (2012 for 2.0 by 1.25 mm, 9110 for 9.1 by 10.2 mm).
constexpr ChipSize kChips[] = {
    {"01005", "0402", 0.4, 0.2, false}, {"0201", "0603", 0.6, 0.3, true},
    {"0402", "1005", 1.0, 0.5, true},   {"0603", "1608", 1.6, 0.8, true},
    {"0805", "2012", 2.0, 1.25, true},  {"1008", "2520", 2.5, 2.0, true},
    {"1206", "3216", 3.2, 1.6, true},   {"1210", "3225", 3.2, 2.5, true},
    {"1806", "4516", 4.5, 1.6, true},   {"1808", "4520", 4.5, 2.0, true},
    {"1812", "4532", 4.5, 3.2, true},   {"2010", "5025", 5.0, 2.5, true},
    {"2512", "6332", 6.3, 3.2, true},   {"3640", "9110", 9.1, 10.2, false},
};

// The part types that may stand before a chip code alone.
constexpr std::string_view kChipTypes[] = {
    "R", "C", "L", "D", "F", "FB", "LED", "RES", "CAP", "IND", "FUSE", "DIODE"};

// IPC-7351 two-terminal families: chips, then the small outline diode.
constexpr std::string_view kIpcChips[] = {
    "CAPC", "CAPCP", "CAPM", "CAPMP", "DIOC", "INDC", "LEDC", "RESC", "SOD"};

// IPC-7351 families named by pitch and two sizes in hundredths of a mm.
constexpr std::string_view kIpcPitched[] = {
    "QFN",  "PQFN",   "SON",    "PSON",   "DFN",   "QFP",
    "CQFP", "RESCAV", "RESCAF", "CAPCAV", "CAPCAF"};

constexpr double kLongest = 1000;  // mm: no part's side is longer

bool is_digit(char c) { return c >= '0' && c <= '9'; }

bool is_letter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

char upper(char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

// True when `code` holds `word` at `at`, ASCII letters in either case.
bool word_at(std::string_view code, size_t at, std::string_view word) {
  if (at > code.size() || code.size() - at < word.size()) return false;
  for (size_t i = 0; i < word.size(); ++i)
    if (upper(code[at + i]) != upper(word[i])) return false;
  return true;
}

// True when byte `c` stands at `at`.
bool byte_at(std::string_view code, size_t at, char c) {
  return at < code.size() && code[at] == c;
}

// How many digits start at `at`.
size_t digits_at(std::string_view code, size_t at) {
  size_t n = 0;
  while (at + n < code.size() && is_digit(code[at + n])) ++n;
  return n;
}

// The length of the number at `at`: digits, then optionally "." and more
// digits. 0 when there is none, or a "." without digits after it.
size_t number_at(std::string_view code, size_t at) {
  size_t n = digits_at(code, at);
  if (n == 0 || !byte_at(code, at + n, '.')) return n;
  size_t fraction = digits_at(code, at + n + 1);
  return fraction == 0 ? 0 : n + 1 + fraction;
}

// Moves `at` past a run of `least` to `most` digits; false for another run.
bool skip_digits(std::string_view code, size_t& at, size_t least, size_t most) {
  size_t n = digits_at(code, at);
  if (n < least || n > most) return false;
  at += n;
  return true;
}

// Moves `at` past byte `c`; false when another byte or the end is there.
bool skip_byte(std::string_view code, size_t& at, char c) {
  if (!byte_at(code, at, c)) return false;
  ++at;
  return true;
}

// The value of a number that number_at or digits_at has checked.
double value_of(std::string_view number) {
  double value = 0;
  read_decimal(number, value);
  return value;
}

// Sets `size` when both sides lie above 0 and within kLongest.
bool set_size(double length, double width, std::string source,
              NamedSize& size) {
  if (!(length > 0 && width > 0 && length <= kLongest && width <= kLongest))
    return false;
  size.length = length;
  size.width = width;
  size.source = std::move(source);
  return true;
}

// The chip of a four-digit metric code: the table's body, else LL/10 by
// WW/10 mm.
void metric_body(std::string_view digits, double& length, double& width) {
  for (const ChipSize& chip : kChips) {
    if (chip.metric != digits) continue;
    length = chip.length;
    width = chip.width;
    return;
  }
  length = value_of(digits.substr(0, 2)) / 10;
  width = value_of(digits.substr(2, 2)) / 10;
}

// False when four digits stand right before the "_" at `mark` (the inch
// code in R_0603_1608Metric) and either side lies 0.3 mm or more from them,
// read in hundredths of an inch. A longer code (01005) is not checked.
bool agrees_with_inches(std::string_view code, size_t mark, double length,
                        double width) {
  if (mark < 4) return true;
  size_t start = mark - 4;
  if (digits_at(code, start) != 4 || (start > 0 && is_digit(code[start - 1])))
    return true;
  double inch_length = value_of(code.substr(start, 2)) * 0.254;
  double inch_width = value_of(code.substr(start + 2, 2)) * 0.254;
  return std::fabs(inch_length - length) < 0.3 &&
         std::fabs(inch_width - width) < 0.3;
}

// Where `family` stands next, at or after `from`, at the start of the name
// or after a byte that is neither letter nor digit; kNone when nowhere.
size_t find_family(std::string_view code, std::string_view family,
                   size_t from) {
  for (size_t at = code.find(family, from); at != kNone;
       at = code.find(family, at + 1)) {
    if (at == 0 || !(is_letter(code[at - 1]) || is_digit(code[at - 1])))
      return at;
  }
  return kNone;
}

// IPC-7351 chips and SOD: family + four digits + "X" + height, at `at`.
// Sets `digits` to where the four digits start.
bool ipc_two_terminal_at(std::string_view code, size_t at,
                         std::string_view family, size_t& digits) {
  size_t p = at + family.size();
  digits = p;
  return skip_digits(code, p, 4, 4) && skip_byte(code, p, 'X') &&
         skip_digits(code, p, 2, 4);
}

// IPC-7351 two-terminal parts: chip bodies LLWW in tenths of a mm, the
// standard body where the table has the code; SOD lead span and body width.
bool ipc_two_terminal(std::string_view code, NamedSize& size) {
  for (std::string_view family : kIpcChips) {
    size_t digits = 0;
    for (size_t at = find_family(code, family, 0); at != kNone;
         at = find_family(code, family, at + 1)) {
      if (!ipc_two_terminal_at(code, at, family, digits)) continue;
      double length = value_of(code.substr(digits, 2)) / 10;
      double width = value_of(code.substr(digits + 2, 2)) / 10;
      if (family != "SOD") metric_body(code.substr(digits, 4), length, width);
      std::string read(code.substr(at, family.size() + 4));
      return set_size(length, width, "IPC-7351 " + read, size);
    }
  }
  return false;
}

// Where "<pitch>P<x>X<y>X<height>" after `family` at `at` ends, past <y>;
// 0 when it is not there. Sets `x` and `y` to the two sizes' digits.
size_t ipc_pitched_end(std::string_view code, size_t at,
                       std::string_view family, std::string_view& x,
                       std::string_view& y) {
  size_t p = at + family.size();
  if (!skip_digits(code, p, 2, 3) || !skip_byte(code, p, 'P')) return 0;
  size_t x_at = p;
  if (!skip_digits(code, p, 2, 4) || !skip_byte(code, p, 'X')) return 0;
  size_t y_at = p;
  if (!skip_digits(code, p, 2, 4)) return 0;
  x = code.substr(x_at, y_at - 1 - x_at);
  y = code.substr(y_at, p - y_at);
  size_t end = p;
  return skip_byte(code, p, 'X') && skip_digits(code, p, 2, 4) ? end : 0;
}

// IPC-7351 no-lead, flat pack and chip array names, square ones only.
bool ipc_pitched(std::string_view code, NamedSize& size) {
  for (std::string_view family : kIpcPitched) {
    std::string_view x, y;
    for (size_t at = find_family(code, family, 0); at != kNone;
         at = find_family(code, family, at + 1)) {
      size_t end = ipc_pitched_end(code, at, family, x, y);
      if (end == 0) continue;
      if (value_of(x) != value_of(y)) return false;
      std::string read(code.substr(at, end - at));
      return set_size(value_of(x) / 100, value_of(y) / 100, "IPC-7351 " + read,
                      size);
    }
  }
  return false;
}

// Where "_<x>x<y>mm" or "_<x>x<y>x<z>mm", starting at the "_" at `at`,
// ends, past "mm"; 0 when none starts there. Sets `x` and `y`.
size_t kicad_body_end(std::string_view code, size_t at, std::string_view& x,
                      std::string_view& y) {
  size_t x_length = number_at(code, at + 1);
  size_t p = at + 1 + x_length;
  if (x_length == 0 || !word_at(code, p, "x")) return 0;
  size_t y_length = number_at(code, p + 1);
  if (y_length == 0) return 0;
  x = code.substr(at + 1, x_length);
  y = code.substr(p + 1, y_length);
  p += 1 + y_length;
  if (word_at(code, p, "x") && number_at(code, p + 1) > 0)
    p += 1 + number_at(code, p + 1);
  if (!word_at(code, p, "mm")) return 0;
  return p + 2 == code.size() || byte_at(code, p + 2, '_') ? p + 2 : 0;
}

// True when `rest` is empty or letters in groups, one "_" or "-" before
// each group: "", "K", "-RES", "_HandSoldering", "-R-RD".
bool letters_only(std::string_view rest) {
  bool separator_allowed = true;
  for (char c : rest) {
    bool separator = c == '_' || c == '-';
    if (!is_letter(c) && !(separator && separator_allowed)) return false;
    separator_allowed = !separator;
  }
  return separator_allowed;
}

// True when `word` is one of kChipTypes, letters in either case.
bool is_chip_type(std::string_view word) {
  for (std::string_view type : kChipTypes)
    if (word.size() == type.size() && word_at(word, 0, type)) return true;
  return false;
}

// KiCad chips: R_0603_1608Metric is 1.6 by 0.8 mm, C_0805_2012Metric 2.0 by
// 1.25. False for no four-digit code (R_4020_10251Metric) or one the inch
// code before it contradicts by 0.3 mm or more (R_0603_2012Metric).
bool size_from_kicad_metric(std::string_view code, NamedSize& size) {
  for (size_t at = code.find('_'); at != kNone; at = code.find('_', at + 1)) {
    if (digits_at(code, at + 1) != 4 || !word_at(code, at + 5, "metric"))
      continue;
    size_t end = at + 11;
    if (end < code.size() && code[end] != '_') continue;
    double length = 0;
    double width = 0;
    metric_body(code.substr(at + 1, 4), length, width);
    if (!agrees_with_inches(code, at, length, width)) return false;
    std::string read(code.substr(at, end - at));
    return set_size(length, width, "KiCad " + read, size);
  }
  return false;
}

// IPC-7351 names, first or after a mark such as "TI-", never VQFN50P.. False
// for all else and oblong pitch names, RESCAV80P320X160X70-8N: libraries draw
// them with pin 1 upper left, or lower left (IEC 61188-7 level B).
bool size_from_ipc_7351(std::string_view code, NamedSize& size) {
  return ipc_two_terminal(code, size) || ipc_pitched(code, size);
}

// LCSC/EasyEDA: SOT-23_L2.9-W1.3-P1.90-LS2.4-BR is 2.9 by 1.3 mm, L along X.
// False without a "-W" right after the length (RES-TH_BD2.4-L6.3-P10.30).
bool size_from_lcsc(std::string_view code, NamedSize& size) {
  for (size_t at = 1; at + 1 < code.size(); ++at) {
    if ((code[at] != '_' && code[at] != '-') || code[at + 1] != 'L') continue;
    size_t length = number_at(code, at + 2);
    size_t w = at + 2 + length;
    if (length == 0 || !byte_at(code, w, '-') || !byte_at(code, w + 1, 'W'))
      continue;
    size_t width = number_at(code, w + 2);
    size_t end = w + 2 + width;
    if (width == 0 ||
        (end < code.size() && code[end] != '-' && code[end] != '_'))
      continue;
    std::string read(code.substr(at, end - at));
    return set_size(value_of(code.substr(at + 2, length)),
                    value_of(code.substr(w + 2, width)), "LCSC " + read, size);
  }
  return false;
}

// KiCad body size: SOIC-8_3.9x4.9mm_P1.27mm is 3.9 by 4.9 mm. False when no
// "_" stands right before the numbers (_Pad1.08x0.95mm, _EP3.6x3.6mm) or no
// "mm" after them (PinHeader_2x05); L6.3mm and the like are not read.
bool size_from_kicad_body(std::string_view code, NamedSize& size) {
  for (size_t at = code.find('_'); at != kNone; at = code.find('_', at + 1)) {
    std::string_view x, y;
    size_t end = kicad_body_end(code, at, x, y);
    if (end == 0) continue;
    std::string read(code.substr(at, end - at));
    return set_size(value_of(x), value_of(y), "KiCad " + read, size);
  }
  return false;
}

// EIA chip codes 0201 to 2512 alone, after R C L D F FB LED RES CAP IND FUSE
// DIODE or before letters: C0402, R_0402, 0402-RES are 1.0 by 0.5 mm. False
// for other names (DFN0603, M0805, 105450-0402); "Lib:" before is dropped.
bool size_from_chip_code(std::string_view code, NamedSize& size) {
  size_t colon = code.rfind(':');
  if (colon != kNone) code.remove_prefix(colon + 1);
  size_t at = 0;
  while (at < code.size() && is_letter(code[at])) ++at;
  if (at > 0 && !is_chip_type(code.substr(0, at))) return false;
  if (at > 0 && (byte_at(code, at, '_') || byte_at(code, at, '-'))) ++at;
  if (digits_at(code, at) != 4 || !letters_only(code.substr(at + 4)))
    return false;
  for (const ChipSize& chip : kChips) {
    if (!chip.named_alone || chip.imperial != code.substr(at, 4)) continue;
    return set_size(chip.length, chip.width,
                    "chip " + std::string(chip.imperial), size);
  }
  return false;
}

}  // namespace

bool size_from_name(std::string_view code, NamedSize& size) {
  return size_from_kicad_metric(code, size) || size_from_ipc_7351(code, size) ||
         size_from_lcsc(code, size) || size_from_kicad_body(code, size) ||
         size_from_chip_code(code, size);
}

}  // namespace korvane
