// Telling whether two paths name one file, and the folder a path names
// it in.
#pragma once

#include <string>

namespace korvane {

// True when both paths exist and lead to the same file, through links or
// not.
bool same_file(const char* a, const char* b);

// True when `path` leads to a regular file: no folder, pipe or device.
bool is_regular_file(const char* path);

// How many names (hard links) the file at `path` has; 0 when there is
// none, 1 where the system cannot tell.
unsigned long name_count(const char* path);

// Sets `end` to the name a chain of symbolic links from `path` ends at: a
// name that is no link, or is missing. False for a loop or a broken link
// (always true, with `end` = `path`, where links are not followed).
bool follow_links(const std::string& path, std::string& end);

// True when writing `path` writes over the file named `file`: the same
// existing file, or the same name once made absolute (two relative names
// that stay in the working folder compared as they stand).
bool writes_file(const std::string& path, const std::string& file);

// The folder part of `path` up to and with its last separator ("/"; on
// Windows also "\" and a drive's ":"), or "" when it has none.
std::string folder_of(const std::string& path);

// What writing `path` writes, as a text that is equal for two paths exactly
// when they write one file: the same existing file, or the same name once
// links are followed (links to files that do not exist yet included) and
// the paths made absolute.
std::string destination_of(const std::string& path);

}  // namespace korvane
