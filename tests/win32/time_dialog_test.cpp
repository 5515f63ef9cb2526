// The time dialog run through Tarvix, worked from a second thread as a user
// would: what the host gets back, what stays in Tarvix.ini, where the dialog
// opens, its owner, system menu, owner-drawn list, limits and tooltips.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "code_page_text.h"
#include "dialog_driver.h"
#include "import_patch.h"
#include "larger_fonts.h"
#include "module_copy.h"
#include "screen_shot.h"
#include "time_dialog_probe.h"
#include "time_list_driver.h"

namespace {
constexpr char kSavePositionText[] = "位置を保存(&P)";
constexpr char kVersionText[] = "バージョン情報(&V)...";
constexpr UINT kTimeItemHeight = 14;
constexpr size_t kTimeTextMax = 59;

const std::string kTempBefore = "[Temp]\r\nMeas=12\r\nBeat=4\r\nTick=7\r\n";

std::string Repeat(const std::string& part, size_t times)
{
    std::string text;
    for (size_t i = 0; i < times; ++i)
        text += part;
    return text;
}

// ---- Spies on the module's own platform calls ------------------------------

using SendMessageWFn = LRESULT(WINAPI*)(HWND, UINT, WPARAM, LPARAM);
SendMessageWFn g_realSendMessageW;
std::vector<UINT> g_toolSizes;  // cbSize of each tool the module registers

LRESULT WINAPI SpySendMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TTM_ADDTOOLW)
        g_toolSizes.push_back(reinterpret_cast<const TTTOOLINFOW*>(lParam)->cbSize);
    return g_realSendMessageW(window, message, wParam, lParam);
}

using GetWindowTextFn = int(WINAPI*)(HWND, LPWSTR, int);
GetWindowTextFn g_realGetWindowText;
std::wstring g_timeBoxRead;

int WINAPI SpyGetWindowText(HWND window, LPWSTR text, int size)
{
    int length = g_realGetWindowText(window, text, size);
    if (GetDlgCtrlID(window) == kTimeBoxId && length >= 0)
        g_timeBoxRead.assign(text, static_cast<size_t>(length));
    return length;
}

using ExtTextOutFn = BOOL(WINAPI*)(HDC, int, int, UINT, const RECT*, LPCSTR, UINT, const INT*);
ExtTextOutFn g_realExtTextOut;
DWORD g_textOutThread;

struct TextOutCall {
    int x;
    int y;
    UINT options;
    bool hasRect;
    RECT rect;
    std::string text;
    bool hasSpacing;
};
std::vector<TextOutCall> g_textOuts;

BOOL WINAPI SpyExtTextOut(HDC dc, int x, int y, UINT options, const RECT* rect, LPCSTR text, UINT count,
                          const INT* spacing)
{
    // Only the calls made on the test's own drawing requests count.
    if (GetCurrentThreadId() == g_textOutThread)
        g_textOuts.push_back({x, y, options, rect != nullptr, rect != nullptr ? *rect : RECT{},
                              std::string(text, count), spacing != nullptr});
    return g_realExtTextOut(dc, x, y, options, rect, text, count, spacing);
}

using DialogBoxParamFn = INT_PTR(WINAPI*)(HINSTANCE, LPCWSTR, HWND, DLGPROC, LPARAM);
DialogBoxParamFn g_realDialogBoxParam;
INT_PTR g_dialogBoxResult;

INT_PTR WINAPI SpyDialogBoxParam(HINSTANCE instance, LPCWSTR name, HWND owner, DLGPROC proc, LPARAM parameter)
{
    g_dialogBoxResult = g_realDialogBoxParam(instance, name, owner, proc, parameter);
    return g_dialogBoxResult;
}

uint32_t ToPixel(COLORREF colour)
{
    return (static_cast<uint32_t>(GetRValue(colour)) << 16) | (static_cast<uint32_t>(GetGValue(colour)) << 8) |
           GetBValue(colour);
}

// ---- Windows of the test's own thread ----------------------------------------

constexpr char kTopLevelClass[] = "TarvixTestTopLevel";

HWND MakeTopLevel(DWORD style, const char* title)
{
    static ATOM registered;
    if (registered == 0) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kTopLevelClass;
        registered = RegisterClassA(&wc);
    }
    return CreateWindowExA(0, kTopLevelClass, title, style, 20, 20, 300, 200, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

bool HasSystemMenu(HWND window)
{
    return (GetWindowLongA(window, GWL_STYLE) & WS_SYSMENU) != 0;
}

// The owner of the next time dialog. The module keeps the host window once
// found, so each search under test needs a fresh module copy.
HWND OwnerOfNextDialog(const ModuleCopy& copy)
{
    HWND owner = reinterpret_cast<HWND>(-1);
    DialogRun run = RunTimeDialog(copy, 1000, [&](HWND dialog) { owner = GetWindow(dialog, GW_OWNER); });
    EXPECT_TRUE(run.dialogSeen);
    return owner;
}

// Confirms text in the time box with OK and waits until the dialog is gone.
void ConfirmText(HWND dialog, const char* text)
{
    SetDlgItemTextA(dialog, kTimeBoxId, text);
    PostCommand(dialog, IDOK);
    WaitUntilGone(dialog);
}

void PostKey(HWND window, UINT key)
{
    PostMessageA(window, WM_KEYDOWN, key, 1);
    PostMessageA(window, WM_KEYUP, key, 0xC0000001);
}

// Alt+letter as the dialog's own loop sees it after translation.
void PostAltLetter(HWND window, char letter)
{
    constexpr LPARAM kAltDown = 1 << 29;
    PostMessageA(window, WM_SYSCHAR, static_cast<WPARAM>(letter), kAltDown | 1);
}

void PressKeys(std::initializer_list<std::pair<WORD, bool>> keys)
{
    std::vector<INPUT> inputs;
    for (const auto& [key, down] : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = down ? 0 : KEYEVENTF_KEYUP;
        inputs.push_back(input);
    }
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// Input reaches a window after what was posted to it: wait for its effect.
bool WaitForText(HWND window, const std::string& text, DWORD timeoutMs = kWaitMs)
{
    constexpr DWORD kPollMs = 20;
    for (DWORD waited = 0; waited <= timeoutMs; waited += kPollMs) {
        if (WindowText(window) == text)
            return true;
        Sleep(kPollMs);
    }
    return false;
}

HWND FocusOf(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}
}

// ---- OK: the time text reaches the host -----------------------------------

TEST(TimeDialogOk, ConfirmedTextIsHandedOverFieldByField)
{
    struct Row {
        const char* text;
        const char* meas;
        const char* beat;
        const char* tick;
        int tarvix;
        int beatAndTick;
    } rows[] = {
        {"12:03:005", "12", "03", "005", 12, 3005},
        {"7", "7", "1", "0", 7, 1000},
        {"7:2", "7", "2", "0", 7, 2000},
        {"5:2:10:99", "5", "2", "10", 5, 2010},
        {"123456:1:0", "1", "1", "0", 1, 1000},
        {"5:1234567:0", "1", "1", "0", 1, 1000},  // 5 is written first, then reset
        {":4:0", "", "4", "0", 1, 4000},  // an empty measure reads as at most 1, then the clamp
        {"::", "", "", "", 1, 1000},
        {":", "", "", "0", 1, 1000},
    };
    ModuleCopy copy;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.text);
        ASSERT_NE(copy.SetMeas(99), 0);
        DialogRun run = RunTimeDialog(copy, 8008, [&](HWND dialog) { ConfirmText(dialog, row.text); });
        ASSERT_TRUE(run.dialogSeen);
        EXPECT_EQ(run.result, row.tarvix);
        EXPECT_EQ(copy.Value("Temp", "Meas"), row.meas);
        EXPECT_EQ(copy.Value("Temp", "Beat"), row.beat);
        EXPECT_EQ(copy.Value("Temp", "Tick"), row.tick);
        EXPECT_EQ(copy.GetBeatAndTick(), row.beatAndTick);
    }
}

