// What korvane-check has to tell: one finding a line, "FILE:LINE: message".
#pragma once

#include <string>
#include <vector>

#include "text/text_output.h"

// One place where korvane will not do what the files seem to say.
struct Finding {
  std::string file;
  long line = 0;  // 1-based; 0 for a finding about the whole file
  std::string message;
  bool fatal = false;  // a run of korvane with these files would fail
};

using Findings = std::vector<Finding>;

void add_finding(Findings& findings, const std::string& file, long line,
                 const std::string& message);

// A finding for something that makes korvane's run fail.
void add_fatal(Findings& findings, const std::string& file, long line,
               const std::string& message);

// Puts the findings in the order of `files` (the rest after them, in the
// order they came), whole-file findings first, then by line.
void sort_findings(Findings& findings, const std::vector<std::string>& files);

// "1 line", "3 lines".
std::string count(long n, const std::string& noun);

// Writes each finding as "file:line: message" (or "file: message").
void print_findings(TextOutput& out, const Findings& findings);

// 0 with no finding, 2 when one of them is fatal, 1 otherwise.
int findings_status(const Findings& findings);

// The text between single quotes, control bytes as \t, \xNN and the like,
// cut after `limit` bytes with "..." so one finding stays one short line.
std::string quoted(const std::string& text, size_t limit = 40);

// `value` with four decimals, as the drawing writes coordinates.
std::string fixed(double value);

// `value` as fixed() writes it without trailing zeros: 2, 1.25, -0.5.
std::string number(double value);

// "file:line".
std::string place(const std::string& file, long line);
