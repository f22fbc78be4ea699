#include "item_editor.h"

#include <cstdio>
#include <cstring>
#include <iterator>

#include "common/limits.h"
#include "common/module_contract.h"
#include "common/position_units.h"
#include "common/record_rules.h"
#include "common/text_fields.h"
#include "db_file.h"
#include "dialog_resources.h"
#include "dialog_state.h"
#include "error_report.h"
#include "settings_state.h"
#include "tree_items.h"

namespace {

// At most `characters` characters of the control, as the record's columns take them.
template <size_t N> void readControl(HWND dialog, int id, char (&field)[N], int characters) {
    GetDlgItemTextA(dialog, id, field, characters + 1 < int(N) ? characters + 1 : int(N));
}

bool checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void enable(HWND dialog, int id, bool on) {
    EnableWindow(GetDlgItem(dialog, id), on ? TRUE : FALSE);
}

void enableAll(HWND dialog, const int* ids, size_t count, bool on) {
    for (size_t i = 0; i < count; ++i)
        enable(dialog, ids[i], on);
}

const int positionControls[] = {
    IDC_NORTH, IDC_SOUTH, IDC_LATITUDE_DEGREES,  IDC_LATITUDE_MINUTES,  IDC_LATITUDE_SECONDS,
    IDC_EAST,  IDC_WEST,  IDC_LONGITUDE_DEGREES, IDC_LONGITUDE_MINUTES, IDC_LONGITUDE_SECONDS};

const int numberEdits[] = {IDC_LATITUDE_DEGREES,  IDC_LATITUDE_MINUTES,  IDC_LATITUDE_SECONDS,
                           IDC_LONGITUDE_DEGREES, IDC_LONGITUDE_MINUTES, IDC_LONGITUDE_SECONDS,
                           IDC_AIRPORT_ALTITUDE,  IDC_TOUR_ALTITUDE};

// One kind's autopilot options, which hang together: the hold box only with the autopilot on,
// the altitude only with both.
struct AutopilotOptions {
    int on;
    int hold;
    int altitude;
};
constexpr AutopilotOptions airportOptionControls = {
    IDC_AIRPORT_AUTOPILOT_ON, IDC_AIRPORT_ALTITUDE_HOLD, IDC_AIRPORT_ALTITUDE};
constexpr AutopilotOptions tourOptionControls = {IDC_TOUR_AUTOPILOT_ON, IDC_TOUR_ALTITUDE_HOLD,
                                                 IDC_TOUR_ALTITUDE};

// A disabled altitude edit can never take the focus to be mended, so a bad value in it never
// holds the dialog: it is checked again when the pilot types into it (the airport altitude is
// also checked at OK).
void releaseDisabledAltitudes(HWND dialog) {
    if (!IsWindowEnabled(GetDlgItem(dialog, IDC_AIRPORT_ALTITUDE)))
        settings.airportAltitudeValid = 1;
    if (!IsWindowEnabled(GetDlgItem(dialog, IDC_TOUR_ALTITUDE)))
        settings.tourAltitudeValid = 1;
}

void updateOptions(HWND dialog, const AutopilotOptions& options) {
    const bool on = checked(dialog, options.on);
    enable(dialog, options.hold, on);
    enable(dialog, options.altitude, on && checked(dialog, options.hold));
    releaseDisabledAltitudes(dialog);
}

void showPosition(HWND dialog, const RecordBuffer& r) {
    CheckRadioButton(dialog, IDC_NORTH, IDC_SOUTH,
                     std::strcmp(r.latHemisphere, "N") == 0 ? IDC_NORTH : IDC_SOUTH);
    SetDlgItemTextA(dialog, IDC_LATITUDE_DEGREES, r.latDegrees);
    SetDlgItemTextA(dialog, IDC_LATITUDE_MINUTES, r.latMinutes);
    SetDlgItemTextA(dialog, IDC_LATITUDE_SECONDS, r.latSeconds);
    CheckRadioButton(dialog, IDC_EAST, IDC_WEST,
                     std::strcmp(r.lonHemisphere, "E") == 0 ? IDC_EAST : IDC_WEST);
    SetDlgItemTextA(dialog, IDC_LONGITUDE_DEGREES, r.lonDegrees);
    SetDlgItemTextA(dialog, IDC_LONGITUDE_MINUTES, r.lonMinutes);
    SetDlgItemTextA(dialog, IDC_LONGITUDE_SECONDS, r.lonSeconds);
}

// The aircraft's position, as the gauge handed it over, into the fields and the controls. The
// record itself takes it when the selection moves on or at OK.
void currentRead(HWND dialog) {
    RecordBuffer& r = settings.editorRecord;
    putDms(latitudeToDms(ExchangeState.aircraftLatitude), r.latHemisphere, r.latDegrees,
           r.latMinutes, r.latSeconds);
    putDms(longitudeToDms(ExchangeState.aircraftLongitude), r.lonHemisphere, r.lonDegrees,
           r.lonMinutes, r.lonSeconds);
    showPosition(dialog, r);
}

int32_t altitudeOf(HWND dialog, int id) {
    char text[6];
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return readWholeNumber(text);
}

} // namespace

