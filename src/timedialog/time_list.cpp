#include "time_list.h"

#include "../dialogs/message_box.h"
#include "../module/ansi_code_page.h"
#include "../res/resource.h"
#include "../settings/comment_escape.h"
#include "../settings/decimal_text.h"
#include "../settings/profile.h"
#include "../settings/settings_keys.h"
#include "../timetext/time_text.h"
#include "control_text.h"
#include "item_descriptions.h"

namespace {
constexpr size_t kCommentBufferSize = kCommentMax + 1;
// Default of the ItemTime read that marks the end of the list.
constexpr char kEndOfList[] = "Anb";

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
}

void LoadTimeList(HWND timeBox)
{
    const CodePage page = AnsiCodePage();
    for (int32_t n = 0;; ++n) {
        char key[kDecimalTextSize];
        FormatDecimal(n, key, sizeof key);
        char timeText[kTimeTextSize];
        ReadSettingText(kSectionItemTime, key, kEndOfList, timeText, sizeof timeText);
        if (lstrcmpA(timeText, kEndOfList) == 0)
            break;
        char stored[kEscapedCommentSize];
        DWORD length = ReadSettingText(kSectionItemComment, key, "", stored, sizeof stored);
        char comment[kCommentBufferSize];
        UnescapeComment(std::string_view(stored, length), comment, sizeof comment, kCommentMax, page);
        AddTimeItem(timeBox, timeText, comment);
    }
}

bool SaveTimeList(HWND timeBox)
{
    LRESULT count = SendMessageA(timeBox, CB_GETCOUNT, 0, 0);
    bool written = DeleteSettingSection(kSectionItemTime) != FALSE;
    written &= DeleteSettingSection(kSectionItemComment) != FALSE;
    for (int index = 0; index < count; ++index) {
        char key[kDecimalTextSize];
        FormatDecimal(index, key, sizeof key);
        char timeText[kTimeTextSize];
        FetchTimeItemText(timeBox, index, timeText, sizeof timeText);
        written &= WriteSettingText(kSectionItemTime, key, timeText) != FALSE;
        const char* block = CommentBlock(timeBox, index);
        char escaped[kEscapedCommentSize];
        EscapeComment(block != nullptr ? block : "", escaped, sizeof escaped);
        written &= WriteSettingText(kSectionItemComment, key, escaped) != FALSE;
    }
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
