// The hand-over position between host script and module: SetMeas,
// GetBeatAndTick and the settings file beside the module.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "import_patch.h"
#include "module_copy.h"

namespace {
std::wstring g_reportedPath;

// A module path of more than MAX_PATH characters, as Windows reports it in a
// MAX_PATH buffer: cut, terminated, and the buffer's size returned.
DWORD WINAPI ReportLongModulePath(HMODULE, LPWSTR out, DWORD size)
{
    const DWORD length = std::min<DWORD>(size - 1, static_cast<DWORD>(g_reportedPath.size()));
    g_reportedPath.copy(out, length);
    out[length] = L'\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return length < g_reportedPath.size() ? size : length;
}

DWORD WINAPI LongPathBack(LPCWSTR path, LPWSTR out, DWORD size)
{
    lstrcpynW(out, path, static_cast<int>(size));
    return static_cast<DWORD>(lstrlenW(out));
}

void WriteTemp(const ModuleCopy& copy, const char* beat, const char* tick)
{
    copy.WriteIni(std::string("[Temp]\r\nBeat=") + beat + "\r\nTick=" + tick + "\r\n");
}
}

TEST(HandOver, FreshFolderGivesBeatOneTickZero)
{
    ModuleCopy copy;
    EXPECT_EQ(copy.GetBeatAndTick(), 1000);
    EXPECT_FALSE(copy.Exists()) << "reading must not create the settings file";
}

TEST(HandOver, StoredBeatAndTickAreClampedAndJoined)
{
    ModuleCopy copy;
    struct {
        const char* beat;
        const char* tick;
        int expected;
    } rows[] = {
        {"0", "-5", 1000},     // beat below 1 becomes 1, negative tick 0
        {"2", "1500", 3500},   // the tick is not reduced
        {"-3", "7", 1007},
        {"03", "005", 3005},   // leading zeros as StoreTimeText leaves them
        {"abc", "x", 1000},    // not a number reads as 0, then the clamps
        {"", "", 1000},
        // beat * 1000 + tick wraps in 32 bits, as the host's arithmetic does
        {"2147484", "0", static_cast<int>(2147484000u)},
        {"2147483", "1000", static_cast<int>(2147484000u)},
    };
    for (const auto& row : rows) {
        WriteTemp(copy, row.beat, row.tick);
        EXPECT_EQ(copy.GetBeatAndTick(), row.expected) << "Beat=" << row.beat << " Tick=" << row.tick;
    }
}

TEST(HandOver, SetMeasStoresSignedDecimalText)
{
    ModuleCopy copy;
    for (int measure : {-7, 0, 12, INT_MAX, INT_MIN}) {
        EXPECT_NE(copy.SetMeas(measure), 0);
        EXPECT_EQ(copy.Value("Temp", "Meas"), std::to_string(measure));
    }
    EXPECT_EQ(copy.ReadIni(), "[Temp]\r\nMeas=-2147483648\r\n");
}

