#include "larger_fonts.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr char kChildVariable[] = "TARVIX_LARGE_FONTS";
constexpr DWORD kNotRun = 1;

std::string SelfPath()
{
    char self[MAX_PATH];
    return std::string(self, GetModuleFileNameA(nullptr, self, sizeof self));
}
}

bool InLargerFontsRun()
{
    if (std::getenv(kChildVariable) == nullptr)
        return false;
    SetProcessDPIAware();
    return true;
}

DWORD RunCurrentTestAtLargerFonts()
{
    const DWORD dpi = kLargerFontsDpi;
    if (RegSetKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels", REG_DWORD, &dpi, sizeof dpi) != ERROR_SUCCESS) {
        ADD_FAILURE() << "cannot set the screen's DPI";
        return kNotRun;
    }
    SetEnvironmentVariableA(kChildVariable, "1");
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string command = "test --gtest_filter=" + std::string(test->test_suite_name()) + "." + test->name();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION child{};
    DWORD status = kNotRun;
    if (CreateProcessA(SelfPath().c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &child)) {
        WaitForSingleObject(child.hProcess, INFINITE);
        GetExitCodeProcess(child.hProcess, &status);
        CloseHandle(child.hThread);
        CloseHandle(child.hProcess);
    }
    SetEnvironmentVariableA(kChildVariable, nullptr);
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kDesktopKey, L"LogPixels");
    return status;
}

int ScreenDpi()
{
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi;
}
