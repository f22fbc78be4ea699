#include "window_capture.h"

bool captureWindow(HWND window, PanelPicture& picture) {
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    RECT r;
    if (!GetWindowRect(window, &r) || r.right <= r.left || r.bottom <= r.top)
        return false;
    picture = PanelPicture{r.right - r.left, r.bottom - r.top, {}};
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool taken = false;
    if (bitmap) {
        HGDIOBJ old = SelectObject(memory, bitmap);
        HDC source = GetWindowDC(window);
        taken = BitBlt(memory, 0, 0, picture.width, picture.height, source, 0, 0, SRCCOPY) != 0;
        ReleaseDC(window, source);
        GdiFlush();
        const auto* pixels = static_cast<const uint8_t*>(bits);
        picture.rgb.resize(size_t(picture.width) * picture.height * 3);
        for (size_t i = 0; i < size_t(picture.width) * picture.height; ++i) {
            picture.rgb[3 * i] = pixels[4 * i + 2];
            picture.rgb[3 * i + 1] = pixels[4 * i + 1];
            picture.rgb[3 * i + 2] = pixels[4 * i];
        }
        SelectObject(memory, old);
        DeleteObject(bitmap);
    }
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return taken;
}
