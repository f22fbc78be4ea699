// The settings dialog: the pilot's database as a tree on the left, the selected entry and the
// autopilot options on the right. OK rewrites the database in tree order and hands the chosen
// destination to the gauge; Cancel puts the database back as it was when the dialog opened.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>

#include "common/db_record.h"
#include "common/limits.h"
#include "common/module_contract.h"
#include "common/text_fields.h"
#include "db_file.h"
#include "db_session.h"
#include "dialog_resources.h"
#include "dialog_state.h"
#include "dialogs.h"
#include "editor_dispatch.h"
#include "error_report.h"
#include "import_export.h"
#include "item_editor.h"
#include "position_check.h"
#include "settings_state.h"
#include "settings_toolbar.h"
#include "tree_commands.h"
#include "tree_drag.h"
#include "tour_numbers.h"
#include "tree_edit.h"
#include "tree_images.h"
#include "tree_items.h"
#include "tree_map.h"

SettingsState settings;

namespace {

HWND treeOf(HWND dialog) {
    return GetDlgItem(dialog, IDC_TREE);
}

// A fresh database gets a folder and an airport to start from; both records are written at
// once.
HTREEITEM startEmptyDatabase(HWND tree) {
    HTREEITEM folder = newFolder(false, tree, TVI_ROOT);
    NumberShown numbered = {}; // an airport numbers nothing
    return folder ? newEntry(false, tree, folder, numbered) : nullptr;
}

// A session that did not end (the simulator stopped while the dialog was open) left a working
// copy in the database's place: the accepted database goes back before anything else reads it,
// and the pilot hears that the changes of that session were not kept. False when the dialog must
// not open.
bool settleAndSay(HWND dialog) {
    switch (settleLastSession()) {
    case LastSession::ended:
        return true;
    case LastSession::undone:
        reportError(dialog, "The settings dialog did not close properly the last time (the "
                            "simulator stopped while it was open), so the changes made in it "
                            "were not kept: the waypoint database is as it was before.");
        return true;
    case LastSession::keptAsIs:
        reportError(dialog, "The settings dialog did not close properly the last time, and the "
                            "copy taken as it opened (\"TarvixDb.bak\") is gone: the waypoint "
                            "database is kept as that session left it. Check it, and choose the "
                            "destination again.");
        return true;
    case LastSession::stuck:
        break;
    }
    reportError(dialog, "The settings dialog did not close properly the last time, and the "
                        "waypoint database cannot be put back as it was yet (a file is held by "
                        "another program, or the disk refused it). Nothing has been changed; try "
                        "again in a moment.");
    return false;
}

void reportTooLarge(HWND dialog) {
    char text[160];
    std::snprintf(text, sizeof text,
                  "The waypoint database holds more than %ld records, more than the dialog can "
                  "show. Nothing has been changed.",
                  static_cast<long>(maxTreeRecordNumber));
    reportError(dialog, text);
}

// Opening: returns false (after saying why) when the dialog must not open.
bool openDatabaseInTree(HWND dialog, HWND tree) {
    // Before anything looks for the database: a replace cut short may have left it aside, and
    // a fresh database made in its place would then take the pilot's one for a leftover.
    recoverDatabase();
    if (!settleAndSay(dialog))
        return false;
    const DWORD attributes = GetFileAttributesA(databaseFileName);
    const bool databaseExists = attributes != INVALID_FILE_ATTRIBUTES;
    // The pilot's own file keeps its mark: it was set for a reason, perhaps by the pilot.
    if (databaseExists && (attributes & FILE_ATTRIBUTE_READONLY)) {
        reportError(dialog, "The waypoint database \"TarvixDb.dat\" is read-only (files copied "
                            "from a CD are): clear its read-only attribute to edit it. Nothing "
                            "has been changed.");
        return false;
    }
    if (!beginSession(databaseExists)) {
        reportError(dialog, "The waypoint database cannot be backed up (disk full, or the file "
                            "is held by another program). Nothing has been changed.");
        return false;
    }
    // Empty only when the file was opened and read: a database another program holds cannot
    // be counted, and taking it for an empty one would let OK write a new tree over it.
    switch (loadTree(tree, &settings.chosenItem)) {
    case TreeLoad::loaded:
        if (!treeStep(tree, nullptr, TVGN_ROOT))
            settings.chosenItem = startEmptyDatabase(tree);
        return true;
    case TreeLoad::unreadable:
        reportError(dialog, "The waypoint database cannot be read whole (it may be held by "
                            "another program). Nothing has been changed.");
        break;
    case TreeLoad::tooLarge:
        reportTooLarge(dialog);
        break;
    }
    // Loading takes the current-choice marker out of the file; should the backup not go back
    // now, the session's mark stays and the next opening puts it back.
    undoSession();
    return false;
}

void showChosenItem(HWND tree) {
    HTREEITEM chosen = settings.chosenItem;
    if (!chosen) {
        selectItem(tree, treeStep(tree, nullptr, TVGN_ROOT));
        return;
    }
    SendMessageA(tree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(chosen));
    if (isTourItemKind(itemKind(itemData(tree, chosen)))) {
        if (HTREEITEM parent = treeStep(tree, chosen, TVGN_PARENT))
            sortTourChildren(tree, parent);
    }
    selectItem(tree, chosen);
}

void showOptions(HWND dialog, HWND tree) {
    CheckRadioButton(dialog, IDC_TOUR_AUTOPILOT_ON, IDC_TOUR_AUTOPILOT_OFF,
                     ExchangeState.tourAutopilot ? IDC_TOUR_AUTOPILOT_ON : IDC_TOUR_AUTOPILOT_OFF);
    CheckDlgButton(dialog, IDC_AIRPORT_ALTITUDE_HOLD,
                   ExchangeState.airportAltitudeHold ? BST_CHECKED : BST_UNCHECKED);
    CheckRadioButton(dialog, IDC_AIRPORT_AUTOPILOT_ON, IDC_AIRPORT_AUTOPILOT_OFF,
                     ExchangeState.airportAutopilot ? IDC_AIRPORT_AUTOPILOT_ON
                                                    : IDC_AIRPORT_AUTOPILOT_OFF);
    // The selection's rule again, now that the buttons it reads are set (the first item is
    // selected when no entry carries the marker).
    enableItemControls(dialog, tree, selectedItem(tree));
    char feet[16];
    std::snprintf(feet, sizeof feet, "%ld",
                  static_cast<long>(wholeFeetOrZero(ExchangeState.airportAltitude)));
    SetDlgItemTextA(dialog, IDC_AIRPORT_ALTITUDE, feet);
}

BOOL settingsInitDialog(HWND dialog) {
    settings = SettingsState{};
    HINSTANCE library = static_cast<HINSTANCE>(libraryModule);
    HWND tree = treeOf(dialog);
    showCaption(dialog, settingsCaption);
    HCURSOR previous = SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT)));
    narrowNumberMargins(dialog);
    createSettingsToolbar(dialog, GetDlgItem(dialog, IDC_TOOLBAR_HOST), library);
    settings.treeImages = createTreeImages(library);
    SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL,
                 reinterpret_cast<LPARAM>(settings.treeImages));
    settings.previousTreeProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&treeSubclassProc)));
    // The clipboard starts empty; a file left by a session that ended abruptly is not the pilot's.
    DeleteFileA(clipboardFileName);
    if (!openDatabaseInTree(dialog, tree)) {
        SetCursor(previous);
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    }
    showChosenItem(tree);
    showOptions(dialog, tree);
    settings.initDone = 1;
    SetCursor(LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    return TRUE;
}

