// What a screen reader is told through Windows' Dynamic Annotation: the
// about box's "..." button's name and each saved position's comment as its
// item's description. A stand-in annotation object, handed to the real
// module through its import of CoCreateInstance, records every call; the
// server it is given is asked from the test's thread, as a reader's may be.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <string>
#include <tuple>
#include <vector>

#include "code_page_text.h"
#include "dialog_driver.h"
#include "import_patch.h"
#include "module_copy.h"
#include "res/resource.h"
#include "time_dialog_probe.h"
#include "time_list_driver.h"

namespace {
using Lines = std::vector<std::wstring>;
enum class Apartment { None, Single, Multi };
enum class Annotation { StandIn, NotImplemented, CannotBeMade, Wines };

// The stand-in's identity strings are these numbers as they are.
struct Identity {
    HWND window;
    DWORD object, child;
};

std::wstring Line(const wchar_t* call, HWND window, LONG object, LONG child, const wchar_t* rest = L"")
{
    return std::wstring(call) + L" " + std::to_wstring(reinterpret_cast<uintptr_t>(window)) + L" " +
           std::to_wstring(object) + L" " + std::to_wstring(child) + L" " + rest;
}

const wchar_t* Property(const MSAAPROPID* ids, int count)
{
    if (count != 1)
        return L"?";
    return ids[0] == PROPID_ACC_NAME ? L"name" : ids[0] == PROPID_ACC_DESCRIPTION ? L"description" : L"?";
}

// The module's calls, made on the dialog's thread; the test's thread reads
// them while that thread waits in the dialog's loop.
struct Record {
    Lines calls, events;
    std::vector<HRESULT> joins;
    int leaves = 0;
    IAccPropServer* server = nullptr;
} g_record;

#define NOT_THE_MODULES(call, ...) \
    HRESULT STDMETHODCALLTYPE call(__VA_ARGS__) override { return g_record.calls.push_back(L## #call), E_NOTIMPL; }

class StandIn final : public IAccPropServices {
public:
    HRESULT answer = S_OK;  // of every call that registers or clears
    LONG references = 0;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { return *out = nullptr, E_NOINTERFACE; }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(++references); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        g_record.calls.push_back(L"Release " + std::to_wstring(--references));
        return static_cast<ULONG>(references);
    }
    HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND window, DWORD object, DWORD child, MSAAPROPID id,
                                             LPCWSTR text) override
    {
        g_record.calls.push_back(Line(L"SetHwndPropStr", window, object, child, Property(&id, 1)) + L" " + text);
        return answer;
    }
    HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND window, DWORD object, DWORD child, const MSAAPROPID* ids,
                                                int count, IAccPropServer* server, AnnoScope scope) override
    {
        g_record.calls.push_back(Line(L"SetHwndPropServer", window, object, child, Property(ids, count)) +
                                 (scope == ANNO_CONTAINER ? L" container" : L" this"));
        g_record.server = answer == S_OK ? server : nullptr;
        return answer;
    }
    HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND window, DWORD object, DWORD child, const MSAAPROPID* ids,
                                             int count) override
    {
        g_record.calls.push_back(Line(L"ClearHwndProps", window, object, child, Property(ids, count)));
        return answer;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE* bytes, DWORD length, HWND* window,
                                                          DWORD* object, DWORD* child) override
    {
        const auto* identity = reinterpret_cast<const Identity*>(bytes);
        if (length != sizeof *identity)
            return E_INVALIDARG;
        *window = identity->window, *object = identity->object, *child = identity->child;
        return S_OK;
    }
    NOT_THE_MODULES(SetPropValue, const BYTE*, DWORD, MSAAPROPID, VARIANT)
    NOT_THE_MODULES(SetPropServer, const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope)
    NOT_THE_MODULES(ClearProps, const BYTE*, DWORD, const MSAAPROPID*, int)
    NOT_THE_MODULES(SetHwndProp, HWND, DWORD, DWORD, MSAAPROPID, VARIANT)
    NOT_THE_MODULES(ComposeHwndIdentityString, HWND, DWORD, DWORD, BYTE**, DWORD*)
    NOT_THE_MODULES(SetHmenuProp, HMENU, DWORD, MSAAPROPID, VARIANT)
    NOT_THE_MODULES(SetHmenuPropStr, HMENU, DWORD, MSAAPROPID, LPCWSTR)
    NOT_THE_MODULES(SetHmenuPropServer, HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope)
    NOT_THE_MODULES(ClearHmenuProps, HMENU, DWORD, const MSAAPROPID*, int)
    NOT_THE_MODULES(ComposeHmenuIdentityString, HMENU, DWORD, BYTE**, DWORD*)
    NOT_THE_MODULES(DecomposeHmenuIdentityString, const BYTE*, DWORD, HMENU*, DWORD*)
} g_standIn;

Annotation g_annotation;

