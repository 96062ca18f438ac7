// Telling whether two paths name one file.
#pragma once

// True when both paths exist and lead to the same file, through links or
// not.
bool same_file(const char* a, const char* b);
