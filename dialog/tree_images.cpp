#include "tree_images.h"

#include "common/db_record.h"
#include "dialog_resources.h"

HIMAGELIST createTreeImages(HINSTANCE library) {
    static const int icons[treeImageCount] = {
        IDI_AIRPORT_FOLDER_CLOSED, IDI_AIRPORT_FOLDER_OPEN, IDI_AIRPORT,   IDI_AIRPORT_SELECTED,
        IDI_TOUR_FOLDER_CLOSED,    IDI_TOUR_FOLDER_OPEN,    IDI_TOUR_ITEM, IDI_TOUR_ITEM_SELECTED,
    };
    HIMAGELIST images = ImageList_Create(16, 16, ILC_COLOR4 | ILC_MASK, treeImageCount, 0);
    if (!images)
        return nullptr;
    for (int id : icons) {
        HICON icon = static_cast<HICON>(
            LoadImageA(library, MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR));
        int added = icon ? ImageList_AddIcon(images, icon) : -1;
        if (icon)
            DestroyIcon(icon);
        if (added < 0) {
            ImageList_Destroy(images);
            return nullptr;
        }
    }
    return images;
}

ItemImages itemImages(uint32_t kind) {
    const bool tour = isTourKind(kind);
    if (isFolderKind(kind))
        return {I_IMAGECALLBACK, tour ? tourFolderOpenImage : airportFolderOpenImage};
    return tour ? ItemImages{tourItemImage, tourItemSelectedImage}
                : ItemImages{airportImage, airportSelectedImage};
}

void folderImageOnRequest(NMTVDISPINFOA& request) {
    TVITEMA& item = request.item;
    if (!(item.mask & TVIF_IMAGE))
        return;
    uint32_t kind = itemKind(static_cast<uint32_t>(item.lParam));
    if (!isFolderKind(kind))
        return;
    UINT state =
        static_cast<UINT>(SendMessageA(request.hdr.hwndFrom, TVM_GETITEMSTATE,
                                       reinterpret_cast<WPARAM>(item.hItem), TVIS_EXPANDED));
    const bool open = (state & TVIS_EXPANDED) != 0;
    if (isTourKind(kind))
        item.iImage = open ? tourFolderOpenImage : tourFolderClosedImage;
    else
        item.iImage = open ? airportFolderOpenImage : airportFolderClosedImage;
}
