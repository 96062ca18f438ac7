// Helpers the fuzz targets share: a scratch working directory, files, the
// text rules as a plain model, and failing loudly when a check does not hold.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace korvane {

// Sends standard output, where the echo goes, to /dev/null. Every target
// does so on start (LLVMFuzzerInitialize, defined with these helpers).
void silence_standard_output();

// Creates a fresh scratch directory and makes it the working directory,
// once per process. Paths given to the fuzzer must be absolute.
void enter_scratch_directory();

// Writes `bytes` to `path`, replacing it. Aborts when it cannot.
void write_file(const char* path, std::string_view bytes);
std::string read_file(const char* path);

// What a text file's bytes read as: cut at the first Ctrl-Z, CRs dropped.
std::string read_as_text(std::string_view bytes);

// What writing `text` gives: every LF as CR LF.
std::string written_as_text(std::string_view text);

// Aborts with `what` on standard error when `holds` is false, so that the
// fuzzer keeps the input as a crash.
void require(bool holds, const char* what);

// The fuzzer's input as text.
std::string_view bytes_of(const uint8_t* data, size_t size);

// Cuts the input at each byte 0xFE into lumbrex.ini, size.txt, the xy file
// b.txt and the three templates, in that order, and writes them to the
// working directory; files the input does not reach are missing. Returns
// the text each template puts into a drawing.
std::vector<std::string> lay_out_working_files(std::string_view input);

}  // namespace korvane
