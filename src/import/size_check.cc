#include "import/size_check.h"

#include <cmath>
#include <memory>
#include <set>
#include <string>

#include "input/part_size.h"
#include "text/text_input.h"

namespace {

bool table_opens(const char* path) {
  auto in = std::make_unique<TextInput>();
  if (open_text_input(*in, path) != 0) return false;
  close_text_input(*in);
  return true;
}

}  // namespace

std::vector<Problem> codes_missing_from(
    const char* path, const std::vector<ImportedPlacement>& placements) {
  std::vector<Problem> missing;
  if (!table_opens(path)) return missing;
  std::set<std::string> seen;
  for (const ImportedPlacement& p : placements) {
    if (!seen.insert(p.code).second) continue;
    PartSize size{std::nan(""), std::nan("")};
    lookup_part_size(path, p.code.c_str(), size);
    if (!std::isnan(size.length)) continue;
    missing.push_back(problem_at(
        p.line, "the part code '" + p.code + "' is not in " + path +
                    ": korvane would draw it with the size of the last part "
                    "found before it, or as a point; add it to the table"));
  }
  return missing;
}
