// The time list of the time dialog: loading and saving ItemTime and
// ItemComment, Add, Delete, Delete all, comments, and the comment blocks.
#include <gtest/gtest.h>
#include <windows.h>
#include <imm.h>

#include <cstdio>
#include <map>
#include <set>

#include "code_page_text.h"
#include "dialog_driver.h"
#include "import_patch.h"
#include "module/inserted_text.h"
#include "module_copy.h"
#include "screen_area.h"
#include "time_dialog_probe.h"
#include "time_list_driver.h"

namespace {
using Lines = std::vector<std::string>;

constexpr int kCode = 1000;  // beat 1, tick 0
constexpr int kTimeBox = 102;
constexpr int kDelete = 103;
constexpr int kAdd = 104;
constexpr int kDeleteAll = 105;
constexpr size_t kCommentMax = 259;

constexpr char kAskReplace[] =
    "指定されたタイム値は、すでにリストに登録されています。\n既存のコメントを新しいものに書き換えますか？";
constexpr char kChooseItem[] = "削除する項目をリストから選択してください。";
constexpr char kAskDelete[] = "リストで選択されている項目を削除します。\nよろしいですか？";
constexpr char kAskDeleteAll[] = "リストからすべての項目を削除します。\nよろしいですか？";

// Shift-JIS "ソ": its trail byte is a backslash.
constexpr char kSo[] = "\x83\x5C";

Lines SavedTimes(const ModuleCopy& copy)
{
    return SectionLines(copy.ReadIni(), "ItemTime");
}

Lines SavedComments(const ModuleCopy& copy)
{
    return SectionLines(copy.ReadIni(), "ItemComment");
}

// Opens the dialog on the stored list, lets user work it, and cancels it.
void WithList(const ModuleCopy& copy, const std::vector<StoredItem>& items,
              const std::function<void(HWND dialog)>& user)
{
    copy.WriteIni(ListSettings(items));
    DialogRun run = RunTimeDialog(copy, kCode, user);
    ASSERT_TRUE(run.dialogSeen);
    EXPECT_EQ(run.result, 0);
}

std::string Repeat(const std::string& part, int times)
{
    std::string text;
    for (int i = 0; i < times; ++i)
        text += part;
    return text;
}
}

// ---------------------------------------------------------------------------
// Loading and saving

TEST(TimeListFile, ItemsAndCommentsRoundTripInListOrder)
{
    ModuleCopy copy;
    Lines shown;
    std::vector<std::string> comments;
    int selectedAtStart = 0;
    std::string commentAtStart = "<unread>";
    WithList(copy,
             {{"12:03:005", "first"},
              {"1:01:000", "a\\nb\\tc"},
              {"abc", "", false},
              {"7:02:100", "C:\\new"},
              {"2:01:000", ""}},
             [&](HWND dialog) {
                 shown = ListItems(dialog);
                 selectedAtStart = SelectedItem(dialog);
                 commentAtStart = CommentText(dialog);
                 for (int i = 0; i < ListCount(dialog); ++i) {
                     PickItem(dialog, i);
                     comments.push_back(CommentText(dialog));
                 }
             });
    EXPECT_EQ(shown, (Lines{"12:03:005", "1:01:000", "abc", "7:02:100", "2:01:000"}));
    EXPECT_EQ(selectedAtStart, CB_ERR);
    EXPECT_EQ(commentAtStart, "");
    // Escapes come back as CR LF and TAB; "\n" typed by hand becomes a line break too.
    EXPECT_EQ(comments, (std::vector<std::string>{"first", "a\r\nb\tc", "", "C:\r\new", ""}));
    EXPECT_EQ(SavedTimes(copy), (Lines{"0=12:03:005", "1=1:01:000", "2=abc", "3=7:02:100", "4=2:01:000"}));
    EXPECT_EQ(SavedComments(copy), (Lines{"0=first", "1=a\\nb\\tc", "2=", "3=C:\\new", "4="}));
}

TEST(TimeListFile, LoadingStopsAtTheFirstMissingKeyAndSaveDropsTheRest)
{
    ModuleCopy copy;
    copy.WriteIni(ListSettings({{"1:01:000", "one"}, {"2:01:000", "two"}, {"4:01:000", "four"}}, {0, 1, 3}));
    Lines shown;
    DialogRun run = RunTimeDialog(copy, kCode, [&](HWND dialog) { shown = ListItems(dialog); });
    ASSERT_TRUE(run.dialogSeen);
    EXPECT_EQ(shown, (Lines{"1:01:000", "2:01:000"}));
    EXPECT_EQ(SavedTimes(copy), (Lines{"0=1:01:000", "1=2:01:000"}));
    EXPECT_EQ(SavedComments(copy), (Lines{"0=one", "1=two"}));
}

TEST(TimeListFile, TimeTextAnbEndsTheList)
{
    ModuleCopy copy;
    Lines shown;
    WithList(copy, {{"1:01:000", "one"}, {"Anb", "marker"}, {"3:01:000", "three"}},
             [&](HWND dialog) { shown = ListItems(dialog); });
    EXPECT_EQ(shown, (Lines{"1:01:000"}));
    EXPECT_EQ(SavedTimes(copy), (Lines{"0=1:01:000"}));
    EXPECT_EQ(SavedComments(copy), (Lines{"0=one"}));
}

TEST(TimeListFile, CommentOf259TabsIsSavedAs517Characters)
{
    ModuleCopy copy;
    std::string shown;
    WithList(copy, {{"1:01:000", Repeat("\\t", 259)}}, [&](HWND dialog) {
        PickItem(dialog, 0);
        shown = CommentText(dialog);
    });
    EXPECT_EQ(shown, std::string(259, '\t'));
    // The last character is never escaped: the value goes in quotes, which
    // keep the TAB that a read would trim.
    std::string expected = "0=\"" + Repeat("\\t", 258) + "\t\"";
    ASSERT_EQ(expected.size(), 2u + 519u);
    EXPECT_EQ(SavedComments(copy), (Lines{expected}));
}

TEST(TimeListFile, ShiftJisTrailBackslashIsNoEscape)
{
    ModuleCopy copy;
    const std::string sonata = std::string(kSo) + "nata";
    ASSERT_EQ(sonata, "\x83\x5C\x6E\x61\x74\x61");
    std::string shown;
    WithList(copy, {{"1:01:000", sonata + "\\n" + kSo + "\\t"}}, [&](HWND dialog) {
        PickItem(dialog, 0);
        shown = CommentText(dialog);
    });
    EXPECT_EQ(shown, sonata + "\r\n" + kSo + "\t");
    EXPECT_EQ(SavedComments(copy), (Lines{"0=\"" + sonata + "\\n" + kSo + "\t\""}));
}

