// Times the KiCad readers. A board of about 2.4 MB is generated in memory:
// KiCad 8 footprints (chip parts, SOICs, pin headers) with their
// properties, drawings and pads, and the tracks between them. Each run
// reads it and places every body in korvane's frame. Then the footprint
// library index is built from a folder of .pretty folders and 100
// footprints are looked up in it. Figures are medians of wall-clock time;
// nothing is asserted.
//
// usage: kicad_bench [footprint folder, /usr/share/kicad/footprints]
//        [repetitions, 11]
//        kicad_bench --write-board FILE   (writes the board, for
//                                          bench/import_bench.py)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "kicad/board.h"
#include "kicad/library.h"
#include "text/scan.h"
#include "timing.h"

using namespace korvane;

namespace {

constexpr size_t kBoardBytes = 2400 * 1000;

volatile double placed_sum = 0;  // keeps the placing from being left out

std::string machine() {
  std::ifstream info("/proc/cpuinfo");
  for (std::string line; std::getline(info, line);) {
    if (line.rfind("model name", 0) == 0)
      return line.substr(line.find(':') + 2);
  }
  return "unknown CPU";
}

std::string uuid(int n) {
  char text[40];
  snprintf(text, sizeof text, "0b5e1c2d-7a3f-4e61-9d20-%012d", n);
  return text;
}

// One line of the board: "\t\t(fp_line (start ..) (end ..) ...)".
std::string line_item(double x0, double y0, double x1, double y1,
                      const char* layer, int n) {
  char text[256];
  snprintf(text, sizeof text,
           "\t\t(fp_line (start %g %g) (end %g %g)\n\t\t\t(stroke (width "
           "0.1) (type solid)) (layer \"%s\")\n\t\t\t(uuid \"%s\"))\n",
           x0, y0, x1, y1, layer, uuid(n).c_str());
  return text;
}

// The four sides of a box on `layer`.
std::string box_items(double w, double h, const char* layer, int& n) {
  const double corners[5][2] = {{-w, -h}, {w, -h}, {w, h}, {-w, h}, {-w, -h}};
  std::string text;
  for (int k = 0; k < 4; ++k)
    text += line_item(corners[k][0], corners[k][1], corners[k + 1][0],
                      corners[k + 1][1], layer, n++);
  return text;
}

std::string property(const char* key, const std::string& value, double y,
                     const char* layer, int n) {
  char text[400];
  snprintf(text, sizeof text,
           "\t\t(property \"%s\" \"%s\"\n\t\t\t(at 0 %g 0)\n\t\t\t(layer "
           "\"%s\")\n\t\t\t(uuid \"%s\")\n\t\t\t(effects (font (size 1 1) "
           "(thickness 0.15)))\n\t\t)\n",
           key, value.c_str(), y, layer, uuid(n).c_str());
  return text;
}

std::string pad(int number, double x, double y, int& n) {
  char text[300];
  snprintf(text, sizeof text,
           "\t\t(pad \"%d\" smd roundrect (at %g %g) (size 0.9 0.95)\n"
           "\t\t\t(layers \"F.Cu\" \"F.Paste\" \"F.Mask\") (roundrect_rratio "
           "0.25)\n\t\t\t(net %d \"N%d\") (pintype \"passive\")\n\t\t\t(uuid "
           "\"%s\"))\n",
           number, x, y, n % 200 + 1, n % 200 + 1, uuid(n).c_str());
  ++n;
  return text;
}

// Footprint i: a chip part, an SOIC-8 or a 1x6 pin header in turn.
std::string footprint(int i, int& n) {
  static const char* const kNames[] = {"Resistor_SMD:R_0603_1608Metric",
                                       "Package_SO:SOIC-8_3.9x4.9mm_P1.27mm",
                                       "Connector_PinHeader_2.54mm:"
                                       "PinHeader_1x06_P2.54mm_Vertical"};
  int kind = i % 3;
  char head[400];
  snprintf(head, sizeof head,
           "\t(footprint \"%s\"\n\t\t(layer \"%s\")\n\t\t(uuid \"%s\")\n"
           "\t\t(at %g %g %d)\n",
           kNames[kind], i % 4 != 0 ? "F.Cu" : "B.Cu", uuid(n++).c_str(),
           20 + i % 40 * 5.0, 20 + i / 40 * 5.0, i % 8 * 45);
  std::string text = head;
  std::string reference = "U";
  reference += std::to_string(i);
  text += property("Reference", reference, -2, "F.SilkS", n++);
  text += property("Value", "part", 2, "F.Fab", n++);
  text += property("Footprint", kNames[kind], 0, "F.Fab", n++);
  text += property("Datasheet", "~", 0, "F.Fab", n++);
  bool top = i % 4 != 0;
  double w = kind == 0 ? 0.8 : kind == 1 ? 1.95 : 1.27;
  double h = kind == 0 ? 0.4 : kind == 1 ? 2.45 : 7.62;
  text += box_items(w, h, top ? "F.Fab" : "B.Fab", n);
  text += box_items(w + 0.6, h + 0.3, top ? "F.CrtYd" : "B.CrtYd", n);
  text += box_items(w + 0.1, h + 0.1, top ? "F.SilkS" : "B.SilkS", n);
  for (int p = 1; p <= (kind == 0 ? 2 : kind == 1 ? 8 : 6); ++p)
    text += pad(p, p % 2 ? -w : w, p * 0.5 - h, n);
  return text + "\t)\n";
}

std::string track(int i, int n) {
  char text[200];
  snprintf(text, sizeof text,
           "\t(segment (start %g %g) (end %g %g) (width 0.25) (layer "
           "\"F.Cu\") (net %d) (uuid \"%s\"))\n",
           i * 0.1, 20.0, i * 0.1 + 3, 25.0, i % 200 + 1, uuid(n).c_str());
  return text;
}

// A board of footprints and tracks, about kBoardBytes long.
std::string board_text(int& footprints) {
  std::string text =
      "(kicad_pcb\n\t(version 20240108)\n\t(generator \"pcbnew\")\n\t(setup "
      "(aux_axis_origin 10 300))\n";
  int n = 0;
  for (footprints = 0; text.size() < kBoardBytes * 3 / 4; ++footprints)
    text += footprint(footprints, n);
  for (int i = 0; text.size() < kBoardBytes; ++i) text += track(i, n++);
  return text + ")\n";
}

void time_board(int repetitions) {
  int footprints = 0;
  std::string text = board_text(footprints);
  std::vector<double> times;
  for (int r = 0; r < repetitions; ++r) {
    auto start = std::chrono::steady_clock::now();
    Board board;
    Problem problem;
    if (read_board(text, board, problem) != 0) stop_on(problem);
    for (const Footprint& f : board.footprints)
      placed_sum = placed_sum + placed_body(board, f, f.body.extent).x;
    times.push_back(seconds_since(start));
  }
  print_board_time(text.size(),
                   (std::to_string(footprints) + " footprints").c_str(), times);
}

// 100 names spread over the whole index.
std::vector<std::string> some_names(const std::string& folder) {
  FootprintLibraries libraries;
  Problem problem;
  std::vector<std::string> names;
  if (add_library_folder(libraries, folder, problem) != 0) return names;
  index_libraries(libraries);
  for (const auto& entry : libraries.index) names.push_back(entry.first);
  std::sort(names.begin(), names.end());
  std::vector<std::string> some;
  for (size_t i = 0; i < 100 && !names.empty(); ++i)
    some.push_back(names[i * names.size() / 100]);
  return some;
}

void time_library(const std::string& folder, int repetitions) {
  std::vector<std::string> names = some_names(folder);
  if (names.empty()) {
    printf("library: no footprints in %s\n", folder.c_str());
    return;
  }
  std::vector<double> index_times, lookup_times;
  size_t indexed = 0;
  for (int r = 0; r < repetitions; ++r) {
    FootprintLibraries libraries;
    Problem problem;
    add_library_folder(libraries, folder, problem);
    auto start = std::chrono::steady_clock::now();
    index_libraries(libraries);
    index_times.push_back(seconds_since(start));
    indexed = libraries.index.size();
    start = std::chrono::steady_clock::now();
    std::optional<LibraryFootprint> found;
    for (const std::string& name : names)
      find_library_footprint(libraries, name, found, problem);
    lookup_times.push_back(seconds_since(start));
  }
  printf(
      "library: %zu footprints indexed in %.1f ms; %zu lookups in %.1f "
      "ms; %.1f ms in all\n",
      indexed, median(index_times) * 1e3, names.size(),
      median(lookup_times) * 1e3,
      (median(index_times) + median(lookup_times)) * 1e3);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--write-board") {
    int footprints = 0;
    std::ofstream(argv[2], std::ios::binary) << board_text(footprints);
    return 0;
  }
  std::string folder = argc > 1 ? argv[1] : "/usr/share/kicad/footprints";
  int repetitions = argc > 2 ? std::max(1, to_integer(argv[2])) : 11;
  printf("machine: %s\nmedian of %d runs, wall-clock\n", machine().c_str(),
         repetitions);
  time_board(repetitions);
  time_library(folder, repetitions);
  return 0;
}
