// The seven routines the simulator calls through the gauge header.
#pragma once
#include <cstdint>

uint32_t __stdcall gaugeQuery();
void __stdcall gaugeInstall(void* instance);
void __stdcall gaugeInitialize();
void __stdcall gaugeUpdate();
void __stdcall gaugeGenerate(uint32_t phase);
void __stdcall gaugeDraw();
void __stdcall gaugeKill();
