#include "check/settings_check.h"

#include <cstring>
#include <memory>

#include "input/column_map.h"
#include "text/scan.h"
#include "text/text_input.h"

namespace {

// The entries of a ColumnMap in the order of SettingsReport::line.
const char* const kKeys[5] = {"x", "y", "a", "row", "code"};
const char* const kWhat[5] = {"X", "Y", "the angle", "", "the part code"};
constexpr int kRow = 3;

int* entries(ColumnMap& c, int i) {
  int* all[5] = {&c.x, &c.y, &c.a, &c.row, &c.code};
  return all[i];
}

// Which entry `key` names, as column_entry decides; -1 for none.
int key_index(const char* key) {
  ColumnMap probe;
  int* entry = column_entry(probe, key);
  for (int i = 0; i < 5; ++i)
    if (entry == entries(probe, i)) return i;
  return -1;
}

bool blank(const SettingLine& line) {
  return line.key[0] == '\0' && line.value[0] == '\0';
}

void unknown_key(const char* path, long n, const SettingLine& line,
                 Findings& findings) {
  std::string message = quoted(line.key) +
                        " is not a setting korvane knows (code, x, y, a, "
                        "row); it ignores this line";
  if (line.key[0] == '#')
    message += ": a comment needs its '#' in the first column";
  add_finding(findings, path, n, message);
}

// Judges the value in force for entry i.
void check_value(const char* path, int i, long n, const std::string& value,
                 int column, Findings& findings) {
  std::string setting = std::string(kKeys[i]) + " = " + value;
  std::string fallback =
      std::string("; korvane reads ") + kWhat[i] + " from column 1";
  size_t used = integer_length(value.c_str());
  if (used == 0) {
    add_finding(findings, path, n,
                quoted(setting) + " is not a column number" + fallback);
  } else if (column <= 0) {
    add_finding(findings, path, n,
                quoted(setting) + ": a column of 0 or less" + fallback);
  } else if (used < value.size()) {
    add_finding(findings, path, n,
                quoted(setting) +
                    " is only partly a number; korvane reads "
                    "column " +
                    std::to_string(column));
  }
}

// Reports the first line with a setting after the end marker at `end`.
void after_end(TextInput& in, const char* path, long end, SettingLine& line,
               Findings& findings) {
  for (long n = end + 1;; ++n) {
    next_setting(in, line);
    if (!line.end && !line.comment && !blank(line)) {
      add_finding(findings, path, n,
                  "this line follows the end marker (line " +
                      std::to_string(end) + "); korvane never reads it");
      return;
    }
    if (line.last) return;
  }
}

// The keys of code, x, y and a that the file leaves unset.
void unset_keys(const char* path, const SettingsReport& report,
                Findings& findings) {
  std::string names;
  for (int i : {4, 0, 1, 2})
    if (report.line[i] == 0)
      names += (names.empty() ? "" : ", ") + std::string(kKeys[i]);
  if (!names.empty())
    add_finding(findings, path, 0,
                names + " not set; korvane reads " +
                    (names.find(',') == std::string::npos ? "it" : "them") +
                    " from column 1");
}

// Reads the file's lines as korvane does, noting the line and the value of
// each setting in force and adding the findings about single lines.
void read_lines(TextInput& in, const char* path, SettingsReport& report,
                std::string* value, Findings& findings) {
  auto line = std::make_unique<SettingLine>();
  for (long n = 1;; ++n) {
    next_setting(in, *line);
    if (line->cut)
      add_finding(findings, path, n,
                  "the line is longer than " +
                      std::to_string(kSettingsLineCapacity) +
                      " characters; korvane drops the rest");
    if (line->end) {
      if (!line->last) after_end(in, path, n, *line, findings);
      return;
    }
    int i = key_index(line->key);
    if (!line->comment && !blank(*line) && i < 0)
      unknown_key(path, n, *line, findings);
    if (!line->comment && i >= 0) {
      report.line[i] = n;
      value[i] = line->value;
    }
    if (line->last) return;
  }
}

}  // namespace

SettingsReport check_settings(const char* path, Findings& findings) {
  SettingsReport report;
  auto in = std::make_unique<TextInput>();
  if (open_text_input(*in, path) != 0) {
    add_finding(findings, path, 0,
                "missing; korvane reads the part code, X, Y and the angle "
                "all from column 1");
    return report;
  }
  report.found = true;
  load_column_map(path, report.columns);
  std::string value[5];
  read_lines(*in, path, report, value, findings);
  if (in->failed)
    add_fatal(findings, path, 0, "cannot be read to its end; korvane fails");
  close_text_input(*in);
  for (int i = 0; i < 5; ++i)
    if (i != kRow && report.line[i])
      check_value(path, i, report.line[i], value[i],
                  *entries(report.columns, i), findings);
  unset_keys(path, report, findings);
  return report;
}

void check_column_reach(const char* path, const SettingsReport& report,
                        int widest, const std::string& xy_name,
                        Findings& findings) {
  if (widest == 0) return;
  ColumnMap columns = report.columns;
  for (int i : {4, 0, 1, 2}) {
    int column = *entries(columns, i);
    if (report.line[i] == 0 || column <= widest) continue;
    add_finding(findings, path, report.line[i],
                std::string(kKeys[i]) + " = " + std::to_string(column) +
                    ", but no drawn line of " + xy_name + " has more than " +
                    std::to_string(widest) + " columns; " + kWhat[i] +
                    " reads empty" + (i == 4 ? "" : ", as 0"));
  }
}
