// Property checks for the fuzz targets: a failed check aborts, so libFuzzer
// saves the input as a crash.
#pragma once
#include <cstdio>
#include <cstdlib>
#include <memory>

#define FUZZ_CHECK(condition)                                                                  \
    do {                                                                                       \
        if (!(condition)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
            std::abort();                                                                      \
        }                                                                                      \
    } while (0)

// A heap buffer of exactly size bytes, so that the sanitizer reports any
// write or read past its end.
inline std::unique_ptr<char[]> ExactBuffer(size_t size)
{
    return std::unique_ptr<char[]>(new char[size]);
}
