// How a working file is saved, as far as korvane's reading of it goes:
// as text it reads, as UTF-16, or with commas or semicolons between the
// fields of its rows where korvane looks for TABs.
#pragma once

#include <string>

namespace korvane {

enum class TextForm { kText, kUtf16, kCommas, kSemicolons };

// A file's form, and the line where it first shows (0 for UTF-16, which
// is the whole file's).
struct FileForm {
  TextForm form = TextForm::kText;
  long line = 0;
};

// What file_form looks at: the file's first bytes alone, or its rows too.
enum class FormLook { kStart, kRows };

// The form of the file at `path`: UTF-16 when it starts with a UTF-16 byte
// order mark or with two characters that each have a NUL byte beside them;
// with kRows, commas (or semicolons) when none of the first twenty rows
// after the heading, up to an empty line, holds a TAB and one of them
// holds a comma (or a semicolon). kText too when it cannot be opened or is
// no regular file.
FileForm file_form(const char* path, FormLook look);

// What korvane makes of a file in `form` (not kText), for a message:
// "saved as UTF-16 (...): korvane takes the NUL byte beside each letter
// for the end of the line's text", "the fields are separated by commas,
// not TABs".
std::string form_words(TextForm form);

// What to do with a file in `form` (not kText): "save it as UTF-8 or
// ANSI", "save it as tab-separated text".
const char* form_remedy(TextForm form);

}  // namespace korvane
