// The about box, opened from the time dialog's system menu of the real
// module: where it opens, what it shows, how it closes, the fonts it makes,
// the "..." button, and fields whose version value cannot be had.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "code_page_text.h"
#include "dialog_driver.h"
#include "import_patch.h"
#include "larger_fonts.h"
#include "module_copy.h"
#include "res/contact.h"
#include "res/resource.h"
#include "screen_shot.h"
#include "spaced_temp_folder.h"

namespace {
constexpr int kCode = 2005;
constexpr int kOpenings = 20;
constexpr char kVersionPrefix[] = "\\StringFileInfo\\041103a4\\";
// Set to a .bmp path to save a picture of the box (for the documentation).
constexpr char kShotVariable[] = "TARVIX_ABOUT_SHOT";

std::string VersionValue(const std::string& file, const char* key)
{
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(file.c_str(), &handle);
    std::string data(size, '\0');
    if (size == 0 || !GetFileVersionInfoA(file.c_str(), 0, size, data.data()))
        return "<no version data>";
    char* value = nullptr;
    UINT length = 0;
    std::string query = std::string(kVersionPrefix) + key;
    if (!VerQueryValueA(data.data(), query.c_str(), reinterpret_cast<void**>(&value), &length) || value == nullptr)
        return "<missing>";
    return value;
}

LOGFONTA FontOf(HWND window, HFONT* handle = nullptr)
{
    auto font = reinterpret_cast<HFONT>(SendMessageA(window, WM_GETFONT, 0, 0));
    if (handle != nullptr)
        *handle = font;
    LOGFONTA description{};
    GetObjectA(font, sizeof description, &description);
    return description;
}

// Presses the box's only push button ("OK", id IDCANCEL).
bool PressOk(HWND box)
{
    PostCommand(box, IDCANCEL);
    return WaitUntilGone(box);
}

// What one look at an open about box found.
struct AboutSeen {
    bool shown = false;
    std::string caption;
    HWND owner = nullptr;
    POINT clientOrigin{};
    POINT ownerClientOrigin{};
    bool ownerEnabled = true;
    std::string title, copyright, description, path, mail, homePage;
    LOGFONTA titleFont{};
    LOGFONTA dialogFont{};
    HFONT titleFontHandle = nullptr;
    HFONT dialogFontHandle = nullptr;
    HFONT copyrightFontHandle = nullptr;
    LONG titleCellHeight = 0;
    LONG textCellHeight = 0;
    bool iconShown = false;
    bool closed = false;
};

// The cell height of font on window's screen.
LONG CellHeight(HWND window, HFONT font)
{
    HDC dc = GetDC(window);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(window, dc);
    return metrics.tmHeight;
}

AboutSeen LookAtAboutBox(HWND dialog)
{
    AboutSeen seen;
    HWND box = OpenAboutBox(dialog);
    if (box == nullptr)
        return seen;
    seen.shown = true;
    seen.caption = WindowText(box);
    seen.owner = GetWindow(box, GW_OWNER);
    ClientToScreen(box, &seen.clientOrigin);
    ClientToScreen(dialog, &seen.ownerClientOrigin);
    seen.ownerEnabled = IsWindowEnabled(dialog) != FALSE;
    seen.title = ItemText(box, IDC_ABOUT_TITLE);
    seen.copyright = ItemText(box, IDC_ABOUT_COPYRIGHT);
    seen.description = ItemText(box, IDC_ABOUT_DESCRIPTION);
    seen.path = ItemText(box, IDC_ABOUT_PATH);
    seen.mail = ItemText(box, IDC_ABOUT_MAIL);
    seen.homePage = ItemText(box, IDC_ABOUT_HOMEPAGE);
    seen.titleFont = FontOf(GetDlgItem(box, IDC_ABOUT_TITLE), &seen.titleFontHandle);
    seen.dialogFont = FontOf(box, &seen.dialogFontHandle);
    FontOf(GetDlgItem(box, IDC_ABOUT_COPYRIGHT), &seen.copyrightFontHandle);
    seen.titleCellHeight = CellHeight(box, seen.titleFontHandle);
    seen.textCellHeight = CellHeight(box, seen.dialogFontHandle);
    // The icon control is the first control (id -1).
    HWND icon = GetWindow(box, GW_CHILD);
    seen.iconShown = SendMessageA(icon, STM_GETICON, 0, 0) != 0;
    if (const char* shot = std::getenv(kShotVariable))
        SaveWindowPicture(box, shot);
    seen.closed = PressOk(box);
    return seen;
}

// The fields of a box whose version values are missing: empty, while the
// path and contact fields are filled all the same.
void ExpectOnlyVersionFieldsEmpty(const AboutSeen& seen, const ModuleCopy& copy)
{
    EXPECT_EQ(seen.title, "");
    EXPECT_EQ(seen.copyright, "");
    EXPECT_EQ(seen.description, "");
    EXPECT_EQ(seen.path, copy.dllPath());
    EXPECT_EQ(seen.mail, kMakerMail);
    EXPECT_EQ(seen.homePage, kMakerHomePage);
}

// Recorders put into the module's import table. The module calls them on
// the test's main thread; the test reads them after the box has closed.
namespace record {
using CreateFontFn = HFONT(WINAPI*)(const LOGFONTW*);
using DeleteObjectFn = BOOL(WINAPI*)(HGDIOBJ);
using ShellExecuteFn = HINSTANCE(WINAPI*)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
using LoadStringFn = int(WINAPI*)(HINSTANCE, UINT, LPWSTR, int);
using VerQueryValueFn = BOOL(WINAPI*)(LPCVOID, LPCWSTR, LPVOID*, PUINT);
using GlobalAllocFn = HGLOBAL(WINAPI*)(UINT, SIZE_T);
using GlobalFreeFn = HGLOBAL(WINAPI*)(HGLOBAL);

CreateFontFn g_createFont;
DeleteObjectFn g_deleteObject;
std::vector<HGDIOBJ> g_fontsMade;
std::vector<HGDIOBJ> g_objectsDeleted;

HFONT WINAPI CreateFontIndirect(const LOGFONTW* font)
{
    HFONT made = g_createFont(font);
    g_fontsMade.push_back(made);
    return made;
}

BOOL WINAPI DeleteObject(HGDIOBJ object)
{
    g_objectsDeleted.push_back(object);
    return g_deleteObject(object);
}

struct ShellCall {
    HWND owner;
    bool hasVerb, hasDirectory;
    std::wstring verb, file, parameters;
    INT show;
};
std::vector<ShellCall> g_shellCalls;
std::atomic<int> g_shellCallCount;
// Set: the call is passed on to the shell after it is recorded.
ShellExecuteFn g_realShellExecute;

// Records the call and, unless a real shell is asked for, starts nothing.
HINSTANCE WINAPI ShellExecute(HWND owner, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters, LPCWSTR directory,
                              INT show)
{
    g_shellCalls.push_back({owner, verb != nullptr, directory != nullptr, verb ? verb : L"", file ? file : L"",
                            parameters ? parameters : L"", show});
    HINSTANCE result = reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));  // above 32: success
    if (g_realShellExecute != nullptr)
        result = g_realShellExecute(owner, verb, file, parameters, directory, show);
    ++g_shellCallCount;
    return result;
}