bool altitudesValid(HWND dialog, int button) {
    if (settings.airportAltitudeValid && settings.tourAltitudeValid)
        return true;
    SetFocus(GetDlgItem(dialog, button));
    return false;
}

// The fields' position into ExchangeState, the pole and date line put right in the controls.
bool takePosition(HWND dialog) {
    RecordBuffer& r = settings.editorRecord;
    CheckedPosition position;
    PositionCheck check = checkPosition(r, position);
    if (check != PositionCheck::latitudeError)
        ExchangeState.latitude = position.latitude;
    if (position.latitudeAtPole) {
        SetDlgItemTextA(dialog, IDC_LATITUDE_DEGREES, r.latDegrees);
        SetDlgItemTextA(dialog, IDC_LATITUDE_MINUTES, r.latMinutes);
        SetDlgItemTextA(dialog, IDC_LATITUDE_SECONDS, r.latSeconds);
    }
    if (check == PositionCheck::latitudeError) {
        reportError(dialog, "Latitude Data Error !");
        return false;
    }
    if (check == PositionCheck::longitudeError) {
        reportError(dialog, "Longitude Data Error !");
        return false;
    }
    ExchangeState.longitude = position.longitude;
    if (position.longitudeAtDateLine) {
        SetDlgItemTextA(dialog, IDC_LONGITUDE_DEGREES, r.lonDegrees);
        SetDlgItemTextA(dialog, IDC_LONGITUDE_MINUTES, r.lonMinutes);
        SetDlgItemTextA(dialog, IDC_LONGITUDE_SECONDS, r.lonSeconds);
    }
    return true;
}