// Another program holds Tarvix.ini without letting it be written: the host
// still goes where the user chose, and every end the user chooses tells
// once, while the dialog is still shown, what is lost.
TEST(TimeDialogOk, ChosenPositionReachesTheHostWhenTheFileCannotBeWritten)
{
    const struct {
        const char* name;
        void (*end)(HWND dialog);
        int result;
        int beatAndTick;
    } ways[] = {
        {"OK", [](HWND dialog) { PostCommand(dialog, IDOK); }, 12, 3005},
        {"Cancel", [](HWND dialog) { PostCommand(dialog, IDCANCEL); }, 0, 1000},
        {"Esc", [](HWND dialog) { PostKey(TimeBoxEdit(dialog), VK_ESCAPE); }, 0, 1000},
        {"close box (WM_CLOSE)", [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }, 0, 1000},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        ModuleCopy copy;
        copy.ExpectKeptLoaded();
        copy.WriteIni("[Temp]\r\nMeas=5\r\n");
        HANDLE holder = CreateFileA(copy.iniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                                    nullptr);
        ASSERT_NE(holder, INVALID_HANDLE_VALUE);
        EXPECT_EQ(copy.SetMeas(8), 0);
        std::string shown;
        BoxSeen notice;
        bool ended = false, shownUnderTheNotice = false;
        DialogRun run = RunTimeDialog(copy, 3005, [&](HWND dialog) {
            shown = ItemText(dialog, kTimeBoxId);
            SetDlgItemTextA(dialog, kTimeBoxId, "12:03:005");
            way.end(dialog);
            shownUnderTheNotice = WaitForOwnedDialog(dialog) != nullptr && IsWindowVisible(dialog);
            notice = AnswerBox(dialog, IDOK);
            ended = WaitUntilGone(dialog);  // no second notice
        });
        ASSERT_TRUE(run.dialogSeen);
        EXPECT_EQ(shown, "8:03:005") << "the measure SetMeas could not store";
        EXPECT_EQ(run.result, way.result);
        EXPECT_EQ(copy.GetBeatAndTick(), way.beatAndTick);
        EXPECT_TRUE(ended);
        EXPECT_TRUE(shownUnderTheNotice) << "the dialog ends once the notice is answered";
        wchar_t module[MAX_PATH];
        const std::wstring path(module, GetModuleFileNameW(copy.module(), module, MAX_PATH));
        EXPECT_TRUE(notice.shown);
        EXPECT_EQ(notice.wideCaption, L"警告");
        EXPECT_EQ(notice.wideText, L"設定ファイルに書き込めないため、タイムリストとダイアログの位置を保存できません。\n\n" +
                                       path.substr(0, path.rfind(L'\\') + 1) + L"Tarvix.ini");
        CloseHandle(holder);

        // Once the file takes writes again, it is the source again.
        EXPECT_NE(copy.SetMeas(9), 0);
        run = RunTimeDialog(copy, 1000, [&](HWND dialog) { ConfirmText(dialog, "7"); });
        EXPECT_EQ(run.result, 7);
        EXPECT_EQ(copy.GetBeatAndTick(), 1000);
        EXPECT_EQ(copy.Value("Temp", "Meas"), "7");
    }
}

TEST(TimeDialogOk, EnterInTheTimeBoxConfirmsTheTypedText)
{
    ModuleCopy copy;
    ASSERT_NE(copy.SetMeas(3), 0);
    DialogRun run = RunTimeDialog(copy, 1000, [](HWND dialog) {
        HWND edit = TimeBoxEdit(dialog);
        TypeText(edit, "24:02:240");
        PostKey(edit, VK_RETURN);
        WaitUntilGone(dialog);
    });
    ASSERT_TRUE(run.dialogSeen);
    EXPECT_EQ(run.result, 24);
    EXPECT_EQ(copy.GetBeatAndTick(), 2240);
}

// ---- Every other end: no choice, Temp untouched ------------------------------

TEST(TimeDialogNoChoice, CancelEscCloseAndEmptyOkReturnZeroAndLeaveTempUntouched)
{
    struct Way {
        const char* name;
        void (*end)(HWND dialog);
    } ways[] = {
        {"Cancel button", [](HWND dialog) { PostCommand(dialog, IDCANCEL); }},
        {"Esc in the time box", [](HWND dialog) { PostKey(TimeBoxEdit(dialog), VK_ESCAPE); }},
        {"Esc in the comment box", [](HWND dialog) { PostKey(GetDlgItem(dialog, kCommentBoxId), VK_ESCAPE); }},
        {"close box", [](HWND dialog) { PostSysCommand(dialog, SC_CLOSE); }},
        {"WM_CLOSE", [](HWND dialog) { PostMessageA(dialog, WM_CLOSE, 0, 0); }},
        {"OK with an empty time box",
         [](HWND dialog) {
             SetDlgItemTextA(dialog, kTimeBoxId, "");
             PostCommand(dialog, IDOK);
         }},
        {"Enter with an empty time box",
         [](HWND dialog) {
             TypeText(TimeBoxEdit(dialog), "");
             PostKey(TimeBoxEdit(dialog), VK_RETURN);
         }},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        ModuleCopy copy;
        copy.WriteIni(kTempBefore);
        bool typedSomething = false;
        bool endedByIt = false;
        DialogRun run = RunTimeDialog(copy, 3005, [&](HWND dialog) {
            // Something typed that a wrong end would store.
            TypeText(TimeBoxEdit(dialog), "77:07:077");
            typedSomething = ItemText(dialog, kTimeBoxId) == "77:07:077";
            way.end(dialog);
            endedByIt = WaitUntilGone(dialog);
        });
        ASSERT_TRUE(run.dialogSeen);
        EXPECT_TRUE(typedSomething);
        EXPECT_TRUE(endedByIt) << "the dialog stayed open";
        EXPECT_EQ(run.result, 0);
        std::string after = copy.ReadIni();
        EXPECT_EQ(IniSection(after, "Temp"), kTempBefore);
        // The place is kept whatever way the dialog ended.
        EXPECT_NE(IniSection(after, "MainWindow").find("DlgInfo="), std::string::npos) << after;
    }
}

// ---- What the dialog shows when it opens ---------------------------------

TEST(TimeDialogStart, ShowsTheStoredMeasureWithTheCodesBeatAndTick)
{
    ModuleCopy copy;
    ASSERT_NE(copy.SetMeas(12), 0);
    struct {
        int code;
        const char* shown;
    } rows[] = {{3005, "12:03:005"}, {0, "12:00:000"}, {100045, "12:100:045"}};
    for (const auto& row : rows) {
        std::string shown;
        std::string comment = "<unread>";
        LRESULT selected = 0;
        bool focusInTimeBox = false;
        DialogRun run = RunTimeDialog(copy, row.code, [&](HWND dialog) {
            focusInTimeBox = FocusOf(dialog) == TimeBoxEdit(dialog);
            shown = ItemText(dialog, kTimeBoxId);
            comment = ItemText(dialog, kCommentBoxId);
            selected = SendDlgItemMessageA(dialog, kTimeBoxId, CB_GETCURSEL, 0, 0);
        });
        ASSERT_TRUE(run.dialogSeen);
        EXPECT_EQ(shown, row.shown) << row.code;
        EXPECT_EQ(comment, "");
        EXPECT_EQ(selected, CB_ERR) << "no list item is selected at the start";
        EXPECT_TRUE(focusInTimeBox) << "the first tab stop, the time box, has the focus";
    }
}

TEST(TimeDialogStart, NoTempShowsMeasureOne)
{
    ModuleCopy copy;
    std::string shown;
    RunTimeDialog(copy, 2000, [&](HWND dialog) { shown = ItemText(dialog, kTimeBoxId); });
    EXPECT_EQ(shown, "1:02:000");
}

TEST(TimeDialogStart, MeasureZeroIsShownAndConfirmedAsOne)
{
    ModuleCopy copy;
    ASSERT_NE(copy.SetMeas(0), 0);
    std::string shown;
    DialogRun run = RunTimeDialog(copy, 5, [&](HWND dialog) {
        shown = ItemText(dialog, kTimeBoxId);
        PostCommand(dialog, IDOK);
        WaitUntilGone(dialog);
    });
    ASSERT_TRUE(run.dialogSeen);
    EXPECT_EQ(shown, "0:00:005");
    EXPECT_EQ(copy.Value("Temp", "Meas"), "0");
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(copy.GetBeatAndTick(), 1005);
}

