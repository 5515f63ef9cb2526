// The settings file's path: the module's folder and "Tarvix.ini", in UTF-16.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "module/settings_file_name.h"

namespace {
constexpr size_t kPathSize = 260;

struct Built {
    bool ok;
    std::wstring path;
};

// Builds into a buffer of outSize units followed by sentinels.
Built Build(const std::wstring& reported, size_t outSize = kPathSize, size_t reportBuffer = kPathSize)
{
    std::vector<wchar_t> buffer(outSize + 4, L'#');
    const bool ok = BuildSettingsPath(reported, reportBuffer, buffer.data(), outSize);
    for (size_t i = outSize; i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], L'#') << "unit " << i << " written with outSize " << outSize;
    return {ok, outSize == 0 ? std::wstring() : std::wstring(buffer.data())};
}
}

// Refused, the buffer is left empty.
TEST(SettingsPath, FileNameBesideTheModuleOrNone)
{
    const std::wstring deepFolder = L"C:\\" + std::wstring(kPathSize - 15, L'd') + L"\\";  // + Tarvix.ini: 259 units
    struct {
        std::wstring reported;
        std::wstring path;
    } rows[] = {
        {L"C:\\Tools\\Tarvix.dll", L"C:\\Tools\\Tarvix.ini"},
        {L"C:\\Tarvix.dll", L"C:\\Tarvix.ini"},
        {L"\\\\server\\share\\Renamed.dll", L"\\\\server\\share\\Tarvix.ini"},
        {L"C:\\Tools\\", L"C:\\Tools\\Tarvix.ini"},
        // Any folder: names no ANSI code page spells, and the units of
        // characters that take two or three bytes in one.
        {L"D:\\設定フォルダ\\Tarvix.dll", L"D:\\設定フォルダ\\Tarvix.ini"},
        {L"D:\\ソ\\表\\x.dll", L"D:\\ソ\\表\\Tarvix.ini"},
        {L"D:\\\xD842\xDFB7\\Tarvix.dll", L"D:\\\xD842\xDFB7\\Tarvix.ini"},
        {deepFolder + L"T.dll", deepFolder + L"Tarvix.ini"},
        {L"C:\\T\\" + std::wstring(100, L'x'), L"C:\\T\\Tarvix.ini"},  // a longer name than Tarvix.ini
        {L"d" + deepFolder + L"T.dll", L""},                                // one unit more does not fit
        {L"Tarvix.dll", L""},  // no folder: the profile functions would look in the Windows folder
        {L"C:/Tools/Tarvix.dll", L""},
        {L"", L""},
    };
    for (const auto& row : rows) {
        const Built built = Build(row.reported);
        EXPECT_EQ(built.ok, !row.path.empty()) << row.reported.size() << " units";
        EXPECT_EQ(built.path, row.path) << row.reported.size() << " units";
    }
}

// A report that fills its buffer was cut by the platform and names a folder
// above the module's: no settings file rather than one elsewhere.
TEST(SettingsPath, CutReportOrSmallBufferIsRefused)
{
    const std::wstring cut = L"C:\\a\\" + std::wstring(kPathSize - 5, L'd');
    ASSERT_EQ(cut.size(), kPathSize);
    EXPECT_FALSE(Build(cut).ok);
    EXPECT_EQ(Build(cut).path, L"");
    EXPECT_TRUE(Build(cut.substr(0, kPathSize - 1)).ok);
    EXPECT_FALSE(Build(L"C:\\Tarvix.dll", kPathSize, 13).ok);

    const std::wstring expected = L"C:\\Tarvix.ini";
    EXPECT_FALSE(Build(L"C:\\Tarvix.dll", expected.size()).ok);
    EXPECT_EQ(Build(L"C:\\Tarvix.dll", expected.size()).path, L"");
    EXPECT_EQ(Build(L"C:\\Tarvix.dll", expected.size() + 1).path, expected);
    EXPECT_FALSE(Build(L"C:\\Tarvix.dll", 0).ok);
}
