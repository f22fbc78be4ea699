// The renumbering of a tour: each item's ident column becomes its place in the tour, and only the
// runs of records, in file order, in which a line changes are written.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "dialog/tree_plan.h"

namespace {

constexpr size_t identColumn = 5;

struct Tour {
    std::vector<int32_t> records;
    std::vector<uint8_t> lines;
    std::vector<uint8_t> renumbered;
    std::vector<NumberRun> runs;
};

// The tour's lines as the file holds them: item i named "Item i", with the given ident.
Tour tourOf(const std::vector<int32_t>& records, const std::vector<std::string>& idents) {
    Tour tour;
    tour.records = records;
    tour.lines.resize(records.size() * recordSize);
    for (size_t i = 0; i < records.size(); ++i) {
        RecordBuffer r;
        clearRecordBuffer(r);
        std::snprintf(r.ident, sizeof r.ident, "%s", idents[i].c_str());
        std::snprintf(r.name, sizeof r.name, "Item %zu", i);
        std::strcpy(r.tourFlag, "1");
        std::strcpy(r.altitude, "2500");
        encodeRecord(r, tour.lines.data() + i * recordSize);
    }
    return tour;
}

// The plan's runs as "first+count" texts; every line checked to keep all but its ident column.
std::vector<std::string> plan(Tour& tour) {
    const int32_t count = static_cast<int32_t>(tour.records.size());
    tour.renumbered.assign(tour.lines.size(), 0xEE);
    tour.runs.assign(tour.records.size() + 1, NumberRun{-1, -1});
    const int32_t runs = planTourNumbers(tour.lines.data(), tour.records.data(), count,
                                         tour.renumbered.data(), tour.runs.data());
    for (size_t i = 0; i < tour.records.size(); ++i)
        EXPECT_EQ(std::memcmp(tour.lines.data() + i * recordSize + identColumn,
                              tour.renumbered.data() + i * recordSize + identColumn,
                              recordSize - identColumn),
                  0)
            << "line " << i;
    std::vector<std::string> out;
    for (int32_t r = 0; r < runs; ++r)
        out.push_back(std::to_string(tour.runs[static_cast<size_t>(r)].first) + "+" +
                      std::to_string(tour.runs[static_cast<size_t>(r)].count));
    return out;
}

std::string identAt(const Tour& tour, size_t i) {
    return std::string(reinterpret_cast<const char*>(tour.renumbered.data() + i * recordSize),
                       identColumn);
}

TEST(TourNumbers, WritesOnlyTheRunsThatChange) {
    using Idents = std::vector<std::string>;
    struct Case {
        const char* what;
        std::vector<int32_t> records;
        Idents idents; // as the file holds them
        std::vector<std::string> runs;
    };
    const Case cases[] = {
        {"a tour numbered already writes nothing", {10, 11, 12}, {"001", "002", "003"}, {}},
        {"a new tour the save wrote in one piece is one write",
         {10, 11, 12},
         {"", "", ""},
         {"0+3"}},
        {"one item", {7}, {"LSGG"}, {"0+1"}},
        {"one item numbered already", {7}, {"001"}, {}},
        {"an item deleted: the runs after it move up, the one before stays",
         {3, 4, 9, 10, 20},
         {"001", "002", "004", "005", "006"},
         {"2+2", "4+1"}},
        {"an airport's record between items splits the run",
         {3, 4, 6, 7},
         {"", "", "", ""},
         {"0+2", "2+2"}},
        {"records against file order are runs of one",
         {12, 11, 10},
         {"003", "002", "001"},
         {"0+1", "2+1"}},
        {"a run that changes in one line is written whole",
         {1, 2, 3},
         {"001", "002", "9"},
         {"0+3"}},
        {"a stale number longer than three digits is cleared", {5}, {"12345"}, {"0+1"}},
        {"an empty group", {}, {}, {}},
    };
    for (const auto& c : cases) {
        Tour tour = tourOf(c.records, c.idents);
        EXPECT_EQ(plan(tour), c.runs) << c.what;
        for (size_t i = 0; i < c.records.size(); ++i) {
            const std::string number = "00" + std::to_string(i + 1);
            EXPECT_EQ(identAt(tour, i), number.substr(number.size() - 3) + "  ") << c.what;
        }
    }
}

TEST(TourNumbers, ThousandthItemTakesFourDigitsInTheColumn) {
    for (int32_t count : {999, 1000, 1001}) {
        std::vector<int32_t> records;
        std::vector<std::string> idents;
        for (int32_t i = 0; i < count; ++i) {
            records.push_back(100 + i);
            // numbered as the last opening left them, the newest item not yet
            idents.push_back(i + 1 < count ? std::to_string(i + 1) : "");
        }
        Tour tour = tourOf(records, idents);
        EXPECT_EQ(plan(tour), std::vector<std::string>{"0+" + std::to_string(count)}) << count;
        EXPECT_EQ(identAt(tour, 998), "999  ") << count;
        if (count >= 1000) {
            EXPECT_EQ(identAt(tour, 999), "1000 ") << count;
        }
        if (count >= 1001) {
            EXPECT_EQ(identAt(tour, 1000), "1001 ") << count;
        }
        // and once written, the same tour plans nothing more
        tour.lines = tour.renumbered;
        EXPECT_TRUE(plan(tour).empty()) << count;
    }
}

} // namespace