void narrowNumberMargins(HWND dialog) {
    for (int id : numberEdits)
        SendDlgItemMessageA(dialog, id, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN,
                            MAKELPARAM(1, 1));
}

void readFields(HWND dialog) {
    RecordBuffer& r = settings.editorRecord;
    copyBoundedText(r.altitudeHoldFlag, checked(dialog, IDC_TOUR_ALTITUDE_HOLD) ? "1" : "",
                    sizeof r.altitudeHoldFlag);
    readControl(dialog, IDC_TOUR_ALTITUDE, r.altitude, 5);
    ExchangeState.tourAltitude = readWholeNumber(r.altitude);
    readControl(dialog, IDC_IDENT, r.ident, 5);
    readControl(dialog, IDC_NAME, r.name, 24);
    copyBoundedText(r.latHemisphere, checked(dialog, IDC_NORTH) ? "N" : "S",
                    sizeof r.latHemisphere);
    readControl(dialog, IDC_LATITUDE_DEGREES, r.latDegrees, 3);
    readControl(dialog, IDC_LATITUDE_MINUTES, r.latMinutes, 2);
    readControl(dialog, IDC_LATITUDE_SECONDS, r.latSeconds, 2);
    copyBoundedText(r.lonHemisphere, checked(dialog, IDC_EAST) ? "E" : "W", sizeof r.lonHemisphere);
    readControl(dialog, IDC_LONGITUDE_DEGREES, r.lonDegrees, 3);
    readControl(dialog, IDC_LONGITUDE_MINUTES, r.lonMinutes, 2);
    readControl(dialog, IDC_LONGITUDE_SECONDS, r.lonSeconds, 2);
}

void showRecord(HWND dialog) {
    const RecordBuffer& r = settings.editorRecord;
    CheckDlgButton(dialog, IDC_TOUR_ALTITUDE_HOLD,
                   readWholeNumber(r.altitudeHoldFlag) > 0 ? BST_CHECKED : BST_UNCHECKED);
    // A stored altitude out of range (an import, a hand-edited file) is shown, not refused: the
    // check is for what the pilot types, and its beep and focus would lock a disabled edit. The
    // edit's modified mark tells the two apart: typing sets it, text set by the program never
    // does. Setting the text clears it as well, but the mark is cleared first here, so that the
    // EN_CHANGE the new text sends never sees one left by typing into the entry shown before,
    // whichever order a system clears it and notifies in.
    SendDlgItemMessageA(dialog, IDC_TOUR_ALTITUDE, EM_SETMODIFY, FALSE, 0);
    SetDlgItemTextA(dialog, IDC_TOUR_ALTITUDE, r.altitude);
    settings.tourAltitudeValid = 1;
    SetDlgItemTextA(dialog, IDC_IDENT, r.ident);
    SetDlgItemTextA(dialog, IDC_NAME, r.name);
    showPosition(dialog, r);
}

