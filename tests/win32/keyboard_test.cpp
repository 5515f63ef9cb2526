// The arrow keys as a user presses them, handled by each dialog's own modal
// loop: from every button and edit field of the time dialog and the about
// box, the focus stays on a control that can take it, never on a label.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "module_copy.h"
#include "res/resource.h"
#include "time_dialog_probe.h"

namespace {
constexpr int kCode = 1000;
constexpr UINT kArrows[] = {VK_DOWN, VK_RIGHT, VK_UP, VK_LEFT};
// More presses than any group has controls, so that every wrap is walked.
constexpr int kPresses = 7;
// lParam bits of a key message: repeat count 1, extended key, and for the
// release the previous state and the transition.
constexpr LPARAM kRepeatOnce = 1;
constexpr LPARAM kExtendedKey = 1 << 24;
constexpr LPARAM kKeyRelease = static_cast<LPARAM>(0xC0000000u);

enum class Box { Time, About };

struct Start {
    Box box;
    int control;
    const char* name;
};

const Start kStarts[] = {
    {Box::Time, IDOK, "OK"},
    {Box::Time, IDCANCEL, "Cancel"},
    {Box::Time, IDC_TIME_ADD, "Add"},
    {Box::Time, IDC_TIME_DELETE, "Delete"},
    {Box::Time, IDC_TIME_DELETE_ALL, "Delete all"},
    {Box::Time, IDC_TIME_BOX, "time box"},
    {Box::Time, IDC_TIME_COMMENT, "comment box"},
    {Box::About, IDCANCEL, "about box's OK"},
    {Box::About, IDC_ABOUT_BROWSE, "about box's ..."},
    {Box::About, IDC_ABOUT_DESCRIPTION, "description"},
    {Box::About, IDC_ABOUT_PATH, "path"},
    {Box::About, IDC_ABOUT_MAIL, "mail"},
    {Box::About, IDC_ABOUT_HOMEPAGE, "home page"},
};

// The window that has the keyboard focus on window's thread.
HWND FocusOn(HWND window)
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
    return info.hwndFocus;
}

// The window that takes the focus for control: the time box's edit field.
HWND FocusTarget(HWND box, int control)
{
    HWND window = GetDlgItem(box, control);
    return control == IDC_TIME_BOX ? FindWindowExA(window, nullptr, "Edit", nullptr) : window;
}

std::string ClassOf(HWND window)
{
    char name[32] = "";
    GetClassNameA(window, name, sizeof name);
    return name;
}

// Posted, as the keyboard's messages arrive: the dialog's loop sees them.
void PressKey(HWND target, UINT key)
{
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
    PostMessageA(target, WM_KEYDOWN, key, kRepeatOnce | scan | kExtendedKey);
    PostMessageA(target, WM_KEYUP, key, kRepeatOnce | scan | kExtendedKey | kKeyRelease);
}

// What one start saw: the focus after each press of each arrow, from start.
struct Walk {
    bool startFocused = true;
    std::vector<std::string> focusClasses;
};

Walk WalkArrows(HWND box, int control, PostedMarker& marker)
{
    Walk walk;
    HWND start = FocusTarget(box, control);
    for (UINT key : kArrows) {
        SendMessageA(box, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(start), TRUE);
        marker.Settle();
        walk.startFocused = walk.startFocused && FocusOn(box) == start;
        for (int i = 0; i < kPresses; ++i) {
            PressKey(FocusOn(box), key);
            marker.Settle();
            walk.focusClasses.push_back(ClassOf(FocusOn(box)));
        }
    }
    return walk;
}
}

TEST(ArrowKeys, FocusNeverLandsOnALabel)
{
    ModuleCopy copy;
    for (const Start& start : kStarts) {
        SCOPED_TRACE(start.name);
        PostedMarker marker;  // on the dialog's thread, which runs Tarvix
        Walk walk;
        bool shown = false;
        RunTimeDialog(copy, kCode, [&](HWND dialog) {
            HWND box = start.box == Box::Time ? dialog : OpenAboutBox(dialog);
            if (box == nullptr)
                return;
            shown = true;
            walk = WalkArrows(box, start.control, marker);
            if (box != dialog) {
                PostCommand(box, IDCANCEL);
                WaitUntilGone(box);
            }
        });
        ASSERT_TRUE(shown);
        EXPECT_TRUE(walk.startFocused) << "the control did not take the focus to start with";
        ASSERT_EQ(walk.focusClasses.size(), std::size(kArrows) * kPresses);
        EXPECT_EQ(std::count(walk.focusClasses.begin(), walk.focusClasses.end(), "Static"), 0)
            << "presses that put the focus on a label";
        EXPECT_EQ(std::count(walk.focusClasses.begin(), walk.focusClasses.end(), ""), 0) << "the focus was lost";
    }
}
