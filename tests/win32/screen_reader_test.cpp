// What a screen reader is told through Windows' Dynamic Annotation: the
// about box's "..." button's name and each saved position's comment as its
// item's description. A stand-in annotation object, handed to the real
// module through its import of CoCreateInstance, records every call; the
// server it is given is asked from the test's thread, as a reader's would be.
#include <gtest/gtest.h>

#include <oleacc.h>

#include <cstdio>
#include <cstring>

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

// The stand-in's identity strings: the three numbers as they are.
struct Identity {
    HWND window;
    DWORD object, child;
};

std::wstring Line(const wchar_t* call, HWND window, LONG object, LONG child, const std::wstring& rest)
{
    return std::wstring(call) + L" " + std::to_wstring(reinterpret_cast<uintptr_t>(window)) + L" " +
           std::to_wstring(object) + L" " + std::to_wstring(child) + L" " + rest;
}

std::wstring Properties(const MSAAPROPID* ids, int count)
{
    std::wstring names;
    for (int i = 0; i < count; ++i)
        names += ids[i] == PROPID_ACC_NAME ? L"name" : ids[i] == PROPID_ACC_DESCRIPTION ? L"description" : L"other";
    return names;
}

// Everything the module calls is recorded on the dialog's thread; the
// test's thread reads it while that thread waits in the dialog's loop.
struct Record {
    Lines calls, events;
    std::vector<HRESULT> joins;
    int leaves = 0;
    HRESULT made = E_FAIL;
    IAccPropServer* server = nullptr;
} g_record;

class StandIn final : public IAccPropServices {
public:
    HRESULT answer = S_OK;
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
        g_record.calls.push_back(Line(L"SetHwndPropStr", window, object, child, Properties(&id, 1) + L" " + text));
        return answer;
    }
    HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND window, DWORD object, DWORD child, const MSAAPROPID* ids,
                                                int count, IAccPropServer* server, AnnoScope scope) override
    {
        g_record.calls.push_back(Line(L"SetHwndPropServer", window, object, child,
                                      Properties(ids, count) + (scope == ANNO_CONTAINER ? L" container" : L" this")));
        g_record.server = answer == S_OK ? server : nullptr;
        return answer;
    }
    HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND window, DWORD object, DWORD child, const MSAAPROPID* ids,
                                             int count) override
    {
        g_record.calls.push_back(Line(L"ClearHwndProps", window, object, child, Properties(ids, count)));
        return answer;
    }
    HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE* identity, DWORD length, HWND* window,
                                                          DWORD* object, DWORD* child) override
    {
        Identity named{};
        if (length != sizeof named)
            return E_INVALIDARG;
        std::memcpy(&named, identity, sizeof named);
        *window = named.window;
        *object = named.object;
        *child = named.child;
        return S_OK;
    }
    // Not the module's to call: each shows up as a line of its own.
    HRESULT Unexpected(const wchar_t* call)
    {
        g_record.calls.push_back(call);
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override
    {
        return Unexpected(L"SetPropValue");
    }
    HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                            AnnoScope) override
    {
        return Unexpected(L"SetPropServer");
    }
    HRESULT STDMETHODCALLTYPE ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override
    {
        return Unexpected(L"ClearProps");
    }
    HRESULT STDMETHODCALLTYPE SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override
    {
        return Unexpected(L"SetHwndProp");
    }
    HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override
    {
        return Unexpected(L"ComposeHwndIdentityString");
    }
    HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override
    {
        return Unexpected(L"SetHmenuProp");
    }
    HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override
    {
        return Unexpected(L"SetHmenuPropStr");
    }
    HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                                 AnnoScope) override
    {
        return Unexpected(L"SetHmenuPropServer");
    }
    HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override
    {
        return Unexpected(L"ClearHmenuProps");
    }
    HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override
    {
        return Unexpected(L"ComposeHmenuIdentityString");
    }
    HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override
    {
        return Unexpected(L"DecomposeHmenuIdentityString");
    }
} g_standIn;

Annotation g_annotation;

