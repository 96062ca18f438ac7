// Fuzzes the settings loader: the input is the settings file. The same
// settings with every LF written as CR LF must give the same columns.
#include <string>

#include "fuzz_util.h"
#include "input/column_map.h"

using namespace korvane;

namespace {

bool same_columns(const ColumnMap& a, const ColumnMap& b) {
  return a.x == b.x && a.y == b.y && a.a == b.a && a.row == b.row &&
         a.code == b.code;
}

ColumnMap loaded(std::string_view text) {
  write_file("lumbrex.ini", text);
  Settings settings;
  require(read_settings("lumbrex.ini", {.every_line = true, .past_end = true},
                        settings) == ReadStatus::kRead,
          "read_settings");
  return settings.columns;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  enter_scratch_directory();
  std::string_view settings = bytes_of(data, size);
  ColumnMap columns = loaded(settings);
  require(same_columns(columns, loaded(written_as_text(settings))),
          "CR LF settings read as LF settings");
  return 0;
}
