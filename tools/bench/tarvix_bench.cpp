// tarvix-bench: how much Tarvix.dll adds to the cost of what it must do.
//
// The time list is read with one section read per section and written with
// one section write per section, so those calls set the floor:
//  (a) the dialog opened and closed with N items, against the dialog with an
//      empty list plus the bare section calls that load and save N items
//      (two section reads; two deletes and two section writes). Beside them,
//      the bare key-by-key calls that loading and saving one key per call
//      would cost;
//  (b) SetMeas + GetBeatAndTick, against the bare profile calls they make.
// Both sides run in the same process, interleaved, on the same file.
//
//   tarvix-bench.exe [--dll PATH] [--quick]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {
using TarvixFn = int(WINAPI*)(int);
using SetMeasFn = int(WINAPI*)(int);
using GetBeatAndTickFn = int(WINAPI*)();

constexpr char kTimeDialogCaption[] = "ジャンプ";
constexpr int kHandOverRounds = 200;

TarvixFn g_tarvix;
SetMeasFn g_setMeas;
GetBeatAndTickFn g_getBeatAndTick;
std::string g_ini;
LARGE_INTEGER g_frequency;

double Now()
{
    LARGE_INTEGER counter;
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(g_frequency.QuadPart);
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string ListFile(int items)
{
    std::string times = "[ItemTime]\r\n";
    std::string comments = "[ItemComment]\r\n";
    for (int i = 0; i < items; ++i) {
        times += std::to_string(i) + "=" + std::to_string(i + 1) + ":01:000\r\n";
        comments += std::to_string(i) + "=comment " + std::to_string(i) + "\\nsecond line\r\n";
    }
    return "[Temp]\r\nMeas=12\r\nBeat=3\r\nTick=5\r\n" + times + comments;
}

void WriteIni(const std::string& bytes)
{
    HANDLE file = CreateFileA(g_ini.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(file);
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, g_ini.c_str());  // drop the cached copy
}

// Closes the time dialog as soon as it is shown.
LRESULT CALLBACK CancelOnActivate(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char caption[32];
        GetWindowTextA(window, caption, sizeof caption);
        if (std::strcmp(caption, kTimeDialogCaption) == 0)
            PostMessageA(window, WM_COMMAND, IDCANCEL, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

double TimeDialog()
{
    HHOOK hook = SetWindowsHookExA(WH_CBT, CancelOnActivate, nullptr, GetCurrentThreadId());
    double start = Now();
    g_tarvix(1000);
    double elapsed = Now() - start;
    UnhookWindowsHookEx(hook);
    return elapsed;
}

// What loading and saving items costs through the profile functions alone,
// one key per call.
double TimeKeyByKeyCalls()
{
    const char* path = g_ini.c_str();
    double start = Now();
    std::vector<std::string> times;
    std::vector<std::string> comments;
    for (int n = 0;; ++n) {
        std::string key = std::to_string(n);
        char time[60];
        GetPrivateProfileStringA("ItemTime", key.c_str(), "Anb", time, sizeof time, path);
        if (std::strcmp(time, "Anb") == 0)
            break;
        char comment[520];
        GetPrivateProfileStringA("ItemComment", key.c_str(), "", comment, sizeof comment, path);
        times.push_back(time);
        comments.push_back(comment);
    }
    WritePrivateProfileStringA("ItemTime", nullptr, nullptr, path);
    WritePrivateProfileStringA("ItemComment", nullptr, nullptr, path);
    for (size_t i = 0; i < times.size(); ++i) {
        std::string key = std::to_string(i);
        WritePrivateProfileStringA("ItemTime", key.c_str(), times[i].c_str(), path);
        WritePrivateProfileStringA("ItemComment", key.c_str(), comments[i].c_str(), path);
    }
    return Now() - start;
}

// The same through one section read and one section write per section.
double TimeSectionCalls()
{
    const char* path = g_ini.c_str();
    double start = Now();
    const char* sections[] = {"ItemTime", "ItemComment"};
    std::vector<char> texts[2];
    for (int i = 0; i < 2; ++i) {
        for (DWORD size = 64 * 1024;; size *= 2) {
            texts[i].resize(size);
            DWORD count = GetPrivateProfileSectionA(sections[i], texts[i].data(), size, path);
            if (count + 2 < size)
                break;
        }
    }
    for (const char* section : sections)
        WritePrivateProfileStringA(section, nullptr, nullptr, path);
    for (int i = 0; i < 2; ++i)
        if (texts[i][0] != '\0')
            WritePrivateProfileSectionA(sections[i], texts[i].data(), path);
    return Now() - start;
}

double TimeHandOver()
{
    double start = Now();
    for (int i = 0; i < kHandOverRounds; ++i) {
        g_setMeas(12);
        g_getBeatAndTick();
    }
    return (Now() - start) / kHandOverRounds;
}

double TimeBareHandOverCalls()
{
    const char* path = g_ini.c_str();
    double start = Now();
    for (int i = 0; i < kHandOverRounds; ++i) {
        WritePrivateProfileStringA("Temp", "Meas", "12", path);
        GetPrivateProfileIntA("Temp", "Beat", 1, path);
        GetPrivateProfileIntA("Temp", "Tick", 0, path);
    }
    return (Now() - start) / kHandOverRounds;
}

void PrintRow(const char* what, double module, double floor, const char* unit, double scale, double keyByKey = 0)
{
    std::printf("| %-30s | %10.2f %-2s | %10.2f %-2s | %5.2f |", what, module * scale, unit, floor * scale, unit,
                module / floor);
    if (keyByKey > 0)
        std::printf(" %10.2f %-2s |", keyByKey * scale, unit);
    std::printf("\n");
}
}

int main(int argc, char** argv)
{
    const char* dll = "Tarvix.dll";
    bool quick = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--dll") == 0 && i + 1 < argc)
            dll = argv[++i];
        else if (std::strcmp(argv[i], "--quick") == 0)
            quick = true;
    }
    QueryPerformanceFrequency(&g_frequency);
    HMODULE module = LoadLibraryA(dll);
    if (module == nullptr) {
        std::fprintf(stderr, "tarvix-bench: cannot load %s\n", dll);
        return 1;
    }
    g_tarvix = reinterpret_cast<TarvixFn>(GetProcAddress(module, "Tarvix"));
    g_setMeas = reinterpret_cast<SetMeasFn>(GetProcAddress(module, "SetMeas"));
    g_getBeatAndTick = reinterpret_cast<GetBeatAndTickFn>(GetProcAddress(module, "GetBeatAndTick"));
    char path[MAX_PATH];
    GetModuleFileNameA(module, path, sizeof path);
    g_ini = path;
    g_ini.resize(g_ini.rfind('\\') + 1);
    g_ini += "Tarvix.ini";

    std::printf("| %-30s | %13s | %13s | %5s | %13s |\n", "measured", "Tarvix.dll", "floor", "ratio", "key by key");
    std::printf("|--------------------------------|---------------|---------------|-------|---------------|\n");

    // The first dialogs of a fresh Wine bed are slow (fonts, the display).
    WriteIni(ListFile(0));
    for (int r = 0; r < 3; ++r)
        TimeDialog();
    std::vector<double> empty;
    for (int items : {0, 100, 1000, 5000}) {
        const int rounds = items >= 1000 ? (quick ? 1 : 3) : (quick ? 3 : 7);
        // Key by key, 5,000 items take about a minute under Wine: measured once.
        const int keyRounds = items >= 5000 ? (quick ? 0 : 1) : rounds;
        std::vector<double> dialog, floor, keyByKey;
        for (int r = 0; r < rounds; ++r) {
            WriteIni(ListFile(0));
            empty.push_back(TimeDialog());
            WriteIni(ListFile(items));
            dialog.push_back(TimeDialog());
            WriteIni(ListFile(items));
            floor.push_back(TimeSectionCalls());
            if (r < keyRounds) {
                WriteIni(ListFile(items));
                keyByKey.push_back(TimeKeyByKeyCalls());
            }
        }
        const std::string what = "dialog open+close, " + std::to_string(items) + " items";
        PrintRow(what.c_str(), Median(dialog), Median(empty) + Median(floor), "ms", 1000.0,
                 keyByKey.empty() ? 0 : Median(empty) + Median(keyByKey));
    }

    WriteIni(ListFile(0));
    std::vector<double> handOver, bare;
    for (int r = 0; r < (quick ? 3 : 9); ++r) {
        handOver.push_back(TimeHandOver());
        bare.push_back(TimeBareHandOverCalls());
    }
    PrintRow("SetMeas + GetBeatAndTick", Median(handOver), Median(bare), "us", 1e6);
    FreeLibrary(module);
    return 0;
}
