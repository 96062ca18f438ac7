#include "korvane-check/settings_check.h"

#include <algorithm>

#include "korvane-check/file_check.h"
#include "text/encoding.h"
#include "text/message.h"
#include "text/scan.h"
#include "text/text_input.h"

namespace korvane {

namespace {

// What each key of kColumnKeys reads, for the messages.
const char* const kWhat[kColumnKeyCount] = {"X", "Y", "the angle", "",
                                            "the part code"};
constexpr int kRow = 3;
// The keys that matter, in the order the findings name them.
constexpr int kUsedKeys[] = {4, 0, 1, 2};

void unknown_key(const char* path, const SettingLine& line,
                 Findings& findings) {
  std::string message = quoted(line.key) +
                        " is not a setting korvane knows (code, x, y, a, "
                        "row); it ignores this line";
  if (line.key[0] == '#')
    message += ": a comment needs its '#' in the first column";
  if (line.key.starts_with(kByteOrderMark))
    message +=
        ": it starts with a UTF-8 byte order mark, which korvane skips "
        "only at the start of the file";
  add_finding(findings, path, line.line, message);
}

// Judges the value in force for key i.
void check_value(const char* path, int i, const Settings& settings,
                 Findings& findings) {
  const std::string& value = settings.key_value[i];
  int column = column_value(settings.columns, i);
  std::string setting = std::string(kColumnKeys[i]) + " = " + value;
  std::string fallback =
      std::string("; korvane reads ") + kWhat[i] + " from column 1";
  size_t used = integer_length(value.c_str());
  long n = settings.key_line[i];
  if (used == 0)
    add_finding(findings, path, n,
                quoted(setting) + " is not a column number" + fallback);
  else if (column <= 0)
    add_finding(findings, path, n,
                quoted(setting) + ": a column of 0 or less" + fallback);
  else if (used < value.size())
    add_finding(findings, path, n,
                quoted(setting) +
                    " is only partly a number; korvane reads column " +
                    std::to_string(column));
}

// The keys of code, x, y and a that the file leaves unset.
void unset_keys(const char* path, const Settings& settings,
                Findings& findings) {
  std::string names;
  for (int i : kUsedKeys)
    if (settings.key_line[i] == 0)
      names += (names.empty() ? "" : ", ") + std::string(kColumnKeys[i]);
  if (!names.empty())
    add_finding(findings, path, 0,
                names + " not set; korvane reads " +
                    (names.find(',') == std::string::npos ? "it" : "them") +
                    " from column 1");
}

// The findings about single lines: cut, or with a key korvane does not know.
void check_lines(const char* path, const Settings& settings,
                 Findings& findings) {
  for (const SettingLine& line : settings.lines) {
    if (line.cut)
      add_finding(findings, path, line.line,
                  "the line is longer than " +
                      std::to_string(kSettingsLineCapacity) +
                      " characters; korvane drops the rest");
    if (line.entry < 0 && !(line.key.empty() && line.value.empty()))
      unknown_key(path, line, findings);
  }
  if (settings.after_end)
    add_finding(findings, path, settings.after_end,
                "this line follows the end marker (line " +
                    std::to_string(settings.end_line) +
                    "); korvane never reads it");
}

int columns_of(const std::string& row) {
  return 1 + static_cast<int>(std::count(row.begin(), row.end(), '\t'));
}

}  // namespace

Settings check_settings(const char* path, Findings& findings) {
  Settings settings;
  ReadStatus status = read_settings(path, {.past_end = true}, settings);
  if (status == ReadStatus::kNotOpened) {
    add_finding(findings, path, 0,
                "missing; korvane reads the part code, X, Y and the angle "
                "all from column 1");
    return settings;
  }
  if (status == ReadStatus::kReadFailed)
    add_fatal(findings, path, 0, "cannot be read to its end; korvane fails");
  // A file korvane cannot read as text gets one finding, not one a line.
  if (check_settings_form(path, findings)) return settings;
  check_lines(path, settings, findings);
  for (int i = 0; i < kColumnKeyCount; ++i)
    if (i != kRow && settings.key_line[i])
      check_value(path, i, settings, findings);
  unset_keys(path, settings, findings);
  return settings;
}

void check_column_reach(const char* path, const Settings& settings,
                        const PlacementList& list, const std::string& xy_name,
                        Findings& findings) {
  int widest = 0;
  for (const PlacementRow& row : list.rows)
    widest = std::max(widest, columns_of(row.text));
  if (widest == 0) return;
  for (int i : kUsedKeys) {
    int column = column_value(settings.columns, i);
    if (settings.key_line[i] == 0 || column <= widest) continue;
    add_finding(findings, path, settings.key_line[i],
                std::string(kColumnKeys[i]) + " = " + std::to_string(column) +
                    ", but no drawn line of " + xy_name + " has more than " +
                    std::to_string(widest) + " columns; " + kWhat[i] +
                    " reads empty" + (i == 4 ? "" : ", as 0"));
  }
}

}  // namespace korvane
