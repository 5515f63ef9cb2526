// The settings file's path from any module file name.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "fuzz_code_pages.h"
#include "module/settings_file_name.h"

namespace {
constexpr size_t kPathSize = 260;

// Length of the directory part: up to and including the last "\" that is a
// character of its own (not part of a character of the code page).
size_t DirectoryLength(CodePageKind kind, std::string_view file)
{
    size_t length = 0;
    for (size_t i = 0; i < file.size(); i += ReferenceCharLength(kind, file, i)) {
        if (file[i] == '\\')
            length = i + 1;
    }
    return length;
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the buffer size, so that short buffers are tried too.
    const size_t outSize = data[0] < 0x80 ? kPathSize : data[0] - 0x80 + 1;
    const std::string_view file(reinterpret_cast<const char*>(data + 1), size - 1);

    for (const FuzzCodePage& codePage : kFuzzCodePages) {
        auto out = ExactBuffer(outSize);
        bool ok = BuildSettingsPath(file, out.get(), outSize, codePage.page);
        const std::string expected =
            std::string(file.substr(0, DirectoryLength(codePage.kind, file))) + std::string(kSettingsFileName);
        FUZZ_CHECK(ok == (expected.size() < outSize));
        if (!ok)
            FUZZ_CHECK(out[0] == '\0');  // no path rather than a cut one
        if (ok) {
            FUZZ_CHECK(std::string(out.get(), expected.size()) == expected);
            FUZZ_CHECK(out[expected.size()] == '\0');
        }
    }
    return 0;
}