DWORD WINAPI NoModuleFileName(HMODULE, LPWSTR, DWORD)
{
    return 0;
}

// A key that no version resource has, in place of entry 2001.
LoadStringFn g_loadString;
int WINAPI LoadStringMissingKey(HINSTANCE instance, UINT id, LPWSTR buffer, int size)
{
    if (id == IDC_ABOUT_COPYRIGHT)
        return lstrlenW(lstrcpynW(buffer, L"NoSuchKey", size));
    return g_loadString(instance, id, buffer, size);
}

// Fails the look-up of Comments, leaving behind a pointer to a text that
// must not be shown.
constexpr wchar_t kLeftBehind[] = L"left behind by a failed look-up";
VerQueryValueFn g_verQueryValue;
BOOL WINAPI VerQueryValueFailsComments(LPCVOID block, LPCWSTR query, LPVOID* value, PUINT length)
{
    std::wstring text = query;
    if (text.size() >= 8 && text.compare(text.size() - 8, 8, L"Comments") == 0) {
        *value = const_cast<wchar_t*>(kLeftBehind);
        *length = ARRAYSIZE(kLeftBehind);
        return FALSE;
    }
    return g_verQueryValue(block, query, value, length);
}

DWORD WINAPI NoVersionSize(LPCWSTR, LPDWORD handle)
{
    if (handle != nullptr)
        *handle = 0;
    return 0;
}

