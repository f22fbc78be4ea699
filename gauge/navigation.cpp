// Per-update navigation steps: the active leg, the switch distance and the wind correction.
// The navigation math arrives with the navigation work; until then these steps leave the
// gauge's initial figures in place.
#include "gauge_state.h"

void updateActiveLeg() {}
void updateSwitchDistance() {}
void applyWindCorrection() {}
