// Answers the message boxes that the code under test shows on this thread, and records what each
// one said, so that dialog tests neither hang on a box nor miss one.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "thread_hook.h"

struct SeenMessageBox {
    std::string caption;
    std::string text;
    std::vector<std::string> buttons; // labels, in the box's order
    HICON icon;                       // the box's icon, nullptr without one
};

// A message box's text is its only child with id 0xFFFF; the library's own dialogs have several
// unnumbered labels, or none.
bool isMessageBox(HWND window);

// While it lives, every message box is answered at once: with the next of the given answers
// (IDOK, IDYES, IDNO ...), and with the box's first button once they run out.
class MessageBoxAnswerer {
  public:
    explicit MessageBoxAnswerer(std::vector<int> answers = {});
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    const std::vector<SeenMessageBox>& seen() const { return seen_; }
    // The answers for the boxes still to come, in place of those not yet given.
    void setAnswers(std::vector<int> answers);

  private:
    static LRESULT CALLBACK hook(int code, WPARAM wParam, LPARAM lParam);
    void answer(HWND box);

    std::vector<int> answers_;
    size_t nextAnswer_ = 0;
    std::vector<SeenMessageBox> seen_;
    ThreadHook hook_;
};
