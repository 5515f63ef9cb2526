#include "annotation.h"

namespace {
IAccPropServices* g_services;
// CoInitializeEx succeeded here (S_OK or S_FALSE) and must be balanced.
bool g_joinedCom;
// The window whose name was given, until it is cleared.
HWND g_namedWindow;

constexpr DWORD kClient = static_cast<DWORD>(OBJID_CLIENT);
}

void StartAnnotation()
{
    // A host already in the multi-threaded apartment answers
    // RPC_E_CHANGED_MODE: the object is made there, and COM left as it is.
    g_joinedCom = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    void* services = nullptr;
    if (FAILED(CoCreateInstance(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIidAccPropServices,
                                &services)))
        services = nullptr;
    g_services = static_cast<IAccPropServices*>(services);
}

void EndAnnotation()
{
    if (g_services != nullptr)
        g_services->Release();
    g_services = nullptr;
    if (g_joinedCom)
        CoUninitialize();
    g_joinedCom = false;
}

void AnnotateName(HWND window, const wchar_t* name)
{
    if (g_services != nullptr &&
        SUCCEEDED(g_services->SetHwndPropStr(window, kClient, CHILDID_SELF, kPropIdAccName, name)))
        g_namedWindow = window;
}

void ClearAnnotatedName()
{
    if (g_services != nullptr && g_namedWindow != nullptr)
        g_services->ClearHwndProps(g_namedWindow, kClient, CHILDID_SELF, &kPropIdAccName, 1);
    g_namedWindow = nullptr;
}

bool AnnotateChildDescriptions(HWND window, IAccPropServer* server)
{
    return g_services != nullptr &&
           SUCCEEDED(g_services->SetHwndPropServer(window, kClient, CHILDID_SELF, &kPropIdAccDescription, 1, server,
                                                   ANNO_CONTAINER));
}

void ClearAnnotatedDescriptions(HWND window)
{
    if (g_services != nullptr)
        g_services->ClearHwndProps(window, kClient, CHILDID_SELF, &kPropIdAccDescription, 1);
}

bool IdentityChild(const BYTE* identity, DWORD length, HWND window, DWORD& child)
{
    HWND named = nullptr;
    DWORD object = 0;
    return g_services != nullptr &&
           SUCCEEDED(g_services->DecomposeHwndIdentityString(identity, length, &named, &object, &child)) &&
           named == window && object == kClient;
}

BSTR AnsiToBstr(const char* text)
{
    const int units = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
    if (units <= 1)
        return nullptr;
    BSTR copy = SysAllocStringLen(nullptr, static_cast<UINT>(units - 1));
    if (copy != nullptr)
        MultiByteToWideChar(CP_ACP, 0, text, -1, copy, units);
    return copy;
}