TEST(TimeDialogStart, TwentyThreeCharacterInitialTextIsHeldAndConfirmedWhole)
{
    ModuleCopy copy;
    g_realGetWindowText = reinterpret_cast<GetWindowTextFn>(
        PatchImport(copy.module(), "USER32.dll", "GetWindowTextW", reinterpret_cast<void*>(SpyGetWindowText)));
    ASSERT_NE(g_realGetWindowText, nullptr);
    g_timeBoxRead.clear();
    ASSERT_NE(copy.SetMeas(INT_MIN), 0);
    const std::string longest = "-2147483648:4294967:295";
    ASSERT_EQ(longest.size(), 23u);
    std::string shown;
    LRESULT editLength = 0;
    DialogRun run = RunTimeDialog(copy, -1 /* 4294967295 as the host's unsigned code */, [&](HWND dialog) {
        shown = ItemText(dialog, kTimeBoxId);
        editLength = SendMessageA(TimeBoxEdit(dialog), WM_GETTEXTLENGTH, 0, 0);
        PostCommand(dialog, IDOK);
        WaitUntilGone(dialog);
    });
    ASSERT_TRUE(run.dialogSeen);
    EXPECT_EQ(shown, longest);
    EXPECT_EQ(editLength, 23);
    EXPECT_EQ(g_timeBoxRead, FromAnsi(longest)) << "OK reads the whole text, beyond the typing limit";
    // Its fields are longer than five characters: the song start is handed over.
    EXPECT_EQ(run.result, 1);
    EXPECT_EQ(copy.Value("Temp", "Meas"), "1");
    EXPECT_EQ(copy.Value("Temp", "Beat"), "1");
    EXPECT_EQ(copy.Value("Temp", "Tick"), "0");
}

TEST(TimeDialogStart, TypingIntoTheTimeBoxStopsAtTwentyCharacters)
{
    ModuleCopy copy;
    const std::string typed = "1234567890123456789012345";
    std::string kept;
    RunTimeDialog(copy, 1000, [&](HWND dialog) {
        TypeText(TimeBoxEdit(dialog), typed);
        kept = ItemText(dialog, kTimeBoxId);
    });
    // Wine may stop earlier, at the field's visible width (no CBS_AUTOHSCROLL).
    EXPECT_GT(kept.size(), 0u);
    EXPECT_LE(kept.size(), 20u);
    EXPECT_EQ(typed.compare(0, kept.size(), kept), 0) << kept;
}

// ---- The dialog's owner ---------------------------------------------------