HRESULT WINAPI MakeAnnotation(REFCLSID type, IUnknown* outer, DWORD context, REFIID iid, void** out)
{
    if (g_annotation == Annotation::Wines)
        return CoCreateInstance(type, outer, context, iid, out);
    *out = nullptr;
    if (g_annotation == Annotation::CannotBeMade || type != CLSID_AccPropServices || iid != IID_IAccPropServices ||
        (context & CLSCTX_INPROC_SERVER) == 0)
        return REGDB_E_CLASSNOTREG;
    g_standIn.AddRef();
    *out = static_cast<IAccPropServices*>(&g_standIn);
    return S_OK;
}

HRESULT WINAPI JoinCom(void* reserved, DWORD model)
{
    g_record.joins.push_back(CoInitializeEx(reserved, model));
    return g_record.joins.back();
}

void WINAPI LeaveCom()
{
    ++g_record.leaves;
    CoUninitialize();
}

void WINAPI NoteEvent(DWORD event, HWND window, LONG object, LONG child)
{
    g_record.events.push_back(Line(event == EVENT_OBJECT_DESCRIPTIONCHANGE ? L"changed" : L"?", window, object, child));
    NotifyWinEvent(event, window, object, child);
}

// What the server says of child of window: its description, or <none>.
std::wstring Answer(HWND window, DWORD child, const MSAAPROPID& id = PROPID_ACC_DESCRIPTION)
{
    if (g_record.server == nullptr)
        return L"<no server>";
    const Identity identity{window, static_cast<DWORD>(OBJID_CLIENT), child};
    VARIANT value;
    value.vt = VT_ERROR;
    BOOL has = -1;
    if (g_record.server->GetPropValue(reinterpret_cast<const BYTE*>(&identity), sizeof identity, id, &value, &has))
        return L"<failed>";
    if (has == FALSE && value.vt == VT_EMPTY)
        return L"<none>";
    std::wstring text = has == TRUE && value.vt == VT_BSTR ? value.bstrVal : L"<malformed>";
    VariantClear(&value);
    return text;
}
}

