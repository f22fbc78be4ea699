// The tour rule on records in memory: what the library's steps and the stand-in simulator's
// flight plans both follow.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialog/tour_rule.h"

namespace {

// One record a letter: F a folder, T a tour folder, A an airport; a digit a tour item with that
// sequence number (0 for a blank identifier).
std::vector<RecordBuffer> database(const std::string& kinds) {
    std::vector<RecordBuffer> records;
    for (char kind : kinds) {
        RecordBuffer r;
        clearRecordBuffer(r);
        if (kind == 'F' || kind == 'T')
            std::strcpy(r.level, "1");
        if (kind == 'T' || (kind >= '0' && kind <= '9'))
            std::strcpy(r.tourFlag, "1");
        if (kind >= '1' && kind <= '9')
            std::snprintf(r.ident, sizeof r.ident, "%03d", kind - '0');
        records.push_back(r);
    }
    return records;
}

bool readAt(void* context, int32_t number, RecordBuffer& record) {
    record = (*static_cast<std::vector<RecordBuffer>*>(context))[size_t(number - 1)];
    return true;
}

std::string flown(std::vector<RecordBuffer>& records, int32_t from) {
    RecordSource source = {static_cast<int32_t>(records.size()), readAt, &records};
    RecordBuffer scratch;
    std::string items;
    forEachTourItem(
        source, from, scratch,
        [](void* into, int32_t number) {
            std::string& text = *static_cast<std::string*>(into);
            text += (text.empty() ? "" : " ") + std::to_string(number);
        },
        &items);
    return items;
}

TEST(TourRule, StepsAndWrapsWithinTheTour) {
    std::vector<RecordBuffer> records = database("FAAT123F1");
    RecordSource source = {static_cast<int32_t>(records.size()), readAt, &records};
    RecordBuffer scratch;
    const int32_t forward[][2] = {{5, 6}, {6, 7}, {7, 5}, {9, 9}};
    for (const auto& step : forward)
        EXPECT_EQ(nextTourItem(source, step[0], scratch), step[1]) << "forward from " << step[0];
    const int32_t backward[][2] = {{6, 5}, {5, 7}, {7, 6}, {9, 9}};
    for (const auto& step : backward)
        EXPECT_EQ(previousTourItem(source, step[0], scratch), step[1]) << "back from " << step[0];
}

TEST(TourRule, FlightPlansFollowTheSteps) {
    const struct {
        const char* kinds;
        int32_t from;
        const char* items;
    } cases[] = {
        {"FAAT123F1", 6, "5 6 7"}, // from the middle: the whole tour from its first item
        {"FAAT123F1", 9, "9"},     // the last tour of the file, of one item
        {"T12312", 5, "5 6"},      // a restarted numbering is a tour of its own
        {"T12312", 3, "2 3 4"},    // ... and ends the one before it
        {"T90F", 2, "2"},          // "009" then a blank number: forward never leaves "009"
        {"FAA", 2, ""},            // an airport is no tour
        {"T123", 9, ""},           // beyond the end
    };
    for (const auto& c : cases) {
        std::vector<RecordBuffer> records = database(c.kinds);
        EXPECT_EQ(flown(records, c.from), c.items) << c.kinds << " from " << c.from;
    }
}

} // namespace