TEST(TimeDialogOwner, FirstWindowOfTheCallingThreadWithASystemMenuOwnsTheDialog)
{
    HWND withMenu = MakeTopLevel(WS_OVERLAPPEDWINDOW, "with system menu");
    HWND lowerWithMenu = MakeTopLevel(WS_OVERLAPPEDWINDOW, "lower, with system menu");
    HWND withoutMenu = MakeTopLevel(WS_POPUP | WS_BORDER, "without system menu");
    ASSERT_TRUE(withMenu && lowerWithMenu && withoutMenu);
    ASSERT_FALSE(HasSystemMenu(withoutMenu));
    SetWindowPos(lowerWithMenu, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(withoutMenu, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);

    // The order the search walks in: the window without a menu comes first.
    std::vector<HWND> order = ThreadTopLevelWindows();
    auto position = [&](HWND window) { return std::find(order.begin(), order.end(), window) - order.begin(); };
    ASSERT_LT(position(withoutMenu), position(withMenu));
    ASSERT_LT(position(withMenu), position(lowerWithMenu));
    HWND expected = nullptr;
    for (HWND window : order)
        if (HasSystemMenu(window)) {
            expected = window;
            break;
        }
    ASSERT_EQ(expected, withMenu);

    {
        ModuleCopy copy;
        EXPECT_EQ(OwnerOfNextDialog(copy), withMenu);
        EXPECT_TRUE(IsWindowEnabled(withMenu)) << "the owner is enabled again when the dialog ends";
    }
    DestroyWindow(withoutMenu);
    DestroyWindow(lowerWithMenu);
    DestroyWindow(withMenu);
}

namespace {
struct OtherThreadWindow {
    HWND window;
    HANDLE ready;
    HANDLE done;
};

DWORD WINAPI KeepWindowOnOtherThread(LPVOID parameter)
{
    auto* other = static_cast<OtherThreadWindow*>(parameter);
    other->window = MakeTopLevel(WS_OVERLAPPEDWINDOW, "other thread");
    SetEvent(other->ready);
    WaitForSingleObject(other->done, INFINITE);
    DestroyWindow(other->window);
    return 0;
}
}

TEST(TimeDialogOwner, WindowsOfOtherThreadsAreNotTaken)
{
    OtherThreadWindow other{nullptr, CreateEventA(nullptr, TRUE, FALSE, nullptr),
                            CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    HANDLE thread = CreateThread(nullptr, 0, KeepWindowOnOtherThread, &other, 0, nullptr);
    WaitForSingleObject(other.ready, INFINITE);
    ASSERT_NE(other.window, nullptr);
    {
        ModuleCopy copy;
        EXPECT_EQ(OwnerOfNextDialog(copy), nullptr);
    }
    SetEvent(other.done);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    CloseHandle(other.ready);
    CloseHandle(other.done);
}

TEST(TimeDialogOwner, NoWindowWithASystemMenuMeansNoOwner)
{
    HWND withoutMenu = MakeTopLevel(WS_POPUP | WS_BORDER, "without system menu");
    ASSERT_NE(withoutMenu, nullptr);
    {
        ModuleCopy copy;
        EXPECT_EQ(OwnerOfNextDialog(copy), nullptr);
    }
    DestroyWindow(withoutMenu);
}

TEST(TimeDialogOwner, HostWindowOnceFoundIsKept)
{
    ModuleCopy copy;
    // None yet: searched again at the next call.
    EXPECT_EQ(OwnerOfNextDialog(copy), nullptr);
    HWND first = MakeTopLevel(WS_OVERLAPPEDWINDOW, "first host");
    EXPECT_EQ(OwnerOfNextDialog(copy), first);
    HWND later = MakeTopLevel(WS_OVERLAPPEDWINDOW, "later window");
    SetWindowPos(later, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(OwnerOfNextDialog(copy), first);
    DestroyWindow(later);
    DestroyWindow(first);
}

TEST(TimeDialogOwner, ClosedHostWindowIsSoughtAgain)
{
    ModuleCopy copy;
    HWND first = MakeTopLevel(WS_OVERLAPPEDWINDOW, "first host window");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(OwnerOfNextDialog(copy), first);
    DestroyWindow(first);
    HWND second = MakeTopLevel(WS_OVERLAPPEDWINDOW, "second host window");
    HWND above = MakeTopLevel(WS_POPUP | WS_BORDER, "above, without system menu");
    ASSERT_TRUE(second && above);
    SetWindowPos(above, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(OwnerOfNextDialog(copy), second) << "a closed owner would refuse every later dialog";
    EXPECT_EQ(OwnerOfNextDialog(copy), second) << "and the new one is kept";
    DestroyWindow(above);
    DestroyWindow(second);
}

// ---- System menu and placement ----------------------------------------------

TEST(TimeDialogSystemMenu, EndsWithSeparatorSavePositionAndVersionEntries)
{
    ModuleCopy copy;
    std::vector<MenuEntry> entries;
    RunTimeDialog(copy, 1000, [&](HWND dialog) { entries = MenuEntries(GetSystemMenu(dialog, FALSE)); });
    ASSERT_GE(entries.size(), 4u);
    const MenuEntry& separator = entries[entries.size() - 3];
    const MenuEntry& savePosition = entries[entries.size() - 2];
    const MenuEntry& version = entries[entries.size() - 1];
    EXPECT_TRUE(separator.separator());
    EXPECT_FALSE(entries[entries.size() - 4].separator()) << "one separator, after the platform's entries";
    EXPECT_EQ(savePosition.id, kSavePositionCommand);
    EXPECT_EQ(savePosition.text, kSavePositionText);
    EXPECT_EQ(savePosition.state & (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_SEPARATOR), 0u);
    EXPECT_EQ(version.id, kVersionCommand);
    EXPECT_EQ(version.text, kVersionText);
    EXPECT_EQ(version.state & (MF_CHECKED | MF_GRAYED | MF_DISABLED | MF_SEPARATOR), 0u);
}

TEST(TimeDialogSystemMenu, SavePositionTogglesWithoutWritingBeforeTheEnd)
{
    ModuleCopy copy;
    copy.WriteIni(kTempBefore);
    bool states[3] = {};
    std::string fileWhileOpen[2];
    RunTimeDialog(copy, 1000, [&](HWND dialog) {
        states[0] = SavePositionChecked(dialog);
        SendMessageA(dialog, WM_SYSCOMMAND, kSavePositionCommand, 0);
        states[1] = SavePositionChecked(dialog);
        fileWhileOpen[0] = copy.ReadIni();
        SendMessageA(dialog, WM_SYSCOMMAND, kSavePositionCommand, 0);
        states[2] = SavePositionChecked(dialog);
        fileWhileOpen[1] = copy.ReadIni();
    });
    EXPECT_FALSE(states[0]);
    EXPECT_TRUE(states[1]);
    EXPECT_FALSE(states[2]);
    EXPECT_EQ(fileWhileOpen[0], kTempBefore);
    EXPECT_EQ(fileWhileOpen[1], kTempBefore);
}

TEST(TimeDialogSystemMenu, VersionEntryOpensTheAboutBoxAndLeavesTheDialogAsItWas)
{
    ModuleCopy copy;
    if (FindResourceExA(copy.module(), MAKEINTRESOURCEA(5) /* RT_DIALOG */, MAKEINTRESOURCEA(100),
                        MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)) == nullptr)
        GTEST_SKIP() << "this module carries no about box (template 100)";
    copy.WriteIni(TimeListIni({{"1:01:000", "first"}, {"2:01:000", "second"}}));
    bool aboutShown = false;
    std::string textAfter;
    LRESULT countAfter = 0;
    bool checkedAfter = false;
    HWND aboutOwner = nullptr;
    RunTimeDialog(copy, 1000, [&](HWND dialog) {
        SetDlgItemTextA(dialog, kTimeBoxId, "33:03:033");
        SendMessageA(dialog, WM_SYSCOMMAND, kSavePositionCommand, 0);
        PostSysCommand(dialog, kVersionCommand);
        HWND about = WaitForOwnedDialog(dialog);
        aboutShown = about != nullptr;
        if (about != nullptr) {
            aboutOwner = GetWindow(about, GW_OWNER);
            PostMessageA(about, WM_COMMAND, IDCANCEL, 0);
            WaitUntilGone(about);
        }
        textAfter = ItemText(dialog, kTimeBoxId);
        countAfter = SendDlgItemMessageA(dialog, kTimeBoxId, CB_GETCOUNT, 0, 0);
        checkedAfter = SavePositionChecked(dialog);
    });
    ASSERT_TRUE(aboutShown);
    EXPECT_NE(aboutOwner, nullptr);
    EXPECT_EQ(textAfter, "33:03:033");
    EXPECT_EQ(countAfter, 2);
    EXPECT_TRUE(checkedAfter);
}

namespace {
// Where the next dialog opens, where DS_CENTER would put it, and whether
// its save-position entry is checked.
struct Opening {
    bool seen = false;
    RECT at{};
    POINT centred{};
    bool checked = false;
};

Opening OpenDialog(const ModuleCopy& copy)
{
    Opening opening;
    opening.seen = RunTimeDialog(copy, 1000, [&](HWND dialog) {
                       GetWindowRect(dialog, &opening.at);
                       opening.centred = CentredInWorkArea(dialog);
                       opening.checked = SavePositionChecked(dialog);
                   }).dialogSeen;
    return opening;
}

void ExpectCentred(const Opening& opening)
{
    EXPECT_NEAR(opening.at.left, opening.centred.x, 1);
    EXPECT_NEAR(opening.at.top, opening.centred.y, 1);
}
}

TEST(TimeDialogPlacement, PlaceIsWrittenAtEveryCloseWithTheEntrysState)
{
    ModuleCopy copy;
    RECT seen{};
    RunTimeDialog(copy, 1000, [&](HWND dialog) {
        SetWindowPos(dialog, nullptr, 111, 97, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        GetWindowRect(dialog, &seen);
        PostCommand(dialog, IDCANCEL);
        WaitUntilGone(dialog);
    });
    PlacementBytes record = ReadPlacement(copy);
    ASSERT_TRUE(record.present) << copy.ReadIni();
    EXPECT_EQ(record.bytes[0], 0) << "entry unchecked";
    EXPECT_EQ(record.bytes[1] | record.bytes[2] | record.bytes[3], 0);
    EXPECT_EQ(record.left(), seen.left);
    EXPECT_EQ(record.top(), seen.top);
    EXPECT_EQ(seen.left, 111);

    RunTimeDialog(copy, 1000, [&](HWND dialog) {
        SendMessageA(dialog, WM_SYSCOMMAND, kSavePositionCommand, 0);
        GetWindowRect(dialog, &seen);
    });
    record = ReadPlacement(copy);
    EXPECT_EQ(record.bytes[0], 1) << "entry checked";
    EXPECT_EQ(record.left(), seen.left);
    EXPECT_EQ(record.top(), seen.top);
}

TEST(TimeDialogPlacement, CheckedReopensAtTheSamePlaceUncheckedReopensCentred)
{
    ModuleCopy copy;
    RECT closedAt{};
    RunTimeDialog(copy, 1000, [&](HWND dialog) {
        SendMessageA(dialog, WM_SYSCOMMAND, kSavePositionCommand, 0);
        SetWindowPos(dialog, nullptr, 123, 77, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        GetWindowRect(dialog, &closedAt);
    });
    ASSERT_EQ(closedAt.left, 123);

    RECT reopened{};
    bool checked = false;
    RunTimeDialog(copy, 1000, [&](HWND dialog) {
        GetWindowRect(dialog, &reopened);
        checked = SavePositionChecked(dialog);
        // Now unchecked and moved elsewhere: the place is written, not used.
        SendMessageA(dialog, WM_SYSCOMMAND, kSavePositionCommand, 0);
        SetWindowPos(dialog, nullptr, 300, 250, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    });
    EXPECT_EQ(reopened.left, closedAt.left);
    EXPECT_EQ(reopened.top, closedAt.top);
    EXPECT_EQ(reopened.right - reopened.left, closedAt.right - closedAt.left) << "the size stays the template's";
    EXPECT_TRUE(checked);
    EXPECT_EQ(ReadPlacement(copy).left(), 300);

    const Opening centred = OpenDialog(copy);
    ExpectCentred(centred);
    EXPECT_FALSE(centred.checked);
}

TEST(TimeDialogPlacement, SavedPlaceOnNoMonitorIsNotAppliedButTheEntryStaysChecked)
{
    struct Case {
        const char* name;
        LONG left;
        LONG top;
        bool applied;
    } cases[] = {
        {"far left and up", -30000, -30000, false},
        {"far right", 30000, 100, false},
        {"far down", 100, 30000, false},
        {"on screen", 37, 41, true},
        {"partly off the left edge", -40, 60, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModuleCopy copy;
        WritePlacement(copy, 1, c.left, c.top);
        const Opening opening = OpenDialog(copy);
        ASSERT_TRUE(opening.seen);
        EXPECT_TRUE(opening.checked);
        if (c.applied) {
            EXPECT_EQ(opening.at.left, c.left);
            EXPECT_EQ(opening.at.top, c.top);
        } else {
            ExpectCentred(opening);
        }
    }
}

TEST(TimeDialogPlacement, OnlyTheFlagByteDecides)
{
    struct Case {
        const char* name;
        BYTE bytes[12];
        bool restored;
    } cases[] = {
        // flag 0x80, reserved bytes set: restored at 50, 60
        {"flag 0x80", {0x80, 0xAA, 0xBB, 0xCC, 50, 0, 0, 0, 60, 0, 0, 0}, true},
        // flag 0, reserved bytes set: centred
        {"flag 0", {0x00, 0x01, 0x01, 0x01, 50, 0, 0, 0, 60, 0, 0, 0}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ModuleCopy copy;
        WritePlacement(copy, c.bytes);
        const Opening opening = OpenDialog(copy);
        EXPECT_EQ(opening.checked, c.restored);
        if (c.restored) {
            EXPECT_EQ(opening.at.left, 50);
            EXPECT_EQ(opening.at.top, 60);
        } else {
            ExpectCentred(opening);
        }
    }
}

TEST(TimeDialogPlacement, UnreadableRecordOpensCentredAndUnchecked)
{
    // Flag 1 at (50, 60) is 01000000 32000000 3C000000 with checksum 6F; the
    // platform refuses a wrong checksum or length whatever it decoded first.
    for (const char* stored : {"not a record", "01000000320000003C00000070", "01000000320000003C000000006F"}) {
        SCOPED_TRACE(stored);
        ModuleCopy copy;
        copy.WriteIni(std::string("[MainWindow]\r\nDlgInfo=") + stored + "\r\n");
        const Opening opening = OpenDialog(copy);
        EXPECT_FALSE(opening.checked);
        ExpectCentred(opening);
    }
}

// ---- Owner drawing of the time list --------------------------------------------

class TimeDialogDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_realExtTextOut = reinterpret_cast<ExtTextOutFn>(
            PatchImport(copy_.module(), "GDI32.dll", "ExtTextOutA", reinterpret_cast<void*>(SpyExtTextOut)));
        ASSERT_NE(g_realExtTextOut, nullptr);
        g_textOuts.clear();
        g_textOutThread = 0;
    }

    // Asks the dialog procedure to draw item id of the time box into a
    // memory DC, as the list would; returns its result.
    static INT_PTR Draw(HWND dialog, UINT id, UINT state, RECT item, HDC dc, UINT action = ODA_DRAWENTIRE)
    {
        DRAWITEMSTRUCT draw{};
        draw.CtlType = ODT_COMBOBOX;
        draw.CtlID = kTimeBoxId;
        draw.itemID = id;
        draw.itemAction = action;
        draw.itemState = state;
        draw.hwndItem = GetDlgItem(dialog, kTimeBoxId);
        draw.hDC = dc;
        draw.rcItem = item;
        g_textOutThread = GetCurrentThreadId();
        return CallDialogProc(dialog, WM_DRAWITEM, kTimeBoxId, reinterpret_cast<LPARAM>(&draw));
    }

    ModuleCopy copy_;
};

TEST_F(TimeDialogDrawing, ListItemsAreFourteenPixelsHigh)
{
    copy_.WriteIni(TimeListIni({{"1:01:000", ""}}));
    LRESULT height = 0;
    MEASUREITEMSTRUCT measure{};
    measure.CtlType = ODT_COMBOBOX;
    measure.CtlID = 999;  // any control, any item
    measure.itemID = 7;
    INT_PTR measured = 0;
    RunTimeDialog(copy_, 1000, [&](HWND dialog) {
        height = SendDlgItemMessageA(dialog, kTimeBoxId, CB_GETITEMHEIGHT, 0, 0);
        measured = CallDialogProc(dialog, WM_MEASUREITEM, 999, reinterpret_cast<LPARAM>(&measure));
    });
    EXPECT_EQ(height, static_cast<LRESULT>(kTimeItemHeight));
    EXPECT_EQ(measured, TRUE);
    EXPECT_EQ(measure.itemHeight, kTimeItemHeight);
}

// Larger fonts: the items grow to a line of the dialog's font.
TEST_F(TimeDialogDrawing, ListItemsAreAsTallAsALineOfTheDialogsFontAtLargerFonts)
{
    if (!InLargerFontsRun()) {
        EXPECT_EQ(RunCurrentTestAtLargerFonts(), 0u) << "the run at larger fonts failed";
        return;
    }
    copy_.WriteIni(TimeListIni({{"1:01:000", ""}}));
    LRESULT height = 0;
    TEXTMETRICW line{};
    RunTimeDialog(copy_, 1000, [&](HWND dialog) {
        height = SendDlgItemMessageA(dialog, kTimeBoxId, CB_GETITEMHEIGHT, 0, 0);
        HDC dc = GetDC(dialog);
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(dialog, WM_GETFONT, 0, 0)));
        GetTextMetricsW(dc, &line);
        ReleaseDC(dialog, dc);
    });
    EXPECT_GT(line.tmHeight, static_cast<LONG>(kTimeItemHeight)) << "the larger fonts did not take";
    EXPECT_GE(height, line.tmHeight);
}

TEST_F(TimeDialogDrawing, EmptyListDrawsNothing)
{
    INT_PTR result = -1;
    LRESULT count = -1;
    RunTimeDialog(copy_, 1000, [&](HWND dialog) {
        count = SendDlgItemMessageA(dialog, kTimeBoxId, CB_GETCOUNT, 0, 0);
        HDC dc = CreateCompatibleDC(nullptr);
        result = Draw(dialog, static_cast<UINT>(-1), ODS_FOCUS, {0, 0, 100, 14}, dc);
        DeleteDC(dc);
    });
    EXPECT_EQ(count, 0);
    EXPECT_EQ(result, FALSE);
    EXPECT_TRUE(g_textOuts.empty());
}

TEST_F(TimeDialogDrawing, ItemIsDrawnWholeFromXOneInTheStatesColours)
{
    const std::string longest = "12345:12345:12345:" + std::string(kTimeTextMax - 18, '9');
    ASSERT_EQ(longest.size(), kTimeTextMax);
    copy_.WriteIni(TimeListIni({{"1:01:000", ""}, {longest, "long one"}}));
    INT_PTR results[2] = {};
    COLORREF colours[2][2] = {};
    RunTimeDialog(copy_, 1000, [&](HWND dialog) {
        HDC dc = CreateCompatibleDC(nullptr);
        results[0] = Draw(dialog, 1, ODS_SELECTED | ODS_FOCUS, {5, 14, 120, 28}, dc);
        colours[0][0] = GetTextColor(dc);
        colours[0][1] = GetBkColor(dc);
        results[1] = Draw(dialog, 0, 0, {0, 0, 120, 14}, dc);
        colours[1][0] = GetTextColor(dc);
        colours[1][1] = GetBkColor(dc);
        DeleteDC(dc);
    });
    EXPECT_EQ(results[0], TRUE);
    EXPECT_EQ(results[1], TRUE);
    ASSERT_EQ(g_textOuts.size(), 2u);
    const TextOutCall& selected = g_textOuts[0];
    EXPECT_EQ(selected.text, longest) << "a 59-byte item is fetched whole";
    EXPECT_EQ(selected.x, 1) << "x is in the list's coordinates, not the item's";
    EXPECT_EQ(selected.y, (14 + 28 - 12) / 2);
    EXPECT_EQ(selected.options, static_cast<UINT>(ETO_OPAQUE));
    ASSERT_TRUE(selected.hasRect);
    const RECT item{5, 14, 120, 28};
    EXPECT_TRUE(EqualRect(&selected.rect, &item));
    EXPECT_FALSE(selected.hasSpacing);
    EXPECT_EQ(g_textOuts[1].text, "1:01:000");
    EXPECT_EQ(g_textOuts[1].y, 1);
    EXPECT_EQ(colours[0][0], GetSysColor(COLOR_HIGHLIGHTTEXT));
    EXPECT_EQ(colours[0][1], GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(colours[1][0], GetSysColor(COLOR_WINDOWTEXT));
    EXPECT_EQ(colours[1][1], GetSysColor(COLOR_WINDOW));
}

namespace {
// Pixels on the top row and left column of item that differ from colour:
// where a focus rectangle dots the item's edge (the text starts inside it).
int EdgePixelsOtherThan(const uint32_t* bits, int width, const RECT& item, COLORREF colour)
{
    const uint32_t expected = ToPixel(colour);
    int count = 0;
    for (LONG x = item.left; x < item.right; ++x)
        count += bits[item.top * width + x] != expected;
    for (LONG y = item.top + 1; y < item.bottom; ++y)
        count += bits[y * width + item.left] != expected;
    return count;
}
}

// A keyboard user sees which item the caret is on in the dropped list.
TEST_F(TimeDialogDrawing, FocusedItemHasAFocusRectangleUnlessThePlatformAsksForNone)
{
    const struct {
        const char* name;
        UINT action;
        UINT state;
        bool focusRect;
    } cases[] = {
        {"drawn whole, no focus", ODA_DRAWENTIRE, 0, false},
        {"drawn whole, focus", ODA_DRAWENTIRE, ODS_FOCUS, true},
        {"selected with focus", ODA_SELECT, ODS_SELECTED | ODS_FOCUS, true},
        {"focus gained", ODA_FOCUS, ODS_FOCUS, true},
        {"focus lost", ODA_FOCUS, 0, false},
        {"focus, no focus rectangle wanted", ODA_DRAWENTIRE, ODS_FOCUS | ODS_NOFOCUSRECT, false},
        {"focus gained, no focus rectangle wanted", ODA_FOCUS, ODS_FOCUS | ODS_NOFOCUSRECT, false},
    };
    copy_.WriteIni(TimeListIni({{"1:01:000", ""}}));
    constexpr int kWidth = 120;
    constexpr int kHeight = 14;
    const RECT item{0, 0, kWidth, kHeight};
    std::vector<int> edgePixels;
    RunTimeDialog(copy_, 1000, [&](HWND dialog) {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = kWidth;
        info.bmiHeader.biHeight = -kHeight;  // top-down rows
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bitmap);
        for (const auto& c : cases) {
            Draw(dialog, 0, c.state, item, dc, c.action);
            GdiFlush();
            const bool selected = (c.state & ODS_SELECTED) != 0;
            edgePixels.push_back(EdgePixelsOtherThan(static_cast<const uint32_t*>(bits), kWidth, item,
                                                     GetSysColor(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW)));
        }
        SelectObject(dc, old);
        DeleteObject(bitmap);
        DeleteDC(dc);
    });
    ASSERT_EQ(edgePixels.size(), std::size(cases));
    for (size_t i = 0; i < edgePixels.size(); ++i) {
        SCOPED_TRACE(cases[i].name);
        if (cases[i].focusRect)
            EXPECT_GE(edgePixels[i], (kWidth + kHeight) / 3) << "a dotted rectangle along the item's edge";
        else
            EXPECT_EQ(edgePixels[i], 0);
    }
}

TEST_F(TimeDialogDrawing, LongerItemTextIsCutToTheDrawingBuffer)
{
    // The list loads at most 59 bytes, but the combo box holds whatever is
    // put into it: a longer text must not run past the drawing buffer.
    const std::string ascii(200, '7');
    const std::string japanese = Repeat("あ", 40);  // 80 bytes; byte 59 is a lead byte
    RunTimeDialog(copy_, 1000, [&](HWND dialog) {
        HWND box = GetDlgItem(dialog, kTimeBoxId);
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(ascii.c_str()));
        SendMessageA(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(japanese.c_str()));
        HDC dc = CreateCompatibleDC(nullptr);
        Draw(dialog, 0, 0, {0, 0, 120, 14}, dc);
        Draw(dialog, 1, 0, {0, 14, 120, 28}, dc);
        DeleteDC(dc);
        SendMessageA(box, CB_RESETCONTENT, 0, 0);
    });
    ASSERT_EQ(g_textOuts.size(), 2u);
    EXPECT_EQ(g_textOuts[0].text, ascii.substr(0, kTimeTextMax));
    EXPECT_EQ(g_textOuts[1].text, japanese.substr(0, 58)) << "not split inside a double-byte character";
}

TEST_F(TimeDialogDrawing, DroppedListShowsItemsAndTheSelectedOneHighlighted)
{
    copy_.WriteIni(kTempBefore + TimeListIni({{"1:01:000", "イントロ"},
                                             {"9:01:000", "Aメロ"},
                                             {"17:01:000", "Bメロ\\nテンポを落とす"},
                                             {"25:01:000", "サビ\\n転調あり"}}));
    Pixels list;
    PostedMarker marker;
    const char* pictureFolder = std::getenv("TARVIX_PICTURE_DIR");
    RunTimeDialog(copy_, 3005, [&](HWND dialog) {
        // Keep the pointer off the list: the dropped list follows it.
        SetCursorPos(0, 0);
        marker.Settle();
        if (pictureFolder != nullptr) {
            // The dialog on the screen first (its selected time text is
            // highlighted), down to its last button's text.
            RECT rect;
            GetWindowRect(dialog, &rect);
            CaptureScreenOnceShowing(rect, GetSysColor(COLOR_HIGHLIGHT));
            GetWindowRect(GetDlgItem(dialog, kDeleteAllId), &rect);
            CaptureScreenOnceShowing(rect, GetSysColor(COLOR_BTNTEXT));
        }
        HWND box = GetDlgItem(dialog, kTimeBoxId);
        SendMessageA(box, CB_SHOWDROPDOWN, TRUE, 0);
        SendMessageA(box, CB_SETCURSEL, 2, 0);
        COMBOBOXINFO info{};
        info.cbSize = sizeof info;
        GetComboBoxInfo(box, &info);
        // The list paints itself into a bitmap of ours: the items come through the dialog's drawing.
        list = PrintClient(info.hwndList);
        if (pictureFolder != nullptr) {
            RECT rect;
            GetWindowRect(info.hwndList, &rect);
            // The dropped list follows the pointer: rest it on the selected item.
            const int itemHeight = static_cast<int>(SendMessageA(box, CB_GETITEMHEIGHT, 0, 0));
            SetCursorPos(rect.left + itemHeight, rect.top + 2 * itemHeight + itemHeight / 2);
            marker.Settle();
            CaptureScreenOnceShowing(rect, GetSysColor(COLOR_HIGHLIGHT));
            SaveWindowPicture(dialog, (std::string(pictureFolder) + "\\time-dialog-list.bmp").c_str());
        }
        SendMessageA(box, CB_SHOWDROPDOWN, FALSE, 0);
        if (pictureFolder != nullptr) {
            // The usual view: an item chosen, its comment shown. (Closing
            // the list may have moved the selection to where it was hovered.)
            SendMessageA(box, CB_SETCURSEL, 2, 0);
            SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kTimeBoxId, CBN_SELENDOK), reinterpret_cast<LPARAM>(box));
            marker.Settle();
            RECT commentRect;
            GetWindowRect(GetDlgItem(dialog, kCommentBoxId), &commentRect);
            CaptureScreenOnceShowing(commentRect, GetSysColor(COLOR_WINDOWTEXT));
            SaveWindowPicture(dialog, (std::string(pictureFolder) + "\\time-dialog.bmp").c_str());
        }
    });
    ASSERT_GT(list.pixels.size(), 0u);
    // The selected item: 14 rows filled with the highlight colour, with its
    // text in the highlight text colour; the other items in window colours.
    const uint32_t highlight = ToPixel(GetSysColor(COLOR_HIGHLIGHT));
    const uint32_t highlightText = ToPixel(GetSysColor(COLOR_HIGHLIGHTTEXT));
    int selectedRows = 0;
    int selectedTextPixels = 0;
    for (int y = 0; y < list.height; ++y) {
        int filled = 0;
        int text = 0;
        for (int x = 0; x < list.width; ++x) {
            uint32_t pixel = list.pixels[static_cast<size_t>(y) * list.width + x] & 0xFFFFFF;
            filled += pixel == highlight;
            text += pixel == highlightText;
        }
        if (filled * 2 < list.width)
            continue;
        ++selectedRows;
        selectedTextPixels += text;
    }
    EXPECT_EQ(selectedRows, static_cast<int>(kTimeItemHeight));
    EXPECT_GT(selectedTextPixels, 0) << "the selected item's text is not drawn";
    EXPECT_GT(list.Count(GetSysColor(COLOR_WINDOWTEXT)), 0u) << "the other items' text is not drawn";
}

// ---- Comment box and tooltips ------------------------------------------------

TEST(TimeDialogControls, CommentBoxHasSixteenUnitTabStops)
{
    ModuleCopy copy;
    LONG tabbed = 0;
    LONG designed = 0;
    LONG platformDefault = 0;
    RunTimeDialog(copy, 1000, [&](HWND dialog) {
        HWND comment = GetDlgItem(dialog, kCommentBoxId);
        // Where the character after a TAB lands, beside two edit boxes of
        // the same font: one with the designed tab stop, one with the default.
        auto afterTab = [](HWND edit) {
            SetWindowTextA(edit, "\tX");
            LRESULT position = SendMessageA(edit, EM_POSFROMCHAR, 1, 0);
            LRESULT start = SendMessageA(edit, EM_POSFROMCHAR, 0, 0);
            return static_cast<LONG>(static_cast<short>(LOWORD(position)) - static_cast<short>(LOWORD(start)));
        };
        tabbed = afterTab(comment);
        HFONT font = reinterpret_cast<HFONT>(SendMessageA(comment, WM_GETFONT, 0, 0));
        for (int i = 0; i < 2; ++i) {
            HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP | ES_MULTILINE, 0, 0, 200, 40, nullptr, nullptr,
                                        GetModuleHandleA(nullptr), nullptr);
            SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
            if (i == 0) {
                INT stop = 16;
                SendMessageA(edit, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&stop));
                designed = afterTab(edit);
            } else {
                platformDefault = afterTab(edit);
            }
            DestroyWindow(edit);
        }
        SetWindowTextA(comment, "");
    });
    EXPECT_GT(designed, 0);
    EXPECT_NE(designed, platformDefault) << "the reference boxes cannot tell the tab stops apart";
    EXPECT_EQ(tabbed, designed);
}

