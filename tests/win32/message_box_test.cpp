// The time list's notices and questions: each box is centred on the time
// dialog, kept inside the work area, answered in Japanese, and its hook
// leaves nothing behind and lets the host's own hooks see every message.
#include <gtest/gtest.h>

#include <cmath>

#include "dialog_driver.h"
#include "module_copy.h"
#include "time_list_driver.h"
#include "western_message_box.h"

namespace {
constexpr int kCode = 1000;
constexpr int kDelete = 103;
constexpr char kQuestionCaption[] = "確認";

RECT WorkArea()
{
    RECT area{};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

RECT WindowRect(HWND window)
{
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

void MoveTo(HWND window, int x, int y)
{
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

double CentreX(const RECT& rect)
{
    return (rect.left + rect.right) / 2.0;
}

double CentreY(const RECT& rect)
{
    return (rect.top + rect.bottom) / 2.0;
}

int Width(const RECT& rect)
{
    return rect.right - rect.left;
}

int Height(const RECT& rect)
{
    return rect.bottom - rect.top;
}

// Each halving truncates on its own, so the centres differ by at most one pixel.
::testing::AssertionResult CentredOn(const RECT& box, const RECT& owner)
{
    double dx = std::fabs(CentreX(box) - CentreX(owner));
    double dy = std::fabs(CentreY(box) - CentreY(owner));
    if (dx <= 1 && dy <= 1)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "box (" << box.left << "," << box.top << ")-(" << box.right << ","
                                         << box.bottom << ") is off the owner (" << owner.left << "," << owner.top
                                         << ")-(" << owner.right << "," << owner.bottom << ") by " << dx << ", "
                                         << dy;
}

// Shows the Delete question for the picked item with the dialog at x, y;
// dialogRect receives where the dialog was while the box was shown.
BoxSeen AskDeleteAt(HWND dialog, int x, int y, RECT* dialogRect)
{
    MoveTo(dialog, x, y);
    *dialogRect = WindowRect(dialog);
    PostCommand(dialog, kDelete);
    BoxSeen seen = AnswerBox(dialog, IDNO);
    Settle(dialog);
    return seen;
}

void WriteOneItem(const ModuleCopy& copy)
{
    copy.WriteIni(ListSettings({{"1:01:000", "one"}}));
}
}

TEST(MessageBoxPlacement, QuestionIsCentredOnTheDialogWhereverItIs)
{
    ModuleCopy copy;
    WriteOneItem(copy);
    BoxSeen first;
    BoxSeen second;
    BoxSeen notice;
    RECT firstOwner{};
    RECT secondOwner{};
    RECT noticeOwner{};
    DialogRun run = RunTimeDialog(copy, kCode, [&](HWND dialog) {
        PickItem(dialog, 0);
        // Well away from the screen's centre, where the box would go by itself.
        first = AskDeleteAt(dialog, 120, 90, &firstOwner);
        // A second box is centred again: the hook is set up anew for each box.
        second = AskDeleteAt(dialog, 700, 600, &secondOwner);
        SendDlgItemMessageA(dialog, 102, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        MoveTo(dialog, 500, 100);
        noticeOwner = WindowRect(dialog);
        PostCommand(dialog, kDelete);
        notice = AnswerBox(dialog, IDOK);
    });
    ASSERT_TRUE(run.dialogSeen);
    ASSERT_TRUE(first.shown);
    ASSERT_TRUE(second.shown);
    ASSERT_TRUE(notice.shown);
    EXPECT_EQ(first.caption, kQuestionCaption);
    EXPECT_EQ(notice.caption, "情報");
    EXPECT_TRUE(CentredOn(first.rect, firstOwner));
    EXPECT_TRUE(CentredOn(second.rect, secondOwner));
    EXPECT_TRUE(CentredOn(notice.rect, noticeOwner));
    // Centring moves the box only.
    EXPECT_EQ(Width(first.rect), Width(second.rect));
    EXPECT_EQ(Height(first.rect), Height(second.rect));
}

TEST(MessageBoxPlacement, BoxIsKeptInsideTheWorkArea)
{
    ModuleCopy copy;
    WriteOneItem(copy);
    const RECT area = WorkArea();
    // The bed gives the screen a taskbar's strip, which the box must keep out of.
    ASSERT_LT(area.bottom, GetSystemMetrics(SM_CYSCREEN));
    BoxSeen leftTop;
    BoxSeen rightBottom;
    RECT leftOwner{};
    RECT rightOwner{};
    DialogRun run = RunTimeDialog(copy, kCode, [&](HWND dialog) {
        PickItem(dialog, 0);
        leftTop = AskDeleteAt(dialog, area.left - 150, area.top - 60, &leftOwner);
        RECT size = WindowRect(dialog);
        rightBottom = AskDeleteAt(dialog, area.right - Width(size) / 4, area.bottom - Height(size) / 4, &rightOwner);
    });
    ASSERT_TRUE(run.dialogSeen);
    ASSERT_TRUE(leftTop.shown);
    ASSERT_TRUE(rightBottom.shown);
    // The centred place would stick out; the box is moved to the edge instead.
    ASSERT_LT(CentreX(leftOwner) - Width(leftTop.rect) / 2.0, area.left);
    EXPECT_EQ(leftTop.rect.left, area.left);
    EXPECT_EQ(leftTop.rect.top, area.top);
    ASSERT_GT(CentreX(rightOwner) + Width(rightBottom.rect) / 2.0, area.right);
    EXPECT_EQ(rightBottom.rect.right, area.right);
    EXPECT_EQ(rightBottom.rect.bottom, area.bottom);
}

TEST(MessageBoxPlacement, ButtonsReadYesAndNoInJapanese)
{
    ModuleCopy copy;
    ASSERT_TRUE(ShowMessageBoxesAsWesternWindows(copy.module()));
    WriteOneItem(copy);
    BoxSeen seen;
    RECT owner{};
    DialogRun run = RunTimeDialog(copy, kCode, [&](HWND dialog) {
        PickItem(dialog, 0);
        seen = AskDeleteAt(dialog, 200, 200, &owner);
    });
    ASSERT_TRUE(run.dialogSeen);
    ASSERT_TRUE(seen.shown);
    EXPECT_TRUE(seen.hasYesNo);
    EXPECT_EQ(seen.yesText, "はい(&Y)");
    EXPECT_EQ(seen.noText, "いいえ(&N)");
    EXPECT_EQ(LastAskedMessageBoxLanguage(), MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
}

// ---------------------------------------------------------------------------
// The hook

namespace {
// What a hook of the host's own saw of each dialog's WM_INITDIALOG.
struct InitSeen {
    HWND window;
    std::string caption;
    RECT rect;
    bool visible;
};
std::vector<InitSeen> g_initsSeen;
HHOOK g_hostHook;

LRESULT CALLBACK HostHook(int code, WPARAM wParam, LPARAM lParam)
{
    if (code >= 0) {
        const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
        if (sent->message == WM_INITDIALOG)
            g_initsSeen.push_back(
                {sent->hwnd, WindowText(sent->hwnd), WindowRect(sent->hwnd), IsWindowVisible(sent->hwnd) != FALSE});
    }
    return CallNextHookEx(g_hostHook, code, wParam, lParam);
}

INT_PTR CALLBACK PlainDialogProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG;
}

// A small dialog at the screen's top-left corner, created on this thread.
HWND CreatePlainDialog()
{
    struct {
        DLGTEMPLATE head;
        WORD menu, windowClass, title;
    } dialogTemplate{};
    dialogTemplate.head.style = WS_POPUP | WS_CAPTION;
    dialogTemplate.head.cx = 80;
    dialogTemplate.head.cy = 40;
    return CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &dialogTemplate.head, nullptr, PlainDialogProc, 0);
}
}

TEST(MessageBoxHook, HostHooksStillSeeTheBoxAlreadyCentredAndHidden)
{
    ModuleCopy copy;
    WriteOneItem(copy);
    g_initsSeen.clear();
    // The host's hook is older than the module's, so it runs second and
    // sees the box only if the module's hook passes the call on.
    g_hostHook = SetWindowsHookExA(WH_CALLWNDPROCRET, HostHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(g_hostHook, nullptr);
    BoxSeen seen;
    RECT owner{};
    DialogRun run = RunTimeDialog(copy, kCode, [&](HWND dialog) {
        PickItem(dialog, 0);
        seen = AskDeleteAt(dialog, 150, 120, &owner);
    });
    UnhookWindowsHookEx(g_hostHook);
    ASSERT_TRUE(run.dialogSeen);
    ASSERT_TRUE(seen.shown);

    const InitSeen* box = nullptr;
    for (const InitSeen& init : g_initsSeen)
        if (init.caption == kQuestionCaption)
            box = &init;
    ASSERT_NE(box, nullptr) << "the host's hook never saw the box's WM_INITDIALOG";
    // The module's hook has already moved the box, before it is first shown.
    EXPECT_FALSE(box->visible);
    EXPECT_TRUE(CentredOn(box->rect, owner));
    EXPECT_EQ(box->rect.left, seen.rect.left);
    EXPECT_EQ(box->rect.top, seen.rect.top);
}

TEST(MessageBoxHook, NoHookRemainsOnceTheBoxIsGone)
{
    ModuleCopy copy;
    WriteOneItem(copy);
    BoxSeen seen;
    RECT owner{};
    DialogRun run = RunTimeDialog(copy, kCode, [&](HWND dialog) {
        PickItem(dialog, 0);
        seen = AskDeleteAt(dialog, 300, 300, &owner);
    });
    ASSERT_TRUE(run.dialogSeen);
    ASSERT_TRUE(seen.shown);

    // A dialog of this thread, which showed the box, stays where it was made:
    // a hook left behind would centre it in the work area.
    HWND plain = CreatePlainDialog();
    ASSERT_NE(plain, nullptr);
    RECT rect = WindowRect(plain);
    DestroyWindow(plain);
    const RECT area = WorkArea();
    EXPECT_FALSE(CentredOn(rect, area)) << "the plain dialog was centred";
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
}
