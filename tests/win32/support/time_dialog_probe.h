// Looking into a running time dialog and at what it leaves in Tarvix.ini:
// raw sections, the placement record, system-menu entries, owned windows,
// the dialog's own procedure and the screen's pixels.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class ModuleCopy;

constexpr int kTimeBoxId = 102;
constexpr int kCommentBoxId = 1004;
constexpr int kAddId = 104;
constexpr int kDeleteId = 103;
constexpr int kDeleteAllId = 105;
constexpr WPARAM kVersionCommand = 106;
constexpr WPARAM kSavePositionCommand = 107;

// The raw bytes of one section of a settings file, from its "[name]" line
// up to the next section's line ("" when the section is missing).
std::string IniSection(const std::string& bytes, const char* section);

// MainWindow/DlgInfo as the profile API stores it.
struct PlacementBytes {
    bool present = false;
    BYTE bytes[12]{};
    LONG left() const;
    LONG top() const;
};
PlacementBytes ReadPlacement(const ModuleCopy& copy);
void WritePlacement(const ModuleCopy& copy, const BYTE (&bytes)[12]);
void WritePlacement(const ModuleCopy& copy, BYTE flag, LONG left, LONG top);

// One entry of a menu, read by position.
struct MenuEntry {
    UINT id = 0;
    UINT state = 0;  // GetMenuState by position
    std::string text;
    bool separator() const { return (state & MF_SEPARATOR) != 0; }
    bool checked() const { return (state & MF_CHECKED) != 0; }
};
std::vector<MenuEntry> MenuEntries(HMENU menu);
bool SavePositionChecked(HWND dialog);

// A top-level window of className owned by owner, or null.
HWND FindOwnedWindow(HWND owner, const char* className);
// The windows of the calling thread in EnumWindows order.
std::vector<HWND> ThreadTopLevelWindows();

// Calls the dialog's own procedure, bypassing the platform's dialog
// handling, so that its real result is seen.
INT_PTR CallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Where DS_CENTER puts window: centred in its monitor's work area.
POINT CentredInWorkArea(HWND window);

// Settings-file text for a time list of (time, escaped comment) items.
std::string TimeListIni(const std::vector<std::pair<std::string, std::string>>& items);

// Runs Tarvix(code) while a watchdog cancels any time dialog that shows up.
struct UnwatchedRun {
    int result = -1;
    bool dialogSeen = false;
};
UnwatchedRun RunExpectingNoDialog(const ModuleCopy& module, int code);

// A message-only window of the thread that creates it. From another
// thread, Settle() waits until that thread's loop has handled everything
// posted to it before (posted messages are handled in order), and Run()
// does work there inside one dispatch, as an input method's window sends a
// burst: nothing posted meanwhile runs in between.
class PostedMarker {
public:
    PostedMarker();
    ~PostedMarker();
    PostedMarker(const PostedMarker&) = delete;
    PostedMarker& operator=(const PostedMarker&) = delete;
    bool Settle(DWORD timeoutMs = 10000);
    void Run(const std::function<void()>& work);

private:
    HWND window_ = nullptr;
    LONG posted_ = 0;
    volatile LONG handled_ = 0;
};

// Pixels of the screen or of a window's own painting (top-down rows, 0x00RRGGBB).
struct Pixels {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    size_t Count(COLORREF colour) const;
};
Pixels CaptureScreen(const RECT& rect);
// What window paints into its client area when asked to print it
// (WM_PRINTCLIENT), whatever the screen shows.
Pixels PrintClient(HWND window);
// Captures rect until colour shows in it (painting follows the window's
// queue) or timeoutMs passed; returns the last capture.
Pixels CaptureScreenOnceShowing(const RECT& rect, COLORREF colour, DWORD timeoutMs = 5000);