void takeOptions(HWND dialog) {
    auto checked = [dialog](int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; };
    if (ExchangeState.mode == airportMode) {
        ExchangeState.airportAutopilot = checked(IDC_AIRPORT_AUTOPILOT_ON) ? 1 : 0;
        ExchangeState.airportAltitudeHold = checked(IDC_AIRPORT_ALTITUDE_HOLD) ? 1 : 0;
        return;
    }
    ExchangeState.tourAutopilot = checked(IDC_TOUR_AUTOPILOT_ON) ? 1 : 0;
    ExchangeState.tourAltitudeHold = checked(IDC_TOUR_ALTITUDE_HOLD) ? 1 : 0;
    if (ExchangeState.tourAltitudeHold)
        ExchangeState.tourAltitude = readWholeNumber(settings.editorRecord.altitude);
}

// The selected item's fields into its record before the save: the gauge must never be handed
// an entry the database does not hold as shown. Then every tour's numbers as the save must find
// them.
bool storeChosenItem(HWND dialog, HWND tree, HTREEITEM chosen) {
    const bool folder = isFolderKind(itemKind(itemData(tree, chosen)));
    if (!folder && settings.editorItem != chosen) {
        reportError(dialog, "The chosen entry could not be read from the waypoint database, so it "
                            "cannot be the destination. Select it again, or choose another.");
        return false;
    }
    if (!saveItemFields(dialog, tree, chosen)) {
        reportError(dialog, "The chosen entry could not be written to the waypoint database "
                            "(disk full, or the file is held by another program). Nothing has "
                            "been saved; try OK again.");
        return false;
    }
    if (folder) {
        reportError(dialog, "Please select Airport or Tour Item !");
        return false;
    }
    // A tour whose renumbering was refused gets its numbers before the save: the file may leave
    // one out, or hold ones its labels do not show.
    NumberShown numbered = {};
    const bool settled = settleTourNumbers(tree, numbered);
    if (numbered.item)
        showTourNumber(dialog, numbered.number);
    if (!settled) {
        reportError(dialog, "A tour's numbers could not be written to the waypoint database (it "
                            "may be held by another program). Nothing has been saved; try OK "
                            "again.");
        return false;
    }
    return true;
}

void settingsOk(HWND dialog) {
    if (!altitudesValid(dialog, IDOK))
        return;
    HWND tree = treeOf(dialog);
    readFields(dialog);
    const RecordBuffer& shown = settings.editorRecord;
    copyBoundedText(ExchangeState.ident, shown.ident, sizeof ExchangeState.ident);
    copyBoundedText(ExchangeState.name, shown.name, sizeof ExchangeState.name);
    if (!takePosition(dialog))
        return;
    char feet[6];
    GetDlgItemTextA(dialog, IDC_AIRPORT_ALTITUDE, feet, sizeof feet);
    const int32_t airportFeet = readWholeNumber(feet);
    if (!altitudeInRange(airportFeet)) {
        reportAltitudeRange(dialog);
        return;
    }
    ExchangeState.airportAltitude = airportFeet;
    takeOptions(dialog);
    settings.chosenItem = selectedItem(tree);
    if (settings.chosenItem && !storeChosenItem(dialog, tree, settings.chosenItem))
        return;
    int32_t chosen = 0;
    if (saveTree(tree, &chosen) != TreeSave::saved) {
        reportError(dialog, "The waypoint database could not be written (disk full, or the file "
                            "is held by another program). It is as it was; try OK again.");
        return;
    }
    DeleteFileA(clipboardFileName);
    ExchangeState.recordNumber = chosen;
    settings.initDone = 0;
    // The dialog closes either way: its tree's record numbers are the old file's now.
    if (!storeExchange())
        reportError(dialog, "The waypoint database is saved, but the choice could not be handed "
                            "to the gauge (the system refused the memory they share). Open the "
                            "dialog and press OK again.");
    EndDialog(dialog, IDOK);
}

void settingsCancel(HWND dialog) {
    if (!altitudesValid(dialog, IDCANCEL))
        return;
    if (!undoSession())
        reportError(dialog, "The waypoint database could not be put back as it was (a file is "
                            "held by another program, or the disk refused it); it will be put "
                            "back when the dialog next opens.");
    DeleteFileA(clipboardFileName);
    settings.initDone = 0;
    EndDialog(dialog, IDCANCEL);
}

void settingsCommand(HWND dialog, int id, int code) {
    if (altitudeNotification(dialog, id, code))
        return;
    switch (id) {
    case IDOK:
        settingsOk(dialog);
        return;
    case IDCANCEL:
        settingsCancel(dialog);
        return;
    default:
        if (!exchangeCommand(dialog, id))
            editorCommand(dialog, id);
        return;
    }
}

// A tour folder shows its subfolders and then its items in number order each time it opens;
// airport folders keep the pilot's order.
void sortExpandedTour(HWND tree, const NMTREEVIEWA& change) {
    if ((change.action & (TVE_EXPAND | TVE_COLLAPSE)) != TVE_EXPAND)
        return;
    if (isTourKind(itemKind(itemData(tree, change.itemNew.hItem))))
        sortTourChildren(tree, change.itemNew.hItem);
}

