#include "item_descriptions.h"

#include <atomic>

#include "../dialogs/annotation.h"
#include "../res/resource.h"
#include "time_list.h"

namespace {
// The dialog is set while the server is registered: the server may be asked
// from another thread, which only ever sends to it. The list is set, on the
// dialog's thread, while the registration holds.
std::atomic<HWND> g_describedDialog;
HWND g_describedList;

// The question the server hands to the dialog's thread.
struct DescriptionRequest {
    const BYTE* identity;
    DWORD length;
};

// A static object: the annotation manager holds it only while registered,
// and it lives as long as the module.
class ItemDescriptionServer final : public IAccPropServer {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override
    {
        if (out == nullptr)
            return E_POINTER;
        *out = iid == kIidUnknown || iid == kIidAccPropServer ? this : nullptr;
        return *out != nullptr ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    // Nothing (VT_EMPTY) unless the item has a comment.
    HRESULT STDMETHODCALLTYPE GetPropValue(const BYTE* identity, DWORD length, MSAAPROPID property, VARIANT* value,
                                           BOOL* hasProperty) override
    {
        if (value == nullptr || hasProperty == nullptr)
            return E_POINTER;
        value->vt = VT_EMPTY;
        *hasProperty = FALSE;
        if (property != kPropIdAccDescription)
            return S_OK;
        DescriptionRequest request{identity, length};
        auto text = reinterpret_cast<BSTR>(
            SendMessageW(g_describedDialog, WM_TIME_DESCRIBE_ITEM, 0, reinterpret_cast<LPARAM>(&request)));
        if (text != nullptr) {
            value->vt = VT_BSTR;
            value->bstrVal = text;
            *hasProperty = TRUE;
        }
        return S_OK;
    }
};

constinit ItemDescriptionServer g_server;
}

void StartItemDescriptions(HWND dialog)
{
    COMBOBOXINFO timeBox{};
    timeBox.cbSize = sizeof timeBox;
    if (!GetComboBoxInfo(GetDlgItem(dialog, IDC_TIME_BOX), &timeBox))
        return;
    g_describedDialog = dialog;
    if (AnnotateChildDescriptions(timeBox.hwndList, &g_server))
        g_describedList = timeBox.hwndList;
}

void EndItemDescriptions()
{
    if (g_describedList != nullptr)
        ClearAnnotatedDescriptions(g_describedList);
    g_describedList = nullptr;
    g_describedDialog = nullptr;
}

void NotifyItemDescriptionChanged(int index)
{
    if (g_describedList != nullptr)
        NotifyWinEvent(EVENT_OBJECT_DESCRIPTIONCHANGE, g_describedList, OBJID_CLIENT, index + 1);
}

// Child n of the list is item n - 1; the list itself (child 0, no item -1)
// and an item past the end have no description.
BOOL ReplyItemDescription(HWND dialog, LPARAM request)
{
    const auto* asked = reinterpret_cast<const DescriptionRequest*>(request);
    DWORD child = 0;
    BSTR text = nullptr;
    if (asked != nullptr && g_describedList != nullptr &&
        IdentityChild(asked->identity, asked->length, g_describedList, child)) {
        const char* comment = TimeItemComment(GetDlgItem(dialog, IDC_TIME_BOX), static_cast<int>(child - 1));
        if (comment != nullptr)
            text = AnsiToBstr(comment);
    }
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, reinterpret_cast<LONG_PTR>(text));
    return TRUE;
}
