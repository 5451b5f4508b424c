// Screen capture: a copy of the whole virtual desktop through GDI, as the
// user sees it, top-level windows of every process included.
#include "driver.h"

bool captureScreen(std::vector<uint8_t>& rgb, int& width, int& height)
{
    width = GetSystemMetrics(SM_CXSCREEN);
    height = GetSystemMetrics(SM_CYSCREEN);
    HDC screen = GetDC(nullptr);
    if (!screen) {
        return false;
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height; // top-down rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC memory = CreateCompatibleDC(screen);
    bool copied = false;
    if (bitmap && memory) {
        HGDIOBJ previous = SelectObject(memory, bitmap);
        copied = BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY | CAPTUREBLT);
        GdiFlush();
        SelectObject(memory, previous);
    }
    if (copied) {
        const auto* pixels = static_cast<const uint8_t*>(bits); // blue, green, red, unused
        rgb.resize(static_cast<size_t>(width) * height * 3);
        for (size_t i = 0, count = static_cast<size_t>(width) * height; i < count; ++i) {
            rgb[i * 3] = pixels[i * 4 + 2];
            rgb[i * 3 + 1] = pixels[i * 4 + 1];
            rgb[i * 3 + 2] = pixels[i * 4];
        }
    }
    if (memory) {
        DeleteDC(memory);
    }
    if (bitmap) {
        DeleteObject(bitmap);
    }
    ReleaseDC(nullptr, screen);
    return copied;
}
