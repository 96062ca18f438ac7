// Characters in UTF-8 and in Windows-1252, the two encodings a part code
// comes in from Windows programs; the marks that tell how a file is saved,
// and the Ctrl-Z byte that ends its text.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace korvane {

// The UTF-8 byte order mark, as Notepad writes it at the start of a file.
inline constexpr std::string_view kByteOrderMark = "\xef\xbb\xbf";

// The text without a UTF-8 byte order mark at its start.
std::string_view without_byte_order_mark(std::string_view text);

// The text from its first byte after a UTF-8 byte order mark and the
// blanks and line ends that follow it; empty when nothing else follows.
std::string_view content_start(std::string_view text);

// The byte order of UTF-16 text, as its mark at the start tells it.
enum class Utf16 { kNone, kLittleEndian, kBigEndian };

// The UTF-16 byte order mark the bytes start with; kNone without one.
Utf16 utf16_mark(std::string_view bytes);

// True when the bytes start as UTF-16 does: with its byte order mark, or
// with two characters that each have a NUL byte beside them.
bool starts_as_utf16(std::string_view bytes);

// The Ctrl-Z byte, which ends a file's text as Windows reads text files.
constexpr char kCtrlZ = '\x1a';

// The length of the text before the first Ctrl-Z of `bytes`, all of them
// when they hold none.
size_t text_before_ctrl_z(std::string_view bytes);

// True for the bytes that may follow a Ctrl-Z without hiding text from a
// reader: blanks, line ends and further Ctrl-Z bytes, as after an old DOS
// end of file.
bool dos_end_byte(char c);

// Where the first Ctrl-Z byte of a file stands, which ends its text there.
struct CtrlZStop {
  long line = 0;    // its 1-based line; 0 when the file holds none
  long hidden = 0;  // lines from it on with bytes other than dos_end_byte's
                    // (the rest of its own line counts)
};

// The first Ctrl-Z of the file `bytes` and the lines with text it hides.
CtrlZStop ctrl_z_stop(std::string_view bytes);

// The length of the well-formed UTF-8 character at text[i], with its code
// point in `code`; 0 when the bytes there are none: a stray or missing
// continuation byte, an overlong form, a surrogate or a code point past
// U+10FFFF.
size_t utf8_char(std::string_view text, size_t i, uint32_t& code);

// Where the first byte that is no part of a well-formed UTF-8 character
// stands; npos when the whole text is UTF-8.
size_t first_not_utf8(std::string_view text);

// True when the whole text is well-formed UTF-8.
bool is_utf8(std::string_view text);

// Appends code point `code` (at most U+10FFFF) to `out` in UTF-8.
void put_utf8(std::string& out, uint32_t code);

// Every byte of `text` as the Windows-1252 character it stands for, in
// UTF-8 (the five bytes Windows-1252 leaves undefined as the C1 controls
// of their value, as Windows reads them).
std::string utf8_from_windows_1252(std::string_view text);

// The UTF-8 text in Windows-1252, one byte a character. Returns false,
// with `out` unspecified, when the text is not UTF-8 or holds a character
// that Windows-1252 lacks.
bool windows_1252_from_utf8(std::string_view text, std::string& out);

}  // namespace korvane
