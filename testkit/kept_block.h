// The gauge's kept settings (its route origin, map scale and spare flag, in the named block
// "TarvixGaugeMapFile") as another party of the process sees them and leaves them.
#pragma once
#include <optional>

#include "gauge/kept_state.h"

// The four values as they stand in the block, unchecked; none when there is no block.
std::optional<KeptSettings> keptBlock();

// Creates the block as another program would (or fills the one there is) with the four values,
// and keeps it open for the rest of the process, so that it outlives every gauge; false when it
// cannot be made.
bool writeKeptBlock(const KeptSettings& settings);
