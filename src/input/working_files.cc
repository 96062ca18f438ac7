#include "input/working_files.h"

#include "os/same_file.h"

namespace korvane {

const char* input_overwritten_by(const char* output, const char* xy_path) {
  if (same_file(xy_path, output)) return xy_path;
  if (same_file(kSettingsFile, output)) return kSettingsFile;
  if (same_file(kSizeTableFile, output)) return kSizeTableFile;
  for (const char* fragment : kFragmentFiles)
    if (same_file(fragment, output)) return fragment;
  return nullptr;
}

}  // namespace korvane
