// Reading the placement rows of an export, keeping one side and settling
// the units of their coordinates.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "korvane-import/heading.h"
#include "korvane-import/import_records.h"
#include "text/encoding.h"

namespace korvane {

// Reads every row after the heading into `placements`, skipping blank rows
// and lines that start with "#" (with one warning for those that read as
// placements); a side is kept as "top" or "bottom", or as it stands with
// a warning added to `warnings` when it names neither. Returns -1 with
// `problem` set on a row with too few or too many fields, a number it
// cannot read, a missing part code or a text field that korvane could not
// read back (see check_placement_text).
int read_placements(std::string_view text, const ExportLayout& layout,
                    std::vector<ImportedPlacement>& placements,
                    std::vector<Problem>& warnings, Problem& problem);

// The bytes that korvane reads otherwise than written in an xy file's
// field: a TAB or a line break cuts it, a NUL ends the line's text, a
// Ctrl-Z the whole file.
inline constexpr char kUnwritableBytes[] = {'\t', '\n', '\r', '\0', kCtrlZ};
inline constexpr std::string_view kUnwritable{kUnwritableBytes, 5};

// The part code, reference and side of `p` are written as they stand.
// Returns -1 with `problem` set at p.line, naming the field and the byte,
// when one holds one of kUnwritable.
int check_placement_text(const ImportedPlacement& p, Problem& problem);

// Keeps the placements on side `keep` (all for kAny). Returns -1 with
// `problem` set when a kept side is asked for and a row's side cannot be
// told, or the export has no side column.
int keep_side(std::vector<ImportedPlacement>& placements,
              const ExportLayout& layout, Side keep, Problem& problem);

// Turns every placement into its view from below the board: X negated, the
// angle negated and brought into [0, 360); Y stays. A zero stays 0, never
// -0.
void mirror_placements(std::vector<ImportedPlacement>& placements);

// With `negate` set, negates the X of every bottom-side placement, undoing
// KiCad's export option of negative X for bottom-side footprints; returns
// -1 with `problem` when a row's side cannot be told. Without it, warns
// when the export is KiCad's (`layout.kicad`) and every bottom-side X has
// the sign opposite to every top-side X, as that option writes them.
int settle_bottom_x(std::vector<ImportedPlacement>& placements,
                    const ExportLayout& layout, bool negate,
                    std::vector<Problem>& warnings, Problem& problem);

// With `target` kNone, requires one unit for every coordinate and leaves
// the numbers alone; otherwise converts every coordinate to `target`,
// which requires each to have a unit. Returns -1 with `problem` set
// otherwise.
int settle_units(std::vector<ImportedPlacement>& placements, Unit target,
                 Problem& problem);

}  // namespace korvane