TEST(TimeListFile, OverlongStoredCommentIsCutWithoutSplittingACharacter)
{
    ModuleCopy copy;
    // 1 + 130 * 2 bytes: 259 bytes end on a whole character.
    const std::string odd = "x" + Repeat(kSo, 130);
    // 130 * 2 bytes: byte 259 would be a lead byte, so 258 remain.
    const std::string even = Repeat(kSo, 130);
    // Escapes count as what they unescape to: 300 TABs from 600 stored bytes
    // are more than the read takes; the 259 TABs that remain are kept whole.
    const std::string tabs = Repeat("\\t", 300);
    // A time text longer than its 59 bytes is cut between characters too.
    const std::string longTime = Repeat(kSo, 40);
    std::vector<std::string> shown;
    std::string timeShown;
    WithList(copy, {{longTime, ""}, {"1:01:000", odd}, {"2:01:000", even}, {"3:01:000", tabs}}, [&](HWND dialog) {
        timeShown = ListItem(dialog, 0);
        for (int i = 1; i < ListCount(dialog); ++i) {
            PickItem(dialog, i);
            shown.push_back(CommentText(dialog));
        }
    });
    EXPECT_EQ(timeShown, Repeat(kSo, 29));
    const std::string oddCut = "x" + Repeat(kSo, 129);
    const std::string evenCut = Repeat(kSo, 129);
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0], oddCut);
    EXPECT_EQ(shown[1], evenCut);
    EXPECT_EQ(shown[2], std::string(259, '\t'));
    EXPECT_EQ(SavedComments(copy), (Lines{"0=", "1=" + oddCut, "2=" + evenCut, "3=\"" + Repeat("\\t", 258) + "\t\""}));
}

TEST(TimeListFile, CommentTypedWithLineBreakAndTabIsStoredEscaped)
{
    ModuleCopy copy;
    std::string shown;
    WithList(copy, {{"1:01:000", "old"}}, [&](HWND dialog) {
        PickItem(dialog, 0);
        // Ctrl+Enter types a line feed, which the box turns into CR LF; Ctrl+Tab a TAB.
        TypeText(CommentBox(dialog), "a\nb\tc");
        shown = CommentText(dialog);
    });
    EXPECT_EQ(shown, "a\r\nb\tc");
    EXPECT_EQ(SavedComments(copy), (Lines{"0=a\\nb\\tc"}));
}

// ---------------------------------------------------------------------------
// Add

TEST(TimeListAdd, NewTextIsAppendedWithTheCommentAndNotSelected)
{
    ModuleCopy copy;
    Lines shown;
    int selected = 0;
    WithList(copy, {{"1:01:000", "one"}}, [&](HWND dialog) {
        TypeText(TimeBoxEdit(dialog), "5:02:000");
        TypeText(CommentBox(dialog), "new place");
        SendCommand(dialog, kAdd);
        shown = ListItems(dialog);
        selected = SelectedItem(dialog);
    });
    EXPECT_EQ(shown, (Lines{"1:01:000", "5:02:000"}));
    EXPECT_EQ(selected, CB_ERR);
    EXPECT_EQ(SavedTimes(copy), (Lines{"0=1:01:000", "1=5:02:000"}));
    EXPECT_EQ(SavedComments(copy), (Lines{"0=one", "1=new place"}));
}

TEST(TimeListAdd, EmptyTimeTextAddsNothing)
{
    ModuleCopy copy;
    Lines shown;
    WithList(copy, {{"1:01:000", "one"}}, [&](HWND dialog) {
        TypeText(TimeBoxEdit(dialog), "");
        SendCommand(dialog, kAdd);
        shown = ListItems(dialog);
    });
    EXPECT_EQ(shown, (Lines{"1:01:000"}));
}

TEST(TimeListAdd, ExistingTextAsksBeforeReplacingTheComment)
{
    ModuleCopy copy;
    BoxSeen no;
    BoxSeen yes;
    Lines afterNo;
    Lines afterYes;
    std::string commentAfterNo;
    std::string itemCommentAfterNo;
    int selectedAfterYes = CB_ERR;
    std::string timeAfterYes;
    std::string commentAfterYes;
    WithList(copy, {{"1:01:000", "one"}, {"ABC", "old"}}, [&](HWND dialog) {
        // The search ignores letter case but wants the whole text.
        TypeText(TimeBoxEdit(dialog), "abc");
        TypeText(CommentBox(dialog), "new");
        no = AnswerCommand(dialog, kAdd, IDNO);
        afterNo = ListItems(dialog);
        commentAfterNo = CommentText(dialog);

        yes = AnswerCommand(dialog, kAdd, IDYES);
        afterYes = ListItems(dialog);
        selectedAfterYes = SelectedItem(dialog);
        timeAfterYes = ItemText(dialog, kTimeBox);
        commentAfterYes = CommentText(dialog);
    });
    for (const BoxSeen* box : {&no, &yes}) {
        ASSERT_TRUE(box->shown);
        EXPECT_EQ(box->caption, "確認");
        EXPECT_EQ(box->text, kAskReplace);
        EXPECT_TRUE(box->hasYesNo);
    }
    EXPECT_EQ(afterNo, (Lines{"1:01:000", "ABC"}));
    EXPECT_EQ(commentAfterNo, "new");
    EXPECT_EQ(afterYes, (Lines{"1:01:000", "ABC"}));
    EXPECT_EQ(selectedAfterYes, 1);
    EXPECT_EQ(timeAfterYes, "ABC");
    EXPECT_EQ(commentAfterYes, "new");
    EXPECT_EQ(SavedTimes(copy), (Lines{"0=1:01:000", "1=ABC"}));
    EXPECT_EQ(SavedComments(copy), (Lines{"0=one", "1=new"}));
}

TEST(TimeListAdd, NoLeavesTheExistingCommentAlone)
{
    ModuleCopy copy;
    BoxSeen no;
    WithList(copy, {{"ABC", "old"}}, [&](HWND dialog) {
        TypeText(TimeBoxEdit(dialog), "abc");
        TypeText(CommentBox(dialog), "new");
        no = AnswerCommand(dialog, kAdd, IDNO);
    });
    EXPECT_TRUE(no.shown);
    EXPECT_EQ(SavedTimes(copy), (Lines{"0=ABC"}));
    EXPECT_EQ(SavedComments(copy), (Lines{"0=old"}));
}

TEST(TimeListAdd, PrefixOfAnItemIsANewText)
{
    ModuleCopy copy;
    Lines shown;
    WithList(copy, {{"1:01:000", "one"}}, [&](HWND dialog) {
        TypeText(TimeBoxEdit(dialog), "1:01");
        SendCommand(dialog, kAdd);
        shown = ListItems(dialog);
    });
    EXPECT_EQ(shown, (Lines{"1:01:000", "1:01"}));
}

// ---------------------------------------------------------------------------
// Delete and Delete all