bool saveItemFields(HWND dialog, HWND tree, HTREEITEM item) {
    if (!item || item != settings.editorItem)
        return true;
    readFields(dialog);
    RecordBuffer& r = settings.editorRecord;
    const uint32_t word = itemData(tree, item);
    const uint32_t kind = itemKind(word);
    if (isFolderKind(kind))
        copyBoundedText(r.level, "1", sizeof r.level); // the real depth is written at OK
    else
        r.level[0] = '\0';
    char label[48];
    storedLabel(kind, r, label, sizeof label);
    if (isTourKind(kind)) {
        copyBoundedText(r.tourFlag, "1", sizeof r.tourFlag);
    } else {
        r.tourFlag[0] = r.altitudeHoldFlag[0] = r.altitude[0] = '\0';
    }
    if (!writeRecord(itemRecordNumber(word), databaseFileName, r))
        return false;
    setItemLabel(tree, item, label); // only now: the label always says what the record holds
    return true;
}

bool storeSelectedItem(HWND dialog, HWND tree) {
    if (!settings.airportAltitudeValid || !settings.tourAltitudeValid) {
        SetFocus(tree);
        return false;
    }
    if (saveItemFields(dialog, tree, selectedItem(tree)))
        return true;
    reportError(dialog, "The selected item could not be written to the waypoint database (disk "
                        "full, or the file is held by another program), so the command was not "
                        "carried out.");
    return false;
}

void loadItemFields(HWND dialog, HWND tree, HTREEITEM item) {
    RecordBuffer& r = settings.editorRecord;
    clearRecordBuffer(r);
    settings.editorItem = nullptr;
    if (!item)
        return;
    if (readRecord(itemRecordNumber(itemData(tree, item)), databaseFileName, r)) {
        settings.editorItem = item;
    } else {
        clearRecordBuffer(r);
        reportError(dialog, "This entry could not be read from the waypoint database (the file "
                            "may be held by another program). It is shown blank, and nothing "
                            "typed into it is kept; select it again to read it again.");
    }
    showRecord(dialog);
    ExchangeState.tourAltitude = readWholeNumber(r.altitude);
    ExchangeState.tourAltitudeHold = readWholeNumber(r.altitudeHoldFlag) >= 1 ? 1 : 0;
}

bool keepSelection(HWND dialog, HWND tree, const NMTREEVIEWA& change) {
    HTREEITEM gained = change.itemNew.hItem;
    if (!gained || gained == settings.editorItem)
        return false;
    if (saveItemFields(dialog, tree, change.itemOld.hItem)) {
        settings.editorItem = nullptr; // stored: the change that follows only shows the item gained
        return false;
    }
    reportError(dialog, "The changes to this entry could not be written to the waypoint database "
                        "(disk full, or the file is held by another program). It stays selected "
                        "with what you typed: try again, or Cancel to leave the database as it "
                        "was.");
    return true;
}

void followSelection(HWND dialog, HWND tree, const NMTREEVIEWA& change) {
    HTREEITEM gained = change.itemNew.hItem;
    if (!gained || gained == settings.editorItem)
        return;
    // Stored already as the change was asked (keepSelection); this is for a change the tree
    // made without asking.
    if (!saveItemFields(dialog, tree, change.itemOld.hItem))
        reportError(dialog, "The changes to the entry just left could not be written to the "
                            "waypoint database (disk full, or the file is held by another "
                            "program); it keeps what it held before.");
    loadItemFields(dialog, tree, gained);
    enableItemControls(dialog, tree, gained);
}

void showItem(HWND dialog, HWND tree, HTREEITEM item) {
    if (!item)
        return;
    if (item != selectedItem(tree)) {
        selectItem(tree, item);
        return;
    }
    loadItemFields(dialog, tree, item);
    enableItemControls(dialog, tree, item);
}

void showTourNumber(HWND dialog, int32_t number) {
    char text[8];
    tourNumberText(number, text, sizeof text);
    SetDlgItemTextA(dialog, IDC_IDENT, text);
}

void releaseEditorFrom(HWND tree, HTREEITEM removed) {
    HTREEITEM shown = settings.editorItem;
    if (shown == removed || (shown && isAncestorOf(tree, removed, shown)))
        settings.editorItem = nullptr;
}

