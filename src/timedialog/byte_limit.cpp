#include "byte_limit.h"

#include <algorithm>
#include <string_view>

#include "../module/inserted_text.h"
#include "../timetext/time_text.h"
#include "control_text.h"

ByteLimitedBox g_commentLimit;
ByteLimitedBox g_timeBoxLimit;

namespace {
// What fits is at most twice as many units as the limit has bytes (a
// surrogate pair may be kept as one "?"), and its terminator.
constexpr size_t kKeptUnits = kLocalTextUnits;
// The most bytes one UTF-16 unit takes in an ANSI code page (UTF-8's three
// for a character of the BMP).
constexpr size_t kMaxBytesPerUnit = 3;
// DEL, which Ctrl+Backspace and Alt+0127 type.
constexpr wchar_t kDelete = 0x7F;

LRESULT CallOriginal(const ByteLimitedBox& box, UINT message, WPARAM wParam, LPARAM lParam)
{
    return CallWindowProcW(box.original, box.edit, message, wParam, lParam);
}

bool IsMultiLine(const ByteLimitedBox& box)
{
    return (GetWindowLongW(box.edit, GWL_STYLE) & ES_MULTILINE) != 0;
}

// Bytes that text takes in the ANSI code page, as the box counts them.
size_t AnsiBytes(const ByteLimitedBox& box, std::wstring_view text)
{
    size_t bytes = 0;
    for (size_t at = 0; at < text.size();) {
        wchar_t character[2];
        const size_t units = CharacterUnits(text, at);
        for (size_t i = 0; i < units; ++i)
            character[i] = box.timeText ? FoldFullWidth(text[at + i]) : text[at + i];
        const int converted =
            WideCharToMultiByte(CP_ACP, 0, character, static_cast<int>(units), nullptr, 0, nullptr, nullptr);
        bytes += converted > 0 ? static_cast<size_t>(converted) : units;
        at += units;
    }
    return bytes;
}

// The units of text that fit in place of the box's selection; none when
// the box's text cannot be read.
size_t UnitsThatFit(const ByteLimitedBox& box, std::wstring_view text)
{
    DWORD start = 0;
    DWORD end = 0;
    CallOriginal(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    size_t room = 0;
    WithWindowText(box.edit, [&](wchar_t* whole, size_t length) {
        const size_t from = std::min<size_t>(start, length);
        const size_t to = std::max(from, std::min<size_t>(end, length));
        const size_t kept = AnsiBytes(box, {whole, from}) + AnsiBytes(box, {whole + to, length - to});
        room = box.maxBytes > kept ? box.maxBytes - kept : 0;
    });
    return FittingPrefix(text, room, [&box](std::wstring_view character) { return AnsiBytes(box, character); });
}

// text as the box keeps it: as typed in the time box; in the comment box as
// the code page keeps it, the way the item will.
size_t KeptForm(const ByteLimitedBox& box, std::wstring_view text, wchar_t* out, size_t outSize)
{
    size_t length = 0;
    if (box.timeText) {
        length = std::min(text.size(), outSize - 1);
        std::copy(text.data(), text.data() + length, out);
    } else if (!text.empty()) {
        char bytes[kKeptUnits];
        const int converted = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), bytes,
                                                  sizeof bytes, nullptr, nullptr);
        const int back = converted <= 0 ? 0
                                        : MultiByteToWideChar(CP_ACP, 0, bytes, converted, out,
                                                              static_cast<int>(outSize - 1));
        length = back > 0 ? static_cast<size_t>(back) : 0;
    }
    out[length] = L'\0';
    return length;
}

