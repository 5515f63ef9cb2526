#include "time_list.h"

#include "../dialogs/message_box.h"
#include "../module/ansi_code_page.h"
#include "../res/resource.h"
#include "../settings/comment_escape.h"
#include "../settings/decimal_text.h"
#include "../settings/list_section.h"
#include "../settings/profile.h"
#include "../settings/settings_keys.h"
#include "../timetext/time_text.h"
#include "control_text.h"
#include "item_descriptions.h"

namespace {
constexpr size_t kCommentBufferSize = kCommentMax + 1;
// Default of the ItemTime read that marks the end of the list.
constexpr char kEndOfList[] = "Anb";
// The longest entry of the time section: key, "=", a time text in quotes, NUL.
constexpr size_t kLongestTimeEntry = kDecimalTextSize + kTimeTextSize + 3;

constexpr wchar_t kAskReplaceComment[] =
    L"指定されたタイム値は、すでにリストに登録されています。\n既存のコメントを新しいものに書き換えますか？";
constexpr wchar_t kChooseItemToDelete[] = L"削除する項目をリストから選択してください。";
constexpr wchar_t kAskDeleteItem[] = L"リストで選択されている項目を削除します。\nよろしいですか？";
constexpr wchar_t kAskDeleteAll[] = L"リストからすべての項目を削除します。\nよろしいですか？";

constexpr UINT kStyleQuestion = MB_YESNO | MB_ICONQUESTION;
constexpr UINT kStyleNotice = MB_OK | MB_ICONASTERISK;
constexpr UINT kStyleWarning = MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON2;

// The comment block of item index, or null when it has none.
char* CommentBlock(HWND timeBox, int index)
{
    LRESULT data = SendMessageA(timeBox, CB_GETITEMDATA, index, 0);
    return data == CB_ERR ? nullptr : reinterpret_cast<char*>(data);
}

void AddTimeItem(HWND timeBox, const char* timeText, const char* comment)
{
    char* block = static_cast<char*>(GlobalAlloc(GPTR, kCommentBufferSize));
    if (block != nullptr)
        lstrcpynA(block, comment, kCommentBufferSize);
    LRESULT index = SendMessageA(timeBox, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(timeText));
    if (index < 0) {
        // The list refused the item, so no WM_DELETEITEM will ever free the block.
        if (block != nullptr)
            GlobalFree(block);
        return;
    }
    SendMessageA(timeBox, CB_SETITEMDATA, index, reinterpret_cast<LPARAM>(block));
}

int SelectedItem(HWND timeBox)
{
    return static_cast<int>(SendMessageA(timeBox, CB_GETCURSEL, 0, 0));
}

// Setting a multi-line edit box's text sends no EN_CHANGE, so filling the
// comment box never reaches StoreEditedComment.
void FillComment(HWND dialog, const char* text)
{
    SetDlgItemTextA(dialog, IDC_TIME_COMMENT, text);
}

void ClearComment(HWND dialog)
{
    FillComment(dialog, "");
}

void ShowSelectedComment(HWND dialog, HWND timeBox)
{
    int selected = SelectedItem(timeBox);
    const char* block = selected == CB_ERR ? nullptr : CommentBlock(timeBox, selected);
    FillComment(dialog, block != nullptr ? block : "");
}

// The user edited the comment box: the selected item's comment follows at
// once. A box that cannot be read leaves the comment as it was.
void StoreEditedComment(HWND dialog, HWND timeBox)
{
    int selected = SelectedItem(timeBox);
    if (selected == CB_ERR)
        return;
    if (char* block = CommentBlock(timeBox, selected)) {
        FetchControlText(GetDlgItem(dialog, IDC_TIME_COMMENT), block, kCommentBufferSize);
        NotifyItemDescriptionChanged(selected);
    }
}

void OnAdd(HWND dialog, HWND timeBox)
{
    char timeText[kTimeTextSize];
    if (!FetchControlText(timeBox, timeText, sizeof timeText) || timeText[0] == '\0')
        return;
    LRESULT found = SendMessageA(timeBox, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>(timeText));
    char comment[kCommentBufferSize];
    if (!FetchControlText(GetDlgItem(dialog, IDC_TIME_COMMENT), comment, sizeof comment))
        return;
    if (found == CB_ERR) {
        AddTimeItem(timeBox, timeText, comment);
        return;
    }
    if (ShowMessage(dialog, kAskReplaceComment, L"", kStyleQuestion) != IDYES)
        return;
    int index = static_cast<int>(found);
    SendMessageA(timeBox, CB_SETCURSEL, index, 0);
    char* block = CommentBlock(timeBox, index);
    if (block != nullptr)
        lstrcpynA(block, comment, kCommentBufferSize);
    SendMessageA(timeBox, CB_SETITEMDATA, index, reinterpret_cast<LPARAM>(block));
    NotifyItemDescriptionChanged(index);
}

void OnDelete(HWND dialog, HWND timeBox)
{
    int selected = SelectedItem(timeBox);
    if (selected == CB_ERR) {
        ShowMessage(dialog, kChooseItemToDelete, L"", kStyleNotice);
        return;
    }
    if (ShowMessage(dialog, kAskDeleteItem, L"", kStyleQuestion) != IDYES)
        return;
    SendMessageA(timeBox, CB_DELETESTRING, selected, 0);
    ClearComment(dialog);
}

void OnDeleteAll(HWND dialog, HWND timeBox)
{
    if (ShowMessage(dialog, kAskDeleteAll, L"", kStyleWarning) != IDYES)
        return;
    SendMessageA(timeBox, CB_RESETCONTENT, 0, 0);
    ClearComment(dialog);
}

// The comment box shows the comment of the item its edits go to, however
// the selection moved: a pick, the arrow keys or the mouse wheel on the
// closed list (CBN_SELCHANGE alone), or typing, which leaves no item
// selected, or in the dropped-down list selects the item it matches.
void OnTimeBoxNotification(HWND dialog, HWND timeBox, int notification)
{
    switch (notification) {
    case CBN_EDITCHANGE:
    case CBN_SELCHANGE:
    case CBN_CLOSEUP:
    case CBN_SELENDOK:
        ShowSelectedComment(dialog, timeBox);
        break;
    }
}

// A section's text as the parser reads it (empty when it was not read).
std::string_view SectionView(const SettingSection& section)
{
    return section.text != nullptr ? std::string_view(section.text, section.length) : std::string_view();
}

// Adds item n as loaded, its comment from entry where the comments section
// has one, by key where it may have lost it. True when timeText ends the
// list instead.
bool AddLoadedItem(HWND timeBox, size_t n, const char* timeText, const ListEntry& comment, bool commentsWhole,
                   const CodePage& page)
{
    if (lstrcmpA(timeText, kEndOfList) == 0)
        return true;
    char stored[kEscapedCommentSize] = "";
    size_t length = 0;
    if (comment.present && comment.hasValue) {
        length = ReadListValue(comment.value, stored, sizeof stored, page);
    } else if (!comment.present && !commentsWhole) {
        char key[kDecimalTextSize];
        FormatDecimal(static_cast<int32_t>(n), key, sizeof key);
        length = ReadSettingText(kSectionItemComment, key, "", stored, sizeof stored);
    }
    char text[kCommentBufferSize];
    UnescapeComment(std::string_view(stored, length), text, sizeof text, kCommentMax, page);
    AddTimeItem(timeBox, timeText, text);
    return false;
}

// Items from index n on, each read by its key, up to the first missing one.
void LoadItemsByKey(HWND timeBox, size_t n, const CodePage& page)
{
    for (;; ++n) {
        char key[kDecimalTextSize];
        FormatDecimal(static_cast<int32_t>(n), key, sizeof key);
        char timeText[kTimeTextSize];
        ReadSettingText(kSectionItemTime, key, kEndOfList, timeText, sizeof timeText);
        if (AddLoadedItem(timeBox, n, timeText, {}, false, page))
            return;
    }
}

// A section text being made: entries in list order.
struct SectionText {
    char* text;
    size_t size;
    size_t used;
};

// Room for count entries of at most entryBytes each; no text without memory.
SectionText NewSectionText(size_t count, size_t entryBytes)
{
    const size_t size = count * entryBytes + 1;
    auto* text = static_cast<char*>(GlobalAlloc(GMEM_FIXED, size));
    if (text != nullptr)
        text[0] = '\0';
    return {text, size, 0};
}

// An item as it is stored: its key, time text and escaped comment, each
// value in the form that reads back as it is.
struct StoredItem {
    char key[kDecimalTextSize];
    char timeText[kTimeTextSize + 2];
    char comment[kEscapedCommentSize + 2];
};

void FetchStoredItem(HWND timeBox, int index, StoredItem& item)
{
    FormatDecimal(index, item.key, sizeof item.key);
    char timeText[kTimeTextSize];
    const size_t timeLength = FetchTimeItemText(timeBox, index, timeText, sizeof timeText);
    StoreListValue({timeText, timeLength}, item.timeText, sizeof item.timeText);
    const char* block = CommentBlock(timeBox, index);
    char escaped[kEscapedCommentSize];
    const size_t escapedLength = EscapeComment(block != nullptr ? block : "", escaped, sizeof escaped);
    StoreListValue({escaped, escapedLength}, item.comment, sizeof item.comment);
}

void AppendEntry(SectionText& section, const char* key, const char* value)
{
    section.used = AppendSectionEntry(section.text, section.size, section.used, key, value);
}
}

