// Stands in for a program named Explorer.exe left in the host's current
// folder: if it is ever run, it leaves a marker file beside itself.
#include <windows.h>

int main()
{
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path)
        return 1;
    lstrcpynA(path + length, ".ran", static_cast<int>(sizeof path - length));
    HANDLE marker = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (marker == INVALID_HANDLE_VALUE)
        return 1;
    CloseHandle(marker);
    return 0;
}
