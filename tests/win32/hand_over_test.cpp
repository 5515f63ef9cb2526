// The hand-over position between host script and module: SetMeas,
// GetBeatAndTick and the settings file beside the module.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "code_page_text.h"
#include "dialog_driver.h"
#include "import_patch.h"
#include "module_copy.h"
#include "time_dialog_probe.h"
#include "time_list_driver.h"

namespace {
// Far longer than a dialog that writes its file takes to end.
constexpr DWORD kNoticeWaitMs = 3000;
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

// Ends the dialog with command; a notice that the file was not written
// (the test then fails) is answered, so that the run goes on.
void EndAnsweringANotice(HWND dialog, int command)
{
    PostCommand(dialog, command);
    if (!WaitUntilGone(dialog, kNoticeWaitMs))
        AnswerBox(dialog, IDOK);
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
    copy.ExpectKeptLoaded();
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
// beside it does not, or a module path the platform reports cut at MAX_PATH
// characters: there is no settings file, and nothing is written elsewhere.
TEST(HandOver, SettingsPathThatDoesNotFitLeavesNoSettingsFile)
{
    std::string base = MakeTempFolder();
    std::string folder = base;
    const size_t target = 252;  // 252 + "\T.dll" fits 259 characters; 252 + "\Tarvix.ini" does not
    ASSERT_LT(folder.size() + 2, target);
    std::vector<std::string> made;
    while (folder.size() < target) {
        size_t part = std::min<size_t>(target - folder.size() - 1, 60);
        folder += "\\" + std::string(part, 'd');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder;
        made.push_back(folder);
    }
    std::string module = folder + "\\T.dll";
    ASSERT_LE(module.size(), MAX_PATH - 1u);
    ASSERT_TRUE(CopyFileA(BuiltModulePath().c_str(), module.c_str(), FALSE));
    char shortFolder[MAX_PATH] = "";  // Wine's invented short name reaches the folder
    ASSERT_NE(GetShortPathNameA(folder.c_str(), shortFolder, MAX_PATH), 0u);
    const std::string ini = std::string(shortFolder) + "\\Tarvix.ini";
    HMODULE loaded = LoadLibraryA(module.c_str());
    ASSERT_NE(loaded, nullptr) << "error " << GetLastError();
    auto setMeas = reinterpret_cast<int(WINAPI*)(int)>(GetProcAddress(loaded, "SetMeas"));
    auto getBeatAndTick = reinterpret_cast<int(WINAPI*)()>(GetProcAddress(loaded, "GetBeatAndTick"));
    EXPECT_EQ(setMeas(5), 0);
    EXPECT_EQ(ReadFileBytes(ini), "");
    EXPECT_EQ(getBeatAndTick(), 1000);
    while (FreeLibrary(loaded) && GetModuleHandleA(module.c_str()) == loaded) {
    }
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

// A host that frees the module after each call: the position chosen while
// the file could not be written still reaches it.
TEST(HandOver, HeldPositionOutlivesAnUnloadOfTheModule)
{
    ModuleCopy copy;
    copy.ExpectKeptLoaded();
    copy.WriteIni("[Temp]\r\nMeas=5\r\n");
    HANDLE holder = CreateFileA(copy.iniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    DialogRun run = RunTimeDialog(copy, 1000, [](HWND dialog) {
        SetDlgItemTextA(dialog, kTimeBoxId, "12:03:005");
        PostCommand(dialog, IDOK);
        AnswerBox(dialog, IDOK);
        WaitUntilGone(dialog);
    });
    ASSERT_TRUE(run.dialogSeen);
    EXPECT_EQ(run.result, 12);
    copy.Reload();
    EXPECT_EQ(copy.GetBeatAndTick(), 3005);
    CloseHandle(holder);
}

// ---- Every ANSI code page ---------------------------------------------------

// Any folder holds the settings file beside the module, also on a volume
// without 8.3 names, where the short path is the long one: a name the code
// page cannot spell (1252), and paths longer than 259 bytes in it (UTF-8:
// 90 Japanese characters; 932: 120).
TEST(CodePageHandOver, ModuleInAnyFolderKeepsItsSettingsBesideItself)
{
    ExpectRegisteredCodePage();
    const std::vector<std::vector<std::wstring>> rows = {
        {L"設定フォルダ"},
        {std::wstring(45, L'長'), std::wstring(45, L'い')},
        {std::wstring(120, L'深')},
    };
    const auto noShortNames = [](const ModuleCopy& copy) {
        PatchImport(copy.module(), "KERNEL32.dll", "GetShortPathNameW", reinterpret_cast<void*>(LongPathBack));
    };
    for (const auto& folders : rows) {
        ModuleCopy copy(folders);
        SCOPED_TRACE(copy.wideIniPath().size());
        noShortNames(copy);
        EXPECT_NE(copy.SetMeas(5), 0);
        EXPECT_EQ(copy.ReadIni(), "[Temp]\r\nMeas=5\r\n");
        RunTimeDialog(copy, 3005, [](HWND dialog) {
            TypeText(TimeBoxEdit(dialog), "5:03:005");
            TypeText(CommentBox(dialog), "kept");
            SendCommand(dialog, kAddId);
            EndAnsweringANotice(dialog, IDOK);
        });
        copy.Reload();
        noShortNames(copy);
        std::vector<std::string> items;
        std::string comment;
        const DialogRun run = RunTimeDialog(copy, 1000, [&](HWND dialog) {
            items = ListItems(dialog);
            PickItem(dialog, 0);
            comment = CommentText(dialog);
            EndAnsweringANotice(dialog, IDCANCEL);
        });
        ASSERT_TRUE(run.dialogSeen);
        EXPECT_EQ(items, std::vector<std::string>{"5:03:005"});
        EXPECT_EQ(comment, "kept");
        EXPECT_EQ(copy.GetBeatAndTick(), 3005);
    }
}

// A file as the module wrote it before it took the Unicode path: read and
// written back, it keeps every byte. The comment holds Shift-JIS characters
// from both lead-byte ranges whose trail byte is a backslash, and both
// escapes; the second time text is full-width.
TEST(CodePageHandOver, FileWrittenBeforeIsRewrittenByteForByte)
{
    ExpectRegisteredCodePage();
    const std::string head =
        "[Temp]\r\nMeas=12\r\nBeat=03\r\nTick=005\r\n[MainWindow]\r\nDlgInfo=010000006400000050000000B5\r\n"
        "[ItemTime]\r\n0=1:01:000\r\n1=";
    const struct {
        UINT codePage;
        std::string fullWidth;
        std::string comment;
    } rows[] = {
        {932, "\x82\x50\x82\x51\x81\x46\x82\x4f\x82\x52\x81\x46\x82\x4f\x82\x4f\x82\x54",
         "\x83\x5c" "nata\\n\xea\x5c\\t\x82\xa0\x95\x5c"},
        {CP_UTF8,
         "\xef\xbc\x91\xef\xbc\x92\xef\xbc\x9a\xef\xbc\x90\xef\xbc\x93\xef\xbc\x9a\xef\xbc\x90\xef\xbc\x90\xef\xbc\x95",
         "\xe3\x82\xbd" "nata\\n\xe9\xb7\xad\\t\xe3\x81\x82\xe8\xa1\xa8"},
        {1252, "12:03:005", "Zo\xeb\\n\xe7\xe0\\tsonata"},
    };
    int rowsRun = 0;
    for (const auto& row : rows) {
        if (row.codePage != GetACP())
            continue;
        ++rowsRun;
        const std::string before = head + row.fullWidth + "\r\n[ItemComment]\r\n0=" + row.comment + "\r\n1=\r\n";
        ModuleCopy copy;
        copy.WriteIni(before);
        const DialogRun run = RunTimeDialog(copy, 3005, [](HWND dialog) {
            PostCommand(dialog, IDOK);
            WaitUntilGone(dialog);
        });
        ASSERT_TRUE(run.dialogSeen);
        EXPECT_EQ(run.result, 12);
        EXPECT_EQ(copy.ReadIni(), before);
    }
    EXPECT_EQ(rowsRun, 1) << "no row for code page " << GetACP();
}
