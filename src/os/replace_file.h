// Writing files whole: each file's new content goes to a new file in the
// same folder, which is flushed to the disk and then renamed over the old
// one, so that a reader finds the old file or the new one, never a part.
#pragma once

#include <string>
#include <vector>

#include "text/problem.h"

namespace korvane {

// A file to write, and every byte it is to hold.
struct WholeFile {
  std::string path;
  std::string bytes;
};

// Writes the files whole and puts them in place together: every new file
// is created, written and flushed to the disk before the first is renamed
// over its old one, and each folder is flushed once after the renames.
// Links are followed to the file they lead to; an old file keeps its
// permission bits. A path that is, or leads to, a device or a pipe, or
// whose folder takes no new file, is written in place, but only when it
// is the only file: with several, nothing is written. Returns -1 with
// `problem` naming the file and saying why; every new file is then
// removed, and the old ones stay as they were unless a rename failed part
// way. SIGINT and SIGTERM remove the new files not yet in place.
int replace_files(const std::vector<WholeFile>& files, Problem& problem);

// replace_files for one file.
int replace_file_with(const std::string& path, std::string bytes,
                      Problem& problem);

// Whether replace_file_with could write `path`, found by creating and at
// once removing a new file beside it, or by opening it in place without
// changing it. Returns -1 with `why` set (the folder is missing or takes
// no new file, the name is too long, the file cannot be written, it leads
// to /dev/full) when it could not; a full disk cannot be foreseen.
int foresee_replacement(const std::string& path, std::string& why);

}  // namespace korvane
