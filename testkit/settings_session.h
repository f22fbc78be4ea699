// The settings dialog opened through the library's export and worked by a DialogDriver, with
// the probes its tests and benchmarks read the tree with: labels, the whole tree as indented text,
// items found by label.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "db_fixtures.h"
#include "dialog/tree_items.h"
#include "host/dialog_driver.h"
#include "host/message_boxes.h"

HWND treeOf(HWND dialog);
std::string itemText(HWND tree, HTREEITEM item);
// Every label, depth first, one a line, indented two spaces a level.
std::string treeText(HWND tree);
// Selects the item with the label as a click would; fails the test when there is none.
void selectLabel(HWND dialog, const std::string& label);
std::string selectedLabel(HWND dialog);
// Types the text into the control as the pilot would: the focus first, then the characters one
// by one, replacing what the control held (the edit marks itself modified, as only typing does).
void type(HWND dialog, int id, const std::string& text);

// The tree's command (a WM_COMMAND to the tree, as the toolbar and the popup menu send it).
void command(HWND dialog, int id);
// The centre of the item's label in the tree's client area, scrolled into view first.
POINT labelCentre(HWND tree, HTREEITEM item);
// The left button down or up in this thread's key state, as the system keeps it from the mouse
// messages it takes from the queue (messages a test sends leave it alone).
void holdLeftButton(bool down);
// Presses the left button on the item and moves away from it, as the tree's own drag detection
// sees a pilot start a drag: the move waits in the queue for the tree's tracking loop. The button
// stays down in the key state until the drop lets it go; with buttonDown false the key state says
// it is up already, as when a message box took its release before the drag could start.
void startDrag(HWND dialog, const std::string& label, bool buttonDown = true);
void startDrag(HWND dialog, HTREEITEM item, bool buttonDown = true);
// Moves the dragged item over the item with the label (or to the right of the tree for
// "outside") and lets go there, with Ctrl held or not.
void dropOn(HWND dialog, const std::string& label, bool control);
// The same onto an item, or outside the tree when it is nullptr.
void dropOn(HWND dialog, HTREEITEM target, bool control);

class SettingsSession : public ::testing::Test {
  protected:
    void SetUp() override;

    // Runs the dialog with the steps, answering message boxes (with the answers given, then
    // each box's first button); the record carries the aircraft's position.
    int run(std::vector<DialogDriver::Step> steps, std::vector<int> answers = {});
    std::vector<std::string> boxTexts() const;
    // The airport autopilot and its altitude hold on, as the dialog opens with them, so that the
    // airport altitude edit is enabled.
    ::testing::AssertionResult storeAirportAltitudeHold() const;
    ExchangeRecord exchange() const;

    DialogLibrary library;
    RecordExportFn dialogExport = nullptr;
    ExchangeRecord aircraft{};
    std::vector<SeenMessageBox> boxes;
    bool shown = false;
};

extern const DialogDriver::Step pressOk;
extern const DialogDriver::Step pressCancel;