TEST(TimeListDelete, WithoutSelectionShowsANoticeAndChangesNothing)
{
    ModuleCopy copy;
    BoxSeen notice;
    Lines shown;
    WithList(copy, {{"1:01:000", "one"}, {"2:01:000", "two"}}, [&](HWND dialog) {
        notice = AnswerCommand(dialog, kDelete, IDOK);
        shown = ListItems(dialog);
    });
    ASSERT_TRUE(notice.shown);
    EXPECT_EQ(notice.caption, "情報");
    EXPECT_EQ(notice.text, kChooseItem);
    EXPECT_FALSE(notice.hasYesNo);
    EXPECT_EQ(shown, (Lines{"1:01:000", "2:01:000"}));
    EXPECT_EQ(SavedTimes(copy), (Lines{"0=1:01:000", "1=2:01:000"}));
    EXPECT_EQ(SavedComments(copy), (Lines{"0=one", "1=two"}));
}

TEST(TimeListDelete, AsksAndYesRemovesTheSelectedItem)
{
    ModuleCopy copy;
    BoxSeen no;
    BoxSeen yes;
    Lines afterNo;
    Lines afterYes;
    std::string commentAfterNo;
    std::string commentAfterYes;
    WithList(copy, {{"1:01:000", "one"}, {"2:01:000", "two"}, {"3:01:000", "three"}}, [&](HWND dialog) {
        PickItem(dialog, 1);
        no = AnswerCommand(dialog, kDelete, IDNO);
        afterNo = ListItems(dialog);
        commentAfterNo = CommentText(dialog);

        yes = AnswerCommand(dialog, kDelete, IDYES);
        afterYes = ListItems(dialog);
        commentAfterYes = CommentText(dialog);
    });
    for (const BoxSeen* box : {&no, &yes}) {
        ASSERT_TRUE(box->shown);
        EXPECT_EQ(box->caption, "確認");
        EXPECT_EQ(box->text, kAskDelete);
        EXPECT_TRUE(box->hasYesNo);
    }
    EXPECT_EQ(afterNo, (Lines{"1:01:000", "2:01:000", "3:01:000"}));
    EXPECT_EQ(commentAfterNo, "two");
    EXPECT_EQ(afterYes, (Lines{"1:01:000", "3:01:000"}));
    EXPECT_EQ(commentAfterYes, "");
    EXPECT_EQ(SavedTimes(copy), (Lines{"0=1:01:000", "1=3:01:000"}));
    EXPECT_EQ(SavedComments(copy), (Lines{"0=one", "1=three"}));
}

TEST(TimeListDelete, DeleteAllWarnsWithNoAsDefaultAndYesEmptiesTheList)
{
    ModuleCopy copy;
    BoxSeen no;
    BoxSeen yes;
    int countAfterNo = 0;
    int countAfterEnter = 0;
    bool goneAfterEnter = false;
    int countAfterYes = -1;
    std::string commentAfterYes = "<unread>";
    WithList(copy, {{"1:01:000", "one"}, {"2:01:000", "two"}}, [&](HWND dialog) {
        PickItem(dialog, 0);
        no = AnswerCommand(dialog, kDeleteAll, IDNO);
        countAfterNo = ListCount(dialog);

        // Enter presses the default button, No.
        PostCommand(dialog, kDeleteAll);
        HWND box = WaitForOwnedDialog(dialog);
        if (box == nullptr)
            return;
        PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
        goneAfterEnter = WaitUntilGone(box);
        Settle(dialog);
        countAfterEnter = ListCount(dialog);

        yes = AnswerCommand(dialog, kDeleteAll, IDYES);
        countAfterYes = ListCount(dialog);
        commentAfterYes = CommentText(dialog);
    });
    for (const BoxSeen* box : {&no, &yes}) {
        ASSERT_TRUE(box->shown);
        EXPECT_EQ(box->caption, "警告");
        EXPECT_EQ(box->text, kAskDeleteAll);
        EXPECT_TRUE(box->hasYesNo);
        EXPECT_EQ(box->defaultButton, IDNO);
    }
    EXPECT_EQ(countAfterNo, 2);
    EXPECT_TRUE(goneAfterEnter);
    EXPECT_EQ(countAfterEnter, 2);
    EXPECT_EQ(countAfterYes, 0);
    EXPECT_EQ(commentAfterYes, "");
    // The dialog was cancelled, yet the emptied list is saved: no sections remain.
    std::string raw = copy.ReadIni();
    EXPECT_FALSE(HasSection(raw, "ItemTime")) << raw;
    EXPECT_FALSE(HasSection(raw, "ItemComment")) << raw;
    EXPECT_TRUE(HasSection(raw, "MainWindow")) << raw;
}

// ---------------------------------------------------------------------------
// Comments

TEST(TimeListComment, PickingShowsTheCommentAndTypingATimeEmptiesIt)
{
    ModuleCopy copy;
    std::string picked;
    std::string afterTyping = "<unread>";
    WithList(copy, {{"1:01:000", "one"}, {"2:01:000", "two\\nlines"}}, [&](HWND dialog) {
        PickItem(dialog, 1);
        picked = CommentText(dialog);
        TypeText(TimeBoxEdit(dialog), "9", false);
        afterTyping = CommentText(dialog);
    });
    EXPECT_EQ(picked, "two\r\nlines");
    EXPECT_EQ(afterTyping, "");
    // Emptying the box is no edit of the item's comment.
    EXPECT_EQ(SavedComments(copy), (Lines{"0=one", "1=two\\nlines"}));
}

TEST(TimeListComment, TypedCommentChangesTheSelectedItemAndSurvivesReopening)
{
    ModuleCopy copy;
    std::string shownAfterMove;
    WithList(copy, {{"1:01:000", "one"}, {"2:01:000", "two"}}, [&](HWND dialog) {
        PickItem(dialog, 0);
        // The mouse wheel or an arrow key on the closed list: CBN_SELCHANGE alone.
        SendDlgItemMessageA(dialog, kTimeBox, CB_SETCURSEL, 1, 0);
        SendCommand(dialog, kTimeBox, CBN_SELCHANGE);
        shownAfterMove = CommentText(dialog);
        TypeText(CommentBox(dialog), "second ", false);
    });
    EXPECT_EQ(shownAfterMove, "two");
    EXPECT_EQ(SavedComments(copy), (Lines{"0=one", "1=second two"}));

    std::string shown;
    DialogRun run = RunTimeDialog(copy, kCode, [&](HWND dialog) {
        PickItem(dialog, 1);
        shown = CommentText(dialog);
    });
    ASSERT_TRUE(run.dialogSeen);
    EXPECT_EQ(shown, "second two");
}

