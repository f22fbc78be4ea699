// The redraw of the whole screen into the canvas and the copy into the simulator's image.
// Built by the screen work.
#include "gauge_state.h"

void drawScreen(ImageElement) {}
