#include "time_dialog_probe.h"

#include <cstring>

#include "dialog_driver.h"
#include "module_copy.h"

namespace {
constexpr char kPlacementSection[] = "MainWindow";
constexpr char kPlacementKey[] = "DlgInfo";
constexpr DWORD kWatchPollMs = 20;

LONG LittleEndian32(const BYTE* bytes)
{
    DWORD value = 0;
    for (int i = 0; i < 4; ++i)
        value |= static_cast<DWORD>(bytes[i]) << (8 * i);
    return static_cast<LONG>(value);
}

struct OwnedSearch {
    HWND owner;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchOwned(HWND window, LPARAM lParam)
{
    auto* search = reinterpret_cast<OwnedSearch*>(lParam);
    char className[64];
    GetClassNameA(window, className, sizeof className);
    if (GetWindow(window, GW_OWNER) == search->owner && lstrcmpiA(className, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK NoteThreadWindow(HWND window, LPARAM lParam)
{
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId())
        reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(window);
    return TRUE;
}

constexpr char kMarkerClass[] = "TarvixTestMarker";
constexpr UINT kMarkerMessage = WM_APP + 1;
constexpr UINT kRunMessage = WM_APP + 2;
constexpr DWORD kMarkerPollMs = 5;

LRESULT CALLBACK MarkerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == kRunMessage) {
        (*reinterpret_cast<const std::function<void()>*>(lParam))();
        return 0;
    }
    if (message == kMarkerMessage) {
        auto* handled = reinterpret_cast<volatile LONG*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        InterlockedExchange(handled, static_cast<LONG>(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

struct Watch {
    volatile LONG stop;
    bool seen;
};

DWORD WINAPI WatchForDialog(LPVOID parameter)
{
    auto* watch = static_cast<Watch*>(parameter);
    while (InterlockedCompareExchange(&watch->stop, 0, 0) == 0) {
        // Only a shown dialog counts: one the platform destroys half-made
        // exists, hidden, for a moment that a slow machine can catch.
        HWND dialog = FindDialog(kTimeDialogCaption);
        if (dialog != nullptr && IsWindowVisible(dialog)) {
            watch->seen = true;
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        }
        Sleep(kWatchPollMs);
    }
    return 0;
}
}

std::string IniSection(const std::string& bytes, const char* section)
{
    const std::string header = std::string("[") + section + "]";
    size_t start = bytes.find(header);
    while (start != std::string::npos && start != 0 && bytes[start - 1] != '\n')
        start = bytes.find(header, start + 1);
    if (start == std::string::npos)
        return "";
    size_t end = bytes.find("\n[", start);
    return bytes.substr(start, end == std::string::npos ? std::string::npos : end + 1 - start);
}

LONG PlacementBytes::left() const
{
    return LittleEndian32(bytes + 4);
}

LONG PlacementBytes::top() const
{
    return LittleEndian32(bytes + 8);
}

PlacementBytes ReadPlacement(const ModuleCopy& copy)
{
    FlushProfileCache(copy.iniPath());
    PlacementBytes record;
    record.present = GetPrivateProfileStructA(kPlacementSection, kPlacementKey, record.bytes, sizeof record.bytes,
                                              copy.iniPath().c_str()) != FALSE;
    return record;
}

void WritePlacement(const ModuleCopy& copy, const BYTE (&bytes)[12])
{
    WritePrivateProfileStructA(kPlacementSection, kPlacementKey, const_cast<BYTE*>(bytes), sizeof bytes,
                               copy.iniPath().c_str());
    FlushProfileCache(copy.iniPath());
}

void WritePlacement(const ModuleCopy& copy, BYTE flag, LONG left, LONG top)
{
    BYTE bytes[12]{};
    bytes[0] = flag;
    for (int i = 0; i < 4; ++i) {
        bytes[4 + i] = static_cast<BYTE>(static_cast<DWORD>(left) >> (8 * i));
        bytes[8 + i] = static_cast<BYTE>(static_cast<DWORD>(top) >> (8 * i));
    }
    WritePlacement(copy, bytes);
}

std::vector<MenuEntry> MenuEntries(HMENU menu)
{
    std::vector<MenuEntry> entries;
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MenuEntry entry;
        entry.id = GetMenuItemID(menu, i);
        entry.state = GetMenuState(menu, i, MF_BYPOSITION);
        char text[256] = "";
        GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION);
        entry.text = text;
        entries.push_back(entry);
    }
    return entries;
}

bool SavePositionChecked(HWND dialog)
{
    UINT state = GetMenuState(GetSystemMenu(dialog, FALSE), kSavePositionCommand, MF_BYCOMMAND);
    return state != static_cast<UINT>(-1) && (state & MF_CHECKED) != 0;
}

HWND FindOwnedWindow(HWND owner, const char* className)
{
    OwnedSearch search{owner, className, nullptr};
    EnumWindows(MatchOwned, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

std::vector<HWND> ThreadTopLevelWindows()
{
    std::vector<HWND> windows;
    EnumWindows(NoteThreadWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

INT_PTR CallDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The dialogs are Unicode: asked with the ANSI function, the platform
    // would hand out a conversion thunk instead of the procedure.
    auto proc = reinterpret_cast<DLGPROC>(GetWindowLongPtrW(dialog, DWLP_DLGPROC));
    return proc(dialog, message, wParam, lParam);
}

POINT CentredInWorkArea(HWND window)
{
    RECT rect;
    GetWindowRect(window, &rect);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(MonitorFromWindow(window, MONITOR_DEFAULTTOPRIMARY), &info);
    LONG width = rect.right - rect.left;
    LONG height = rect.bottom - rect.top;
    return {(info.rcWork.left + info.rcWork.right - width) / 2, (info.rcWork.top + info.rcWork.bottom - height) / 2};
}

std::string TimeListIni(const std::vector<std::pair<std::string, std::string>>& items)
{
    std::string times = "[ItemTime]\r\n";
    std::string comments = "[ItemComment]\r\n";
    for (size_t i = 0; i < items.size(); ++i) {
        times += std::to_string(i) + "=" + items[i].first + "\r\n";
        comments += std::to_string(i) + "=" + items[i].second + "\r\n";
    }
    return times + comments;
}

UnwatchedRun RunExpectingNoDialog(const ModuleCopy& module, int code)
{
    Watch watch{0, false};
    HANDLE thread = CreateThread(nullptr, 0, WatchForDialog, &watch, 0, nullptr);
    UnwatchedRun run;
    run.result = module.Tarvix(code);
    InterlockedExchange(&watch.stop, 1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    run.dialogSeen = watch.seen;
    return run;
}

PostedMarker::PostedMarker()
{
    static ATOM registered;
    if (registered == 0) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = MarkerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kMarkerClass;
        registered = RegisterClassA(&wc);
    }
    window_ = CreateWindowExA(0, kMarkerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr),
                              nullptr);
    SetWindowLongPtrA(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&handled_));
}

PostedMarker::~PostedMarker()
{
    DestroyWindow(window_);
}

bool PostedMarker::Settle(DWORD timeoutMs)
{
    LONG wanted = ++posted_;
    PostMessageA(window_, kMarkerMessage, static_cast<WPARAM>(wanted), 0);
    for (DWORD waited = 0; waited <= timeoutMs; waited += kMarkerPollMs) {
        if (InterlockedCompareExchange(&handled_, 0, 0) >= wanted)
            return true;
        Sleep(kMarkerPollMs);
    }
    return false;
}

void PostedMarker::Run(const std::function<void()>& work)
{
    SendMessageA(window_, kRunMessage, 0, reinterpret_cast<LPARAM>(&work));
}

size_t Pixels::Count(COLORREF colour) const
{
    uint32_t wanted = (static_cast<uint32_t>(GetRValue(colour)) << 16) |
                      (static_cast<uint32_t>(GetGValue(colour)) << 8) | GetBValue(colour);
    size_t count = 0;
    for (uint32_t pixel : pixels)
        if ((pixel & 0xFFFFFF) == wanted)
            ++count;
    return count;
}

namespace {
// Gives draw a 32-bit top-down bitmap of width x height selected into a DC, then keeps its pixels.
template <typename DrawFn>
Pixels PaintInto(int width, int height, DrawFn draw)
{
    Pixels shot;
    shot.width = width;
    shot.height = height;
    if (width <= 0 || height <= 0)
        return shot;
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        draw(memory, screen);
        GdiFlush();
        shot.pixels.resize(static_cast<size_t>(width) * height);
        std::memcpy(shot.pixels.data(), bits, shot.pixels.size() * sizeof(uint32_t));
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return shot;
}
}

Pixels CaptureScreen(const RECT& rect)
{
    return PaintInto(rect.right - rect.left, rect.bottom - rect.top, [&](HDC memory, HDC screen) {
        BitBlt(memory, 0, 0, rect.right - rect.left, rect.bottom - rect.top, screen, rect.left, rect.top, SRCCOPY);
    });
}

Pixels PrintClient(HWND window)
{
    RECT client;
    GetClientRect(window, &client);
    return PaintInto(client.right, client.bottom, [&](HDC memory, HDC) {
        SendMessageA(window, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    });
}

Pixels CaptureScreenOnceShowing(const RECT& rect, COLORREF colour, DWORD timeoutMs)
{
    Pixels shot = CaptureScreen(rect);
    for (DWORD waited = 0; shot.Count(colour) == 0 && waited < timeoutMs; waited += kWatchPollMs) {
        Sleep(kWatchPollMs);
        shot = CaptureScreen(rect);
    }
    return shot;
}
