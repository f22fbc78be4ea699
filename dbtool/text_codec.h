// The text of waypoint files: numbers and names as the files write them, and the two encodings
// they come in (UTF-8 in the standard files, code page 1252 in the simulator's).
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "findings.h"

// A whole text as a decimal number ("41.5x" and "" are not); a decimal comma is taken when
// decimalComma is set.
bool realNumber(const std::string& text, double& value, bool decimalComma = false);

// The text without spaces, tabs and line breaks at either end.
std::string trimmed(const std::string& text);

// The database holds 8-bit text in the Windows ANSI code page (1252); the standard files hold
// UTF-8. Characters without a place in code page 1252 become '?', and changed is set.
std::string ansiFromUtf8(const std::string& text, bool& changed);
// Bytes that are not valid UTF-8 are taken as code page 1252, as files of older tools hold them.
std::string utf8FromAnsi(const std::string& text);
std::string utf8Repaired(const std::string& text);

// The text with the letters A-Z made small, for names of columns, options and files.
std::string asciiLowered(std::string text);

// The text cut to at most width bytes of code page 1252, with a warning for the line when it
// was longer or held characters that code page 1252 lacks. what names the field.
std::string fittedAnsi(const std::string& utf8, size_t width, const char* what, int32_t line,
                       Findings& findings);
