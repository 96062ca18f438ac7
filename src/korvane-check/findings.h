// What korvane-check has to tell: one finding a line, "FILE:LINE: message".
#pragma once

#include <string>
#include <vector>

#include "input/records.h"
#include "text/message.h"
#include "text/problem.h"
#include "text/text_output.h"

namespace korvane {

// korvane-check's exit statuses.
constexpr int kCheckClean = 0;     // nothing to report
constexpr int kCheckFindings = 1;  // findings, none of them fatal
constexpr int kCheckFails = 2;     // korvane fails with these files, the
                                   // command line is wrong, or the picture
                                   // cannot be written

// What a finding means for korvane's run.
enum class Severity {
  kFinding,  // korvane draws, but not what the files seem to say
  kFatal,    // a run of korvane with these files would fail
};

// One place where korvane will not do what the files seem to say: a
// problem (line 0 for one about the whole file) and what it means.
struct Finding {
  Problem problem;
  Severity severity = Severity::kFinding;
  // The xy lines of the placements it concerns besides its own line, for
  // the picture to mark.
  std::vector<long> placements;
};

using Findings = std::vector<Finding>;

void add_finding(Findings& findings, const std::string& file, long line,
                 const std::string& message);

// A finding for something that makes korvane's run fail.
void add_fatal(Findings& findings, const std::string& file, long line,
               const std::string& message);

// One finding for a cause that shows on several placements: at the first
// of `lines` (xy lines, in order, at least one) with the others noted for
// the picture.
void add_grouped(Findings& findings, const std::string& file,
                 const std::vector<long>& lines, const std::string& message);

// Puts the findings in the order of `files` (the rest after them, in the
// order they came), whole-file findings first, then by line.
void sort_findings(Findings& findings, const std::vector<std::string>& files);

// Writes each finding as "file:line: message" (or "file: message").
void print_findings(TextOutput& out, const Findings& findings);

// kCheckClean with no finding, kCheckFails when one of them is fatal,
// kCheckFindings otherwise.
int findings_status(const Findings& findings);

// `value` with four decimals, as the drawing writes coordinates.
std::string fixed(double value);

// What a number stands for: a length or coordinate, or an angle.
enum class Quantity { kLength, kAngle };

// What a value of kLargestValue or more does, to be said after the field
// that holds it ("X '1e999'"): an angle turns the part arbitrarily, any
// other value gives coordinates too large for the drawing. "" when the
// value is smaller.
std::string too_large(double value, Quantity quantity);

}  // namespace korvane