// Windows ends the session with the dialog open: it may end the process
// after WM_ENDSESSION without WM_DESTROY, so the edits are in the file before
// the dialog ends, without a notice that nobody could answer. A session that
// goes on writes nothing yet, and an edit made after either still reaches
// the file when the dialog ends.
TEST(TimeListComment, EndOfTheSessionWritesTheOpenDialogsEdits)
{
    const struct {
        WPARAM ending;
        bool held;  // another program holds the file without letting it be written
        Lines comments;
        bool placeWritten;
    } rows[] = {
        {TRUE, false, {"0=edited one"}, true},
        {FALSE, false, {"0=one"}, false},
        {TRUE, true, {"0=one"}, false},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.ending << (row.held ? ", held" : ""));
        ModuleCopy copy;
        std::string whileOpen;
        LRESULT allowed = 0;
        bool noticed = true;
        WithList(copy, {{"1:01:000", "one"}}, [&](HWND dialog) {
            PickItem(dialog, 0);
            TypeText(CommentBox(dialog), "edited ", false);
            HANDLE holder = row.held ? CreateFileW(copy.wideIniPath().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                   OPEN_EXISTING, 0, nullptr)
                                     : INVALID_HANDLE_VALUE;
            allowed = SendMessageW(dialog, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF);
            PostMessageW(dialog, WM_ENDSESSION, row.ending, ENDSESSION_LOGOFF);
            HWND notice = WaitForOwnedDialog(dialog, 1000);
            noticed = notice != nullptr;
            if (noticed)
                AnswerBox(dialog, IDOK);
            whileOpen = copy.ReadIni();
            if (holder != INVALID_HANDLE_VALUE)
                CloseHandle(holder);
            TypeText(CommentBox(dialog), "again ", false);
        });
        EXPECT_NE(allowed, 0) << "the dialog must not hold up the end of the session";
        EXPECT_FALSE(noticed) << "nobody can answer a notice at the end of a session";
        EXPECT_EQ(SectionLines(whileOpen, "ItemComment"), row.comments);
        EXPECT_EQ(HasSection(whileOpen, "MainWindow"), row.placeWritten);
        EXPECT_EQ(SavedComments(copy), (Lines{"0=edited again one"}));
    }
}

TEST(TimeListComment, TypedCommentWithoutSelectionChangesNoItem)
{
    ModuleCopy copy;
    WithList(copy, {{"1:01:000", "one"}}, [&](HWND dialog) {
        TypeText(CommentBox(dialog), "nobody's");
    });
    EXPECT_EQ(SavedComments(copy), (Lines{"0=one"}));
}

TEST(TimeListComment, TypingInTheDroppedDownListKeepsTheMatchedItemsComment)
{
    ModuleCopy copy;
    int matched = CB_ERR;
    std::string commentWhileDropped = "<unread>";
    std::string commentAfterCloseUp = "<unread>";
    WithList(copy, {{"1:01:000", "one"}, {"2:01:000", "two"}, {"2:03:000", "three"}}, [&](HWND dialog) {
        PickItem(dialog, 0);
        SendDlgItemMessageA(dialog, kTimeBox, CB_SHOWDROPDOWN, TRUE, 0);
        // Typing over the time text: the dropped-down list selects the first
        // item that starts with it, and the comment box follows.
        HWND edit = TimeBoxEdit(dialog);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        TypeText(edit, "2:0", false);
        matched = SelectedItem(dialog);
        commentWhileDropped = CommentText(dialog);
        SendDlgItemMessageA(dialog, kTimeBox, CB_SHOWDROPDOWN, FALSE, 0);
        commentAfterCloseUp = CommentText(dialog);
    });
    EXPECT_EQ(matched, 1);
    EXPECT_EQ(commentWhileDropped, "two") << "the comment of the item its edits would go to";
    EXPECT_EQ(commentAfterCloseUp, "two");
    EXPECT_EQ(SavedComments(copy), (Lines{"0=one", "1=two", "2=three"}));
}

TEST(TimeListComment, LongTypedJapaneseCommentIsKeptWhole)
{
    ModuleCopy copy;
    std::string shown;
    WithList(copy, {{"1:01:000", "x" + Repeat(kSo, 129)}}, [&](HWND dialog) {
        PickItem(dialog, 0);
        HWND box = CommentBox(dialog);
        SendMessageA(box, EM_SETSEL, 0, -1);
        SendMessageA(box, WM_CHAR, VK_BACK, 0);
        // One character at a time, as an input method hands them over.
        for (int i = 0; i < 140; ++i)
            SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kSo));
        shown = CommentText(dialog);
    });
    // The box stops at the bytes an item keeps, not at 259 characters.
    EXPECT_EQ(shown, Repeat(kSo, 129));
    EXPECT_EQ(SavedComments(copy), (Lines{"0=" + Repeat(kSo, 129)}));
}

// ---------------------------------------------------------------------------
// Comment blocks

namespace {
using GlobalAllocFn = HGLOBAL(WINAPI*)(UINT, SIZE_T);
using GlobalFreeFn = HGLOBAL(WINAPI*)(HGLOBAL);

// What the module allocated and freed; only its own thread calls these.
struct BlockLedger {
    GlobalAllocFn alloc = nullptr;
    GlobalFreeFn free = nullptr;
    std::set<HGLOBAL> live;
    int commentBlocks = 0;
    int strangeFrees = 0;  // of a block it never allocated, or twice
};
BlockLedger g_ledger;
constexpr SIZE_T kCommentBlockSize = 260;

HGLOBAL WINAPI CountingGlobalAlloc(UINT flags, SIZE_T bytes)
{
    HGLOBAL block = g_ledger.alloc(flags, bytes);
    if (block != nullptr) {
        g_ledger.live.insert(block);
        if (bytes == kCommentBlockSize)
            ++g_ledger.commentBlocks;
    }
    return block;
}

HGLOBAL WINAPI CountingGlobalFree(HGLOBAL block)
{
    if (g_ledger.live.erase(block) == 0)
        ++g_ledger.strangeFrees;
    return g_ledger.free(block);
}
}

