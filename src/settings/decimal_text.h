// Signed decimal text of a 32-bit value, as stored in the settings file.
#pragma once
#include <cstddef>
#include <cstdint>

// Room for "-2147483648" and its terminator.
constexpr size_t kDecimalTextSize = 12;

// Writes the value ("-" before negative values, no leading zeros) and
// returns its length. outSize must be at least 1; the text is cut to fit.
size_t FormatDecimal(int32_t value, char* out, size_t outSize);
