// The files korvane reads from its working directory, by their fixed names,
// and the rule that keeps the drawing from overwriting any input.
#pragma once

namespace korvane {

inline constexpr char kSettingsFile[] = "lumbrex.ini";
inline constexpr char kSizeTableFile[] = "size.txt";
// The template fragments, in the order the drawing holds them.
inline constexpr const char* kFragmentFiles[3] = {"dxf11.txt", "dxf12.txt",
                                                  "dxf13.txt"};

// Most placements korvane draws from one xy file; later rows are not read
// (korvane --all draws every one).
inline constexpr int kMaxPlacements = 100;

// The input that writing `output` would overwrite, by any path, link or
// hard link, or by its name where it does not exist yet: `xy_path` or one
// of the fixed names above. Null when none.
const char* input_overwritten_by(const char* output, const char* xy_path);

}  // namespace korvane
