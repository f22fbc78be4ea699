// The order in which a tour folder shows its children: its subfolders first, then its items by
// their number read as a number, so that "1000 - ..." follows "999 - ..." instead of standing
// among the 100s as it would by its label. Pure.
#pragma once
#include <cstdint>

// Where one child sorts. rank: 0 a folder, 1 an entry whose label begins with its number, 2 an
// entry without one (after the numbered ones); number: the label's leading number.
struct TourOrderKey {
    int32_t rank;
    int64_t number;
};

TourOrderKey tourOrderKey(bool folder, const char* label);

// Below, at or above 0 as a sorts before, with or after b. 0 also when the keys do not decide
// (two folders, two entries of one number): the labels then do, as the tree view compares them.
int32_t compareTourOrder(const TourOrderKey& a, const TourOrderKey& b);
