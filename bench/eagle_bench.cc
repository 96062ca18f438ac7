// Times the Eagle reader. Boards are generated in memory as Eagle 9 writes
// them: libraries of chip parts, SOICs, pin headers and LEDs (tDocu and
// tPlace drawings, arcs, smds, pads, texts), 300 elements with their
// attributes, design rules, then signals of wires, vias and poured
// polygons up to the size asked. Each run reads the board and places every
// element's body. Figures are medians of wall-clock time; nothing is
// asserted.
//
// usage: eagle_bench [repetitions, 11]
//        eagle_bench --write-board FILE [MB, 2] (writes a board, for
//                                                bench/import_bench.py)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "eagle/eagle.h"
#include "text/scan.h"
#include "timing.h"

using namespace korvane;

namespace {

constexpr int kElements = 300;
constexpr int kPackages = 40;

volatile double placed_sum = 0;  // keeps the placing from being left out

// printf into a string.
template <typename... Args>
std::string format(const char* pattern, Args... args) {
  char text[512];
  snprintf(text, sizeof text, pattern, args...);
  return text;
}

std::string wire(double x1, double y1, double x2, double y2, int layer,
                 double curve = 0) {
  return format(
      "<wire x1=\"%g\" y1=\"%g\" x2=\"%g\" y2=\"%g\" width=\"0.127\" "
      "layer=\"%d\"%s/>\n",
      x1, y1, x2, y2, layer,
      curve != 0 ? format(" curve=\"%g\"", curve).c_str() : "");
}

// The four sides of a w by h box about (0, 0) on `layer`.
std::string box(double w, double h, int layer) {
  return wire(-w, -h, w, -h, layer) + wire(w, -h, w, h, layer) +
         wire(w, h, -w, h, layer) + wire(-w, h, -w, -h, layer);
}

// Package k: a chip part, an SOIC, a pin header or an LED in turn.
std::string package(int k) {
  int kind = k % 4;
  std::string text = format(
      "<package name=\"P%d\">\n<description>&lt;b&gt;"
      "Package %d&lt;/b&gt;</description>\n",
      k, k);
  double w = 0.8 + kind, h = 0.4 + kind * 0.7;
  text += box(w, h, 51) + box(w + 0.2, h + 0.2, 21);
  if (kind == 3) text += wire(-w, 0, w, 0, 51, -180);
  for (int p = 0; p < 2 + 2 * kind; ++p) {
    double x = (p % 2 ? w : -w) * 0.9, y = h * (p / 2) / (kind + 1.0);
    text += kind == 2 ? format(
                            "<pad name=\"%d\" x=\"%g\" y=\"%g\" "
                            "drill=\"1\" shape=\"long\" rot=\"R90\"/>\n",
                            p + 1, x, y)
                      : format(
                            "<smd name=\"%d\" x=\"%g\" y=\"%g\" dx=\"0.6\" "
                            "dy=\"0.9\" layer=\"1\" roundness=\"25\"/>\n",
                            p + 1, x, y);
  }
  text +=
      "<text x=\"0\" y=\"2\" size=\"1.27\" layer=\"25\">&gt;NAME</text>\n"
      "<text x=\"0\" y=\"-2\" size=\"1.27\" layer=\"27\">&gt;VALUE</text>\n";
  return text + "</package>\n";
}

std::string element(int i) {
  const char* rot[] = {"R0", "R90", "MR180", "R45", "MR22.5", "R270"};
  return format(
      "<element name=\"U%d\" library=\"lib%d\" library_urn=\"urn:adsk.eagle:"
      "library:%d\" package=\"P%d\" value=\"V%d\" x=\"%g\" y=\"%g\" "
      "rot=\"%s\">\n<attribute name=\"MPN\" value=\"X-%d\" x=\"0\" y=\"0\" "
      "size=\"1\" layer=\"27\" display=\"off\"/>\n<attribute name=\"NAME\" "
      "x=\"0\" y=\"2\" size=\"1\" layer=\"25\"/>\n</element>\n",
      i, i % 3, i % 3, i % 13 * 3 + i % 3, i, 10 + i % 20 * 4.0,
      10 + i / 20 * 4.0, rot[i % 6], i);
}

// Signal s: contact references, wires and a via; every tenth a polygon.
std::string signal(int s) {
  std::string text = format("<signal name=\"N$%d\">\n", s);
  text += format(
      "<contactref element=\"U%d\" pad=\"1\"/>\n<contactref "
      "element=\"U%d\" pad=\"2\"/>\n",
      s % kElements, (s + 7) % kElements);
  for (int k = 0; k < 12; ++k)
    text += wire(s % 97 + k, s % 89, s % 97 + k + 1, s % 89 + 0.5, 1);
  text += format("<via x=\"%d\" y=\"%d\" extent=\"1-16\" drill=\"0.3\"/>\n",
                 s % 97, s % 89);
  if (s % 10 == 0) {
    text += "<polygon width=\"0.2\" layer=\"16\" isolate=\"0.3\">\n";
    for (int v = 0; v < 24; ++v)
      text += format("<vertex x=\"%d\" y=\"%d\"%s/>\n", v % 7 * 10, v / 7 * 8,
                     v % 5 == 0 ? " curve=\"-90\"" : "");
    text += "</polygon>\n";
  }
  return text + "</signal>\n";
}

// A board of about `bytes` bytes.
std::string board_text(size_t bytes) {
  std::string text =
      "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<!DOCTYPE eagle SYSTEM "
      "\"eagle.dtd\">\n<eagle version=\"9.6.2\">\n<drawing>\n<board>\n"
      "<libraries>\n";
  for (int l = 0; l < 3; ++l) {
    text += format(
        "<library name=\"lib%d\" urn=\"urn:adsk.eagle:library:"
        "%d\">\n<packages>\n",
        l, l);
    for (int k = l; k < kPackages; k += 3) text += package(k);
    text += "</packages>\n</library>\n";
  }
  text +=
      "</libraries>\n<designrules name=\"default\">\n<param "
      "name=\"rvPadTop\" value=\"0.25\"/>\n<param name=\"rlMinPadTop\" "
      "value=\"10mil\"/>\n<param name=\"rlMaxPadTop\" value=\"20mil\"/>\n"
      "</designrules>\n<elements>\n";
  for (int i = 0; i < kElements; ++i) text += element(i);
  text += "</elements>\n<signals>\n";
  for (int s = 0; text.size() < bytes; ++s) text += signal(s);
  return text + "</signals>\n</board>\n</drawing>\n</eagle>\n";
}

void time_board(size_t bytes, int repetitions) {
  std::string text = board_text(bytes);
  std::vector<double> times;
  size_t placed = 0;
  for (int r = 0; r < repetitions; ++r) {
    auto start = std::chrono::steady_clock::now();
    EagleDesign design;
    Problem problem;
    if (read_eagle(text, design, problem) != 0) stop_on(problem);
    placed = 0;
    for (const EagleElement& e : design.elements) {
      if (e.package < 0 || design.packages[e.package].body.box.empty) continue;
      placed_sum = placed_sum + place_package(e, design.packages[e.package]).x;
      ++placed;
    }
    times.push_back(seconds_since(start));
  }
  print_board_time(text.size(),
                   (std::to_string(placed) + " elements placed").c_str(),
                   times);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 3 && std::string(argv[1]) == "--write-board") {
    double mb = argc > 3 ? to_real(argv[3]) : 2;
    std::ofstream(argv[2], std::ios::binary) << board_text(mb * 1e6);
    return 0;
  }
  int repetitions = argc > 1 ? to_integer(argv[1]) : 11;
  time_board(2000 * 1000, repetitions);
  time_board(20 * 1000 * 1000, std::max(1, repetitions / 3));
  return 0;
}