// Each row opens the about box, then reads, edits, deletes and replaces in
// a list of three items, and cancels: what a reader is told depends on the
// row, the dialogs' work never does.
TEST(CodePageScreenReader, ItemsAreDescribedByTheirCommentsAndTheBrowseButtonNamed)
{
    ExpectRegisteredCodePage();
    // Japanese where the code page has it (932, 65001), Western text under 1252.
    const bool japanese = FitsAnsiCodePage(L"サビ前間奏終わり再");
    const std::wstring start = japanese ? L"サビ" : L"Zoë", end = japanese ? L"前" : L"çà", first = start + L"\r\n" + end;
    const std::wstring edited = japanese ? L"間奏" : L"Coda", third = japanese ? L"終わり" : L"Fin";
    const std::wstring replaced = japanese ? L"再び" : L"Again";
    const struct {
        const char* name;
        Apartment host;
        Annotation annotation;
    } rows[] = {
        {"a host without COM", Apartment::None, Annotation::StandIn},
        {"a host in a single-threaded apartment", Apartment::Single, Annotation::StandIn},
        {"a host in the multi-threaded apartment", Apartment::Multi, Annotation::StandIn},
        {"no annotation object (Windows 2000 without Active Accessibility)", Apartment::None, Annotation::CannotBeMade},
        {"every annotation call fails with E_NOTIMPL", Apartment::None, Annotation::NotImplemented},
        {"Wine's own annotation object", Apartment::None, Annotation::Wines},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        if (row.host != Apartment::None)
            CoInitializeEx(nullptr, row.host == Apartment::Single ? COINIT_APARTMENTTHREADED : COINIT_MULTITHREADED);
        g_record = {};
        g_annotation = row.annotation;
        g_standIn.answer = row.annotation == Annotation::NotImplemented ? E_NOTIMPL : S_OK;
        ModuleCopy copy;
        for (auto [dll, function, replacement] :
             {std::tuple{"ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(MakeAnnotation)},
              {"ole32.dll", "CoInitializeEx", reinterpret_cast<void*>(JoinCom)},
              {"ole32.dll", "CoUninitialize", reinterpret_cast<void*>(LeaveCom)},
              {"USER32.dll", "NotifyWinEvent", reinterpret_cast<void*>(NoteEvent)}})
            ASSERT_NE(PatchImport(copy.module(), dll, function, replacement), nullptr) << function;
        copy.WriteIni(ListSettings(
            {{"1:01:000", Ansi(start) + "\\n" + Ansi(end)}, {"2:01:000", ""}, {"3:01:000", Ansi(third)}}));

        HWND list = nullptr, button = nullptr;
        std::wstring buttonText;
        Lines afterAbout, readFirst, readEdited, eventsEdited, readDeleted, readReplaced;
        bool closedQuietly = false;
        DialogRun run = RunTimeDialog(copy, 1000, [&](HWND dialog) {
            HWND box = OpenAboutBox(dialog);
            if (box == nullptr)
                return;
            button = GetDlgItem(box, IDC_ABOUT_BROWSE);
            buttonText = WideItemText(box, IDC_ABOUT_BROWSE);
            PostCommand(box, IDCANCEL);
            WaitUntilGone(box);
            afterAbout = g_record.calls;
            COMBOBOXINFO info{};
            info.cbSize = sizeof info;
            GetComboBoxInfo(GetDlgItem(dialog, kTimeBoxId), &info);
            list = info.hwndList;
            readFirst = {Answer(list, 0), Answer(list, 1), Answer(list, 2), Answer(list, 3), Answer(list, 4),
                         Answer(list, 1, PROPID_ACC_NAME)};
            PickItem(dialog, 1);
            SetWindowTextW(CommentBox(dialog), edited.c_str());
            SendCommand(dialog, kCommentBoxId, EN_CHANGE);
            readEdited = {Answer(list, 1), Answer(list, 2), Answer(list, 3)};
            eventsEdited = g_record.events;
            PickItem(dialog, 0);
            AnswerCommand(dialog, kDeleteId, IDYES);
            readDeleted = {Answer(list, 1), Answer(list, 2), Answer(list, 3)};
            TypeText(TimeBoxEdit(dialog), "2:01:000");  // the first item's time: Add puts a new comment on it
            SetWindowTextW(CommentBox(dialog), replaced.c_str());
            AnswerCommand(dialog, kAddId, IDYES);
            readReplaced = {Answer(list, 1), Answer(list, 2)};
            PostCommand(dialog, IDCANCEL);
            closedQuietly = WaitUntilGone(dialog);
        });
        if (row.host != Apartment::None)
            CoUninitialize();

        // COM is left as the host had it: joined and left once, unless the
        // host's thread is in the multi-threaded apartment.
        EXPECT_EQ(g_record.joins, std::vector<HRESULT>{row.host == Apartment::None     ? S_OK
                                                       : row.host == Apartment::Single ? S_FALSE
                                                                                       : RPC_E_CHANGED_MODE});
        EXPECT_EQ(g_record.leaves, row.host == Apartment::Multi ? 0 : 1);
        ASSERT_TRUE(run.dialogSeen);
        EXPECT_EQ(run.result, 0);
        EXPECT_TRUE(closedQuietly) << "Cancel did not close the dialog at once";
        EXPECT_EQ(buttonText, L"...");
        EXPECT_EQ(SectionLines(copy.ReadIni(), "ItemComment"),
                  (std::vector<std::string>{"0=" + Ansi(replaced), "1=" + Ansi(third)}));
        const std::wstring name = Line(L"SetHwndPropStr", button, OBJID_CLIENT, 0, L"name ファイルの場所を開く");
        const std::wstring serve = Line(L"SetHwndPropServer", list, OBJID_CLIENT, 0, L"description container");
        const std::wstring clearName = Line(L"ClearHwndProps", button, OBJID_CLIENT, 0, L"name");
        const std::wstring clearList = Line(L"ClearHwndProps", list, OBJID_CLIENT, 0, L"description");
        if (row.annotation == Annotation::Wines)
            continue;  // Wine 8 stubs every call; a later Wine may not
        if (row.annotation != Annotation::StandIn) {
            // Nothing registered: nothing to clear, nothing to announce, and
            // the dialogs work as without annotation.
            const bool made = row.annotation == Annotation::NotImplemented;
            EXPECT_EQ(afterAbout, made ? (Lines{serve, name}) : Lines{});
            EXPECT_EQ(g_record.calls, made ? (Lines{serve, name, L"Release 0"}) : Lines{});
            EXPECT_TRUE(g_record.events.empty());
            continue;
        }
        // The button's name lasts as long as the about box, the list's
        // server as long as the time dialog; both are cleared before the
        // object is released.
        EXPECT_EQ(afterAbout, (Lines{serve, name, clearName}));
        EXPECT_EQ(g_record.calls, (Lines{serve, name, clearName, clearList, L"Release 0"}));
        // Child n is item n - 1, its comment with the line break kept.
        EXPECT_EQ(readFirst, (Lines{L"<none>", first, L"<none>", third, L"<none>", L"<none>"}));
        EXPECT_EQ(readEdited, (Lines{first, edited, third}));
        const std::wstring second = Line(L"changed", list, OBJID_CLIENT, 2);
        EXPECT_EQ(eventsEdited, Lines{second});
        EXPECT_EQ(readDeleted, (Lines{edited, third, L"<none>"}));
        EXPECT_EQ(readReplaced, (Lines{replaced, third}));
        // Delete changes no description; Add's replacement does.
        EXPECT_EQ(g_record.events, (Lines{second, Line(L"changed", list, OBJID_CLIENT, 1)}));
    }
}
