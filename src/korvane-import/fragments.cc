#include "korvane-import/fragments.h"

#include <filesystem>
#include <system_error>

#include "input/working_files.h"
#include "text/text_output.h"

namespace korvane {

void plan_fragments(std::vector<WholeFile>& files) {
  for (int i = 0; i < 3; ++i) {
    std::error_code error;
    auto status = std::filesystem::symlink_status(kFragmentFiles[i], error);
    if (status.type() == std::filesystem::file_type::not_found)
      files.push_back({kFragmentFiles[i], with_crlf(kShippedFragments[i])});
  }
}

}  // namespace korvane
