// The heading-up moving map in the middle of the screen.
#pragma once
#include <windows.h>

// What drawMap leaves selected for the redraw's clean-up: the rounded clip and the map's font.
struct MapResources {
    HRGN clip;
    HFONT font;
    HFONT previousFont;
};

// Draws the map with the face the screen chose; entered with a transparent background.
void drawMap(const char* face, MapResources& left);
