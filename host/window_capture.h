// A picture of a real window as it is drawn, for screenshots of the live panel and of the dialog
// library's windows.
#pragma once
#include <windows.h>

#include "panel_host.h"

// The whole window, frame and caption included, read from the window's own surface (which its
// controls draw into as well): the screen itself cannot be read back on a virtual X server.
// Children are painted first, so that a picture taken right after a change shows it.
bool captureWindow(HWND window, PanelPicture& picture);
