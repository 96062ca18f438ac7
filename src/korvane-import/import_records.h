// The plain records that one run of korvane-import carries from the export
// it reads to the xy file it writes.
#pragma once

#include <string>
#include <unordered_map>
#include <vector>

#include "input/units.h"
#include "text/problem.h"

namespace korvane {

// How the fields of an export row are separated. kBlanks: runs of spaces
// and TABs, as in text aligned into columns.
enum class Separator { kComma, kSemicolon, kTab, kBlanks };

// Which side of the board a placement is on, or which one to keep.
enum class Side { kAny, kTop, kBottom };

// One row of an export cut into fields; `line` is where the row starts.
struct Record {
  int line = 0;
  std::vector<std::string> fields;
};

// The roles a column can play, and all of them in their order.
enum class Role { kRef, kCode, kX, kY, kAngle, kSide };
inline constexpr Role kAllRoles[] = {Role::kRef, Role::kCode,  Role::kX,
                                     Role::kY,   Role::kAngle, Role::kSide};
inline constexpr int kRoles = 6;

// One T for each role, indexed by the role.
template <typename T>
struct PerRole {
  T of[kRoles];
  T& operator[](Role r) { return of[static_cast<int>(r)]; }
  const T& operator[](Role r) const { return of[static_cast<int>(r)]; }
};

// Where each role's column stands in a row (from 0; -1 when there is
// none), and the unit the heading gives the X and Y columns.
struct ColumnChoice {
  PerRole<int> index = {{-1, -1, -1, -1, -1, -1}};
  PerRole<bool> by_number = {};  // the command line gave the column's number
  PerRole<int> named = {};       // the columns its name fits; 2 or more: which?
  Unit x_unit = Unit::kNone;
  Unit y_unit = Unit::kNone;
};

// The option that names each role's column.
inline constexpr PerRole<const char*> kColumnOptions = {
    {"--ref", "--code", "--x", "--y", "--angle", "--side-column"}};

// A column that an option names: by its number from 1 or by its heading
// name; neither means "guess from the heading".
struct ColumnOption {
  int number = 0;    // from 1; 0 when named or not given
  std::string name;  // empty when numbered or not given
};

// True when the option names the column, by number or by name.
inline bool given(const ColumnOption& column) {
  return column.number > 0 || !column.name.empty();
}

// What the command line asks for.
struct ImportOptions {
  std::string export_path;
  std::string xy_path;
  PerRole<ColumnOption> column;
  Unit units = Unit::kNone;
  Side keep = Side::kAny;
  bool split = false;
  bool mirror = false;  // every placement as seen from below the board
  bool settings = false;
  bool help = false;
  bool add_sizes = false;              // insert rows into an existing size.txt
  std::vector<std::string> libraries;  // --library folders, in order
  bool default_libraries = true;       // also KiCad's own: its variables and
                                       // its installed library
  bool exclude_dnp = false;        // leave out a board's do-not-populate parts
  bool negative_bottom_x = false;  // negate an export's bottom-side X
};

// One placement as read from the export, numbers in the units of `x_unit`
// and `y_unit`.
struct ImportedPlacement {
  int line = 0;
  Unit x_unit = Unit::kNone;
  Unit y_unit = Unit::kNone;
  std::string code;
  std::string ref;
  std::string side;
  double x = 0;
  double y = 0;
  double angle = 0;
};

// A part code's body size that korvane-import knows, in millimetres, and
// where it comes from.
struct KnownSize {
  double length = 0;  // along the footprint's X axis
  double width = 0;   // along its Y axis
  std::string tag;    // the source, field 1 of its size.txt row: "board",
                      // "lib", "name" or "pads"
  std::string note;   // field 5: "board F.Fab", "Resistor_SMD.pretty F.Fab",
                      // "IPC-7351 CAPC1608"
  std::string reference;  // on a board, the footprint that gives it: "R1"
  int line = 0;           // and its line
};

// The body sizes a board gives, by the footprint name with letters a to z
// taken as A to Z (folded, text/scan.h), as korvane compares codes.
using DesignSizes = std::unordered_map<std::string, KnownSize>;

}  // namespace korvane
