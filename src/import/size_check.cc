#include "import/size_check.h"

#include <set>
#include <string>

#include "input/size_table.h"
#include "text/message.h"
#include "text/text_input.h"

std::vector<Problem> codes_missing_from(
    const char* path, const std::vector<ImportedPlacement>& placements) {
  std::vector<std::string> codes;
  for (const ImportedPlacement& p : placements) codes.push_back(p.code);
  SizeTable table;
  int status = read_size_table(path, codes, {}, table);
  if (status == kNotOpened) return {};
  if (status == kReadFailed)
    return {problem_at(0,
                       "cannot be read to its end, so korvane would fail; "
                       "its codes were not checked",
                       path)};
  std::vector<Problem> missing;
  std::set<std::string> seen;
  PartSize size;
  for (const ImportedPlacement& p : placements) {
    if (!seen.insert(p.code).second || lookup_part_size(table, p.code, size))
      continue;
    missing.push_back(problem_at(
        p.line, "the part code " + quoted(p.code) + " is not in " + path +
                    ": korvane would draw it with the size of the last part "
                    "found before it, or as a point; add it to the table"));
  }
  return missing;
}
