#include "code_page_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

void ExpectRegisteredCodePage()
{
    const char* expected = std::getenv("TARVIX_EXPECTED_ACP");
    if (expected != nullptr) {
        EXPECT_EQ(GetACP(), static_cast<UINT>(std::atoi(expected))) << "the run's locale or manifest was not honoured";
    }
}

std::wstring WideText(HWND window)
{
    int length = GetWindowTextLengthW(window);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    int copied = GetWindowTextW(window, text.data(), static_cast<int>(text.size()));
    text.resize(static_cast<size_t>(copied > 0 ? copied : 0));
    return text;
}

std::wstring WideItemText(HWND dialog, int control)
{
    return WideText(GetDlgItem(dialog, control));
}

std::wstring WideMenuText(HMENU menu, UINT command)
{
    wchar_t text[256] = L"";
    int length = GetMenuStringW(menu, command, text, ARRAYSIZE(text), MF_BYCOMMAND);
    return std::wstring(text, length > 0 ? static_cast<size_t>(length) : 0);
}

std::string Ansi(const std::wstring& text)
{
    if (text.empty())
        return {};
    int size = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size, nullptr, nullptr);
    return bytes;
}

std::wstring FromAnsi(const std::string& text)
{
    if (text.empty())
        return {};
    int size = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), wide.data(), size);
    return wide;
}

bool FitsAnsiCodePage(const std::wstring& text)
{
    return FromAnsi(Ansi(text)) == text;
}

std::wstring AnsiPrefix(const std::wstring& text, size_t maxBytes)
{
    size_t count = 0;
    while (count < text.size() && Ansi(text.substr(0, count + 1)).size() <= maxBytes)
        ++count;
    return text.substr(0, count);
}

void SetClipboardText(const std::wstring& text)
{
    const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes);
    ASSERT_NE(block, nullptr);
    std::memcpy(GlobalLock(block), text.c_str(), bytes);
    GlobalUnlock(block);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_UNICODETEXT, block);
    CloseClipboard();
}

void PasteText(HWND edit, const std::wstring& text, bool replace)
{
    SetClipboardText(text);
    if (replace)
        SendMessageW(edit, EM_SETSEL, 0, -1);
    SendMessageW(edit, WM_PASTE, 0, 0);
}

void PressShiftInsert()
{
    INPUT keys[4] = {};
    const WORD order[4][2] = {{VK_SHIFT, 0},
                              {VK_INSERT, KEYEVENTF_EXTENDEDKEY},
                              {VK_INSERT, KEYEVENTF_EXTENDEDKEY | KEYEVENTF_KEYUP},
                              {VK_SHIFT, KEYEVENTF_KEYUP}};
    for (size_t i = 0; i < 4; ++i) {
        keys[i].type = INPUT_KEYBOARD;
        keys[i].ki.wVk = order[i][0];
        keys[i].ki.dwFlags = order[i][1];
    }
    SendInput(4, keys, sizeof(INPUT));
}