TEST(TimeListBlocks, EveryCommentBlockIsFreedExactlyOnce)
{
    ModuleCopy copy;
    g_ledger = BlockLedger{};
    g_ledger.alloc = reinterpret_cast<GlobalAllocFn>(
        PatchImport(copy.module(), "KERNEL32.dll", "GlobalAlloc", reinterpret_cast<void*>(CountingGlobalAlloc)));
    g_ledger.free = reinterpret_cast<GlobalFreeFn>(
        PatchImport(copy.module(), "KERNEL32.dll", "GlobalFree", reinterpret_cast<void*>(CountingGlobalFree)));
    ASSERT_NE(g_ledger.alloc, nullptr);
    ASSERT_NE(g_ledger.free, nullptr);

    constexpr int kItems = 50;
    constexpr int kDialogs = 30;
    std::vector<StoredItem> items;
    for (int i = 0; i < kItems; ++i)
        items.push_back({std::to_string(i + 1) + ":01:000", "comment " + std::to_string(i)});
    copy.WriteIni(ListSettings(items));

    int allocatedBefore = 0;
    for (int round = 0; round < kDialogs; ++round) {
        const int loaded = static_cast<int>(SavedTimes(copy).size());
        // Each round adds an item, replaces a comment and deletes an item;
        // every third round also deletes all and adds one afterwards.
        const bool deleteAll = round % 3 == 2;
        size_t liveWithList = 0;
        int itemsAtEnd = -1;
        int boxesAnswered = 0;
        DialogRun run = RunTimeDialog(copy, kCode, [&](HWND dialog) {
            TypeText(TimeBoxEdit(dialog), "new " + std::to_string(round));
            SendCommand(dialog, kAdd);
            TypeText(TimeBoxEdit(dialog), ListItem(dialog, 0));
            boxesAnswered += AnswerCommand(dialog, kAdd, IDYES).shown;
            PickItem(dialog, 1);
            boxesAnswered += AnswerCommand(dialog, kDelete, IDYES).shown;
            if (deleteAll) {
                boxesAnswered += AnswerCommand(dialog, kDeleteAll, IDYES).shown;
                TypeText(TimeBoxEdit(dialog), "after all");
                SendCommand(dialog, kAdd);
            }
            liveWithList = g_ledger.live.size();
            itemsAtEnd = ListCount(dialog);
        });
        ASSERT_TRUE(run.dialogSeen);
        ASSERT_EQ(boxesAnswered, deleteAll ? 3 : 2) << "round " << round;
        // One block per item while the dialog is open, none once it is gone.
        EXPECT_EQ(liveWithList, static_cast<size_t>(itemsAtEnd)) << "round " << round;
        ASSERT_EQ(g_ledger.live.size(), 0u) << "round " << round;
        EXPECT_EQ(g_ledger.commentBlocks - allocatedBefore, loaded + 1 + (deleteAll ? 1 : 0)) << "round " << round;
        allocatedBefore = g_ledger.commentBlocks;
    }
    EXPECT_EQ(g_ledger.strangeFrees, 0);
    EXPECT_GE(g_ledger.commentBlocks, kItems * 2);
}

namespace {
// Only comment blocks are given: any other allocation fails.
HGLOBAL WINAPI RefusingGlobalAlloc(UINT flags, SIZE_T bytes)
{
    return bytes == kCommentBlockSize ? g_ledger.alloc(flags, bytes) : nullptr;
}
}

TEST(TimeListBlocks, CommentBoxThatCannotBeReadLeavesTheItemsComment)
{
    ModuleCopy copy;
    g_ledger.alloc = reinterpret_cast<GlobalAllocFn>(
        PatchImport(copy.module(), "KERNEL32.dll", "GlobalAlloc", reinterpret_cast<void*>(RefusingGlobalAlloc)));
    ASSERT_NE(g_ledger.alloc, nullptr);
    WithList(copy, {{"1:01:000", "kept"}}, [&](HWND dialog) {
        PickItem(dialog, 0);
        // Set by another program past the limit: too long to be read without a block.
        SetWindowTextW(CommentBox(dialog), std::wstring(600, L'x').c_str());
        SendCommand(dialog, kCommentBoxId, EN_CHANGE);
    });
    EXPECT_EQ(SavedComments(copy), (Lines{"0=kept"}));
}

// ---------------------------------------------------------------------------
// Pictures for the user's guide: run with TARVIX_PICTURES set to a folder.

namespace {
// Lets the dialog's thread paint what the last commands changed.
void LetPaint(HWND dialog)
{
    Settle(dialog);
    Sleep(300);
    Settle(dialog);
}

// Saves a picture of the dialog with the message box over it, once painted.
bool SaveDialogWithBox(HWND dialog, HWND box, const std::string& path)
{
    LetPaint(dialog);
    RECT dialogRect{}, boxRect{};
    GetWindowRect(dialog, &dialogRect);
    GetWindowRect(box, &boxRect);
    return SaveScreenArea(UnionOf(dialogRect, boxRect), path.c_str());
}
}

TEST(TimeListPictures, DroppedListPickedItemAndDeleteQuestion)
{
    char folder[MAX_PATH];
    if (GetEnvironmentVariableA("TARVIX_PICTURES", folder, sizeof folder) == 0)
        GTEST_SKIP() << "set TARVIX_PICTURES to a folder to save the pictures";
    const std::string droppedPicture = std::string(folder) + "\\time-list-dropped.bmp";
    const std::string pickedPicture = std::string(folder) + "\\time-list-picked.bmp";
    const std::string questionPicture = std::string(folder) + "\\question-box.bmp";

    ModuleCopy copy;
    bool pickedSaved = false;
    bool droppedSaved = false;
    bool questionSaved = false;
    bool dropped = false;
    int selectedWhileDropped = CB_ERR;
    std::string comment;
    BoxSeen question;
    WithList(copy,
             {{"1:01:000", "イントロ"},
              {"9:01:000", "Aメロ\\nギターのフィルを直す"},
              {"17:01:000", "サビ"},
              {"33:03:240", "間奏\\nテンポを確認"}},
             [&](HWND dialog) {
                 RECT dialogRect{};
                 GetWindowRect(dialog, &dialogRect);
                 PickItem(dialog, 1);
                 comment = CommentText(dialog);
                 LetPaint(dialog);
                 pickedSaved = SaveScreenArea(dialogRect, pickedPicture.c_str());

                 SendDlgItemMessageA(dialog, kTimeBox, CB_SHOWDROPDOWN, TRUE, 0);
                 dropped = SendDlgItemMessageA(dialog, kTimeBox, CB_GETDROPPEDSTATE, 0, 0) != 0;
                 COMBOBOXINFO info{};
                 info.cbSize = sizeof info;
                 GetComboBoxInfo(GetDlgItem(dialog, kTimeBox), &info);
                 RECT list{};
                 GetWindowRect(info.hwndList, &list);
                 // The dropped-down list follows the pointer: rest it on the picked item.
                 SetCursorPos(list.left + 20, list.top + 14 + 7);
                 LetPaint(dialog);
                 selectedWhileDropped = SelectedItem(dialog);
                 droppedSaved = SaveScreenArea(UnionOf(dialogRect, list), droppedPicture.c_str());
                 SendDlgItemMessageA(dialog, kTimeBox, CB_SHOWDROPDOWN, FALSE, 0);

                 PostCommand(dialog, kDelete);
                 HWND box = WaitForOwnedDialog(dialog);
                 if (box != nullptr)
                     questionSaved = SaveDialogWithBox(dialog, box, questionPicture);
                 question = AnswerBox(dialog, IDNO);
                 Settle(dialog);
             });
    EXPECT_EQ(comment, "Aメロ\r\nギターのフィルを直す");
    EXPECT_TRUE(dropped);
    EXPECT_EQ(selectedWhileDropped, 1);
    EXPECT_TRUE(pickedSaved) << pickedPicture;
    EXPECT_TRUE(droppedSaved) << droppedPicture;
    EXPECT_TRUE(question.shown);
    EXPECT_TRUE(questionSaved) << questionPicture;
}

