// The order of a tour folder's children: folders, then items by number, then the rest.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "dialog/tour_order.h"

namespace {

struct Child {
    bool folder;
    const char* label;
};

// Sorted as the tree's callback sorts: the key first, the label where the key does not decide.
std::vector<std::string> sorted(std::vector<Child> children) {
    std::stable_sort(children.begin(), children.end(), [](const Child& a, const Child& b) {
        int32_t order =
            compareTourOrder(tourOrderKey(a.folder, a.label), tourOrderKey(b.folder, b.label));
        return order != 0 ? order < 0 : std::string(a.label) < b.label;
    });
    std::vector<std::string> labels;
    for (const Child& c : children)
        labels.push_back(c.label);
    return labels;
}

TEST(TourOrder, ItemsByTheirNumberAfterTheFolders) {
    struct Case {
        const char* what;
        std::vector<Child> children;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"four digits after three",
         {{false, "1000 - Far"}, {false, "100 - Mid"}, {false, "999 - Near"}, {false, "001 - A"}},
         {"001 - A", "100 - Mid", "999 - Near", "1000 - Far"}},
        {"folders first, among themselves by label",
         {{false, "002 - B"}, {true, " Zulu"}, {false, "001 - A"}, {true, " Alpha"}},
         {" Alpha", " Zulu", "001 - A", "002 - B"}},
        {"a folder whose name is a number stays a folder",
         {{false, "001 - A"}, {true, "5"}},
         {"5", "001 - A"}},
        {"entries without a number after the numbered ones",
         {{false, "Chicago"}, {false, "12000 - X"}, {false, "002 - B"}},
         {"002 - B", "12000 - X", "Chicago"}},
        {"one number twice: the labels decide",
         {{false, "003 - Zeta"}, {false, "003 - Alpha"}},
         {"003 - Alpha", "003 - Zeta"}},
        {"leading zeros count for nothing",
         {{false, "0010 - Ten"}, {false, "9 - Nine"}},
         {"9 - Nine", "0010 - Ten"}},
        {"digits past any tour's length still order",
         {{false, "99999999999999999999 - Huge"}, {false, "5 - Five"}},
         {"5 - Five", "99999999999999999999 - Huge"}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sorted(c.children), c.expected) << c.what;
}

} // namespace
