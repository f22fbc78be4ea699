// What the tree shows for each kind of item: the image list made from the library's icons, the
// images an item is inserted with, and the folder images supplied on the tree's request.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <cstdint>

// Image list indices, in the order of the list.
enum TreeImage : int {
    airportFolderClosedImage,
    airportFolderOpenImage,
    airportImage,
    airportSelectedImage,
    tourFolderClosedImage,
    tourFolderOpenImage,
    tourItemImage,
    tourItemSelectedImage,
    treeImageCount,
};

// 16 x 16, 16 colours with mask, from the icons in the library's resources; nullptr when the
// list or one of its icons cannot be made.
HIMAGELIST createTreeImages(HINSTANCE library);

// The images a new item of the kind carries. A folder's normal image is I_IMAGECALLBACK: it
// depends on whether the folder is expanded, which folderImageOnRequest answers.
struct ItemImages {
    int normal;
    int selected;
};
ItemImages itemImages(uint32_t kind);

// TVN_GETDISPINFO: fills in the image of a folder asked for, open or closed as the folder is.
void folderImageOnRequest(NMTVDISPINFOA& request);
