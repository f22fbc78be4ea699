// The drawing helpers the frame, the buttons and the moving map share.
#include "screen_paint.h"

void drawTextLine(HDC dc, const char* text, const ScreenRect& rect, UINT alignment) {
    RECT r = {rect.left, rect.top, rect.right, rect.bottom};
    DrawTextA(dc, text, -1, &r, alignment | DT_SINGLELINE | DT_NOPREFIX);
}

HFONT createScreenFont(int32_t height, const char* face) {
    return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY, 0, face);
}
