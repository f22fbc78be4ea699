// The right half of the settings dialog: the selected entry's fields, the autopilot options,
// the altitude edits' checks and "Cur. Read". The fields go through the editor's record
// (settings.editorRecord); the options live in ExchangeState.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

// The number edits are only a few digits wide in the template's font. Where the system draws
// another face (every system that lacks that one), the edits' usual margins leave too little
// room and the last digits scroll out of view: a pixel each side gives three-digit degrees and
// five-digit altitudes their room.
void narrowNumberMargins(HWND dialog);

// The editor's controls into its record; also sets ExchangeState.tourAltitude.
void readFields(HWND dialog);
// The editor's record into its controls.
void showRecord(HWND dialog);

// The editor into the item's record, then its label. Nothing without an item, and nothing into
// an item whose record the editor does not show (its read was refused: the blanks shown are not
// its fields). False when the record could not be written; the label then stays as it was.
bool saveItemFields(HWND dialog, HWND tree, HTREEITEM item);
// The editor into the selected item's record, as leaving the item would store it, so that an
// operation that takes the record from the file takes the pilot's edits with it. While an
// altitude edit holds a bad value nothing is stored: the focus goes to the tree, which makes the
// edit say what is wrong, and false is returned. False too (and said) when the record could not
// be written.
bool storeSelectedItem(HWND dialog, HWND tree);
// The item's record into the editor, and its altitude options into ExchangeState. A refused read
// is said, shows the entry blank and leaves settings.editorItem empty.
void loadItemFields(HWND dialog, HWND tree, HTREEITEM item);
// As the tree asks whether its selection may move (TVN_SELCHANGING): the editor is stored into
// the item it shows. True (said) when that write is refused: the change is then to be vetoed, so
// that the item stays selected with what the pilot typed, to be tried again or given up by
// Cancel. Nothing is stored, and false returned, when the selection goes off the tree or back to
// the editor's item (see followSelection).
bool keepSelection(HWND dialog, HWND tree, const NMTREEVIEWA& change);
// The editor moves with the tree's selection (TVN_SELCHANGED): the item left keeps what the
// editor shows (stored by keepSelection as the change was asked), the item gained is shown. Nothing
// happens when nothing is gained, or when the editor shows that item already: an operation that
// moves the selection for its own ends (OK's save walk, the fold of a renumbering) takes it off
// every item first, so that no folder it collapses can move it, and puts it back when done, and the
// editor keeps its item throughout.
void followSelection(HWND dialog, HWND tree, const NMTREEVIEWA& change);
// Shows the item an operation hands back (nullptr: none) in the editor: selected, when it is not
// (which shows it), else read again, as the operation may have changed its record.
void showItem(HWND dialog, HWND tree, HTREEITEM item);
// A renumbering gave the item the editor shows a new number: the ident box shows it, so that the
// editor, which stores what it shows, never puts the old one back.
void showTourNumber(HWND dialog, int32_t number);
// Before the item (with everything in it) leaves the tree: the editor no longer stores into it,
// whatever selection change the deletion brings, and whichever of its notifications comes first.
void releaseEditorFrom(HWND tree, HTREEITEM removed);
// Enables what the item's kind may edit and, for an entry, sets ExchangeState.mode.
void enableItemControls(HWND dialog, HWND tree, HTREEITEM item);

// The autopilot buttons and check boxes (1017, 1018, 1027, 1020, 1026, 1028) and "Cur. Read"
// (1025); false for any other command.
bool editorCommand(HWND dialog, int id);

// Tells the pilot the altitudes an edit takes.
void reportAltitudeRange(HWND dialog);

// EN_CHANGE and EN_KILLFOCUS of the two altitude edits; false for any other notification.
bool altitudeNotification(HWND dialog, int id, int code);