TEST(TimeDialogControls, SixControlsCarryTheirTooltips)
{
    struct Tip {
        int control;
        const char* text;
    } expected[] = {
        {IDOK, "指定したタイム値に移動し、このダイアログを閉じる"},
        {IDCANCEL, "このダイアログを閉じる"},
        {kAddId, "指定したタイム値をリストに追加"},
        {kDeleteId, "選択したリスト項目を削除"},
        {kDeleteAllId, "リスト項目をすべて削除"},
        {kCommentBoxId, "改行(Ctrl+Enter), タブ(Ctrl+Tab)"},
    };
    ModuleCopy copy;
    g_realSendMessageW = reinterpret_cast<SendMessageWFn>(
        PatchImport(copy.module(), "USER32.dll", "SendMessageW", reinterpret_cast<void*>(SpySendMessageW)));
    ASSERT_NE(g_realSendMessageW, nullptr);
    g_toolSizes.clear();
    HWND tooltip = nullptr;
    LONG style = 0;
    LONG exStyle = 0;
    LRESULT count = 0;
    struct Seen {
        BOOL found;
        TOOLINFOA info;
        char text[128];
        HWND control;
        RECT client;
    } seen[6]{};
    HWND dialogSeen = nullptr;
    RunTimeDialog(copy, 1000, [&](HWND dialog) {
        dialogSeen = dialog;
        tooltip = FindOwnedWindow(dialog, TOOLTIPS_CLASSA);
        if (tooltip == nullptr)
            return;
        style = GetWindowLongA(tooltip, GWL_STYLE);
        exStyle = GetWindowLongA(tooltip, GWL_EXSTYLE);
        count = SendMessageA(tooltip, TTM_GETTOOLCOUNT, 0, 0);
        for (int i = 0; i < 6; ++i) {
            Seen& s = seen[i];
            s.info.cbSize = 44;  // up to and including lParam
            s.info.lpszText = s.text;
            s.found = static_cast<BOOL>(SendMessageA(tooltip, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&s.info)));
            s.control = GetDlgItem(dialog, expected[i].control);
            GetClientRect(s.control, &s.client);
        }
    });
    ASSERT_NE(tooltip, nullptr) << "no tooltip window owned by the dialog";
    EXPECT_NE(style & TTS_ALWAYSTIP, 0);
    EXPECT_EQ(style & (TTS_NOPREFIX | TTS_BALLOON), 0);
    EXPECT_NE(exStyle & WS_EX_TOPMOST, 0);
    EXPECT_EQ(count, 6);
    // Common controls 5 (no version 6 manifest in the host) refuse the 48-byte form.
    EXPECT_EQ(g_toolSizes, std::vector<UINT>(6, 44u));
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE("tool " + std::to_string(i));
        const Seen& s = seen[i];
        ASSERT_TRUE(s.found);
        EXPECT_EQ(s.info.uFlags, static_cast<UINT>(TTF_SUBCLASS));
        EXPECT_EQ(s.info.hwnd, s.control);
        EXPECT_EQ(s.info.uId, 0u);
        EXPECT_TRUE(EqualRect(&s.info.rect, &s.client));
        EXPECT_EQ(s.info.hinst, copy.module());
        EXPECT_STREQ(s.text, expected[i].text);
    }
    // The tooltip window goes with the dialog.
    EXPECT_FALSE(IsWindow(tooltip));
    EXPECT_FALSE(IsWindow(dialogSeen));
}

