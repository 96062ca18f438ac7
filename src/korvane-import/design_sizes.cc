#include "korvane-import/design_sizes.h"

#include <cmath>

#include "korvane-import/size_rows.h"
#include "text/message.h"
#include "text/scan.h"

namespace korvane {

void add_design_size(const std::string& code, const KnownSize& size,
                     const std::string& part, const char* kind,
                     DesignSizes& sizes, std::vector<Problem>& warnings) {
  auto [entry, added] = sizes.emplace(folded(code), size);
  const KnownSize& first = entry->second;
  if (added || (std::fabs(first.length - size.length) <= kSameSize &&
                std::fabs(first.width - size.width) <= kSameSize))
    return;
  warnings.push_back(problem_at(
      size.line, part + " has a body of " +
                     size_words(size.length, size.width) + " mm, and " +
                     escaped(first.reference) + " of the same name (line " +
                     std::to_string(first.line) + ") one of " +
                     size_words(first.length, first.width) +
                     " mm; size.txt takes " + escaped(first.reference) +
                     "'s, as korvane draws every part of one code alike; "
                     "give the other body a " +
                     kind + " name of its own"));
}

}  // namespace korvane
