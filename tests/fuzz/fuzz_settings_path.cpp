// The settings file's path from any module file name.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "host/settings_file_name.h"
#include "settings/sjis.h"

namespace {
constexpr size_t kPathSize = 260;

// Length of the directory part: up to and including the last "\" that is a
// character of its own (not the trail byte of a double-byte character).
size_t DirectoryLength(std::string_view file)
{
    size_t length = 0;
    for (size_t i = 0; i < file.size(); ++i) {
        if (IsSjisLeadByte(static_cast<unsigned char>(file[i])))
            ++i;
        else if (file[i] == '\\')
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

    auto out = ExactBuffer(outSize);
    bool ok = BuildSettingsPath(file, out.get(), outSize, IsSjisLeadByte);
    const std::string expected = std::string(file.substr(0, DirectoryLength(file))) + std::string(kSettingsFileName);
    FUZZ_CHECK(ok == (expected.size() < outSize));
    if (!ok)
        FUZZ_CHECK(out[0] == '\0');  // no path rather than a cut one
    if (ok) {
        FUZZ_CHECK(std::string(out.get(), expected.size()) == expected);
        FUZZ_CHECK(out[expected.size()] == '\0');
    }
    return 0;
}
