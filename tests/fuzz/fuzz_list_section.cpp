// The time list's section texts: any text a section read may return, and
// any value stored and read back.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "fuzz_code_pages.h"
#include "settings/list_section.h"

namespace {
// The read sizes of the list: a time text and an escaped comment.
constexpr size_t kReadSizes[] = {60, 520};

bool Within(std::string_view part, std::string_view whole)
{
    return part.empty() || (part.data() >= whole.data() && part.data() + part.size() <= whole.data() + whole.size());
}

// Every entry an index takes lies inside the text, and every value read
// from it keeps to its buffer.
void CheckSection(std::string_view section, bool ignoreLast)
{
    const size_t count = CountSectionEntries(section);
    FUZZ_CHECK(count <= static_cast<size_t>(std::count(section.begin(), section.end(), '\0')) + 1);
    auto entries = std::unique_ptr<ListEntry[]>(new ListEntry[count + 1]);
    IndexListSection(section, entries.get(), count, ignoreLast);
    for (size_t n = 0; n < count; ++n) {
        const ListEntry& entry = entries[n];
        FUZZ_CHECK(entry.present || entry.value.empty());
        FUZZ_CHECK(Within(entry.value, section));
        FUZZ_CHECK(entry.value.find('\0') == std::string_view::npos);
        for (size_t size : kReadSizes) {
            for (const FuzzCodePage& codePage : kFuzzCodePages) {
                auto out = ExactBuffer(size);
                const size_t length = ReadListValue(entry.value, out.get(), size, codePage.page);
                FUZZ_CHECK(length < size && out[length] == '\0');
                // One pair of matching quotes stripped, then cut only where it
                // must be: at most a character (four bytes) short of the buffer.
                std::string_view inner = entry.value;
                if (inner.size() >= 2 && (inner[0] == '"' || inner[0] == '\'') && inner.back() == inner[0])
                    inner = inner.substr(1, inner.size() - 2);
                FUZZ_CHECK(std::string_view(out.get(), length) == inner.substr(0, length));
                FUZZ_CHECK(length == inner.size() || length + 4 >= size);
            }
        }
    }
}

// A value stored comes back as it was, and the stored form has no blank at
// either end for the read to trim.
void CheckStored(std::string_view value)
{
    value = value.substr(0, std::min(value.find('\0'), value.size()));
    const size_t size = value.size() + 3;
    auto stored = ExactBuffer(size);
    const size_t length = StoreListValue(value, stored.get(), size);
    FUZZ_CHECK(length >= value.size() && length < size && stored[length] == '\0');
    if (length == 0)
        return;
    FUZZ_CHECK(!IsProfileBlank(stored[0]) && !IsProfileBlank(stored[length - 1]));
    auto back = ExactBuffer(size);
    const size_t backLength = ReadListValue({stored.get(), length}, back.get(), size, SingleByteCodePage());
    FUZZ_CHECK(std::string_view(back.get(), backLength) == value);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    CheckSection(input, false);
    CheckSection(input, true);
    CheckStored(input);
    return 0;
}
