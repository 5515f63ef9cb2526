// Whatever Tarvix.ini holds, the module must not crash its host: the exports
// answer, the dialog appears and closes, and the list is written back in order.
#include <gtest/gtest.h>

#include <cstring>

#include "code_page_text.h"
#include "dialog_driver.h"
#include "hostile_settings.h"
#include "import_patch.h"
#include "module_copy.h"
#include "time_list_driver.h"
#include "settings/comment_escape.h"
#include "settings/list_section.h"

namespace {
constexpr int kTimeBox = 102;
constexpr size_t kListTextSize = 60;

// What the profile functions make of a text on its way through the file:
// they keep the file in Unicode, so bytes that are no Shift-JIS change.
std::string ThroughCodePage(const std::string& text)
{
    wchar_t wide[256];
    int count = MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 256);
    char narrow[512];
    WideCharToMultiByte(CP_ACP, 0, wide, count, narrow, sizeof narrow, nullptr, nullptr);
    return narrow;
}

std::vector<std::string> ListTexts(HWND dialog)
{
    HWND box = GetDlgItem(dialog, kTimeBox);
    std::vector<std::string> texts;
    int count = static_cast<int>(SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        if (SendMessageA(box, CB_GETLBTEXTLEN, i, 0) >= static_cast<LRESULT>(kListTextSize)) {
            ADD_FAILURE() << "item " << i << " is longer than the list ever holds";
            texts.push_back("");
            continue;
        }
        char text[kListTextSize];
        SendMessageA(box, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        texts.push_back(text);
    }
    return texts;
}

void ExpectListRewrittenInOrder(const ModuleCopy& copy, const std::vector<std::string>& listed)
{
    for (size_t i = 0; i < listed.size(); ++i) {
        std::string key = std::to_string(i);
        EXPECT_EQ(copy.Value("ItemTime", key.c_str()), ThroughCodePage(listed[i])) << "ItemTime " << key;
        EXPECT_NE(copy.Value("ItemComment", key.c_str()), "<missing>") << "ItemComment " << key;
    }
    std::string after = std::to_string(listed.size());
    EXPECT_EQ(copy.Value("ItemTime", after.c_str()), "<missing>") << "stale item left behind";
}

// Opens the dialog, notes its list, leaves it with closeCommand.
void OpenAndClose(const ModuleCopy& copy, int closeCommand, const std::string& fileName)
{
    std::vector<std::string> listed;
    DialogRun run = RunTimeDialog(copy, 1000, [&](HWND dialog) {
        listed = ListTexts(dialog);
        PostCommand(dialog, closeCommand);
        WaitUntilGone(dialog);
    });
    ASSERT_TRUE(run.dialogSeen) << fileName << ": the dialog did not appear";
    if (closeCommand == IDOK)
        EXPECT_GE(run.result, 1) << fileName;
    else
        EXPECT_EQ(run.result, 0) << fileName;
    FlushProfileCache(copy.iniPath());
    ExpectListRewrittenInOrder(copy, listed);
}
}

TEST(HostileSettings, EveryFileIsSurvivedAndRewritten)
{
    std::vector<HostileFile> files = MakeHostileSettingsFiles();
    ASSERT_GE(files.size(), 100u);
    ModuleCopy copy;
    for (const HostileFile& file : files) {
        SCOPED_TRACE(file.name);
        copy.WriteIni(file.bytes);
        copy.SetMeas(7);
        int code = copy.GetBeatAndTick();
        EXPECT_GE(static_cast<long long>(code) % 1000 + 1000, 0);  // answered without crashing
        OpenAndClose(copy, IDOK, file.name);
        copy.WriteIni(file.bytes);
        OpenAndClose(copy, IDCANCEL, file.name);
        if (HasFatalFailure())
            return;
    }
}

// ---- Every ANSI code page ---------------------------------------------------