void enableItemControls(HWND dialog, HWND tree, HTREEITEM item) {
    if (!item)
        return;
    const uint32_t kind = itemKind(itemData(tree, item));
    static const int airportOptions[] = {IDC_IDENT, IDC_AIRPORT_AUTOPILOT_ON,
                                         IDC_AIRPORT_AUTOPILOT_OFF, IDC_AIRPORT_ALTITUDE_HOLD,
                                         IDC_AIRPORT_ALTITUDE};
    static const int tourOptions[] = {IDC_TOUR_AUTOPILOT_ON, IDC_TOUR_AUTOPILOT_OFF,
                                      IDC_TOUR_ALTITUDE_HOLD, IDC_TOUR_ALTITUDE};
    const bool folder = isFolderKind(kind);
    enableAll(dialog, positionControls, std::size(positionControls), !folder);
    enable(dialog, IDC_CURRENT_READ, !folder);
    if (folder) {
        enableAll(dialog, airportOptions, std::size(airportOptions), false);
        enableAll(dialog, tourOptions, std::size(tourOptions), false);
        releaseDisabledAltitudes(dialog);
        return;
    }
    const bool tour = isTourKind(kind);
    ExchangeState.mode = tour ? tourMode : airportMode;
    enableAll(dialog, airportOptions, std::size(airportOptions), !tour);
    enableAll(dialog, tourOptions, std::size(tourOptions), tour);
    if (tour)
        updateOptions(dialog, tourOptionControls);
    else
        updateOptions(dialog, airportOptionControls);
}

bool editorCommand(HWND dialog, int id) {
    switch (id) {
    case IDC_AIRPORT_AUTOPILOT_ON:
    case IDC_AIRPORT_AUTOPILOT_OFF:
        ExchangeState.airportAutopilot = id == IDC_AIRPORT_AUTOPILOT_ON ? 1 : 0;
        updateOptions(dialog, airportOptionControls);
        return true;
    case IDC_AIRPORT_ALTITUDE_HOLD:
        ExchangeState.airportAltitudeHold = checked(dialog, id) ? 1 : 0;
        updateOptions(dialog, airportOptionControls);
        return true;
    case IDC_TOUR_AUTOPILOT_ON:
    case IDC_TOUR_AUTOPILOT_OFF:
        ExchangeState.tourAutopilot = id == IDC_TOUR_AUTOPILOT_ON ? 1 : 0;
        updateOptions(dialog, tourOptionControls);
        return true;
    case IDC_TOUR_ALTITUDE_HOLD:
        ExchangeState.tourAltitudeHold = checked(dialog, id) ? 1 : 0;
        updateOptions(dialog, tourOptionControls);
        return true;
    case IDC_CURRENT_READ:
        currentRead(dialog);
        return true;
    default:
        return false;
    }
}

bool altitudeNotification(HWND dialog, int id, int code) {
    if (id != IDC_AIRPORT_ALTITUDE && id != IDC_TOUR_ALTITUDE)
        return false;
    if (code != EN_CHANGE && code != EN_KILLFOCUS)
        return false;
    if (!settings.initDone)
        return true;
    if (code == EN_CHANGE && !SendDlgItemMessageA(dialog, id, EM_GETMODIFY, 0, 0))
        return true; // the program's own text, not the pilot's typing
    int& valid =
        id == IDC_AIRPORT_ALTITUDE ? settings.airportAltitudeValid : settings.tourAltitudeValid;
    if (!IsWindowEnabled(GetDlgItem(dialog, id))) {
        valid = 1; // being disabled while it had the focus: it cannot be mended now
        return true;
    }
    const int32_t feet = altitudeOf(dialog, id);
    if (altitudeInRange(feet)) {
        valid = 1;
        if (code == EN_CHANGE) {
            double& stored = id == IDC_AIRPORT_ALTITUDE ? ExchangeState.airportAltitude
                                                        : ExchangeState.tourAltitude;
            stored = feet;
        }
        return true;
    }
    if (code == EN_CHANGE)
        MessageBeep(MB_OK);
    else
        reportAltitudeRange(dialog);
    SetFocus(GetDlgItem(dialog, id));
    valid = 0;
    return true;
}

void reportAltitudeRange(HWND dialog) {
    char text[48];
    std::snprintf(text, sizeof text, "Please Enter from 0 to %ld ft.!",
                  static_cast<long>(highestAltitudeFeet));
    reportError(dialog, text);
}
