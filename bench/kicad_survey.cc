// Surveys a KiCad footprint library: reads every .kicad_mod file below a
// folder and counts the bodies korvane-import would take from them: from
// the fab drawing, from the courtyard (and how many fab drawings were
// passed over as markers), none; and the fab drawings it warns of as
// likely incomplete, each named. With --boxes, prints each footprint's
// body box instead, one a line, for comparing two builds.
//
// usage: kicad_survey [--boxes] [footprint folder, /usr/share/kicad/footprints]
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "kicad/footprint.h"

using namespace korvane;

namespace {

namespace fs = std::filesystem;

struct Survey {
  int read = 0, failed = 0, fab = 0, courtyard = 0, markers = 0, none = 0;
  std::vector<std::string> partial;
};

std::vector<fs::path> footprint_files(const fs::path& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    if (entry.is_regular_file() && entry.path().extension() == ".kicad_mod")
      files.push_back(entry.path());
  std::sort(files.begin(), files.end());
  return files;
}

void count(const fs::path& file, const Footprint& f, Survey& survey) {
  ++survey.read;
  const std::string& layer = f.body.layer;
  if (layer == fab_layer(f)) ++survey.fab;
  if (layer == courtyard_layer(f)) ++survey.courtyard;
  if (f.body.extent.empty) ++survey.none;
  if (!f.fab.empty && layer != fab_layer(f)) ++survey.markers;
  if (!partial_fab(f)) return;
  char line[300];
  snprintf(line, sizeof line, "  %s: F.Fab %.2f x %.2f, F.CrtYd %.2f x %.2f",
           file.filename().string().c_str(), extent_length(f.fab),
           extent_width(f.fab), extent_length(f.courtyard),
           extent_width(f.courtyard));
  survey.partial.push_back(line);
}

void print_box(const fs::path& file, const Footprint& f) {
  const Extent& e = f.body.extent;
  printf("%s %s %.6f %.6f %.6f %.6f\n", file.filename().string().c_str(),
         f.body.layer.empty() ? "none" : f.body.layer.c_str(), e.min_x, e.min_y,
         e.max_x, e.max_y);
}

}  // namespace

int main(int argc, char** argv) {
  bool boxes = argc > 1 && std::string(argv[1]) == "--boxes";
  fs::path folder =
      argc > 1 + boxes ? argv[1 + boxes] : "/usr/share/kicad/footprints";
  Survey survey;
  for (const fs::path& file : footprint_files(folder)) {
    std::ifstream in(file, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    Footprint f;
    Problem problem;
    if (read_footprint_file(text.str(), f, problem) != 0) {
      ++survey.failed;
      fprintf(stderr, "%s:%ld: %s\n", file.string().c_str(), problem.line,
              problem.message.c_str());
    } else if (boxes) {
      print_box(file, f);
    } else {
      count(file, f, survey);
    }
  }
  if (boxes) return 0;
  printf(
      "%d footprints read, %d not: body from the fab drawing %d, from the "
      "courtyard %d (fab drawings passed over as markers %d), none %d\n"
      "fab drawings likely incomplete: %zu\n",
      survey.read, survey.failed, survey.fab, survey.courtyard, survey.markers,
      survey.none, survey.partial.size());
  for (const std::string& line : survey.partial) printf("%s\n", line.c_str());
  return 0;
}