BOOL WINAPI VersionReadFails(LPCWSTR, DWORD, DWORD, LPVOID)
{
    return FALSE;
}

GlobalAllocFn g_globalAlloc;
GlobalFreeFn g_globalFree;
std::vector<HGLOBAL> g_blocksMade;
std::vector<HGLOBAL> g_blocksFreed;

HGLOBAL WINAPI GlobalAllocRecorded(UINT flags, SIZE_T size)
{
    HGLOBAL block = g_globalAlloc(flags, size);
    g_blocksMade.push_back(block);
    return block;
}

HGLOBAL WINAPI GlobalFreeRecorded(HGLOBAL block)
{
    g_blocksFreed.push_back(block);
    return g_globalFree(block);
}

// Reports every font at twice its height, as a host that follows each
// monitor's DPI shows the dialog on a monitor at twice the screen's DPI.
using GetObjectFn = int(WINAPI*)(HANDLE, int, LPVOID);
GetObjectFn g_getObject;
int WINAPI GetObjectAtTwiceTheSize(HANDLE object, int size, LPVOID out)
{
    const int got = g_getObject(object, size, out);
    if (got == sizeof(LOGFONTW))
        static_cast<LOGFONTW*>(out)->lfHeight *= 2;
    return got;
}

void Reset()
{
    g_fontsMade.clear();
    g_objectsDeleted.clear();
    g_shellCalls.clear();
    g_shellCallCount = 0;
    g_realShellExecute = nullptr;
    g_blocksMade.clear();
    g_blocksFreed.clear();
}
}

template <typename Fn>
Fn Patch(const ModuleCopy& copy, const char* dll, const char* function, Fn replacement)
{
    void* original = PatchImport(copy.module(), dll, function, reinterpret_cast<void*>(replacement));
    EXPECT_NE(original, nullptr) << "the module does not import " << dll << "!" << function;
    return reinterpret_cast<Fn>(original);
}

bool WaitForShellCall(DWORD timeoutMs = kWaitMs)
{
    for (DWORD waited = 0; waited <= timeoutMs; waited += 20) {
        if (record::g_shellCallCount > 0)
            return true;
        Sleep(20);
    }
    return false;
}

// Starting a program takes long under emulation: wait generously.
constexpr DWORD kShellWaitMs = 90000;

std::wstring WideModulePath(const ModuleCopy& copy)
{
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(copy.module(), path, MAX_PATH);
    return std::wstring(path, length < MAX_PATH ? length : 0);
}

