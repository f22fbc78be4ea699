// Helpers for the space-padded, fixed-width texts that both modules exchange and store.
#pragma once
#include <cstddef>
#include <cstdint>

// 1 when the text holds a character other than a space before its NUL (or before capacity
// bytes, for a field that may lack its NUL), else 0.
int32_t hasVisibleText(const char* text, size_t capacity = SIZE_MAX);

// Copies the characters of a NUL-terminated text, at most capacity - 1 of them, and a NUL.
// Returns the number of characters copied. Never reads past capacity bytes of the source.
size_t copyBoundedText(char* to, const char* from, size_t capacity);

// Number of characters before the NUL, looking at no more than capacity bytes.
size_t boundedTextLength(const char* text, size_t capacity);

// The lenient readings that stored files rely on: leading blanks skipped, an optional sign,
// digits up to the first non-digit; an empty or digitless text reads as 0. Whole numbers that do
// not fit saturate instead of wrapping. The text is read up to its NUL or length bytes.
int32_t readWholeNumber(const char* text, size_t length = SIZE_MAX);
double readRealNumber(const char* text, size_t length = SIZE_MAX);

// Whole feet of an altitude handed over in a record, truncated toward zero; a value that is not
// finite or does not fit 32 bits reads as 0, as the gauge takes it.
int32_t wholeFeetOrZero(double feet);
