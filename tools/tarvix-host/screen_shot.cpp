#include "screen_shot.h"

#include <cstdio>

bool SaveScreenArea(const RECT& rect, const char* path)
{
    int width = rect.right - rect.left;
    int height = rect.bottom - rect.top;
    if (width <= 0 || height <= 0)
        return false;
    int stride = (width * 3 + 3) & ~3;

    BITMAPINFOHEADER info{};
    info.biSize = sizeof info;
    info.biWidth = width;
    info.biHeight = height;  // bottom-up, as BMP files store it
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biCompression = BI_RGB;
    info.biSizeImage = static_cast<DWORD>(stride * height);

    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    bool ok = false;
    if (bitmap != nullptr) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        ok = BitBlt(memory, 0, 0, width, height, screen, rect.left, rect.top, SRCCOPY) != FALSE;
        GdiFlush();
        SelectObject(memory, old);
        BITMAPFILEHEADER header{};
        header.bfType = 0x4D42;  // "BM"
        header.bfOffBits = sizeof header + sizeof info;
        header.bfSize = header.bfOffBits + info.biSizeImage;
        FILE* file = ok ? std::fopen(path, "wb") : nullptr;
        ok = file != nullptr && std::fwrite(&header, sizeof header, 1, file) == 1 &&
             std::fwrite(&info, sizeof info, 1, file) == 1 && std::fwrite(bits, info.biSizeImage, 1, file) == 1;
        if (file != nullptr && std::fclose(file) != 0)
            ok = false;
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return ok;
}

bool SaveWindowPicture(HWND window, const char* path)
{
    RECT rect;
    return GetWindowRect(window, &rect) && SaveScreenArea(rect, path);
}
