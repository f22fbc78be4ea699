// The off-screen 256-colour canvas. Built by the screen work; until then the gauge shows
// bitmap 102 as the simulator installed it.
#include "gauge_state.h"

void createCanvas(ImageElement) {}
void releaseCanvas() {}