TEST(TimeDialogControls, MnemonicsReachTheirControls)
{
    ModuleCopy copy;
    copy.WriteIni(TimeListIni({{"1:01:000", ""}}));
    HWND focusAfterC = nullptr;
    HWND focusAfterT = nullptr;
    HWND comment = nullptr;
    HWND timeEdit = nullptr;
    LRESULT countAfterAdd = 0;
    BoxSeen deleteNotice;
    BoxSeen deleteAllQuestion;
    LRESULT countAfterNo = 0;
    PostedMarker marker;
    RunTimeDialog(copy, 2000, [&](HWND dialog) {
        comment = GetDlgItem(dialog, kCommentBoxId);
        timeEdit = TimeBoxEdit(dialog);
        PostAltLetter(timeEdit, 'c');
        marker.Settle();
        focusAfterC = FocusOf(dialog);
        PostAltLetter(comment, 't');
        marker.Settle();
        focusAfterT = FocusOf(dialog);
        // Alt+A adds the shown time "1:02:000" to the list.
        PostAltLetter(timeEdit, 'a');
        marker.Settle();
        countAfterAdd = SendDlgItemMessageA(dialog, kTimeBoxId, CB_GETCOUNT, 0, 0);
        // Alt+E with nothing selected: a notice; Alt+D: a question, answered No.
        PostAltLetter(timeEdit, 'e');
        deleteNotice = AnswerBox(dialog, IDOK);
        PostAltLetter(timeEdit, 'd');
        deleteAllQuestion = AnswerBox(dialog, IDNO);
        countAfterNo = SendDlgItemMessageA(dialog, kTimeBoxId, CB_GETCOUNT, 0, 0);
    });
    EXPECT_EQ(focusAfterC, comment);
    EXPECT_EQ(focusAfterT, timeEdit);
    EXPECT_EQ(countAfterAdd, 2);
    EXPECT_TRUE(deleteNotice.shown);
    EXPECT_FALSE(deleteNotice.hasYesNo);
    EXPECT_TRUE(deleteAllQuestion.shown);
    EXPECT_TRUE(deleteAllQuestion.hasYesNo);
    EXPECT_EQ(countAfterNo, 2);
}