// ---------------------------------------------------------------------------
// Every ANSI code page: these suites run under 932, in a UTF-8 host (65001)
// and under a Western code page (1252). The boxes read as under 932 (read
// back as Unicode); comments keep to the code page's own characters.

namespace {
using Comments = std::vector<std::wstring>;

// Every item's comment as the box shows it once the dialog is opened again.
Comments CommentsAfterReopening(const ModuleCopy& copy)
{
    Comments back;
    DialogRun run = RunTimeDialog(copy, kCode, [&](HWND dialog) {
        for (int i = 0; i < ListCount(dialog); ++i) {
            PickItem(dialog, i);
            back.push_back(WideText(CommentBox(dialog)));
        }
    });
    EXPECT_TRUE(run.dialogSeen);
    return back;
}

constexpr wchar_t kCtrlZ = 0x1A;

int g_beeps;
BOOL WINAPI CountBeep(UINT)
{
    ++g_beeps;
    return TRUE;
}
}

TEST(CodePageTimeList, BoxesReadTheSameInEveryCodePage)
{
    ExpectRegisteredCodePage();
    char folder[MAX_PATH];
    const bool pictures = GetEnvironmentVariableA("TARVIX_PICTURES", folder, sizeof folder) != 0;
    const std::string picture = std::string(folder) + "\\delete-notice-cp" + std::to_string(GetACP()) + ".bmp";
    ModuleCopy copy;
    BoxSeen notice, question, warning, replace;
    bool pictureSaved = false;
    WithList(copy, {{"1:01:000", ""}}, [&](HWND dialog) {
        PostCommand(dialog, kDelete);  // nothing selected
        HWND box = WaitForOwnedDialog(dialog);
        if (pictures && box != nullptr)
            pictureSaved = SaveDialogWithBox(dialog, box, picture);
        notice = AnswerBox(dialog, IDOK);
        Settle(dialog);
        PickItem(dialog, 0);
        question = AnswerCommand(dialog, kDelete, IDNO);
        warning = AnswerCommand(dialog, kDeleteAll, IDNO);
        replace = AnswerCommand(dialog, kAdd, IDNO);  // the time box shows the picked item
    });
    const struct {
        const BoxSeen& seen;
        const wchar_t* caption;
        const wchar_t* text;
    } expected[] = {
        {notice, L"情報", L"削除する項目をリストから選択してください。"},
        {question, L"確認", L"リストで選択されている項目を削除します。\nよろしいですか？"},
        {warning, L"警告", L"リストからすべての項目を削除します。\nよろしいですか？"},
        {replace, L"確認",
         L"指定されたタイム値は、すでにリストに登録されています。\n既存のコメントを新しいものに書き換えますか？"},
    };
    for (const auto& box : expected) {
        EXPECT_TRUE(box.seen.shown) << testing::PrintToString(std::wstring(box.caption));
        EXPECT_EQ(box.seen.wideCaption, box.caption);
        EXPECT_EQ(box.seen.wideText, box.text);
    }
    if (pictures) {
        EXPECT_TRUE(pictureSaved) << picture;
    }
}

TEST(CodePageTimeList, CommentsComeBackAfterReopening)
{
    ExpectRegisteredCodePage();
    // Japanese where the code page has it (932, 65001; "あ" is E3 81 82 in
    // UTF-8, "ソ" 83 5C in Shift-JIS), Western text under 1252.
    // "鷭" (EA 5C) has its lead byte in 932's second range.
    const std::wstring japanese = L"あ\r\nいう\tソnata鷭n";
    const bool hasJapanese = FitsAnsiCodePage(japanese);
    const std::wstring mixed = hasJapanese ? japanese : L"Zoë\r\nçà\tsonata";
    // Longer than the 259 bytes an item keeps in UTF-8 and 1252, whole in 932.
    const std::wstring longText = hasJapanese ? std::wstring(100, L'あ') : std::wstring(300, L'é');
    // Pasted text with a lone LF and a lone CR.
    const std::wstring pasted = L"abc\n[ItemTime]\n7=x\rend";
    // Blanks at either end and quotes around, which a read of the value trims and strips.
    const std::wstring blanks = hasJapanese ? L" サビ " : L" Zoë ";
    const std::vector<std::wstring> comments = {mixed, longText, pasted, blanks, L"\"intro\"", L"'\tq'\t"};

    ModuleCopy copy;
    std::vector<StoredItem> items;
    for (size_t i = 0; i < comments.size(); ++i)
        items.push_back({std::to_string(i + 1) + ":01:000", ""});
    WithList(copy, items, [&](HWND dialog) {
        for (int i = 0; i < static_cast<int>(comments.size()); ++i) {
            PickItem(dialog, i);
            SetWindowTextW(CommentBox(dialog), comments[static_cast<size_t>(i)].c_str());
            SendCommand(dialog, kCommentBoxId, EN_CHANGE);
        }
    });
    const std::string saved = copy.ReadIni();
    EXPECT_EQ(SectionLines(saved, "ItemTime").size(), comments.size())
        << "the pasted comment must not add keys or sections";
    const Lines savedComments = SectionLines(saved, "ItemComment");
    ASSERT_EQ(savedComments.size(), comments.size()) << saved;
    EXPECT_EQ(savedComments[2], "2=abc\\n[ItemTime]\\n7=x\\nend");
    EXPECT_EQ(savedComments[4], "4=\"\"intro\"\"") << "in quotes that the read strips";

    // The long comment comes back as whole characters, at most 259 bytes of the code page.
    Comments expected = comments;
    expected[1] = AnsiPrefix(longText, kCommentMax);
    expected[2] = L"abc\r\n[ItemTime]\r\n7=x\r\nend";
    EXPECT_EQ(CommentsAfterReopening(copy), expected);
}