// text is about to replace the box's selection. What fits goes in: passed on
// to the box as it came (message) when all of it fits unchanged and
// passable, else put in as a replacement that can be undone (unless a
// caller's EM_REPLACESEL said otherwise). A cut beeps.
LRESULT Insert(ByteLimitedBox& box, std::wstring_view text, bool passable, UINT message, WPARAM wParam,
               LPARAM lParam)
{
    const WPARAM canUndo = message == EM_REPLACESEL ? wParam : TRUE;
    const size_t fits = UnitsThatFit(box, text);
    wchar_t kept[kKeptUnits];
    const size_t keptLength = KeptForm(box, {text.data(), fits}, kept, kKeptUnits);
    if (passable && fits == text.size() && std::wstring_view(kept, keptLength) == text)
        return CallOriginal(box, message, wParam, lParam);
    if (fits < text.size())
        MessageBeep(MB_OK);
    if (keptLength > 0) {
        CallOriginal(box, EM_REPLACESEL, canUndo, reinterpret_cast<LPARAM>(kept));
        CallOriginal(box, EM_SCROLLCARET, 0, 0);  // Windows' EM_REPLACESEL may leave the caret out of view
    }
    return 0;
}

// A typed character. An input method's WM_IME_CHAR comes as WM_CHAR: the
// box's own handling would only queue a WM_CHAR, so that what this procedure
// puts in at once (a pair, a cut) would land before characters typed ahead
// of it in the same burst.
LRESULT OnChar(ByteLimitedBox& box, WPARAM wParam, LPARAM lParam)
{
    const TypedCharacter<wchar_t> typed = JoinTypedUnit(box.pendingHigh, static_cast<wchar_t>(wParam));
    if (typed.length == 0)
        return 0;  // a high surrogate waits for its low one
    // In the multi-line comment box Ctrl+Enter types LF, which puts in a line
    // break, and Ctrl+Tab a TAB (Enter presses OK).
    const wchar_t c = typed.units[0];
    const bool multiLine = IsMultiLine(box);
    if (multiLine && c == L'\n')
        return Insert(box, L"\r\n", true, WM_CHAR, wParam, lParam);
    if (c == kDelete)
        return 0;  // Windows' edit box would insert it, as a box-shaped character
    if (c < L' ' && !(multiLine && c == L'\t'))
        return CallOriginal(box, WM_CHAR, wParam, lParam);  // Backspace, Enter, Ctrl+letters: nothing inserted
    return Insert(box, std::wstring_view(typed.units, typed.length), typed.length == 1, WM_CHAR, wParam, lParam);
}

// A character from a program that types UTF-32, taken as typed.
LRESULT OnUniChar(ByteLimitedBox& box, WPARAM wParam, LPARAM lParam)
{
    if (wParam == UNICODE_NOCHAR)
        return TRUE;  // this window takes WM_UNICHAR
    const TypedCharacter<wchar_t> typed = CodePointUnits<wchar_t>(static_cast<uint32_t>(wParam));
    for (size_t i = 0; i < typed.length; ++i)
        OnChar(box, typed.units[i], lParam);
    return FALSE;
}

// The clipboard's text; a single-line box takes its first line, as it would.
void OnPaste(ByteLimitedBox& box)
{
    if (!OpenClipboard(box.edit))
        return;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const auto* text = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
    if (text != nullptr) {
        const size_t units = GlobalSize(data) / sizeof(wchar_t);
        size_t length = 0;
        while (length < units && text[length] != L'\0')
            ++length;
        std::wstring_view pasted(text, length);
        if (!IsMultiLine(box))
            pasted = {text, std::min(length, pasted.find_first_of(L"\r\n"))};
        Insert(box, pasted, false, WM_PASTE, 0, 0);
        GlobalUnlock(data);
    }
    CloseClipboard();
}

// The combo box fills its edit field from its own list; such a text stays
// as the list holds it, however long.
bool IsOwnListText(const ByteLimitedBox& box, const wchar_t* text)
{
    if (!box.timeText || text == nullptr)
        return false;
    return SendMessageW(GetParent(box.edit), CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                        reinterpret_cast<LPARAM>(text)) != CB_ERR;
}