// ---- When the dialog cannot run ------------------------------------------------

namespace {
constexpr char kDialogClass[] = "#32770";
HHOOK g_vetoHook;
const char* g_vetoClass = kDialogClass;
int g_vetoed;

// Refuses to create any window of class g_vetoClass, as a host's hook might.
LRESULT CALLBACK VetoDialogs(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        char className[16] = "";
        GetClassNameA(reinterpret_cast<HWND>(wParam), className, sizeof className);
        if (lstrcmpA(className, g_vetoClass) == 0) {
            ++g_vetoed;
            return 1;
        }
    }
    return CallNextHookEx(g_vetoHook, code, wParam, lParam);
}
}

TEST(TimeDialogFailure, DialogThatCannotBeCreatedReturnsZero)
{
    ModuleCopy copy;
    copy.WriteIni("[Temp]\r\nMeas=5\r\nBeat=2\r\nTick=0\r\n");
    g_realDialogBoxParam = reinterpret_cast<DialogBoxParamFn>(
        PatchImport(copy.module(), "USER32.dll", "DialogBoxParamW", reinterpret_cast<void*>(SpyDialogBoxParam)));
    ASSERT_NE(g_realDialogBoxParam, nullptr);
    g_dialogBoxResult = 0;
    g_vetoed = 0;
    g_vetoHook = SetWindowsHookExA(WH_CBT, VetoDialogs, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_vetoHook, nullptr);
    UnwatchedRun run = RunExpectingNoDialog(copy, 3005);
    UnhookWindowsHookEx(g_vetoHook);
    EXPECT_GT(g_vetoed, 0);
    EXPECT_FALSE(run.dialogSeen);
    EXPECT_EQ(g_dialogBoxResult, -1) << "the platform reported the failure";
    EXPECT_EQ(run.result, 0) << "a dialog that never ran chose nothing";
    EXPECT_EQ(copy.Value("Temp", "Meas"), "5");
}

