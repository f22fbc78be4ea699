// Click handlers behind the mouse table. What each button does arrives with the navigation
// work; every handler already answers the simulator with 1, as it must.
#include "gauge_state.h"

int32_t __stdcall onScaleUp(void*, int32_t) {
    return 1;
}
int32_t __stdcall onScaleDown(void*, int32_t) {
    return 1;
}
int32_t __stdcall onDialog(void*, int32_t) {
    return 1;
}
int32_t __stdcall onAbout(void*, int32_t) {
    return 1;
}
int32_t __stdcall onAutopilot(void*, int32_t) {
    return 1;
}
int32_t __stdcall onPrev(void*, int32_t) {
    return 1;
}
int32_t __stdcall onNext(void*, int32_t) {
    return 1;
}