TEST(HandOver, UnwritableFileMakesSetMeasFailAndStaysByteIdentical)
{
    ModuleCopy copy;
    const std::string before = "[Temp]\r\nMeas=5\r\n";
    copy.WriteIni(before);
    // Root ignores the read-only attribute under Wine: deny writing by holding the file open.
    HANDLE holder = CreateFileA(copy.iniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    EXPECT_EQ(copy.SetMeas(9), 0);
    CloseHandle(holder);
    FlushProfileCache(copy.iniPath());
    EXPECT_EQ(copy.ReadIni(), before);
}

TEST(HandOver, SettingsFileIsNeverHeldOpenBetweenCalls)
{
    ModuleCopy copy;
    ASSERT_NE(copy.SetMeas(3), 0);
    EXPECT_EQ(copy.GetBeatAndTick(), 1000);
    FlushProfileCache(copy.iniPath());
    HANDLE exclusive = CreateFileA(copy.iniPath().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                   0, nullptr);
    EXPECT_NE(exclusive, INVALID_HANDLE_VALUE) << "the module still holds Tarvix.ini open";
    CloseHandle(exclusive);
}

TEST(HandOver, RenamedModuleKeepsItsSettingsBesideItself)
{
    ModuleCopy copy("Renamed.dll");
    EXPECT_EQ(GetModuleHandleA("Tarvix"), nullptr);
    ASSERT_NE(copy.SetMeas(42), 0);
    EXPECT_EQ(copy.Value("Temp", "Meas"), "42");
}

// A folder so deep that the module's path fits MAX_PATH but "Tarvix.ini"
// beside it does not: the settings file is reached by the folder's short
// (8.3) path. Without short names, or with a module path cut at MAX_PATH
// characters, there is no settings file at all.
TEST(HandOver, SettingsPathThatDoesNotFitIsReachedByItsShortPath)
{
    std::string base = MakeTempFolder();
    std::string folder = base;
    const std::string moduleName = "T.dll";
    const size_t target = 252;  // 252 + "\T.dll" fits 259 bytes; 252 + "\Tarvix.ini" does not
    ASSERT_LT(folder.size() + 2, target);
    std::vector<std::string> made;
    while (folder.size() < target) {
        size_t part = std::min<size_t>(target - folder.size() - 1, 60);
        folder += "\\" + std::string(part, 'd');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        made.push_back(folder);
    }
    std::string module = folder + "\\" + moduleName;
    ASSERT_LE(module.size(), MAX_PATH - 1u);
    ASSERT_GT(folder.size() + 1 + std::string("Tarvix.ini").size(), MAX_PATH - 1u);
    ASSERT_TRUE(CopyFileA(BuiltModulePath().c_str(), module.c_str(), FALSE));
    char shortFolder[MAX_PATH] = "";
    ASSERT_NE(GetShortPathNameA(folder.c_str(), shortFolder, MAX_PATH), 0u);
    const std::string ini = std::string(shortFolder) + "\\Tarvix.ini";
    for (bool shortNames : {true, false}) {
        HMODULE loaded = LoadLibraryA(module.c_str());
        ASSERT_NE(loaded, nullptr) << "error " << GetLastError();
        if (!shortNames) {  // a volume without 8.3 names gives the long path back
            ASSERT_NE(PatchImport(loaded, "KERNEL32.dll", "GetShortPathNameW", reinterpret_cast<void*>(LongPathBack)),
                      nullptr);
        }
        auto setMeas = reinterpret_cast<int(WINAPI*)(int)>(GetProcAddress(loaded, "SetMeas"));
        auto getBeatAndTick = reinterpret_cast<int(WINAPI*)()>(GetProcAddress(loaded, "GetBeatAndTick"));
        DeleteFileA(ini.c_str());
        FlushProfileCache(ini);
        EXPECT_EQ(setMeas(5) != 0, shortNames);
        EXPECT_EQ(ReadFileBytes(ini), shortNames ? "[Temp]\r\nMeas=5\r\n" : "");
        EXPECT_EQ(getBeatAndTick(), 1000);
        FreeLibrary(loaded);
    }
    DeleteFileA(ini.c_str());
    DeleteFileA(module.c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        RemoveDirectoryA(it->c_str());
    RemoveFolder(base);

    // A path cut at MAX_PATH characters names a folder above the module's.
    ModuleCopy copy;
    g_reportedPath.assign(copy.folder().begin(), copy.folder().end());
    g_reportedPath += L"\\" + std::wstring(300, L'd') + L"\\Tarvix.dll";
    ASSERT_NE(PatchImport(copy.module(), "KERNEL32.dll", "GetModuleFileNameW",
                          reinterpret_cast<void*>(ReportLongModulePath)),
              nullptr);
    EXPECT_EQ(copy.SetMeas(5), 0);
    EXPECT_FALSE(copy.Exists());
}
