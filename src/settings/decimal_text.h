// Signed decimal text of a 32-bit value, as stored in the settings file.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

// Room for "-2147483648" and its terminator.
constexpr size_t kDecimalTextSize = 12;

// Writes the value ("-" before negative values, no leading zeros) and
// returns its length. outSize must be at least 1; the text is cut to fit.
size_t FormatDecimal(int32_t value, char* out, size_t outSize);

// Reads a stored value as the platform's integer read of the settings file
// does: blanks skipped, an optional sign, then the digits up to the first
// other character (none: 0), wrapping in 32 bits. An empty text gives
// fallback, as a missing key does.
int32_t ParseDecimal(std::string_view text, int32_t fallback);
