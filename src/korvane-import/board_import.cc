#include "korvane-import/board_import.h"

#include <string>
#include <unordered_map>

#include "input/size_table.h"
#include "kicad/board.h"
#include "korvane-import/board_parts.h"
#include "korvane-import/name_size.h"
#include "korvane-import/placements.h"
#include "korvane-import/size_plan.h"
#include "korvane-import/size_rows.h"
#include "text/encoding.h"
#include "text/message.h"
#include "text/scan.h"

namespace korvane {

namespace {

constexpr std::string_view kBoardHead = "(kicad_pcb";

// A footprint's body, in its own frame, and where it came from.
struct SourcedBody {
  Extent box;
  const char* tag = kTagBoard;  // field 1 of its size.txt row
  std::string note;             // field 5: "board F.Fab", "Alpha.pretty F.Fab"
  // For a warning, the words before and after its size: "with the size its
  // name states (KiCad _2012Metric)", ", centred on its pads"; none for the
  // footprint's own drawing.
  std::string words, more;
};

// A library footprint's body, looked up once per name.
struct LibraryEntry {
  bool found = false;
  BodyBox body;
  std::string library;
};

// The libraries that bodies may come from and what they gave.
struct Libraries {
  FootprintLibraries folders;  // listed on the first lookup only
  std::unordered_map<std::string, LibraryEntry> by_name;  // lower-cased
};

// Why footprints were not placed: a count and the first of each kind.
enum Unplaced { kExcluded, kDnp, kOtherSide, kNoBody, kUnplacedKinds };

struct Tally {
  int count[kUnplacedKinds] = {};
  const Footprint* first[kUnplacedKinds] = {};
};

// "R1 'Resistor_SMD:R_0603_1608Metric'" for a message.
std::string named(const Footprint& f) {
  std::string name = f.library.empty() ? f.name : f.library + ":" + f.name;
  return (f.reference.empty() ? "" : escaped(f.reference) + " ") +
         quoted(name, 80);
}

std::string box_words(const Extent& box) {
  return size_words(extent_length(box), extent_width(box));
}

// "an F.Fab drawing", "a B.Fab drawing".
std::string a_drawing(const char* layer) {
  return std::string(layer[0] == 'F' ? "an " : "a ") + layer + " drawing";
}

// "no F.Fab drawing", or "an F.Fab drawing of only 0.2 by 0.2 mm".
std::string drawing_words(const Extent& box, const char* layer) {
  if (box.empty) return std::string("no ") + layer + " drawing";
  return a_drawing(layer) + " of only " + box_words(box) + " mm";
}

// What the footprint's own drawings lack: "has no F.Fab drawing and no
// F.CrtYd drawing".
std::string lacking(const Footprint& f) {
  return "the footprint " + named(f) + " has " +
         drawing_words(f.fab, fab_layer(f)) + " and " +
         drawing_words(f.courtyard, courtyard_layer(f));
}

// The body of the library footprint of `f`'s name, mirrored (v to -v) for
// a footprint on the bottom, as KiCad mirrors the board's copy.
bool library_source(const Footprint& f, Libraries& libraries, SourcedBody& body,
                    std::vector<Problem>& warnings) {
  auto [entry, added] = libraries.by_name.try_emplace(lowered(f.name));
  LibraryEntry& e = entry->second;
  if (added)
    e.found =
        library_body(libraries.folders, f.name, e.body, e.library, warnings);
  if (!e.found) return false;
  body.box = e.body.extent;
  if (f.bottom) {
    body.box.min_y = -e.body.extent.max_y;
    body.box.max_y = -e.body.extent.min_y;
  }
  body.tag = kTagLibrary;
  body.note = e.library + " " + e.body.layer;
  body.words = "with the body of the library footprint in " + e.library + " (" +
               e.body.layer + ")";
  return true;
}

// The size `f`'s name states, centred on the box of its pads' centres.
bool name_source(const Footprint& f, SourcedBody& body) {
  NamedSize size;
  if (f.pad_centres.empty || !size_from_name(f.name, size)) return false;
  Point centre = extent_centre(f.pad_centres);
  add_point(body.box, {centre.x - size.length / 2, centre.y - size.width / 2});
  add_point(body.box, {centre.x + size.length / 2, centre.y + size.width / 2});
  body.tag = kTagName;
  body.note = size.source;
  body.words = "with the size its name states (" + size.source + ")";
  body.more = ", centred on its pads";
  return true;
}

// The body of `f` by the first source that gives one: its own drawings,
// the library, its name, its pads' copper. False when none does.
bool find_body(const Footprint& f, Libraries& libraries, SourcedBody& body,
               std::vector<Problem>& warnings) {
  if (!f.body.extent.empty) {
    body.box = f.body.extent;
    body.note = std::string(kTagBoard) + " " + f.body.layer;
    return true;
  }
  if (library_source(f, libraries, body, warnings) || name_source(f, body))
    return true;
  if (!has_area(f.copper)) return false;
  body.box = f.copper;
  body.tag = kTagPads;
  body.note = std::string(kTagBoard) + " pads";
  body.words = "as the box of its pads' copper";
  body.more = ", which may be smaller or larger than the part";
  return true;
}

// Warns of a body that is not the design's own drawing of the part, or of
// a fab drawing that looks incomplete.
void warn_of_body(const Footprint& f, const SourcedBody& body,
                  std::vector<Problem>& warnings) {
  if (!body.words.empty()) {
    warnings.push_back(
        problem_at(f.line, lacking(f) + ": korvane draws it " + body.words +
                               ", " + box_words(body.box) + " mm" + body.more +
                               "; draw its body on " + fab_layer(f) +
                               " to be sure of it"));
    return;
  }
  if (!partial_fab(f)) return;
  warnings.push_back(problem_at(
      f.line, "the footprint " + named(f) + " has " + a_drawing(fab_layer(f)) +
                  " of " + box_words(f.fab) + " mm, under 30% of its " +
                  courtyard_layer(f) + " drawing's " + box_words(f.courtyard) +
                  " mm: it may show only part of the body, and korvane draws "
                  "what it shows; complete the drawing if the part is larger"));
}

Problem no_body(const Footprint& f) {
  return problem_at(f.line, lacking(f) +
                                ", no pads with copper, and no footprint "
                                "library holds it with a body, so it is left "
                                "out of the xy file; draw its body on " +
                                fab_layer(f) +
                                ", or mark it 'Exclude from position files' "
                                "in KiCad if it is no part to place");
}

// Why footprint `f` is not placed, or kUnplacedKinds when it is to be.
Unplaced left_out(const Footprint& f, const ImportOptions& options) {
  Side side = f.bottom ? Side::kBottom : Side::kTop;
  if (f.excluded) return kExcluded;
  if (f.dnp && options.exclude_dnp) return kDnp;
  if (options.keep != Side::kAny && side != options.keep) return kOtherSide;
  return kUnplacedKinds;
}

void count_out(Tally& tally, Unplaced kind, const Footprint& f) {
  if (tally.count[kind]++ == 0) tally.first[kind] = &f;
}

// Refuses a board where no footprint is placed, saying why for each kind.
int refuse_empty(const Board& board, const Tally& tally, Problem& problem) {
  static const char* const kWhy[kUnplacedKinds] = {
      "excluded from position files or not in the schematic",
      "marked do-not-populate, which --exclude-dnp leaves out",
      "on the other side than --side keeps",
      "without a body drawing, pads or a library footprint"};
  std::string why;
  for (int k = 0; k < kUnplacedKinds; ++k) {
    if (tally.count[k] == 0) continue;
    const Footprint& f = *tally.first[k];
    why += "; " + count(tally.count[k], "footprint") + " " + kWhy[k] + " (" +
           named(f) + " on line " + std::to_string(f.line) + ")";
  }
  problem = problem_at(0, board.footprints.empty()
                              ? "the board has no footprint to place"
                              : "no footprint of the board goes into the xy "
                                "file" +
                                    why);
  return -1;
}

// Places footprint `f` by its body, and gives its code that body's size.
int place_footprint(const Board& board, const Footprint& f,
                    const SourcedBody& body,
                    std::vector<ImportedPlacement>& placements,
                    DesignSizes& sizes, std::vector<Problem>& warnings,
                    Problem& problem) {
  if (f.name.empty()) {
    problem = problem_at(f.line, "the footprint " + named(f) +
                                     " has an empty name, and korvane finds a "
                                     "part's size by it; name it in KiCad");
    return -1;
  }
  BoardPart part{f.line,
                 f.name,
                 f.reference,
                 f.bottom,
                 placed_body(board, f, body.box),
                 body.tag,
                 body.note,
                 "the footprint " + named(f),
                 "footprint"};
  return add_board_part(part, placements, sizes, warnings, problem);
}

}  // namespace

bool is_board_text(std::string_view raw) {
  raw = content_start(raw);
  return raw.starts_with(kBoardHead) &&
         (raw.size() == kBoardHead.size() ||
          std::string_view(" \t\r\n()\"").find(raw[kBoardHead.size()]) !=
              std::string_view::npos);
}

int import_board(std::string_view raw, const ImportOptions& options,
                 std::vector<ImportedPlacement>& placements, DesignSizes& sizes,
                 std::vector<Problem>& warnings, Problem& problem) {
  Board board;
  Libraries libraries;
  if (read_board(without_byte_order_mark(raw), board, problem) != 0 ||
      open_libraries(options, libraries.folders, problem) != 0)
    return -1;
  Tally tally;
  size_t first = placements.size();
  for (const Footprint& f : board.footprints) {
    Unplaced why = left_out(f, options);
    SourcedBody body;
    if (why == kUnplacedKinds && !find_body(f, libraries, body, warnings)) {
      warnings.push_back(no_body(f));
      why = kNoBody;
    }
    if (why != kUnplacedKinds) {
      count_out(tally, why, f);
      continue;
    }
    warn_of_body(f, body, warnings);
    if (place_footprint(board, f, body, placements, sizes, warnings, problem) !=
        0)
      return -1;
  }
  return placements.size() > first ? 0 : refuse_empty(board, tally, problem);
}

}  // namespace korvane