void LoadTimeList(HWND timeBox)
{
    const CodePage page = AnsiCodePage();
    SettingSection times, comments;
    ReadSettingSection(kSectionItemTime, times);
    const bool commentsRead = ReadSettingSection(kSectionItemComment, comments);
    // Each item has an entry of its own, so the list has no index past them.
    size_t count = CountSectionEntries(SectionView(times));
    auto* entries = static_cast<ListEntry*>(GlobalAlloc(GMEM_FIXED, 2 * count * sizeof(ListEntry) + 1));
    if (entries == nullptr)
        count = 0;
    ListEntry* timeEntries = entries;
    ListEntry* commentEntries = entries + count;
    IndexListSection(SectionView(times), timeEntries, count, times.mayBeCut);
    IndexListSection(SectionView(comments), commentEntries, count, comments.mayBeCut);
    // Where the comments could not be read whole, the missing ones are read by key.
    const bool commentsWhole = commentsRead && !comments.mayBeCut;

    // Room for the items at once, and no drawing while they go in.
    SendMessageA(timeBox, CB_INITSTORAGE, count, count * kTimeTextSize);
    SendMessageA(timeBox, WM_SETREDRAW, FALSE, 0);
    size_t n = 0;
    bool ended = false;
    for (; n < count && timeEntries[n].present && !ended; ++n) {
        char timeText[kTimeTextSize] = "";
        if (timeEntries[n].hasValue)
            ReadListValue(timeEntries[n].value, timeText, sizeof timeText, page);
        else
            lstrcpynA(timeText, kEndOfList, sizeof timeText);
        ended = AddLoadedItem(timeBox, n, timeText, commentEntries[n], commentsWhole, page);
    }
    // The end of the list is confirmed by key: a section cut short, or one
    // that could not be read, goes on there.
    if (!ended)
        LoadItemsByKey(timeBox, n, page);
    SendMessageA(timeBox, WM_SETREDRAW, TRUE, 0);
    if (entries != nullptr)
        GlobalFree(entries);
    FreeSettingSection(times);
    FreeSettingSection(comments);
}

