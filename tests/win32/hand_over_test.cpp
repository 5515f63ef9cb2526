// The hand-over position between host script and module: SetMeas,
// GetBeatAndTick and the settings file beside the module.
#include <gtest/gtest.h>

#include <climits>

#include "module_copy.h"

namespace {
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

TEST(HandOver, SettingsPathThatDoesNotFitMeansNoSettingsFile)
{
    // A folder so deep that the module's short name fits MAX_PATH but
    // "Tarvix.ini" beside it does not.
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
    HMODULE loaded = LoadLibraryA(module.c_str());
    ASSERT_NE(loaded, nullptr) << "error " << GetLastError();
    auto setMeas = reinterpret_cast<int(WINAPI*)(int)>(GetProcAddress(loaded, "SetMeas"));
    auto getBeatAndTick = reinterpret_cast<int(WINAPI*)()>(GetProcAddress(loaded, "GetBeatAndTick"));
    EXPECT_EQ(setMeas(5), 0);
    EXPECT_EQ(getBeatAndTick(), 1000);
    FreeLibrary(loaded);
    DeleteFileA(module.c_str());
    for (auto it = made.rbegin(); it != made.rend(); ++it)
        RemoveDirectoryA(it->c_str());
    RemoveFolder(base);
}
