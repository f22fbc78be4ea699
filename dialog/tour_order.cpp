#include "tour_order.h"

// More digits than any tour can number are read no further: the number stays in range.
constexpr int64_t largestNumber = 999999999999;

TourOrderKey tourOrderKey(bool folder, const char* label) {
    if (folder)
        return {0, 0};
    if (label[0] < '0' || label[0] > '9')
        return {2, 0};
    int64_t number = 0;
    for (const char* c = label; *c >= '0' && *c <= '9'; ++c)
        number = number > largestNumber / 10 ? largestNumber : number * 10 + (*c - '0');
    return {1, number};
}

int32_t compareTourOrder(const TourOrderKey& a, const TourOrderKey& b) {
    if (a.rank != b.rank)
        return a.rank < b.rank ? -1 : 1;
    if (a.number != b.number)
        return a.number < b.number ? -1 : 1;
    return 0;
}