// The dragged item is selected first, which shows it in the editor. A message box shown as the
// selection moved (the entry left could not be stored, so the selection stayed; the one reached
// could not be read) takes the button's release: a drag armed after it would drop at the pilot's
// next click. The key state is the one of the messages taken so far, which a message box's own
// loop brings up to date.
void startDrag(HWND dialog, const NMTREEVIEWA& start) {
    HWND tree = start.hdr.hwndFrom;
    HTREEITEM item = start.itemNew.hItem;
    selectItem(tree, item);
    if (selectedItem(tree) == item && settings.editorItem == item && GetKeyState(VK_LBUTTON) < 0)
        beginTreeDrag(dialog, start);
}

// No handle of a deleted item is kept: the clipboard's source, the destination and the drag
// would otherwise name an item that is gone (or a new one that took its handle).
void forgetItem(HTREEITEM item) {
    if (settings.clipboardSource == item)
        settings.clipboardSource = nullptr;
    if (settings.chosenItem == item)
        settings.chosenItem = nullptr;
    if (settings.dragSource == item)
        settings.dragSource = nullptr;
    if (settings.editorItem == item)
        settings.editorItem = nullptr;
    forgetUnsettledTour(item);
}

LRESULT settingsNotify(HWND dialog, NMHDR* header) {
    if (header->idFrom != IDC_TREE)
        return 0;
    HWND tree = header->hwndFrom;
    switch (header->code) {
    case TVN_GETDISPINFOA:
        folderImageOnRequest(*reinterpret_cast<NMTVDISPINFOA*>(header));
        return 0;
    case TVN_ITEMEXPANDEDA:
        sortExpandedTour(tree, *reinterpret_cast<NMTREEVIEWA*>(header));
        return 0;
    case TVN_BEGINDRAGA:
        startDrag(dialog, *reinterpret_cast<NMTREEVIEWA*>(header));
        return 0;
    case TVN_DELETEITEMA:
        forgetItem(reinterpret_cast<NMTREEVIEWA*>(header)->itemOld.hItem);
        return 0;
    case TVN_SELCHANGINGA:
        // A dialog procedure answers a notification through its window's message result.
        SetWindowLongPtrA(
            dialog, DWLP_MSGRESULT,
            keepSelection(dialog, tree, *reinterpret_cast<NMTREEVIEWA*>(header)) ? TRUE : FALSE);
        return TRUE;
    case TVN_SELCHANGEDA:
        followSelection(dialog, tree, *reinterpret_cast<NMTREEVIEWA*>(header));
        return 0;
    default:
        return 0;
    }
}

// The drop ends the drag (tree_drag); when it goes ahead, the dispatcher carries it out.
BOOL dropOnTree(HWND dialog, WPARAM keys) {
    TreeDrop drop = {};
    if (!dropTreeDrag(dialog, keys, drop))
        return FALSE;
    if (drop.source) {
        dropItem(dialog, treeOf(dialog), drop);
        InvalidateRect(treeOf(dialog), nullptr, TRUE);
    }
    return TRUE;
}

void restoreProcedure(HWND window, WNDPROC previous) {
    if (previous)
        SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
}

// The dialog goes before its controls: the tree and the toolbar's host get their own procedures
// back first, or their own clean-up (every item of the tree, its fonts) would never run. The
// tree's clean-up deletes every item, which would move a selection: there is none left to move,
// so the editor never saves then (Cancel has already put the database back).
void settingsDestroy(HWND dialog) {
    abandonTreeDrag(dialog);
    HWND tree = treeOf(dialog);
    selectItem(tree, nullptr);
    restoreProcedure(tree, settings.previousTreeProc);
    restoreProcedure(GetDlgItem(dialog, IDC_TOOLBAR_HOST), settings.previousToolbarHostProc);
    SendMessageA(tree, TVM_SETIMAGELIST, TVSIL_NORMAL, 0);
    if (settings.treeImages)
        ImageList_Destroy(settings.treeImages);
    settings = SettingsState{};
}

} // namespace

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        return settingsInitDialog(dialog);
    case WM_COMMAND:
        settingsCommand(dialog, LOWORD(wParam), HIWORD(wParam));
        return TRUE;
    case WM_NOTIFY:
        return settingsNotify(dialog, reinterpret_cast<NMHDR*>(lParam));
    case WM_MOUSEMOVE:
        return moveTreeDrag(dialog, lParam);
    case WM_LBUTTONUP:
        return dropOnTree(dialog, wParam);
    case WM_CAPTURECHANGED:
        return abandonTreeDrag(dialog);
    case WM_DESTROY:
        settingsDestroy(dialog);
        return FALSE;
    default:
        return FALSE;
    }
}
