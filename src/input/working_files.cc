#include "input/working_files.h"

#include "os/same_file.h"

namespace korvane {

const char* input_overwritten_by(const char* output, const char* xy_path) {
  for (const char* input :
       {xy_path, kSettingsFile, kSizeTableFile, kFragmentFiles[0],
        kFragmentFiles[1], kFragmentFiles[2]})
    if (writes_file(output, input)) return input;
  return nullptr;
}

}  // namespace korvane
