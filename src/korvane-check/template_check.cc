#include "korvane-check/template_check.h"

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dxf/drawing.h"
#include "dxf/dxf_records.h"
#include "dxf/outline.h"
#include "input/working_files.h"
#include "text/scan.h"
#include "text/text_input.h"

namespace korvane {

namespace {

constexpr size_t kLongestLine = 4096;  // longer lines are kept cut here

// One line of the drawing and where it comes from: a fragment's line, or
// one of korvane's records, which then names the fragment line before it.
struct DxfLine {
  std::string text;
  std::string file;
  long line = 0;
  const char* record = nullptr;  // korvane's records: what they are
};

// The lines of the drawing as they stand, with their origin.
struct DxfText {
  std::vector<DxfLine> lines;
  bool open_line = false;  // the last line has no line end yet
  std::string file;        // the last fragment read, and its line count
  long line = 0;
};

void add_line(DxfText& dxf, DxfLine line) {
  if (dxf.open_line) {
    dxf.lines.back().text += line.text;
    dxf.open_line = false;
  } else {
    dxf.lines.push_back(std::move(line));
  }
}

// Appends a fragment's lines; false when it cannot be opened.
bool add_fragment(DxfText& dxf, const char* name, Findings& findings) {
  auto in = std::make_unique_for_overwrite<TextInput>();
  if (open_text_input(*in, name) != ReadStatus::kRead) return false;
  std::vector<char> text(kLongestLine + 1);
  long n = 0;
  for (;;) {
    bool cut;
    bool last = read_line(*in, text.data(), text.size(), &cut);
    if (last && text[0] == '\0') break;
    add_line(dxf, {text.data(), name, ++n, nullptr});
    if (last) {
      dxf.open_line = true;
      add_finding(findings, name, n,
                  std::strcmp(name, kFragmentFiles[2]) == 0
                      ? "the last line has no line end, so the drawing "
                        "ends without one; add it"
                      : "the last line has no line end; korvane writes "
                        "what follows onto the end of this line");
      break;
    }
  }
  if (in->failed)
    add_fatal(findings, name, 0, "cannot be read to its end; korvane fails");
  close_text_input(*in);
  dxf.file = name;
  dxf.line = n;
  return true;
}

// Appends one of korvane's records, as it writes them, line by line.
void add_record(DxfText& dxf, const char* what, const std::string& bytes) {
  size_t start = 0;
  for (size_t lf; (lf = bytes.find("\r\n", start)) != std::string::npos;
       start = lf + 2)
    add_line(dxf, {bytes.substr(start, lf - start), dxf.file, dxf.line, what});
}

// The bytes korvane writes for a step of the drawing that is no fragment:
// a LAYER entry, or the outline of one part.
std::string step_records(const DrawingStep& step) {
  std::string bytes;
  auto out = std::make_unique_for_overwrite<TextOutput>();
  start_text_in_memory(*out, bytes);
  if (step.part == DrawingPart::kLayer) write_layer(*out, step.layer);
  if (step.part == DrawingPart::kOutlines)
    write_part_outline(*out, step.layer, 0, 0, 1, 1, 0, 0, 0, 0);
  flush_text_output(*out);
  return bytes;
}

// Walks the drawing's group code and value pairs and reports the first
// place where the structure breaks.
struct Walk {
  const DxfText& dxf;
  Findings& findings;
  std::string section;  // open section's name, "" when none
  const DxfLine* section_at = nullptr;
  std::string table;
  const DxfLine* table_at = nullptr;
  bool pending_name = false;  // a SECTION or TABLE waits for its name
  bool eof = false;
};

void report(Walk& w, const DxfLine& at, const std::string& problem) {
  std::string where = at.record
                          ? std::string("after this line korvane writes its ") +
                                at.record + ", but "
                          : "";
  add_finding(w.findings, at.file, at.line,
              where + problem + "; the drawing will not be valid DXF");
}

std::string opened(const DxfLine* at) {
  return at ? " (opened at " + place(at->file, at->line) + ")" : "";
}

// What is wrong with a group 0 record `type` where the walk stands, or "".
std::string misplaced(const Walk& w, const DxfLine& at,
                      const std::string& type) {
  if (w.eof) return "'" + type + "' follows EOF";
  if (type == "SECTION" || type == "EOF")
    return w.section_at ? type + " inside the section " + w.section +
                              opened(w.section_at)
                        : "";
  if (!w.section_at) return "'" + type + "' stands outside any section";
  if (type == "ENDSEC" && w.table_at)
    return "ENDSEC while the table " + w.table + opened(w.table_at) +
           " is open";
  if (type == "TABLE" && w.table_at) return "a TABLE inside a TABLE";
  if (type == "ENDTAB" && !w.table_at) return "ENDTAB without a TABLE";
  if (at.record && type == "LAYER" && w.table != "LAYER")
    return "the LAYER table is not open there";
  if (at.record && type == "LINE" && w.section != "ENTITIES")
    return "the ENTITIES section is not open there";
  return "";
}

// Opens or closes what a group 0 record `type` opens or closes.
void enter(Walk& w, const DxfLine& at, const std::string& type) {
  if (type == "SECTION" || type == "TABLE") w.pending_name = true;
  if (type == "SECTION") w.section_at = &at;
  if (type == "TABLE") w.table_at = &at;
  if (type == "EOF") w.eof = true;
  if (type == "ENDSEC") {
    w.section.clear();
    w.section_at = nullptr;
  }
  if (type == "ENDTAB") {
    w.table.clear();
    w.table_at = nullptr;
  }
}

// One group 0 record type; false when the structure is broken there.
bool record_type(Walk& w, const DxfLine& at, const std::string& type) {
  std::string problem = misplaced(w, at, type);
  if (!problem.empty()) {
    report(w, at, problem);
    return false;
  }
  enter(w, at, type);
  return true;
}

// A group 2 name after SECTION or TABLE.
void name_group(Walk& w, const std::string& value) {
  if (!w.pending_name) return;
  if (w.table_at)
    w.table = value;
  else
    w.section = value;
  w.pending_name = false;
}

// The DXF version a $ACADVER value names, by its AC number.
void check_version(Walk& w, const DxfLine& at, const std::string& value) {
  if (value.size() < 3 || value.compare(0, 2, "AC") != 0) return;
  int number = to_integer(value.c_str() + 2);
  if (number > 1009)
    add_finding(w.findings, at.file, at.line,
                "the header declares DXF version " + value +
                    ", later than R12 (AC1009); korvane's records carry no "
                    "handles, which readers of that version refuse");
}

void walk(Walk& w) {
  const std::vector<DxfLine>& lines = w.dxf.lines;
  bool version_next = false;
  for (size_t i = 0; i < lines.size(); i += 2) {
    const DxfLine& at = lines[i];
    std::string code(trimmed(at.text));
    if (code.empty() || integer_length(code.c_str()) != code.size())
      return report(w, at,
                    quoted(at.text) +
                        " stands where a group code "
                        "belongs");
    if (i + 1 == lines.size())
      return report(w, at, "the group code " + code + " has no value");
    const DxfLine& value = lines[i + 1];
    int group = to_integer(code.c_str());
    if (group == 0 && !record_type(w, value, value.text)) return;
    if (group == 2) name_group(w, value.text);
    if (group == 1 && version_next) check_version(w, value, value.text);
    version_next = group == 9 && value.text == "$ACADVER";
  }
  const DxfLine& last = lines.back();
  if (w.section_at)
    report(
        w, last,
        "the section " + w.section + opened(w.section_at) + " is never closed");
  else if (!w.eof)
    report(w, last, "the drawing does not end with EOF");
}

}  // namespace

void check_templates(bool lines, Findings& findings) {
  DxfText dxf;
  bool whole = true;
  for (const DrawingStep& step : kDrawingOrder) {
    if (step.part == DrawingPart::kLayer)
      add_record(dxf, "LAYER entries", step_records(step));
    if (step.part == DrawingPart::kOutlines && lines)
      add_record(dxf, "LINE entities", step_records(step));
    if (step.part != DrawingPart::kFragment) continue;
    const char* name = kFragmentFiles[step.fragment];
    if (add_fragment(dxf, name, findings)) continue;
    whole = false;
    add_finding(findings, name, 0,
                "missing; korvane leaves it out and the drawing will not "
                "be valid DXF");
  }
  if (!whole || dxf.lines.empty()) return;
  Walk w{dxf, findings, "", nullptr, "", nullptr, false, false};
  walk(w);
}

}  // namespace korvane