// Typing and pasting stop at the bytes an item keeps, as an ANSI box does.
TEST(CodePageTimeList, CommentBoxStopsAtTheBytesAnItemKeeps)
{
    ExpectRegisteredCodePage();
    ModuleCopy copy;
    ASSERT_NE(PatchImport(copy.module(), "USER32.dll", "MessageBeep", reinterpret_cast<void*>(CountBeep)), nullptr);
    g_beeps = 0;
    const std::wstring typed(300, L'あ');
    const std::wstring full(258, L'a');
    std::wstring shown, pasted, undone;
    WithList(copy, {{"1:01:000", ""}, {"2:01:000", "old"}}, [&](HWND dialog) {
        PickItem(dialog, 0);
        for (wchar_t c : typed)
            SendMessageW(CommentBox(dialog), WM_CHAR, c, 0);
        shown = WideText(CommentBox(dialog));
        PickItem(dialog, 1);
        PasteText(CommentBox(dialog), full + L"\r\nb");  // over "old"; the line break does not fit whole
        pasted = WideText(CommentBox(dialog));
        SendMessageW(CommentBox(dialog), WM_CHAR, kCtrlZ, 0);
        undone = WideText(CommentBox(dialog));
    });
    // 129 characters of 2 bytes under 932, 86 of 3 under UTF-8, 259 "?" under 1252.
    const std::map<UINT, size_t> kept = {{932, 129}, {65001, 86}, {1252, 259}};
    EXPECT_EQ(shown.size(), kept.at(GetACP()));
    EXPECT_EQ(shown, AnsiPrefix(FromAnsi(Ansi(typed)), kCommentMax)) << "the box shows what the item keeps";
    EXPECT_EQ(g_beeps, static_cast<int>(typed.size() - shown.size() + 1)) << "each refused keystroke, and the paste";
    EXPECT_EQ(pasted, full);
    EXPECT_EQ(undone, L"old") << "Ctrl+Z after a cut paste gives back the text from before it";
    EXPECT_EQ(CommentsAfterReopening(copy), (Comments{shown, L"old"}));
}

// What an edit inserts is cut where it enters, whatever filled the box
// before, and a character typed in two pieces arrives whole.
TEST(CodePageTimeList, InsertionsAreKeptOrCutWhole)
{
    ExpectRegisteredCodePage();
    ModuleCopy copy;
    const std::wstring pair = L"\xD842\xDFB7";  // U+20BB7, outside the BMP
    const std::wstring pasted(9, L'\xE9');       // two bytes each under UTF-8
    std::wstring comment, timeText, firstLine;
    WithList(copy, {{"1:2", ""}}, [&](HWND dialog) {
        PickItem(dialog, 0);  // fills the time box without a change notification
        for (wchar_t c : L"a" + pair + L"b")  // U+20BB7 as two WM_CHAR, as Windows sends it
            SendMessageW(CommentBox(dialog), WM_CHAR, c, 0);
        comment = WideText(CommentBox(dialog));
        SendMessageW(TimeBoxEdit(dialog), EM_SETSEL, 2, 2);
        PasteText(TimeBoxEdit(dialog), pasted, false);
        timeText = WideText(TimeBoxEdit(dialog));
        PasteText(TimeBoxEdit(dialog), L"12:03:005\r\nx");
        firstLine = WideText(TimeBoxEdit(dialog));
    });
    EXPECT_EQ(comment, FromAnsi(Ansi(L"a" + pair + L"b")));
    EXPECT_EQ(CommentsAfterReopening(copy), (Comments{comment}));
    // The item's own text stays whole; the paste is cut to the 20 bytes' room.
    EXPECT_EQ(timeText, L"1:" + AnsiPrefix(pasted, 20 - 3) + L"2");
    EXPECT_EQ(firstLine, L"12:03:005") << "the time box takes a pasted text's first line";
}

namespace {
constexpr wchar_t kDel = 0x7F;  // Ctrl+Backspace, Alt+0127

// What typing chars one at a time after text leaves, as the item keeps it.
// DEL types nothing.
std::wstring TypedInto(std::wstring text, const std::wstring& chars)
{
    for (size_t at = 0; at < chars.size();) {
        const size_t units = IsHighSurrogate(chars[at]) ? 2 : 1;
        if (chars[at] != kDel && Ansi(text + chars.substr(at, units)).size() <= kCommentMax)
            text += chars.substr(at, units);
        at += units;
    }
    return FromAnsi(Ansi(text));
}
}

// An input method hands its result over as a burst of WM_IME_CHAR, one per
// UTF-16 unit, each sent before any is handled (the box's own handling would
// post a WM_CHAR for each): the characters land in the order typed, as the
// item keeps them, and stop at its bytes as typing does. Each burst is sent
// from inside one dispatch of the dialog's thread, as an input method's
// window sends it, so nothing the box posts can run in between. Typed
// characters and a caller's EM_REPLACESEL keep to the same bytes, and Ctrl+Z
// takes back exactly what could be undone.
TEST(CodePageTimeList, InputMethodBurstsLandInTheOrderTyped)
{
    ExpectRegisteredCodePage();
    const std::wstring pair = L"\xD842\xDFB7";  // U+20BB7
    enum class Undo { notTried, takesItBack, findsNothing };
    const struct {
        std::wstring before, units;
        UINT message;  // one per unit; EM_REPLACESEL (wParam FALSE) takes them all
        Undo undo;     // Ctrl+Z afterwards
    } rows[] = {
        {L"", L"田" + pair + L"中a", WM_IME_CHAR, Undo::notTried},
        {L"", L"a\xD55C" L"b", WM_IME_CHAR, Undo::notTried},  // Hangul: "?" under 932 and 1252
        {std::wstring(256, L'a'), L"田中ab" + pair + L"c", WM_IME_CHAR, Undo::notTried},
        {L"x", L"あい" + pair, WM_IME_CHAR, Undo::takesItBack},
        {L"x", L"a" + std::wstring(1, kDel) + L"b", WM_CHAR, Undo::notTried},
        {std::wstring(258, L'a'), L"ab", WM_UNICHAR, Undo::takesItBack},
        // Ctrl+Tab's TAB into a full box is refused, not put in and cut.
        {std::wstring(258, L'a'), L"a\t", WM_CHAR, Undo::takesItBack},
        {std::wstring(250, L'a'), L"0123456789", EM_REPLACESEL, Undo::findsNothing},
    };
    PostedMarker marker;  // on the dialog's thread
    ModuleCopy copy;
    std::vector<StoredItem> items;
    for (size_t i = 0; i < std::size(rows); ++i)
        items.push_back({std::to_string(i + 1) + ":01:000", ""});
    Comments shown, kept;
    WithList(copy, items, [&](HWND dialog) {
        HWND box = CommentBox(dialog);
        for (size_t i = 0; i < std::size(rows); ++i) {
            const auto& row = rows[i];
            PickItem(dialog, static_cast<int>(i));
            SetWindowTextW(box, row.before.c_str());
            SendMessageW(box, EM_SETSEL, row.before.size(), row.before.size());
            marker.Run([&] {
                if (row.message == EM_REPLACESEL)
                    SendMessageW(box, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(row.units.c_str()));
                else
                    for (wchar_t unit : row.units)
                        SendMessageW(box, row.message, unit, 1);
            });
            marker.Settle();  // what the box posted itself
            shown.push_back(WideText(box));
            if (row.undo != Undo::notTried)
                SendMessageW(box, WM_CHAR, kCtrlZ, 0);
            kept.push_back(WideText(box));
        }
    });
    ASSERT_EQ(shown.size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& row = rows[i];
        const std::wstring typed = TypedInto(row.before, row.units);
        EXPECT_EQ(shown[i], typed) << "row " << i;
        EXPECT_EQ(kept[i], row.undo == Undo::takesItBack ? row.before : typed)
            << "row " << i << ": Ctrl+Z takes back what was typed, and only what can be undone";
    }
    EXPECT_EQ(CommentsAfterReopening(copy), kept);
}