namespace {
// The list as reading each key gives it, as the module once read it.
struct ListRead {
    std::vector<std::string> times, comments;
    bool operator==(const ListRead&) const = default;
};

CodePage PageInUse()
{
    return GetACP() == 932 ? ShiftJisCodePage() : GetACP() == CP_UTF8 ? Utf8CodePage() : SingleByteCodePage();
}

ListRead ReadListByKey(const std::string& ini)
{
    ListRead list;
    for (int n = 0;; ++n) {
        const std::string key = std::to_string(n);
        // A read cut by its size may end inside a character (Wine's leaves
        // what the buffer held there): whole characters are what it gives.
        char time[kListTextSize]{}, stored[kEscapedCommentSize]{}, comment[kCommentMax + 1];
        GetPrivateProfileStringA("ItemTime", key.c_str(), "Anb", time, sizeof time, ini.c_str());
        if (lstrcmpA(time, "Anb") == 0)
            return list;
        GetPrivateProfileStringA("ItemComment", key.c_str(), "", stored, sizeof stored, ini.c_str());
        const size_t length = CompleteCharacterPrefix(PageInUse(), stored);
        UnescapeComment({stored, length}, comment, sizeof comment, kCommentMax, PageInUse());
        list.times.push_back(std::string(time, CompleteCharacterPrefix(PageInUse(), time)));
        list.comments.push_back(comment);
    }
}

// The texts the time box lists, and the comments its items keep.
ListRead ShownList(HWND dialog)
{
    HWND box = GetDlgItem(dialog, kTimeBox);
    ListRead list{ListTexts(dialog), {}};
    for (size_t i = 0; i < list.times.size(); ++i)
        list.comments.push_back(reinterpret_cast<const char*>(SendMessageA(box, CB_GETITEMDATA, i, 0)));
    return list;
}

// What deleting the list's sections and writing each key gives, from the
// file as it was, with the place the dialog wrote first.
std::string WrittenKeyByKey(const ModuleCopy& copy, const std::string& before, const ListRead& list)
{
    BYTE place[12]{};
    GetPrivateProfileStructA("MainWindow", "DlgInfo", place, sizeof place, copy.iniPath().c_str());
    const std::string path = copy.folder() + "\\by-key.ini";
    WriteFileBytes(path, before);
    FlushProfileCache(path);
    WritePrivateProfileStructA("MainWindow", "DlgInfo", place, sizeof place, path.c_str());
    for (const char* section : {"ItemTime", "ItemComment"}) {
        char names[4];
        while (GetPrivateProfileStringA(section, nullptr, "", names, sizeof names, path.c_str()) != 0)
            WritePrivateProfileStringA(section, nullptr, nullptr, path.c_str());
    }
    for (size_t i = 0; i < list.times.size(); ++i) {
        const std::string key = std::to_string(i);
        char escaped[kEscapedCommentSize], time[kListTextSize + 2], comment[kEscapedCommentSize + 2];
        StoreListValue(list.times[i], time, sizeof time);
        StoreListValue({escaped, EscapeComment(list.comments[i], escaped, sizeof escaped)}, comment, sizeof comment);
        WritePrivateProfileStringA("ItemTime", key.c_str(), time, path.c_str());
        WritePrivateProfileStringA("ItemComment", key.c_str(), comment, path.c_str());
    }
    FlushProfileCache(path);
    return ReadFileBytes(path);
}

// 2,000 items: each section is longer than the 32,767 characters a section
// read of Windows before 7 takes, the comments longer than the 65,535 bytes
// Windows documents for a section write.
std::string LongList()
{
    std::vector<StoredItem> items;
    for (int i = 0; i < 2000; ++i)
        items.push_back({std::to_string(1000 + i) + ":01:000", "comment " + std::to_string(i) + "\\nand its second line"});
    return ListSettings(items);
}

using SectionReadFn = DWORD(WINAPI*)(LPCSTR, LPSTR, DWORD, LPCSTR);
using SectionWriteFn = BOOL(WINAPI*)(LPCSTR, LPCSTR, LPCSTR);
SectionReadFn g_sectionRead;
SectionWriteFn g_sectionWrite;
int g_sectionWrites;

// A section read as Windows before 7 makes it: stopped at 32,767 characters.
DWORD WINAPI SectionReadCutShort(LPCSTR section, LPSTR buffer, DWORD size, LPCSTR path)
{
    constexpr DWORD kCap = 32767;
    DWORD count = g_sectionRead(section, buffer, size, path);
    if (count + 2 > kCap) {
        count = kCap - 2;
        buffer[count] = buffer[count + 1] = '\0';
    }
    return count;
}

bool g_writeCutShort;

// Counts section writes; when asked, a text longer than the 65,535 bytes
// Windows documents is cut there, inside an entry, and said to be written.
BOOL WINAPI CountedSectionWrite(LPCSTR section, LPCSTR text, LPCSTR path)
{
    constexpr size_t kLimit = 65535;
    ++g_sectionWrites;
    size_t length = 0;
    while (text[length] != '\0')
        length += std::strlen(text + length) + 1;
    if (!g_writeCutShort || length < kLimit)
        return g_sectionWrite(section, text, path);
    std::string cut(text, kLimit - 2);
    cut.append(2, '\0');
    return g_sectionWrite(section, cut.c_str(), path);
}

// The project's folder: the module is built into its build\\bin.
std::string SourceFolder()
{
    return BuiltModulePath() + "\\..\\..\\..";
}
}

