// The title line: kept in the module in a scrambled form (every byte one code higher, ended by
// "Z"), so that it does not stand in the file as plain text.
#pragma once
#include <cstddef>

extern const char storedTitle[17];

// Copies stored (terminator included) into title and turns every byte before the first "Z" one
// code lower, replacing the "Z" by the end of the string. Never walks past capacity bytes: a
// stored text without its "Z" is cut at the buffer's end.
void unscrambleTitle(const char* stored, char* title, size_t capacity);