bool SaveTimeList(HWND timeBox)
{
    const LRESULT count = SendMessageA(timeBox, CB_GETCOUNT, 0, 0);
    const size_t items = count > 0 ? static_cast<size_t>(count) : 0;
    SectionText times = NewSectionText(items, kLongestTimeEntry);
    SectionText comments = NewSectionText(items, kLongestListEntry);
    // Without memory for the section texts the items are written key by key.
    const bool bySection = times.text != nullptr && comments.text != nullptr;
    bool written = DeleteSettingSection(kSectionItemTime) != FALSE;
    written = DeleteSettingSection(kSectionItemComment) != FALSE && written;
    for (size_t index = 0; index < items; ++index) {
        StoredItem item;
        FetchStoredItem(timeBox, static_cast<int>(index), item);
        if (bySection) {
            AppendEntry(times, item.key, item.timeText);
            AppendEntry(comments, item.key, item.comment);
        } else {
            written = WriteSettingText(kSectionItemTime, item.key, item.timeText) != FALSE && written;
            written = WriteSettingText(kSectionItemComment, item.key, item.comment) != FALSE && written;
        }
    }
    if (bySection) {
        written = WriteSettingSection(kSectionItemTime, {times.text, times.used}) != FALSE && written;
        written = WriteSettingSection(kSectionItemComment, {comments.text, comments.used}) != FALSE && written;
    }
    for (char* text : {times.text, comments.text})
        if (text != nullptr)
            GlobalFree(text);
    return written;
}

void OnTimeListCommand(HWND dialog, int control, int notification)
{
    HWND timeBox = GetDlgItem(dialog, IDC_TIME_BOX);
    switch (control) {
    case IDC_TIME_BOX:
        OnTimeBoxNotification(dialog, timeBox, notification);
        break;
    case IDC_TIME_COMMENT:
        if (notification == EN_CHANGE)
            StoreEditedComment(dialog, timeBox);
        break;
    case IDC_TIME_ADD:
        OnAdd(dialog, timeBox);
        break;
    case IDC_TIME_DELETE:
        OnDelete(dialog, timeBox);
        break;
    case IDC_TIME_DELETE_ALL:
        OnDeleteAll(dialog, timeBox);
        break;
    }
}

const char* TimeItemComment(HWND timeBox, int index)
{
    return CommentBlock(timeBox, index);
}

BOOL OnTimeListDeleteItem(WPARAM control, const DELETEITEMSTRUCT* item)
{
    if (control != IDC_TIME_BOX)
        return FALSE;
    if (item->itemData != 0)
        GlobalFree(reinterpret_cast<HGLOBAL>(item->itemData));
    return TRUE;
}
