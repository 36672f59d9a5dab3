#pragma once
#include <string>

// Converts a text between two encodings with iconv (the names iconv knows, such as
// "UTF-8" and "CP932"). A character that does not convert becomes one "?" and the
// conversion goes on, so a bad byte never loses the rest of the text; Windows does the
// same. Shared by the Linux backends.
std::string ConvertText(const char* to, const char* from, const std::string& in);
