// Resource and control ids of the dialog library: read by its resource script (so plain macros,
// which the resource compiler understands), its code and its tests.
#pragma once

// Dialog templates.
#define IDD_SETTINGS 145
#define IDD_ABOUT 132

// Controls of the settings dialog, in template (and tab) order.
#define IDC_TREE 1033
#define IDC_IDENT 1031
#define IDC_TOUR_IMPORT 3
#define IDC_AIRPORT_IMPORT 4
#define IDC_EXPORT 5
#define IDC_NAME 1032
#define IDC_NORTH 1001
#define IDC_SOUTH 1002
#define IDC_LATITUDE_DEGREES 1003
#define IDC_LATITUDE_MINUTES 1004
#define IDC_LATITUDE_SECONDS 1005
#define IDC_EAST 1011
#define IDC_WEST 1012
#define IDC_LONGITUDE_DEGREES 1013
#define IDC_LONGITUDE_MINUTES 1014
#define IDC_LONGITUDE_SECONDS 1015
#define IDC_AIRPORT_AUTOPILOT_ON 1017
#define IDC_AIRPORT_AUTOPILOT_OFF 1018
#define IDC_AIRPORT_ALTITUDE_HOLD 1027
#define IDC_AIRPORT_ALTITUDE 1016
#define IDC_TOUR_AUTOPILOT_ON 1020
#define IDC_TOUR_AUTOPILOT_OFF 1026
#define IDC_TOUR_ALTITUDE_HOLD 1028
#define IDC_TOUR_ALTITUDE 1019
#define IDC_CURRENT_READ 1025
#define IDC_TOOLBAR_HOST 1046
#define IDC_LABEL (-1)

// The file buttons' faces, by which the stand-in simulator's scenarios press them too.
#define TOUR_IMPORT_LABEL "Tr Imp"
#define AIRPORT_IMPORT_LABEL "Ap Imp"
#define EXPORT_LABEL "Exp"

// The name of the folder a new folder command or an import makes, which a scenario selects by.
#define NEW_TOUR_FOLDER_NAME "New Tour Folder"
#define NEW_AIRPORT_FOLDER_NAME "New Airport Folder"

// The toolbar: its control id is also the id of its bitmap (eight 10 x 10 images).
#define IDB_TOOLBAR 169
#define IDC_TOOLBAR 169

// Toolbar commands; each is also the id of its tooltip text in the string table.
#define IDS_DELETE 32821
#define IDS_CUT 32822
#define IDS_COPY 32823
#define IDS_PASTE 32824
#define IDS_NEW_AIRPORT 32825
#define IDS_NEW_AIRPORT_FOLDER 32826
#define IDS_NEW_TOUR 32827
#define IDS_NEW_TOUR_FOLDER 32828

// Icons of the tree (each with a 16 x 16 and a 32 x 32 image).
#define IDI_AIRPORT_FOLDER_CLOSED 150
#define IDI_AIRPORT 152
#define IDI_AIRPORT_FOLDER_OPEN 153
#define IDI_AIRPORT_SELECTED 157
#define IDI_TOUR_ITEM_SELECTED 172
#define IDI_TOUR_ITEM 173
#define IDI_TOUR_FOLDER_OPEN 174
#define IDI_TOUR_FOLDER_CLOSED 175

// Tree commands: what the popup menu, the keys and the toolbar send to the tree's window.
#define IDM_COPY 32792
#define IDM_NEW_AIRPORT_FOLDER 32796
#define IDM_NEW_AIRPORT 32797
#define IDM_CUT 32801
#define IDM_PASTE 32802
#define IDM_DELETE 32806
#define IDM_NEW_TOUR 32830
#define IDM_NEW_TOUR_FOLDER 32831
