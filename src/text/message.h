// The words of a message about a file: quoted texts, counts, places; and
// the one way a problem is written, "file:line: message".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/problem.h"
#include "text/text_output.h"

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

// The numbers for a message, at most `named` of them and the rest counted:
// with kAnd "5", "5 and 7", "5, 7, 9 and 26 more"; with kCommas "5, 7",
// "5, 7, 9, ...".
enum class ListStyle { kAnd, kCommas };
std::string listed_numbers(const std::vector<long>& numbers, size_t named,
                           ListStyle style);

// Writes "file:line: message" ("file: message" for line 0), `kind` such as
// "warning: " before the message, with control characters in the place and
// the words escaped, so that each problem stays one line.
void put_problem(TextOutput& out, const Problem& problem,
                 std::string_view kind = "");

// Writes "program: message", escaped, to standard error, and flushes it.
void report_error(const char* program, const std::string& message);

// report_error for a program that ran out of memory: takes none from the
// heap. Writes "program: out of memory; " and `what`, and returns `status`.
int report_out_of_memory(const char* program, const char* what, int status);

}  // namespace korvane
