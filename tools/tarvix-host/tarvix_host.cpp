// tarvix-host: plays the host script's part for Tarvix.dll from the command
// line. It owns a real top-level window with a system menu, as a sequencer
// does, loads the module the way the host does (by name, beside it), and
// prints every call and its result.
//
//   tarvix-host.exe [--measure N] [--code N] [--no-dialog]
//                   [--auto TEXT [--shot FILE.bmp]] [--dll PATH]
//
//   --measure N   current measure for SetMeas (default 12)
//   --code N      current beat * 1000 + tick for Tarvix (default 3005)
//   --no-dialog   only SetMeas and GetBeatAndTick
//   --auto TEXT   no user needed: type TEXT into the time box and press OK
//   --shot FILE   with --auto: save a picture of the open dialog (BMP)
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "screen_shot.h"

namespace {
using TarvixFn = int(WINAPI*)(int);
using SetMeasFn = int(WINAPI*)(int);
using GetBeatAndTickFn = int(WINAPI*)();

constexpr char kHostClass[] = "TarvixHostWindow";
constexpr char kTimeDialogCaption[] = "ジャンプ";
constexpr int kTimeBoxId = 102;
constexpr DWORD kWaitStepMs = 50;
constexpr int kWaitSteps = 200;

struct Options {
    int measure = 12;
    int code = 3005;
    bool dialog = true;
    const char* autoText = nullptr;
    const char* shotFile = nullptr;
    const char* dll = "Tarvix.dll";
};

Options g_options;

bool ParseArguments(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const char* arg = argv[i];
        bool hasValue = i + 1 < argc;
        if (std::strcmp(arg, "--measure") == 0 && hasValue)
            g_options.measure = std::atoi(argv[++i]);
        else if (std::strcmp(arg, "--code") == 0 && hasValue)
            g_options.code = std::atoi(argv[++i]);
        else if (std::strcmp(arg, "--no-dialog") == 0)
            g_options.dialog = false;
        else if (std::strcmp(arg, "--auto") == 0 && hasValue)
            g_options.autoText = argv[++i];
        else if (std::strcmp(arg, "--shot") == 0 && hasValue)
            g_options.shotFile = argv[++i];
        else if (std::strcmp(arg, "--dll") == 0 && hasValue)
            g_options.dll = argv[++i];
        else {
            std::fprintf(stderr, "tarvix-host: unknown or incomplete argument '%s'\n", arg);
            return false;
        }
    }
    return true;
}

HWND WaitForTimeDialog()
{
    for (int i = 0; i < kWaitSteps; ++i) {
        HWND dialog = FindWindowA("#32770", kTimeDialogCaption);
        if (dialog != nullptr && IsWindowVisible(dialog))
            return dialog;
        Sleep(kWaitStepMs);
    }
    return nullptr;
}

// Works the dialog as a user would: replaces the time box's text by typing,
// takes the picture, then presses OK.
DWORD WINAPI AutoUser(LPVOID)
{
    HWND dialog = WaitForTimeDialog();
    if (dialog == nullptr) {
        std::fprintf(stderr, "tarvix-host: the time dialog did not appear\n");
        return 1;
    }
    HWND edit = FindWindowExA(GetDlgItem(dialog, kTimeBoxId), nullptr, "Edit", nullptr);
    SendMessageA(edit, EM_SETSEL, 0, -1);
    SendMessageA(edit, WM_CHAR, VK_BACK, 0);
    for (const char* c = g_options.autoText; *c != '\0'; ++c)
        SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(*c), 0);
    Sleep(300);  // let the dialog repaint before the picture
    if (g_options.shotFile != nullptr) {
        if (SaveWindowPicture(dialog, g_options.shotFile))
            std::printf("picture of the dialog: %s\n", g_options.shotFile);
        else
            std::fprintf(stderr, "tarvix-host: could not save %s\n", g_options.shotFile);
    }
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    return 0;
}

HWND CreateHostWindow()
{
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_APPWORKSPACE + 1);
    wc.lpszClassName = kHostClass;
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(0, kHostClass, "Tarvix host (stand-in sequencer)", WS_OVERLAPPEDWINDOW, 40, 40,
                                  900, 600, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);
    return window;
}
}

int main(int argc, char** argv)
{
    if (!ParseArguments(argc, argv))
        return 2;
    std::setvbuf(stdout, nullptr, _IONBF, 0);

    HMODULE module = LoadLibraryA(g_options.dll);
    if (module == nullptr) {
        std::fprintf(stderr, "tarvix-host: cannot load %s (error %lu)\n", g_options.dll, GetLastError());
        return 1;
    }
    auto tarvix = reinterpret_cast<TarvixFn>(GetProcAddress(module, "Tarvix"));
    auto setMeas = reinterpret_cast<SetMeasFn>(GetProcAddress(module, "SetMeas"));
    auto getBeatAndTick = reinterpret_cast<GetBeatAndTickFn>(GetProcAddress(module, "GetBeatAndTick"));
    if (tarvix == nullptr || setMeas == nullptr || getBeatAndTick == nullptr) {
        std::fprintf(stderr, "tarvix-host: %s lacks Tarvix, SetMeas or GetBeatAndTick\n", g_options.dll);
        return 1;
    }

    HWND host = CreateHostWindow();
    std::printf("SetMeas(%d) -> %d\n", g_options.measure, setMeas(g_options.measure));
    int chosen = 1;
    if (g_options.dialog) {
        HANDLE user = nullptr;
        if (g_options.autoText != nullptr)
            user = CreateThread(nullptr, 0, AutoUser, nullptr, 0, nullptr);
        chosen = tarvix(g_options.code);
        std::printf("Tarvix(%d) -> %d%s\n", g_options.code, chosen, chosen == 0 ? "  (cancelled)" : "");
        if (user != nullptr) {
            WaitForSingleObject(user, INFINITE);
            CloseHandle(user);
        }
    }
    if (chosen != 0)
        std::printf("GetBeatAndTick() -> %d\n", getBeatAndTick());
    DestroyWindow(host);
    FreeLibrary(module);
    return 0;
}
