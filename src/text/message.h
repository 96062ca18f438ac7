// The words of a message about a file: quoted texts, counts, places.
#pragma once

#include <string>
#include <string_view>

namespace korvane {

// The text between single quotes, control bytes shown as \t, \n, \xNN and
// the like so that a message stays one line, cut after `limit` bytes with
// "...".
std::string quoted(std::string_view text, size_t limit = 40);

// The text with control bytes shown as quoted() shows them, not quoted.
std::string escaped(std::string_view text);

// "1 line", "3 lines".
std::string count(long n, const std::string& noun);

// "file:line", or "file" for line 0.
std::string place(const std::string& file, long line);

// Writes "program: message" to standard error, and flushes it.
void report_error(const char* program, const std::string& message);

// report_error for a program that ran out of memory: takes none from the
// heap. Writes "program: out of memory; " and `what`, and returns `status`.
int report_out_of_memory(const char* program, const char* what, int status);

}  // namespace korvane