HRESULT WINAPI MakeAnnotation(REFCLSID type, IUnknown* outer, DWORD context, REFIID iid, void** out)
{
    if (g_annotation == Annotation::Wines)
        return g_record.made = CoCreateInstance(type, outer, context, iid, out);
    *out = nullptr;
    if (g_annotation == Annotation::CannotBeMade || type != CLSID_AccPropServices || iid != IID_IAccPropServices ||
        outer != nullptr || (context & CLSCTX_INPROC_SERVER) == 0)
        return g_record.made = REGDB_E_CLASSNOTREG;
    g_standIn.AddRef();
    *out = static_cast<IAccPropServices*>(&g_standIn);
    return g_record.made = S_OK;
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
    g_record.events.push_back(Line(event == EVENT_OBJECT_DESCRIPTIONCHANGE ? L"description" : L"other", window,
                                   object, child, L""));
    NotifyWinEvent(event, window, object, child);
}

// The calling thread's apartment, found by trying to enter the
// multi-threaded one, and left as it was.
Apartment CurrentApartment()
{
    const HRESULT entered = CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    if (entered == RPC_E_CHANGED_MODE)
        return Apartment::Single;
    CoUninitialize();
    return entered == S_OK ? Apartment::None : Apartment::Multi;
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
    const auto* bytes = reinterpret_cast<const BYTE*>(&identity);
    if (g_record.server->GetPropValue(bytes, sizeof identity, id, &value, &has) != S_OK)
        return L"<failed>";
    if (has == FALSE && value.vt == VT_EMPTY)
        return L"<none>";
    if (has != TRUE || value.vt != VT_BSTR)
        return L"<malformed>";
    std::wstring text(value.bstrVal, SysStringLen(value.bstrVal));
    VariantClear(&value);
    return text;
}
}

