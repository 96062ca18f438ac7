// Replacing a file whole: the new content goes to a new file in the same
// folder, which is flushed to the disk and then renamed over the old one,
// so that a reader finds the old file or the new one, never a part.
#pragma once

#include <cstdio>
#include <string>

// A replacement under way. Where `path` is, or links to, something other
// than a regular file (a device, a pipe), or the folder takes no new file,
// `file` writes to `path` itself and `temporary` is empty.
struct FileReplacement {
  FILE* file = nullptr;   // where the new content goes, in binary mode
  std::string path;       // the file replaced: links followed to the end
  std::string temporary;  // the new file beside it, until it is in place
};

// Opens a replacement for `path`: links are followed, the new file gets
// the permission bits of the file it replaces. Returns -1, creating and
// changing nothing, when neither a new file nor `path` can be written.
int begin_replacement(FileReplacement& r, const char* path);

// Flushes the new content to the disk and renames it over the old file:
// close_replacement, then commit_replacement. Returns -1 when any step
// failed; the new file is then removed and the old one left as it was
// (unless it was being written in place).
int finish_replacement(FileReplacement& r);

// The two steps of finish_replacement, for callers that put several files
// in place only once all are written. close_replacement flushes the new
// content to the disk and closes it; on failure it removes the new file and
// returns -1. commit_replacement renames the closed new file over the old
// one; on failure it removes the new file and returns -1.
int close_replacement(FileReplacement& r);
int commit_replacement(FileReplacement& r);

// Closes and removes the new file, leaving the old one as it was.
void abandon_replacement(FileReplacement& r);
