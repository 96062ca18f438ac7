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

// How replace_files treats a file that no new file can replace: a device,
// a pipe, a file that may not be written, or one whose folder takes no
// new file.
enum class InPlace {
  kNever,      // refuse it: every file is written whole or not at all
  kWhenAlone,  // write it in place when it is the only file of the call
};

// Writes the files whole and puts them in place together: every new file
// is created, written and flushed to the disk before the first is renamed
// over its old one, and each folder is flushed once after the renames.
// Links are followed to the file they lead to; an old file keeps its
// permission bits. A file that no new file can replace is written in
// place only as `in_place` allows. Returns -1 with `problem` naming the
// file and saying what stands in the way; every new file is then removed,
// and the old ones stay as they were unless a rename failed part way.
// SIGINT and SIGTERM remove the new files not yet in place.
int replace_files(const std::vector<WholeFile>& files, InPlace in_place,
                  Problem& problem);

// replace_files for one file.
int replace_file_with(const std::string& path, std::string bytes,
                      InPlace in_place, Problem& problem);

// Whether replace_file_with(path, ..., InPlace::kWhenAlone) could write
// `path`, found by creating and at once removing a new file beside it, or
// by opening it in place without changing it. Returns -1 with `problem`
// saying why not (a folder, a symbolic-link loop, a folder missing or
// taking no new file, a name too long, a file that cannot be written,
// /dev/full); a full disk cannot be foreseen.
int foresee_replacement(const std::string& path, Problem& problem);

}  // namespace korvane
