#include "byte_limit.h"

#include <algorithm>
#include <string_view>

#include "../module/ansi_code_page.h"
#include "../module/text_edit.h"

ByteLimitedBox g_commentLimit;
ByteLimitedBox g_timeBoxLimit;

namespace {
// Inserted text is converted only as far as it can fit: every UTF-16 unit
// is at least half a byte (a surrogate pair may become one "?"), and at
// most three bytes (UTF-8).
constexpr size_t kInsertedUnits = 2 * kLimitedTextSize;
constexpr size_t kInsertedBytes = 3 * kInsertedUnits;

// Set while the limit rewrites a box, whose own notifications it ignores.
bool g_rewriting;

size_t AnsiLength(const wchar_t* text, size_t length)
{
    if (length == 0)
        return 0;
    int bytes = WideCharToMultiByte(CP_ACP, 0, text, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
    return bytes > 0 ? static_cast<size_t>(bytes) : length;
}

void Show(ByteLimitedBox& box, const wchar_t* text, size_t caret)
{
    g_rewriting = true;
    SetWindowTextW(box.edit, text);
    SendMessageW(box.edit, EM_SETSEL, caret, caret);
    g_rewriting = false;
    NoteShownText(box);
}

// The part of inserted that fits room bytes, as the code page keeps it;
// sets cut when some of it was left out.
size_t KeepInserted(const wchar_t* inserted, size_t length, size_t room, wchar_t* out, size_t outSize, bool& cut)
{
    size_t units = std::min(length, kInsertedUnits);
    if (units < length && IS_HIGH_SURROGATE(inserted[units - 1]))
        --units;
    char bytes[kInsertedBytes];
    int converted = units == 0 ? 0
                               : WideCharToMultiByte(CP_ACP, 0, inserted, static_cast<int>(units), bytes,
                                                     sizeof bytes, nullptr, nullptr);
    const std::string_view ansi(bytes, converted > 0 ? static_cast<size_t>(converted) : 0);
    const size_t kept = WholeTextPrefix(AnsiCodePage(), ansi, room);
    cut = units < length || kept < ansi.size();
    int back = kept == 0 ? 0
                         : MultiByteToWideChar(CP_ACP, 0, bytes, static_cast<int>(kept), out,
                                               static_cast<int>(outSize));
    return back > 0 ? static_cast<size_t>(back) : 0;
}

// Applies the limit to text, the box's whole text of length units.
void Limit(ByteLimitedBox& box, const wchar_t* text, size_t length)
{
    DWORD caret = 0;
    SendMessageW(box.edit, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    const std::wstring_view before(box.shown);
    const std::wstring_view after(text, length);
    const TextEdit edit = FindTextEdit(before, after, caret);
    const size_t insertedLength = length - edit.front - edit.back;
    const size_t unchanged = AnsiLength(text, edit.front) + AnsiLength(text + length - edit.back, edit.back);
    const size_t room = box.maxBytes > unchanged ? box.maxBytes - unchanged : 0;

    wchar_t kept[kLimitedTextSize];
    bool cut = false;
    size_t keptLength = KeepInserted(text + edit.front, insertedLength, room, kept, kLimitedTextSize, cut);
    if (cut)
        MessageBeep(MB_OK);
    const std::wstring_view inserted(text + edit.front, insertedLength);
    if (!cut && inserted == std::wstring_view(kept, keptLength)) {
        NoteShownText(box);
        return;
    }
    // The box shows what the item keeps: front, what fitted, back.
    wchar_t shown[kLimitedTextSize];
    size_t n = 0;
    for (std::wstring_view part : {std::wstring_view(text, edit.front), std::wstring_view(kept, keptLength),
                                   std::wstring_view(text + length - edit.back, edit.back)})
        for (wchar_t c : part)
            if (n + 1 < kLimitedTextSize)
                shown[n++] = c;
    shown[n] = L'\0';
    Show(box, shown, edit.front + keptLength);
}
}

void StartByteLimit(ByteLimitedBox& box, HWND edit, size_t maxBytes)
{
    box.edit = edit;
    box.maxBytes = std::min<size_t>(maxBytes, COMMENT_TYPING_LIMIT);
    NoteShownText(box);
}

void NoteShownText(ByteLimitedBox& box)
{
    box.shown[0] = L'\0';
    GetWindowTextW(box.edit, box.shown, kLimitedTextSize);
}

void KeepWithinByteLimit(ByteLimitedBox& box)
{
    if (g_rewriting || box.edit == nullptr)
        return;
    const int length = GetWindowTextLengthW(box.edit);
    wchar_t local[kLimitedTextSize];
    wchar_t* text = length < static_cast<int>(kLimitedTextSize)
                        ? local
                        : static_cast<wchar_t*>(GlobalAlloc(GPTR, (static_cast<size_t>(length) + 1) * sizeof(wchar_t)));
    if (text == nullptr) {
        // Unreadable: back to what the item keeps.
        Show(box, box.shown, lstrlenW(box.shown));
        return;
    }
    const int read = GetWindowTextW(box.edit, text, length + 1);
    Limit(box, text, read > 0 ? static_cast<size_t>(read) : 0);
    if (text != local)
        GlobalFree(text);
}