// Removes characters from the end of the text inserted at units from..to,
// as few as make the box fit, with a beep. The rest of the box stays, also
// when it holds more than the limit without them (a list text).
void CutInserted(ByteLimitedBox& box, size_t from, size_t to)
{
    // No character takes more than three bytes a unit in any code page.
    const LRESULT length = GetWindowTextLengthW(box.edit);
    if (length <= 0 || static_cast<size_t>(length) * kMaxBytesPerUnit <= box.maxBytes)
        return;
    size_t kept = to;  // all of it, when the text cannot be read
    WithWindowText(box.edit, [&](wchar_t* text, size_t units) {
        to = std::min(to, units);
        from = std::min(from, to);
        const size_t around = AnsiBytes(box, {text, from}) + AnsiBytes(box, {text + to, units - to});
        const size_t room = box.maxBytes > around ? box.maxBytes - around : 0;
        kept = from + FittingPrefix(std::wstring_view(text + from, to - from), room,
                                    [&box](std::wstring_view character) { return AnsiBytes(box, character); });
    });
    if (kept >= to)
        return;
    MessageBeep(MB_OK);
    CallOriginal(box, EM_SETSEL, kept, to);
    CallOriginal(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(L""));
    CallOriginal(box, EM_SCROLLCARET, 0, 0);
}

// A message the edit box handles itself: whatever it inserts meanwhile goes
// in at the selection's start.
LRESULT PassOn(ByteLimitedBox& box, UINT message, WPARAM wParam, LPARAM lParam)
{
    const size_t outer = box.insertedFrom;
    DWORD start = 0;
    CallOriginal(box, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
    box.insertedFrom = start;
    const LRESULT result = CallOriginal(box, message, wParam, lParam);
    box.insertedFrom = outer;
    return result;
}

ByteLimitedBox* LimitOf(HWND edit)
{
    if (edit == g_commentLimit.edit)
        return &g_commentLimit;
    return edit == g_timeBoxLimit.edit ? &g_timeBoxLimit : nullptr;
}

LRESULT CALLBACK ByteLimitProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam)
{
    ByteLimitedBox* box = LimitOf(edit);
    if (box == nullptr)
        return DefWindowProcW(edit, message, wParam, lParam);
    switch (message) {
    case WM_CHAR:
    case WM_IME_CHAR:
        return OnChar(*box, wParam, lParam);
    case WM_UNICHAR:
        return OnUniChar(*box, wParam, lParam);
    case WM_SETTEXT: {
        // The whole text is new, and the caret stands at its start.
        const LRESULT set = CallOriginal(*box, message, wParam, lParam);
        if (!IsOwnListText(*box, reinterpret_cast<const wchar_t*>(lParam)))
            CutInserted(*box, 0, static_cast<size_t>(GetWindowTextLengthW(edit)));
        return set;
    }
    case WM_PASTE:
        OnPaste(*box);
        return 0;
    case EM_REPLACESEL: {
        const auto* text = reinterpret_cast<const wchar_t*>(lParam);
        const std::wstring_view replacement = text != nullptr ? std::wstring_view(text) : std::wstring_view();
        return Insert(*box, replacement, true, message, wParam, lParam);
    }
    case WM_NCDESTROY: {
        const ByteLimitedBox ended = *box;
        *box = {};
        return CallWindowProcW(ended.original, edit, message, wParam, lParam);
    }
    }
    return PassOn(*box, message, wParam, lParam);
}
}

void CutToByteLimit(ByteLimitedBox& box)
{
    if (box.edit == nullptr)
        return;
    DWORD caret = 0;
    CallOriginal(box, EM_GETSEL, 0, reinterpret_cast<LPARAM>(&caret));
    CutInserted(box, std::min<size_t>(box.insertedFrom, caret), caret);
}

void StartByteLimit(ByteLimitedBox& box, HWND edit, size_t maxBytes, bool timeText)
{
    box = {edit, nullptr, maxBytes, timeText, 0, 0};
    if (edit != nullptr)
        box.original = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ByteLimitProc)));
    if (box.original == nullptr)
        box.edit = nullptr;
}