// Each row opens the about box, then reads, edits and deletes in a list of
// three items, and cancels; what a reader is told depends on the row, the
// dialogs' work never does.
TEST(CodePageScreenReader, ItemsAreDescribedByTheirCommentsAndTheBrowseButtonNamed)
{
    ExpectRegisteredCodePage();
    // Japanese where the code page has it (932, 65001), Western text under 1252.
    const bool japanese = FitsAnsiCodePage(L"サビ前間奏終わり");
    const std::wstring firstStart = japanese ? L"サビ" : L"Zoë", firstEnd = japanese ? L"前" : L"çà";
    const std::wstring first = firstStart + L"\r\n" + firstEnd;
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
        ASSERT_EQ(CurrentApartment(), Apartment::None);
        if (row.host != Apartment::None)
            CoInitializeEx(nullptr, row.host == Apartment::Single ? COINIT_APARTMENTTHREADED : COINIT_MULTITHREADED);
        g_record = {};
        g_annotation = row.annotation;
        g_standIn.answer = row.annotation == Annotation::NotImplemented ? E_NOTIMPL : S_OK;
        ModuleCopy copy;
        const struct {
            const char *dll, *function;
            void* replacement;
        } patches[] = {
            {"ole32.dll", "CoCreateInstance", reinterpret_cast<void*>(MakeAnnotation)},
            {"ole32.dll", "CoInitializeEx", reinterpret_cast<void*>(JoinCom)},
            {"ole32.dll", "CoUninitialize", reinterpret_cast<void*>(LeaveCom)},
            {"USER32.dll", "NotifyWinEvent", reinterpret_cast<void*>(NoteEvent)},
        };
        for (const auto& patch : patches)
            ASSERT_NE(PatchImport(copy.module(), patch.dll, patch.function, patch.replacement), nullptr)
                << patch.function;
        copy.WriteIni(ListSettings({{"1:01:000", Ansi(firstStart) + "\\n" + Ansi(firstEnd)},
                                    {"2:01:000", ""},
                                    {"3:01:000", Ansi(third)}}));

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
            // Add with the first item's time puts the new comment on it.
            TypeText(TimeBoxEdit(dialog), "2:01:000");
            SetWindowTextW(CommentBox(dialog), replaced.c_str());
            AnswerCommand(dialog, kAddId, IDYES);
            readReplaced = {Answer(list, 1), Answer(list, 2)};
            PostCommand(dialog, IDCANCEL);
            closedQuietly = WaitUntilGone(dialog);
        });
        const Apartment after = CurrentApartment();
        if (row.host != Apartment::None)
            CoUninitialize();

        // The dialogs work as they always did.
        ASSERT_TRUE(run.dialogSeen);
        EXPECT_EQ(run.result, 0);
        EXPECT_TRUE(closedQuietly) << "Cancel did not close the dialog at once";
        EXPECT_EQ(buttonText, L"...");
        const std::string saved = copy.ReadIni();
        EXPECT_EQ(SectionLines(saved, "ItemTime"), (std::vector<std::string>{"0=2:01:000", "1=3:01:000"}));
        EXPECT_EQ(SectionLines(saved, "ItemComment"),
                  (std::vector<std::string>{"0=" + Ansi(replaced), "1=" + Ansi(third)}));

        // COM is left as the host had it: joined and left once, unless the
        // host's thread is in the multi-threaded apartment.
        EXPECT_EQ(after, row.host);
        const std::vector<HRESULT> joins = {row.host == Apartment::None ? S_OK
                                            : row.host == Apartment::Single ? S_FALSE : RPC_E_CHANGED_MODE};
        EXPECT_EQ(g_record.joins, joins);
        EXPECT_EQ(g_record.leaves, row.host == Apartment::Multi ? 0 : 1);

        const std::wstring name =
            Line(L"SetHwndPropStr", button, OBJID_CLIENT, CHILDID_SELF, L"name ファイルの場所を開く");
        const std::wstring serve =
            Line(L"SetHwndPropServer", list, OBJID_CLIENT, CHILDID_SELF, L"description container");
        const std::wstring clearName = Line(L"ClearHwndProps", button, OBJID_CLIENT, CHILDID_SELF, L"name");
        const std::wstring clearList = Line(L"ClearHwndProps", list, OBJID_CLIENT, CHILDID_SELF, L"description");
        if (row.annotation == Annotation::CannotBeMade || row.annotation == Annotation::Wines) {
            EXPECT_TRUE(g_record.calls.empty());
            EXPECT_TRUE(g_record.events.empty());
            if (row.annotation == Annotation::Wines)
                std::printf("Wine's CoCreateInstance(CLSID_AccPropServices): 0x%08lx\n", g_record.made);
            continue;
        }
        EXPECT_EQ(g_record.made, S_OK);
        EXPECT_EQ(g_standIn.references, 0) << "the annotation object is still held";
        if (row.annotation == Annotation::NotImplemented) {
            // Nothing registered: nothing to clear, nothing to announce.
            EXPECT_EQ(afterAbout, (Lines{serve, name}));
            EXPECT_EQ(g_record.calls, (Lines{serve, name, L"Release 0"}));
            EXPECT_TRUE(g_record.events.empty());
            continue;
        }
        // The button's name lasts as long as the about box; the list's
        // server as long as the time dialog, cleared before the release.
        EXPECT_EQ(afterAbout, (Lines{serve, name, clearName}));
        EXPECT_EQ(g_record.calls, (Lines{serve, name, clearName, clearList, L"Release 0"}));
        // Child n is item n - 1, its comment with its line break kept.
        EXPECT_EQ(readFirst, (Lines{L"<none>", first, L"<none>", third, L"<none>", L"<none>"}));
        EXPECT_EQ(readEdited, (Lines{first, edited, third}));
        const std::wstring changed = Line(L"description", list, OBJID_CLIENT, 2, L"");
        EXPECT_EQ(eventsEdited, Lines{changed});
        EXPECT_EQ(readDeleted, (Lines{edited, third, L"<none>"}));
        EXPECT_EQ(readReplaced, (Lines{replaced, third}));
        // Delete announces no change of a description; Add's replacement does.
        EXPECT_EQ(g_record.events, (Lines{changed, Line(L"description", list, OBJID_CLIENT, 1, L"")}));
    }
}
