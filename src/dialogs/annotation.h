// What a screen reader is told beyond what Windows' accessibility proxies
// of the standard controls say: names and descriptions added through
// Windows' Dynamic Annotation (IAccPropServices, XP and later; Windows 2000
// with the Active Accessibility redistributable). Where it is missing, or
// its calls fail (Wine stubs them), every function here quietly does
// nothing and the dialogs work as they would without it.
#pragma once
#include <windows.h>

#include <oleacc.h>

// Microsoft's documented values. Defined here so that the module needs no
// GUID library: the toolchain keeps them in libuuid only.
constexpr GUID kClsidAccPropServices = {
    0xb5f8350b, 0x0548, 0x48b1, {0xa6, 0xee, 0x88, 0xbd, 0x00, 0xb4, 0xa5, 0xe7}};
constexpr GUID kIidAccPropServices = {
    0x6e26e776, 0x04f0, 0x495d, {0x80, 0xe4, 0x33, 0x30, 0x35, 0x2e, 0x31, 0x69}};
constexpr GUID kIidAccPropServer = {
    0x76c0dbbb, 0x15e0, 0x4e7b, {0xb6, 0x1b, 0x20, 0xee, 0xea, 0x20, 0x01, 0xe0}};
constexpr GUID kIidUnknown = {0x00000000, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
constexpr GUID kPropIdAccName = {0x608d3df8, 0x8128, 0x4aa7, {0xa4, 0x28, 0xf5, 0x5e, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID kPropIdAccDescription = {
    0x4d48dfe4, 0xbd3f, 0x491f, {0xa6, 0x48, 0x49, 0x2d, 0x6f, 0x20, 0xc5, 0x88}};

// For the time dialog's life, on its thread: joins COM unless the host's
// thread is in the multi-threaded apartment, and makes the annotation
// object. EndAnnotation releases it and leaves COM as the host had it.
void StartAnnotation();
void EndAnnotation();

// The name a reader says for window in place of its text (one window at a
// time), and clearing it again.
void AnnotateName(HWND window, const wchar_t* name);
void ClearAnnotatedName();
// server answers the descriptions of window's children; false when it is
// not registered.
bool AnnotateChildDescriptions(HWND window, IAccPropServer* server);
void ClearAnnotatedDescriptions(HWND window);

// The child of window's client area that an identity string names; false
// when it names another window or object.
bool IdentityChild(const BYTE* identity, DWORD length, HWND window, DWORD& child);
// A copy of text in the ANSI code page as a BSTR, or null.
BSTR AnsiToBstr(const char* text);