// Any settings file: the dialog lists exactly what reading each key gives,
// and its close leaves exactly the bytes that deleting the sections and
// writing each key leaves, with each section written in one call.
TEST(CodePageSettingsFile, ListIsWhatEachKeyReadsAndTheFileWhatEachKeyWrites)
{
    ExpectRegisteredCodePage();
    struct Row {
        std::string name, bytes;
        bool cutRead = false, cutWrite = false;
    };
    std::vector<Row> rows = {{"2,000 items", LongList()},
                             {"2,000 items, read cut", LongList(), true},
                             {"2,000 items, write cut", LongList(), false, true}};
    const std::string corpus = SourceFolder() + "\\tests\\win32\\data\\list-corpus\\";
    WIN32_FIND_DATAA found;
    HANDLE search = FindFirstFileA((corpus + "*.ini").c_str(), &found);
    ASSERT_NE(search, INVALID_HANDLE_VALUE) << corpus;
    do
        rows.push_back({found.cFileName, ReadFileBytes(corpus + found.cFileName)});
    while (FindNextFileA(search, &found));
    FindClose(search);

    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        ModuleCopy copy;
        if (row.cutRead)
            g_sectionRead = reinterpret_cast<SectionReadFn>(PatchImport(
                copy.module(), "KERNEL32.dll", "GetPrivateProfileSectionA", reinterpret_cast<void*>(SectionReadCutShort)));
        g_sectionWrite = reinterpret_cast<SectionWriteFn>(PatchImport(
            copy.module(), "KERNEL32.dll", "WritePrivateProfileSectionA", reinterpret_cast<void*>(CountedSectionWrite)));
        ASSERT_NE(g_sectionWrite, nullptr);
        g_sectionWrites = 0;
        g_writeCutShort = row.cutWrite;
        copy.WriteIni(row.bytes);
        const ListRead byKey = ReadListByKey(copy.iniPath());
        ListRead shown;
        DialogRun run = RunTimeDialog(copy, 1000, [&](HWND dialog) { shown = ShownList(dialog); });
        ASSERT_TRUE(run.dialogSeen);
        EXPECT_EQ(shown, byKey);
        // Each section in one write; the comments again, cut where Windows documents it.
        EXPECT_EQ(g_sectionWrites, byKey.times.empty() ? 0 : row.cutWrite ? 3 : 2);
        FlushProfileCache(copy.iniPath());
        if (!row.cutRead) {
            EXPECT_EQ(copy.ReadIni(), WrittenKeyByKey(copy, row.bytes, byKey));
        }
    }
}
