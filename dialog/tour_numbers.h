// The numbers of a tour's items: 001, 002 ... by their place among the tour items of their group.
// Every edit that changes a tour numbers it again, in the labels and the records at once.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

// The number a renumbering gave the item selected as it ran, for the dialog to put into the
// editor: the editor stores what it shows when the selection moves on, and an old number would
// come back. item is nullptr when the selection is none of the items numbered.
struct NumberShown {
    HTREEITEM item;
    int32_t number;
};

// Numbers the tour items of the item's group 001, 002, ... in tree order, in their labels and
// records, all of them or, when the database refuses, none (the labels stay as they were):
// refused when the file keeps the old numbers, astray when some could not be put back either. A
// refused group is remembered for settleTourNumbers. numbered: the selection's new number, when
// it is one of the items numbered (and the numbers written).
enum class TourNumbering { notTour, written, refused, astray };
TourNumbering writeTourNumbers(HWND tree, HTREEITEM item, NumberShown& numbered);
// Tells the pilot of a refused or astray numbering; nothing for the others.
void reportTourNumbers(HWND tree, TourNumbering numbering);

// The same, a refusal reported to the pilot; returns the selection's new number as numbered.
NumberShown renumberTour(HWND tree, HTREEITEM item);

// Before OK writes the tree: each group whose numbering was refused is numbered again, so that no
// tour is saved with a number left out or given twice. False when the database refuses again.
// numbered: as writeTourNumbers.
bool settleTourNumbers(HWND tree, NumberShown& numbered);
// A folder leaving the tree takes its group with it.
void forgetUnsettledTour(HTREEITEM group);