namespace {
// Ways in that the edit boxes handle themselves.
enum class Way { shiftInsert, setText, uniChar, composition, pickItem };

// Shows text at the box's caret as an input method's composition (not yet
// confirmed), from the dialog's own thread, reads the box meanwhile, and
// cancels the composition. False when the platform took no composition.
bool WhileComposing(PostedMarker& marker, HWND box, const std::wstring& text, std::wstring& shown)
{
    bool taken = false;
    marker.Run([&] {
        HIMC context = ImmGetContext(box);
        taken = ImmSetCompositionStringW(context, SCS_SETSTR, const_cast<wchar_t*>(text.c_str()),
                                         static_cast<DWORD>(text.size() * sizeof(wchar_t)), nullptr, 0) != FALSE;
        shown = WideText(box);
        ImmNotifyIME(context, NI_COMPOSITIONSTR, CPS_CANCEL, 0);
        ImmReleaseContext(box, context);
    });
    return taken;
}
}

// Text that enters past the typed and pasted messages (Shift+Insert and an
// input method's composition, which Wine's edit box inserts itself; a
// WM_UNICHAR; another program's WM_SETTEXT) is cut as it enters, with a beep:
// only what came in, from its end back, so the user's text before and after
// the caret stays. WM_SETTEXT leaves no caret to go by: its text is cut at
// its end. The time box's own list texts stay whole.
TEST(CodePageTimeList, TextThatBypassesTheLimitIsCutAsItEnters)
{
    ExpectRegisteredCodePage();
    ModuleCopy copy;
    ASSERT_NE(PatchImport(copy.module(), "USER32.dll", "MessageBeep", reinterpret_cast<void*>(CountBeep)), nullptr);
    const std::wstring longTime = L"1234567890:123456789:5";  // 22 characters
    const std::wstring typed = std::wstring(200, L'A') + std::wstring(50, L'Z');  // 9 bytes free
    const std::wstring japanese(100, L'あ');  // 200 bytes under 932, 300 under UTF-8
    const std::wstring composition(10, L'あ');
    const std::wstring full(259, L'a');
    const struct {
        bool timeBox;
        std::wstring before;
        size_t caret;
        Way way;
        std::wstring text;
        std::wstring expected;
    } rows[] = {
        {false, L"", 0, Way::shiftInsert, std::wstring(300, L'a'), full},
        {false, typed, 200, Way::shiftInsert, std::wstring(30, L'x'),
         std::wstring(200, L'A') + std::wstring(9, L'x') + std::wstring(50, L'Z')},
        {false, typed, 200, Way::composition, composition,
         std::wstring(200, L'A') + AnsiPrefix(composition, 9) + std::wstring(50, L'Z')},
        {false, full, 0, Way::uniChar, L"b", full},
        {false, L"", 0, Way::setText, std::wstring(300, L'b'), std::wstring(259, L'b')},
        // A line break that does not fit whole goes whole.
        {false, L"", 0, Way::setText, std::wstring(258, L'a') + L"\r\nb", std::wstring(258, L'a')},
        {false, L"", 0, Way::setText, japanese, AnsiPrefix(japanese, kCommentMax)},
        {true, L"", 0, Way::shiftInsert, std::wstring(300, L'a'), std::wstring(20, L'a')},
        {true, L"1234567890", 5, Way::shiftInsert, std::wstring(15, L'x'),
         L"12345" + std::wstring(10, L'x') + L"67890"},
        {true, L"", 0, Way::setText, std::wstring(300, L'b'), std::wstring(20, L'b')},
        {true, L"", 0, Way::pickItem, L"", longTime},
        {true, longTime, 22, Way::shiftInsert, L"x", longTime},
    };
    PostedMarker marker;  // on the dialog's thread
    std::vector<std::wstring> shown;
    std::vector<int> beeps;
    LRESULT noCharAnswer = FALSE;
    bool composed = false;
    WithList(copy, {{"1:01:000", ""}, {Ansi(longTime), ""}}, [&](HWND dialog) {
        SetForegroundWindow(dialog);
        for (const auto& row : rows) {
            HWND box = row.timeBox ? TimeBoxEdit(dialog) : CommentBox(dialog);
            PickItem(dialog, row.timeBox ? 1 : 0);
            SendMessageW(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(box), TRUE);
            SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(row.before.c_str()));
            SendMessageW(box, EM_SETSEL, row.caret, row.caret);
            g_beeps = 0;
            std::wstring composing;
            switch (row.way) {
            case Way::shiftInsert:
                SetClipboardText(row.text);
                PressShiftInsert();
                for (int wait = 0; wait < 100 && g_beeps == 0; ++wait)  // the cut's beep
                    Sleep(50);
                Settle(dialog);  // and the rest of the key's handling
                break;
            case Way::setText:
                SendMessageW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(row.text.c_str()));
                break;
            case Way::uniChar:
                noCharAnswer = SendMessageW(box, WM_UNICHAR, UNICODE_NOCHAR, 0);
                SendMessageW(box, WM_UNICHAR, row.text[0], 0);
                break;
            case Way::composition:
                composed = WhileComposing(marker, box, row.text, composing);
                break;
            case Way::pickItem:
                PickItem(dialog, 1);
                break;
            }
            shown.push_back(row.way == Way::composition ? composing : WideText(box));
            beeps.push_back(g_beeps);
        }
    });
    EXPECT_EQ(noCharAnswer, TRUE) << "WM_UNICHAR is taken";
    ASSERT_EQ(shown.size(), std::size(rows));
    for (size_t i = 0; i < std::size(rows); ++i) {
        const auto& row = rows[i];
        // Under Wine 10 the call succeeds but nothing enters the box (its
        // built-in input method shows the composition in a window of its
        // own): nothing to cut, nothing to see.
        if (row.way == Way::composition && (!composed || (shown[i] == row.before && beeps[i] == 0))) {
            std::printf("row %zu not run: the platform's input method puts no composition into the box\n", i);
            continue;
        }
        EXPECT_EQ(shown[i], row.expected) << "row " << i;
        const std::wstring uncut = row.way == Way::setText
                                       ? row.text
                                       : row.before.substr(0, row.caret) + row.text + row.before.substr(row.caret);
        EXPECT_EQ(beeps[i], row.way != Way::pickItem && row.expected != uncut ? 1 : 0)
            << "row " << i << ": a cut beeps, once";
    }
}
