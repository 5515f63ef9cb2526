// The settings file's path: the module's directory and "Tarvix.ini".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module/settings_file_name.h"

namespace {
constexpr size_t kPathSize = 260;

struct Built {
    bool ok;
    std::string path;
};

Built Build(const std::string& moduleFile, size_t outSize, const CodePage& page)
{
    std::vector<char> buffer(outSize + 4, '#');
    bool ok = BuildSettingsPath(moduleFile, buffer.data(), outSize, page);
    for (size_t i = outSize; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], '#') << "byte " << i << " written with outSize " << outSize;
    return {ok, outSize == 0 ? std::string() : std::string(buffer.data())};
}

Built BuildSjis(const std::string& moduleFile, size_t outSize = kPathSize)
{
    return Build(moduleFile, outSize, ShiftJisCodePage());
}
}

TEST(SettingsPath, ReplacesTheFileNameBesideTheModule)
{
    struct {
        std::string moduleFile, path;
    } rows[] = {
        {"C:\\Tools\\Tarvix.dll", "C:\\Tools\\Tarvix.ini"},
        {"C:\\Tarvix.dll", "C:\\Tarvix.ini"},
        {"\\\\server\\share\\Renamed.dll", "\\\\server\\share\\Tarvix.ini"},
        {"C:\\Tools\\", "C:\\Tools\\Tarvix.ini"},
        {"Tarvix.dll", "Tarvix.ini"},  // no "\": the bare file name
        {"", "Tarvix.ini"},
        {"C:/Tools/Tarvix.dll", "Tarvix.ini"},  // only "\" separates
    };
    for (const auto& row : rows) {
        Built built = BuildSjis(row.moduleFile);
        EXPECT_TRUE(built.ok) << row.moduleFile;
        EXPECT_EQ(built.path, row.path) << row.moduleFile;
    }
}

TEST(SettingsPath, TrailByteBackslashIsNotASeparator)
{
    // "C:\Music\ソ.dll": the trail byte of "ソ" is 0x5C.
    const std::string inFileName = "C:\\Music\\\x83\x5C.dll";
    EXPECT_EQ(BuildSjis(inFileName).path, "C:\\Music\\Tarvix.ini");
    // Under a code page without lead bytes the same byte is a separator.
    EXPECT_EQ(Build(inFileName, kPathSize, SingleByteCodePage()).path, "C:\\Music\\\x83\\Tarvix.ini");
    // UTF-8 never uses 0x5C inside a character: "C:\ソ\x.dll" keeps its folder.
    EXPECT_EQ(Build("C:\\\xE3\x82\xBD\\x.dll", kPathSize, Utf8CodePage()).path, "C:\\\xE3\x82\xBD\\Tarvix.ini");

    // In a directory name the real separator after it still counts.
    EXPECT_EQ(BuildSjis("C:\\\x95\x5C\\Tarvix.dll").path, "C:\\\x95\x5C\\Tarvix.ini");
    // A directory name that ends in such a character, directly before "\".
    EXPECT_EQ(BuildSjis("C:\\\x83\x5C\\x.dll").path, "C:\\\x83\x5C\\Tarvix.ini");
    // A lead byte as the very last byte has no partner.
    EXPECT_EQ(BuildSjis("C:\\a\\b\x83").path, "C:\\a\\Tarvix.ini");
}

TEST(SettingsPath, ResultThatDoesNotFitIsRefused)
{
    const std::string name = "Tarvix.ini";
    // The directory plus "Tarvix.ini" and the terminator exactly fill the buffer.
    std::string directory = std::string(kPathSize - name.size() - 2, 'd') + "\\";
    Built exact = BuildSjis(directory + "T.dll");
    EXPECT_TRUE(exact.ok);
    EXPECT_EQ(exact.path, directory + name);
    EXPECT_EQ(exact.path.size(), kPathSize - 1);

    // One byte more does not fit: no path at all, not a cut one.
    Built over = BuildSjis("d" + directory + "T.dll");
    EXPECT_FALSE(over.ok);
    EXPECT_EQ(over.path, "");

    // The module's own name may be longer than the settings file's.
    EXPECT_TRUE(BuildSjis(directory + std::string(100, 'x')).ok);

    // Small buffers.
    EXPECT_FALSE(BuildSjis("Tarvix.dll", name.size()).ok);
    EXPECT_EQ(BuildSjis("Tarvix.dll", name.size()).path, "");
    EXPECT_TRUE(BuildSjis("Tarvix.dll", name.size() + 1).ok);
    EXPECT_FALSE(Build("C:\\Tarvix.dll", 0, ShiftJisCodePage()).ok);
}

// A path the code page does not spell exactly, or whose settings path does
// not fit, is refused, so that the module's short (8.3) path is tried next.
TEST(SettingsPath, OnlyAnExactPathThatFitsIsUsed)
{
    const std::string deep = "C:\\" + std::string(250, 'd') + "\\T.dll";  // fits as a path, not with Tarvix.ini
    struct {
        AnsiModulePath module;
        std::string path;  // empty: try the short path
    } rows[] = {
        {{"C:\\Music\\Tarvix.dll", true}, "C:\\Music\\Tarvix.ini"},
        {{"C:\\0ABC~1\\Tarvix.dll", true}, "C:\\0ABC~1\\Tarvix.ini"},
        {{"C:\\????\\Tarvix.dll", false}, ""},
        {{{}, false}, ""},
        {{deep, true}, ""},
    };
    for (const auto& row : rows) {
        char out[kPathSize] = "#";
        EXPECT_EQ(BuildSettingsPathFrom(row.module, out, sizeof out, ShiftJisCodePage()), !row.path.empty());
        EXPECT_EQ(std::string(out), row.path) << row.module.text;
    }
}