TEST(TimeDialogFailure, DialogWhoseControlCannotBeCreatedLeavesTheSettingsUntouched)
{
    // The platform destroys a half-made dialog: its end steps must not
    // replace the saved list and place with those of a dialog that never ran.
    ModuleCopy copy;
    copy.WriteIni("[Temp]\r\nMeas=5\r\n" + TimeListIni({{"1:01:000", "first"}, {"2:01:000", ""}}));
    WritePlacement(copy, 1, 40, 50);
    const std::string before = copy.ReadIni();
    g_vetoClass = "Edit";
    g_vetoed = 0;
    g_vetoHook = SetWindowsHookExA(WH_CBT, VetoDialogs, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_vetoHook, nullptr);
    UnwatchedRun run = RunExpectingNoDialog(copy, 3005);
    UnhookWindowsHookEx(g_vetoHook);
    g_vetoClass = kDialogClass;
    EXPECT_GT(g_vetoed, 0);
    EXPECT_FALSE(run.dialogSeen);
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(copy.ReadIni(), before);
}

// ---- A renamed module --------------------------------------------------------

TEST(TimeDialogModule, RenamedCopyOpensTheDialogAndKeepsItsSettingsBesideItself)
{
    ModuleCopy copy("Renamed.dll");
    ASSERT_EQ(GetModuleHandleA("Tarvix"), nullptr);
    ASSERT_NE(copy.SetMeas(8), 0);
    std::string shown;
    DialogRun run = RunTimeDialog(copy, 4010, [&](HWND dialog) {
        shown = ItemText(dialog, kTimeBoxId);
        ConfirmText(dialog, "9:03:030");
    });
    ASSERT_TRUE(run.dialogSeen);
    EXPECT_EQ(shown, "8:04:010");
    EXPECT_EQ(run.result, 9);
    EXPECT_EQ(copy.GetBeatAndTick(), 3030);
    EXPECT_TRUE(ReadPlacement(copy).present) << "the place is kept in the copy's own Tarvix.ini";
}

// Real key presses, so that the key state (Ctrl) is what the edit box sees.
// (Wine's multi-line edit moves the focus on Ctrl+Tab too, so Ctrl+Tab is
// not tried here.)
TEST(TimeDialogKeys, CtrlEnterBreaksTheCommentLineAndEnterPressesOk)
{
    ModuleCopy copy;
    PostedMarker marker;
    HWND focus = nullptr;
    HWND comment = nullptr;
    bool broken = false;
    bool endedByEnter = false;
    DialogRun run = RunTimeDialog(copy, 2000, [&](HWND dialog) {
        comment = GetDlgItem(dialog, kCommentBoxId);
        PostMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(comment), TRUE);
        marker.Settle();
        focus = FocusOf(dialog);
        PressKeys({{'A', true}, {'A', false}, {VK_CONTROL, true}, {VK_RETURN, true}, {VK_RETURN, false},
                   {VK_CONTROL, false}, {'B', true}, {'B', false}});
        broken = WaitForText(comment, "a\r\nb");
        PressKeys({{VK_RETURN, true}, {VK_RETURN, false}});
        endedByEnter = WaitUntilGone(dialog);
    });
    ASSERT_TRUE(run.dialogSeen);
    EXPECT_EQ(focus, comment);
    EXPECT_TRUE(broken) << "Ctrl+Enter did not put a line break into the comment";
    EXPECT_TRUE(endedByEnter);
    EXPECT_EQ(run.result, 1) << "Enter in the comment box presses OK";
    EXPECT_EQ(copy.GetBeatAndTick(), 2000);
}

// ---- Every ANSI code page ---------------------------------------------------
// Run under 932, in a UTF-8 host (65001) and under 1252: the entries and
// tips read as designed, read back as Unicode.

// What a Japanese input method types goes where its ASCII form would, in
// every code page; the time list keeps it as typed. Typed, it fits: the box
// scrolls, and counts the full-width digits by their ASCII bytes (27 bytes
// in UTF-8).
TEST(CodePageTimeDialog, FullWidthTimeTextGoesToItsPosition)
{
    ExpectRegisteredCodePage();
    const std::wstring typed = L"１２：０３：００５";
    ModuleCopy copy;
    std::wstring added;
    DialogRun run = RunTimeDialog(copy, 1000, [&](HWND dialog) {
        SendMessageW(TimeBoxEdit(dialog), EM_SETSEL, 0, -1);
        for (wchar_t c : typed)
            SendMessageW(TimeBoxEdit(dialog), WM_IME_CHAR, c, 1);
        SendCommand(dialog, kAddId);
        wchar_t item[64] = L"";
        if (SendDlgItemMessageW(dialog, kTimeBoxId, CB_GETLBTEXTLEN, 0, 0) < 64)
            SendDlgItemMessageW(dialog, kTimeBoxId, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(item));
        added = item;
        PostCommand(dialog, IDOK);
        WaitUntilGone(dialog);
    });
    ASSERT_TRUE(run.dialogSeen);
    EXPECT_EQ(run.result, 12);
    EXPECT_EQ(copy.GetBeatAndTick(), 3005);
    EXPECT_EQ(copy.Value("Temp", "Tick"), "005");
    EXPECT_EQ(added, FromAnsi(Ansi(typed)));
}

TEST(CodePageTimeDialog, MenuEntriesAndTooltipsReadTheSameInEveryCodePage)
{
    ExpectRegisteredCodePage();
    const struct {
        int control;
        const wchar_t* text;
    } tips[] = {
        {IDOK, L"指定したタイム値に移動し、このダイアログを閉じる"},
        {IDCANCEL, L"このダイアログを閉じる"},
        {kAddId, L"指定したタイム値をリストに追加"},
        {kDeleteId, L"選択したリスト項目を削除"},
        {kDeleteAllId, L"リスト項目をすべて削除"},
        {kCommentBoxId, L"改行(Ctrl+Enter), タブ(Ctrl+Tab)"},
    };
    ModuleCopy copy;
    std::wstring caption, savePosition, version;
    std::vector<std::wstring> tipsShown;
    DialogRun run = RunTimeDialog(copy, 1000, [&](HWND dialog) {
        caption = WideText(dialog);
        HMENU menu = GetSystemMenu(dialog, FALSE);
        savePosition = WideMenuText(menu, kSavePositionCommand);
        version = WideMenuText(menu, kVersionCommand);
        HWND tooltip = FindOwnedWindow(dialog, TOOLTIPS_CLASSA);
        for (const auto& tip : tips) {
            wchar_t text[128] = L"";
            TTTOOLINFOW info{};
            info.cbSize = 44;  // up to and including lParam
            info.hwnd = GetDlgItem(dialog, tip.control);
            info.lpszText = text;
            SendMessageW(tooltip, TTM_GETTEXTW, ARRAYSIZE(text), reinterpret_cast<LPARAM>(&info));
            tipsShown.push_back(text);
        }
    });
    ASSERT_TRUE(run.dialogSeen);
    EXPECT_EQ(caption, L"ジャンプ");
    EXPECT_EQ(savePosition, L"位置を保存(&P)");
    EXPECT_EQ(version, L"バージョン情報(&V)...");
    std::vector<std::wstring> expected;
    for (const auto& tip : tips)
        expected.push_back(tip.text);
    EXPECT_EQ(tipsShown, expected);
}