BOOL CALLBACK NoteExplorerWindow(HWND window, LPARAM list)
{
    char className[32];
    GetClassNameA(window, className, sizeof className);
    if (lstrcmpA(className, "ExplorerWClass") == 0 || lstrcmpA(className, "CabinetWClass") == 0)
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// Explorer's folder windows on the desktop.
std::vector<HWND> ExplorerWindows()
{
    std::vector<HWND> windows;
    EnumWindows(NoteExplorerWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Waits for a folder window that was not there before, closes every new
// one, and tells whether one came.
bool CloseNewExplorerWindows(const std::vector<HWND>& before, DWORD timeoutMs)
{
    std::vector<HWND> added;
    for (DWORD waited = 0; added.empty() && waited <= timeoutMs; waited += 100) {
        for (HWND window : ExplorerWindows())
            if (std::find(before.begin(), before.end(), window) == before.end())
                added.push_back(window);
        if (added.empty())
            Sleep(100);
    }
    for (HWND window : added) {
        PostMessageA(window, WM_CLOSE, 0, 0);
        WaitUntilGone(window);
    }
    return !added.empty();
}

size_t Count(const std::vector<HGDIOBJ>& list, HGDIOBJ object)
{
    return static_cast<size_t>(std::count(list.begin(), list.end(), object));
}
}

TEST(AboutBox, OpensAtTheTimeDialogsCornerWithVersionPathAndContacts)
{
    ModuleCopy copy;
    AboutSeen seen;
    HWND timeDialog = nullptr;
    DialogRun run = RunTimeDialog(copy, kCode, [&](HWND dialog) {
        timeDialog = dialog;
        seen = LookAtAboutBox(dialog);
    });
    ASSERT_TRUE(run.dialogSeen);
    ASSERT_TRUE(seen.shown) << "the version entry opened no box";
    EXPECT_TRUE(seen.closed) << "OK did not close the box";
    EXPECT_EQ(seen.caption, "バージョン情報");
    EXPECT_EQ(seen.owner, timeDialog);
    EXPECT_FALSE(seen.ownerEnabled) << "the box must be modal over the time dialog";
    // No alignment style: the template's (0, 0) is the owner's client origin,
    // and the dialog manager puts the box's client area there (its frame and
    // caption lie above and left of it).
    EXPECT_EQ(seen.clientOrigin.x, seen.ownerClientOrigin.x);
    EXPECT_EQ(seen.clientOrigin.y, seen.ownerClientOrigin.y);

    EXPECT_EQ(seen.title, VersionValue(copy.dllPath(), "FileDescription"));
    EXPECT_EQ(seen.copyright, VersionValue(copy.dllPath(), "LegalCopyright"));
    EXPECT_EQ(seen.description, VersionValue(copy.dllPath(), "Comments"));
    EXPECT_NE(seen.title.find(" 1.0"), std::string::npos) << seen.title;
    EXPECT_EQ(seen.path, copy.dllPath());
    EXPECT_EQ(seen.mail, kMakerMail);
    EXPECT_EQ(seen.homePage, kMakerHomePage);
    EXPECT_TRUE(seen.iconShown) << "icon 106 is not shown";
}

// 15 pixels at 96 DPI, growing with the DPI: at larger fonts the title is
// never smaller than the text under it. It follows the dialog's own font
// (15 pixels to its 12), which a host aware of each monitor's DPI shows at
// its monitor's DPI rather than the screen's.
TEST(AboutBox, TitleIsBoldAt15PixelsInTheDialogsFaceGrowingWithTheDpi)
{
    const bool larger = InLargerFontsRun();
    ASSERT_EQ(ScreenDpi(), larger ? static_cast<int>(kLargerFontsDpi) : 96) << "the DPI did not take";
    ModuleCopy copy;
    AboutSeen seen, perMonitor;
    RunTimeDialog(copy, kCode, [&](HWND dialog) { seen = LookAtAboutBox(dialog); });
    record::g_getObject = Patch(copy, "GDI32.dll", "GetObjectW", &record::GetObjectAtTwiceTheSize);
    RunTimeDialog(copy, kCode, [&](HWND dialog) { perMonitor = LookAtAboutBox(dialog); });
    ASSERT_TRUE(seen.shown);
    ASSERT_TRUE(perMonitor.shown);
    EXPECT_EQ(seen.titleFont.lfWeight, FW_BOLD);
    EXPECT_EQ(seen.titleFont.lfHeight, MulDiv(15, ScreenDpi(), 96));
    EXPECT_EQ(seen.titleFont.lfHeight, MulDiv(15, -seen.dialogFont.lfHeight, 12));
    EXPECT_EQ(perMonitor.titleFont.lfHeight, MulDiv(15, -2 * seen.dialogFont.lfHeight, 12))
        << "the title follows the dialog's font, not the screen's DPI";
    EXPECT_GE(seen.titleCellHeight, seen.textCellHeight);
    EXPECT_STREQ(seen.titleFont.lfFaceName, seen.dialogFont.lfFaceName);
    EXPECT_STREQ(seen.dialogFont.lfFaceName, "ＭＳ Ｐゴシック");
    EXPECT_EQ(seen.titleFont.lfCharSet, seen.dialogFont.lfCharSet);
    EXPECT_EQ(seen.titleFont.lfItalic, seen.dialogFont.lfItalic);
    EXPECT_NE(seen.dialogFont.lfWeight, FW_BOLD);
    EXPECT_NE(seen.titleFontHandle, seen.dialogFontHandle);
    EXPECT_EQ(seen.copyrightFontHandle, seen.dialogFontHandle) << "only the title gets the bold font";
    if (!larger) {
        EXPECT_EQ(RunCurrentTestAtLargerFonts(), 0u) << "the run at larger fonts failed";
    }
}

TEST(AboutBox, ClosingLeavesTheTimeDialogAsItWas)
{
    ModuleCopy copy;
    copy.WriteIni("[ItemTime]\r\n0=3:01:000\r\n1=9:04:120\r\n[ItemComment]\r\n0=intro\r\n1=bridge\r\n");
    struct State {
        std::string text;
        std::vector<std::string> items;
        bool checked = false;
        bool enabled = false;
        bool operator==(const State&) const = default;
    };
    auto stateOf = [](HWND dialog) {
        State state;
        state.text = ItemText(dialog, IDC_TIME_BOX);
        HWND timeBox = GetDlgItem(dialog, IDC_TIME_BOX);
        LRESULT count = SendMessageA(timeBox, CB_GETCOUNT, 0, 0);
        for (LRESULT i = 0; i < count; ++i) {
            char item[64] = "";
            if (SendMessageA(timeBox, CB_GETLBTEXTLEN, i, 0) < static_cast<LRESULT>(sizeof item))
                SendMessageA(timeBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
            state.items.push_back(item);
        }
        UINT menuState = GetMenuState(GetSystemMenu(dialog, FALSE), IDM_TIME_SAVE_POSITION, MF_BYCOMMAND);
        state.checked = menuState != static_cast<UINT>(-1) && (menuState & MF_CHECKED) != 0;
        state.enabled = IsWindowEnabled(dialog) != FALSE;
        return state;
    };
    State before, after;
    bool initiallyChecked = true;
    AboutSeen seen;
    DialogRun run = RunTimeDialog(copy, kCode, [&](HWND dialog) {
        initiallyChecked = stateOf(dialog).checked;
        TypeText(TimeBoxEdit(dialog), "7:02:100");
        // The save-position entry opens nothing, so it may be sent.
        SendMessageA(dialog, WM_SYSCOMMAND, IDM_TIME_SAVE_POSITION, 0);
        before = stateOf(dialog);
        seen = LookAtAboutBox(dialog);
        after = stateOf(dialog);
        PostCommand(dialog, IDOK);
        WaitUntilGone(dialog);
    });
    ASSERT_TRUE(seen.shown);
    EXPECT_NE(before.checked, initiallyChecked) << "the save-position entry did not toggle";
    EXPECT_EQ(before.items, (std::vector<std::string>{"3:01:000", "9:04:120"}));
    EXPECT_EQ(before.text, "7:02:100");
    EXPECT_TRUE(after == before) << "text '" << after.text << "', " << after.items.size() << " items, checked "
                                 << after.checked << ", enabled " << after.enabled;
    // The time dialog still works: OK takes the typed position.
    EXPECT_EQ(run.result, 7);
    EXPECT_EQ(copy.GetBeatAndTick(), 2100);
}

TEST(AboutBox, OkEscAndTheCloseButtonEndItButIdOkDoesNot)
{
    ModuleCopy copy;
    bool idOkLeftItOpen = false, okClosed = false, escClosed = false, closeBoxClosed = false;
    RunTimeDialog(copy, kCode, [&](HWND dialog) {
        HWND box = OpenAboutBox(dialog);
        if (box == nullptr)
            return;
        // IDOK is not the box's button; it does nothing (and opens nothing).
        SendMessageA(box, WM_COMMAND, IDOK, 0);
        idOkLeftItOpen = IsWindow(box) && IsWindowVisible(box);
        okClosed = PressOk(box);

        box = OpenAboutBox(dialog);
        if (box == nullptr)
            return;
        PostMessageA(box, WM_KEYDOWN, VK_ESCAPE, 0);
        escClosed = WaitUntilGone(box);
        if (!escClosed)
            PressOk(box);

        box = OpenAboutBox(dialog);
        if (box == nullptr)
            return;
        PostMessageA(box, WM_SYSCOMMAND, SC_CLOSE, 0);
        closeBoxClosed = WaitUntilGone(box);
        if (!closeBoxClosed)
            PressOk(box);
    });
    EXPECT_TRUE(idOkLeftItOpen);
    EXPECT_TRUE(okClosed);
    EXPECT_TRUE(escClosed);
    EXPECT_TRUE(closeBoxClosed);
}

TEST(AboutBox, EveryOpeningMakesOneTitleFontAndDeletesIt)
{
    ModuleCopy copy;
    record::Reset();
    record::g_createFont = Patch(copy, "GDI32.dll", "CreateFontIndirectW", &record::CreateFontIndirect);
    record::g_deleteObject = Patch(copy, "GDI32.dll", "DeleteObject", &record::DeleteObject);
    ASSERT_NE(record::g_createFont, nullptr);
    ASSERT_NE(record::g_deleteObject, nullptr);
    int openings = 0;
    std::vector<HFONT> dialogFonts;
    std::vector<size_t> madeWhileOpen;
    RunTimeDialog(copy, kCode, [&](HWND dialog) {
        for (int i = 0; i < kOpenings; ++i) {
            HWND box = OpenAboutBox(dialog);
            if (box == nullptr)
                return;
            ++openings;
            HFONT dialogFont = nullptr;
            FontOf(box, &dialogFont);
            dialogFonts.push_back(dialogFont);
            madeWhileOpen.push_back(record::g_fontsMade.size());
            if (!PressOk(box))
                return;
        }
    });
    ASSERT_EQ(openings, kOpenings);
    EXPECT_EQ(record::g_fontsMade.size(), static_cast<size_t>(kOpenings)) << "one title font per opening";
    for (size_t i = 0; i < madeWhileOpen.size(); ++i)
        EXPECT_EQ(madeWhileOpen[i], i + 1) << "opening " << i + 1 << " did not make exactly one font";
    for (HGDIOBJ font : record::g_fontsMade) {
        EXPECT_NE(font, nullptr);
        EXPECT_EQ(Count(record::g_objectsDeleted, font), 1u) << "a title font was not deleted exactly once";
    }
    for (HFONT font : dialogFonts)
        EXPECT_EQ(Count(record::g_objectsDeleted, font), 0u) << "the dialog's own font was deleted";
}

// The shell gets the Windows folder's explorer.exe by its full path, and the
// module's path in quotes; a program named Explorer.exe in the host's
// current folder (say, the folder of a downloaded song) never runs.
TEST(AboutBox, BrowseButtonStartsTheSystemsExplorerOnTheQuotedPath)
{
    SpacedTempFolder spaced;
    ModuleCopy copy;
    ASSERT_NE(copy.dllPath().find(", "), std::string::npos) << "the test needs a path with a comma and a space";
    const std::string standIn = copy.folder() + "\\Explorer.exe";
    ASSERT_TRUE(CopyFileA("explorer_stand_in.exe", standIn.c_str(), FALSE)) << "explorer_stand_in.exe beside the test";
    char oldFolder[MAX_PATH];
    GetCurrentDirectoryA(sizeof oldFolder, oldFolder);
    ASSERT_TRUE(SetCurrentDirectoryA(copy.folder().c_str()));
    const std::vector<HWND> explorersBefore = ExplorerWindows();

    record::Reset();
    record::g_realShellExecute = Patch(copy, "SHELL32.dll", "ShellExecuteW", &record::ShellExecute);
    HWND aboutBox = nullptr;
    std::string pathShown;
    bool called = false;
    RunTimeDialog(copy, kCode, [&](HWND dialog) {
        aboutBox = OpenAboutBox(dialog);
        if (aboutBox == nullptr)
            return;
        pathShown = ItemText(aboutBox, IDC_ABOUT_PATH);
        PostCommand(aboutBox, IDC_ABOUT_BROWSE);
        called = WaitForShellCall(kShellWaitMs);
        PressOk(aboutBox);
    });
    SetCurrentDirectoryA(oldFolder);
    // The shell's program gets its time to show up (Explorer) or leave its marker (the stand-in).
    const bool explorerShown = CloseNewExplorerWindows(explorersBefore, kShellWaitMs);

    ASSERT_NE(aboutBox, nullptr);
    ASSERT_TRUE(called) << "the \"...\" button called no ShellExecuteW";
    ASSERT_EQ(record::g_shellCalls.size(), 1u);
    const record::ShellCall& call = record::g_shellCalls[0];
    wchar_t windows[MAX_PATH];
    UINT windowsLength = GetSystemWindowsDirectoryW(windows, MAX_PATH);
    ASSERT_GT(windowsLength, 0u);
    EXPECT_EQ(call.owner, aboutBox);
    EXPECT_FALSE(call.hasVerb);
    EXPECT_EQ(call.file, std::wstring(windows, windowsLength) + L"\\explorer.exe");
    EXPECT_EQ(call.parameters, L"/e,/select,\"" + WideModulePath(copy) + L"\"");
    EXPECT_FALSE(call.hasDirectory);
    EXPECT_EQ(call.show, SW_SHOWNORMAL);
    EXPECT_EQ(pathShown, copy.dllPath());
    EXPECT_TRUE(explorerShown) << "no Explorer window came up";
    EXPECT_EQ(GetFileAttributesA((standIn + ".ran").c_str()), INVALID_FILE_ATTRIBUTES)
        << "the Explorer.exe in the current folder was run";
    DeleteFileA((standIn + ".ran").c_str());
    DeleteFileA(standIn.c_str());
}

TEST(AboutBox, BrowseButtonDoesNothingWhenThePathIsNotFound)
{
    ModuleCopy copy;
    record::Reset();
    Patch(copy, "SHELL32.dll", "ShellExecuteW", &record::ShellExecute);
    bool shown = false, closed = false;
    RunTimeDialog(copy, kCode, [&](HWND dialog) {
        HWND box = OpenAboutBox(dialog);
        if (box == nullptr)
            return;
        shown = true;
        void* original = PatchImport(copy.module(), "KERNEL32.dll", "GetModuleFileNameW",
                                     reinterpret_cast<void*>(&record::NoModuleFileName));
        // Posted messages run in order: once OK has closed the box, the click was handled.
        PostCommand(box, IDC_ABOUT_BROWSE);
        closed = PressOk(box);
        PatchImport(copy.module(), "KERNEL32.dll", "GetModuleFileNameW", original);
    });
    ASSERT_TRUE(shown);
    ASSERT_TRUE(closed);
    EXPECT_EQ(record::g_shellCallCount, 0);
}

TEST(AboutBox, RenamedModuleShowsItsOwnResourcesAndPath)
{
    ModuleCopy copy("Renamed.dll");
    AboutSeen seen;
    DialogRun run = RunTimeDialog(copy, kCode, [&](HWND dialog) { seen = LookAtAboutBox(dialog); });
    ASSERT_TRUE(run.dialogSeen);
    ASSERT_TRUE(seen.shown);
    EXPECT_EQ(seen.caption, "バージョン情報");
    EXPECT_EQ(seen.path, copy.dllPath());
    EXPECT_EQ(seen.title, VersionValue(copy.dllPath(), "FileDescription"));
    EXPECT_NE(seen.title, "");
    EXPECT_TRUE(seen.iconShown);
    EXPECT_TRUE(seen.closed);
}

// A version value that cannot be had leaves its own field empty.
TEST(AboutBox, MissingVersionValuesLeaveTheirFieldsEmpty)
{
    {
        SCOPED_TRACE("the key of the copyright line is not in the version resource");
        ModuleCopy copy;
        record::g_loadString = Patch(copy, "USER32.dll", "LoadStringW", &record::LoadStringMissingKey);
        AboutSeen seen;
        RunTimeDialog(copy, kCode, [&](HWND dialog) { seen = LookAtAboutBox(dialog); });
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.copyright, "");
        EXPECT_EQ(seen.title, VersionValue(copy.dllPath(), "FileDescription"));
        EXPECT_EQ(seen.description, VersionValue(copy.dllPath(), "Comments"));
    }
    {
        SCOPED_TRACE("the look-up of Comments fails");
        ModuleCopy copy;
        record::g_verQueryValue = Patch(copy, "VERSION.dll", "VerQueryValueW", &record::VerQueryValueFailsComments);
        AboutSeen seen;
        RunTimeDialog(copy, kCode, [&](HWND dialog) { seen = LookAtAboutBox(dialog); });
        ASSERT_TRUE(seen.shown);
        EXPECT_EQ(seen.description, "");
        EXPECT_EQ(seen.title, VersionValue(copy.dllPath(), "FileDescription"));
        EXPECT_EQ(seen.copyright, VersionValue(copy.dllPath(), "LegalCopyright"));
    }
    {
        SCOPED_TRACE("the file has no version data");
        ModuleCopy copy;
        record::Reset();
        Patch(copy, "VERSION.dll", "GetFileVersionInfoSizeW", &record::NoVersionSize);
        record::g_globalAlloc = Patch(copy, "KERNEL32.dll", "GlobalAlloc", &record::GlobalAllocRecorded);
        AboutSeen seen;
        std::vector<HGLOBAL> made;  // while the about box was open
        RunTimeDialog(copy, kCode, [&](HWND dialog) {
            record::g_blocksMade.clear();
            seen = LookAtAboutBox(dialog);
            made = record::g_blocksMade;
        });
        ASSERT_TRUE(seen.shown);
        ExpectOnlyVersionFieldsEmpty(seen, copy);
        EXPECT_TRUE(made.empty()) << "memory was taken for no version data";
    }
    {
        SCOPED_TRACE("reading the version data fails");
        ModuleCopy copy;
        record::Reset();
        Patch(copy, "VERSION.dll", "GetFileVersionInfoW", &record::VersionReadFails);
        record::g_globalAlloc = Patch(copy, "KERNEL32.dll", "GlobalAlloc", &record::GlobalAllocRecorded);
        record::g_globalFree = Patch(copy, "KERNEL32.dll", "GlobalFree", &record::GlobalFreeRecorded);
        AboutSeen seen;
        std::vector<HGLOBAL> made, freed;  // while the about box was open
        RunTimeDialog(copy, kCode, [&](HWND dialog) {
            record::g_blocksMade.clear();
            record::g_blocksFreed.clear();
            seen = LookAtAboutBox(dialog);
            made = record::g_blocksMade;
            freed = record::g_blocksFreed;
        });
        ASSERT_TRUE(seen.shown);
        ExpectOnlyVersionFieldsEmpty(seen, copy);
        ASSERT_EQ(made.size(), 1u) << "the version data's block";
        EXPECT_EQ(freed, made) << "the block must be freed after a failed read";
    }
}

// ---- Every ANSI code page ---------------------------------------------------
// Run under 932, in a UTF-8 host (65001) and under 1252: the version texts
// and the path read as designed, read back as Unicode.

TEST(CodePageAboutBox, VersionTextsAndPathReadTheSameInEveryCodePage)
{
    ExpectRegisteredCodePage();
    ModuleCopy copy;
    std::wstring caption, title, copyright, description, path;
    RunTimeDialog(copy, kCode, [&](HWND dialog) {
        HWND box = OpenAboutBox(dialog);
        if (box == nullptr)
            return;
        caption = WideText(box);
        title = WideItemText(box, IDC_ABOUT_TITLE);
        copyright = WideItemText(box, IDC_ABOUT_COPYRIGHT);
        description = WideItemText(box, IDC_ABOUT_DESCRIPTION);
        path = WideItemText(box, IDC_ABOUT_PATH);
        PressOk(box);
    });
    EXPECT_EQ(caption, L"バージョン情報");
    EXPECT_EQ(title, L"Tarvix ジャンプ ダイアログ 1.0");
    EXPECT_EQ(copyright, L"(C) 2000 Tarvix Works");
    EXPECT_EQ(description, L"Cakewalk 5.0 以降用のダイアログボックスです。付属の Tarvix.cal から呼び出して使用します。");
    EXPECT_EQ(path, WideModulePath(copy));
}
