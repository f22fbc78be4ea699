// The numbers of a tour's items: 001, 002 ... by their place among the tour items of their group.
// Every edit that changes a tour numbers it again, in the labels and the records at once.
#pragma once
#include <windows.h>
#include <commctrl.h>

// Numbers the tour items of the item's group 001, 002, ... in tree order, in their labels and
// records, all of them or, when the database refuses, none (the labels stay as they were):
// refused when the file keeps the old numbers, astray when some could not be put back either. A
// refused group is remembered for settleTourNumbers.
enum class TourNumbering { notTour, written, refused, astray };
TourNumbering writeTourNumbers(HWND tree, HTREEITEM item);
// Tells the pilot of a refused or astray numbering; nothing for the others.
void reportTourNumbers(HWND tree, TourNumbering numbering);

// The same, a refusal reported to the pilot; false (nothing done) when the item is not of a
// tour kind.
bool renumberTour(HWND tree, HTREEITEM item);

// Before OK writes the tree: each group whose numbering was refused is numbered again, so that no
// tour is saved with a number left out or given twice. False when the database refuses again.
bool settleTourNumbers(HWND tree);
// A folder leaving the tree takes its group with it.
void forgetUnsettledTour(HTREEITEM group);
