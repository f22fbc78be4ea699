// A long track made short enough to fly as a tour, keeping its shape.
#pragma once
#include <cstddef>
#include <vector>

#include "waypoints.h"

// The indices of at most most points of a track (most >= 2) that keep its shape best: the
// first and the last, then again and again the point farthest from the legs kept so far, on
// the sphere. deviationNm: how far the farthest point left out lies from the legs kept.
std::vector<size_t> thinnedTrack(const std::vector<Waypoint>& points, size_t most,
                                 double& deviationNm);
