// reportError as the pilot sees it, through the answering helper that later dialog tests share.
#include <gtest/gtest.h>

#include <stdexcept>

#include "dialog/error_report.h"
#include "host/message_boxes.h"

namespace {

TEST(ReportError, OneExclamationBoxWithAnOkButton) {
    MessageBoxAnswerer answerer;
    reportError(nullptr, "The database could not be written.");
    ASSERT_EQ(answerer.seen().size(), 1u);
    const SeenMessageBox& box = answerer.seen()[0];
    EXPECT_EQ(box.caption, "Error !");
    EXPECT_EQ(box.text, "The database could not be written.");
    EXPECT_EQ(box.buttons, std::vector<std::string>{"OK"});
    EXPECT_EQ(box.icon, LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_EXCLAMATION)));
}

TEST(MessageBoxAnswerer, GivesTheAnswersInTurn) {
    MessageBoxAnswerer answerer({IDNO, IDYES});
    EXPECT_EQ(MessageBoxA(nullptr, "first?", "Question", MB_YESNO), IDNO);
    EXPECT_EQ(MessageBoxA(nullptr, "second?", "Question", MB_YESNO), IDYES);
    EXPECT_EQ(MessageBoxA(nullptr, "third?", "Question", MB_YESNO), IDYES); // the first button
    ASSERT_EQ(answerer.seen().size(), 3u);
    EXPECT_EQ(answerer.seen()[1].text, "second?");
    EXPECT_EQ(answerer.seen()[2].buttons, (std::vector<std::string>{"&Yes", "&No"}));
    EXPECT_EQ(answerer.seen()[2].icon, nullptr);
}

// One answerer at a time: a second is refused, and the hook it had installed goes with it, so
// that each box is still answered and seen once.
TEST(MessageBoxAnswerer, ASecondIsRefusedAndLeavesNoHookBehind) {
    MessageBoxAnswerer answerer;
    EXPECT_THROW(MessageBoxAnswerer{}, std::logic_error);
    EXPECT_EQ(MessageBoxA(nullptr, "once?", "Question", MB_YESNO), IDYES);
    EXPECT_EQ(answerer.seen().size(), 1u);
}

} // namespace
