// The dialog library's resources as the built file holds them: the two dialog templates read
// back control by control, the tooltip strings, the toolbar strip and the tree's icons.
#include <gtest/gtest.h>
#include <windows.h>

#include <commctrl.h>

#include <cctype>
#include <set>
#include <string>
#include <vector>

#include "dialog/dialog_resources.h"
#include "testkit/test_support.h"

namespace {

struct Control {
    int id;
    std::string kind; // window class, or the name of a predefined class atom
    std::string text;
    int x, y, width, height;
    DWORD style;
};

struct Template {
    DWORD style;
    int width, height;
    std::string caption;
    int pointSize;
    std::wstring face;
    std::vector<Control> controls;
};

std::string narrow(const std::wstring& wide) {
    std::string out;
    for (wchar_t c : wide)
        out += c < 0x80 ? static_cast<char>(c) : '?';
    return out;
}

// Window class names are compared without regard to case, as the system looks them up.
std::string upper(std::string text) {
    for (char& c : text)
        c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

// A name or ordinal field of a template: returns the text, or the predefined class of an atom.
std::wstring readNameOrOrdinal(const WORD*& at) {
    if (*at == 0xFFFF) {
        WORD ordinal = at[1];
        at += 2;
        switch (ordinal) {
        case 0x80:
            return L"BUTTON";
        case 0x81:
            return L"EDIT";
        case 0x82:
            return L"STATIC";
        default:
            return L"#" + std::to_wstring(ordinal);
        }
    }
    std::wstring text;
    while (*at)
        text += static_cast<wchar_t>(*at++);
    ++at;
    return text;
}

const WORD* alignToDword(const WORD* at, const void* base) {
    auto offset = reinterpret_cast<const BYTE*>(at) - static_cast<const BYTE*>(base);
    return reinterpret_cast<const WORD*>(static_cast<const BYTE*>(base) + ((offset + 3) & ~3));
}

Template readTemplate(HMODULE module, int id) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), reinterpret_cast<LPCSTR>(RT_DIALOG));
    EXPECT_NE(found, nullptr) << "dialog template " << id;
    Template out{};
    if (!found)
        return out;
    const void* base = LockResource(LoadResource(module, found));
    const auto* header = static_cast<const DLGTEMPLATE*>(base);
    out.style = header->style;
    out.width = header->cx;
    out.height = header->cy;
    const WORD* at = reinterpret_cast<const WORD*>(header + 1);
    readNameOrOrdinal(at); // menu
    readNameOrOrdinal(at); // class
    out.caption = narrow(readNameOrOrdinal(at));
    if (header->style & DS_SETFONT) {
        out.pointSize = *at++;
        out.face = readNameOrOrdinal(at);
    }
    for (int i = 0; i < header->cdit; ++i) {
        at = alignToDword(at, base);
        const auto* item = reinterpret_cast<const DLGITEMTEMPLATE*>(at);
        at = reinterpret_cast<const WORD*>(item + 1);
        Control control{static_cast<short>(item->id),
                        "",
                        "",
                        item->x,
                        item->y,
                        item->cx,
                        item->cy,
                        item->style};
        control.kind = upper(narrow(readNameOrOrdinal(at)));
        control.text = narrow(readNameOrOrdinal(at));
        at += 1 + *at / sizeof(WORD); // creation data
        out.controls.push_back(control);
    }
    return out;
}

class DialogResources : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        module = LoadLibraryExA(dialogLibraryPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
    }
    static void TearDownTestSuite() { FreeLibrary(module); }
    static HMODULE module;
};
HMODULE DialogResources::module = nullptr;

const std::wstring templateFace = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF";
constexpr DWORD frameStyle = DS_MODALFRAME | DS_3DLOOK | DS_CENTER | DS_SETFOREGROUND |
                             DS_NOIDLEMSG | WS_POPUP | WS_VISIBLE | WS_CAPTION;
constexpr DWORD radio = BS_AUTORADIOBUTTON | WS_TABSTOP, check = BS_AUTOCHECKBOX | WS_TABSTOP,
                edit = WS_BORDER | WS_TABSTOP, digits = edit | ES_NUMBER | ES_AUTOHSCROLL,
                push = BS_PUSHBUTTON | WS_TABSTOP;

void expectFrame(const Template& dialog, int width, int height) {
    EXPECT_EQ(dialog.style & ~DS_SETFONT, frameStyle) << "no system menu, so no close box";
    EXPECT_EQ(dialog.width, width);
    EXPECT_EQ(dialog.height, height);
    EXPECT_EQ(dialog.caption, "Tarvix DLG Ver1.0 Setting Dialog");
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.face, templateFace);
}

// Every control in order with the style bits that matter; a bit not listed must be clear where
// it decides behaviour (tab stops, groups, the default button).
void expectControls(const Template& dialog, const std::vector<Control>& expected) {
    ASSERT_EQ(dialog.controls.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        const Control& want = expected[i];
        const Control& got = dialog.controls[i];
        SCOPED_TRACE("control " + std::to_string(i) + " (id " + std::to_string(want.id) + ", \"" +
                     want.text + "\")");
        EXPECT_EQ(got.id, want.id);
        EXPECT_EQ(got.kind, upper(want.kind));
        EXPECT_EQ(got.text, want.text);
        EXPECT_EQ(got.x, want.x);
        EXPECT_EQ(got.y, want.y);
        EXPECT_EQ(got.width, want.width);
        EXPECT_EQ(got.height, want.height);
        EXPECT_EQ(got.style & want.style, want.style);
        for (DWORD decisive : {DWORD(WS_TABSTOP), DWORD(WS_GROUP)})
            EXPECT_EQ(got.style & decisive, want.style & decisive);
        if (got.kind == "BUTTON") {
            EXPECT_EQ(got.style & 0xF, want.style & 0xF) << "button kind";
        }
        EXPECT_TRUE(got.style & WS_VISIBLE);
        EXPECT_TRUE(got.style & WS_CHILD);
    }
}

TEST_F(DialogResources, SettingsTemplateHoldsEveryControlInTabOrder) {
    Template dialog = readTemplate(module, IDD_SETTINGS);
    expectFrame(dialog, 250, 183);
    const DWORD label = WS_GROUP, box = BS_GROUPBOX;
    expectControls(
        dialog,
        {
            {IDC_TREE, "SysTreeView32", "", 7, 22, 110, 124,
             TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_TABSTOP},
            {IDC_IDENT, "Edit", "", 127, 17, 32, 14, edit | ES_UPPERCASE | ES_AUTOHSCROLL},
            {IDC_TOUR_IMPORT, "Button", "Tr Imp", 169, 17, 24, 14, BS_PUSHBUTTON},
            {IDC_AIRPORT_IMPORT, "Button", "Ap Imp", 196, 17, 24, 14, BS_PUSHBUTTON},
            {IDC_EXPORT, "Button", "Exp", 223, 17, 14, 14, BS_PUSHBUTTON},
            {IDC_NAME, "Edit", "", 131, 48, 96, 14, edit | ES_AUTOHSCROLL},
            {IDC_NORTH, "Button", "N", 129, 78, 14, 8, radio | WS_GROUP},
            {IDC_SOUTH, "Button", "S", 147, 78, 17, 8, radio},
            {IDC_LATITUDE_DEGREES, "Edit", "", 165, 76, 17, 14, digits},
            {IDC_LATITUDE_MINUTES, "Edit", "", 191, 76, 14, 14, digits},
            {IDC_LATITUDE_SECONDS, "Edit", "", 213, 76, 14, 14, digits},
            {IDC_EAST, "Button", "E", 129, 105, 14, 8, radio | WS_GROUP},
            {IDC_WEST, "Button", "W", 147, 105, 17, 8, radio},
            {IDC_LONGITUDE_DEGREES, "Edit", "", 165, 103, 17, 14, digits},
            {IDC_LONGITUDE_MINUTES, "Edit", "", 191, 103, 14, 14, digits},
            {IDC_LONGITUDE_SECONDS, "Edit", "", 213, 103, 14, 14, digits},
            {IDC_AIRPORT_AUTOPILOT_ON, "Button", "On", 129, 138, 19, 8, radio | WS_GROUP},
            {IDC_AIRPORT_AUTOPILOT_OFF, "Button", "Off", 152, 138, 20, 8, radio},
            {IDC_AIRPORT_ALTITUDE_HOLD, "Button", "", 185, 138, 8, 8, check | WS_GROUP},
            {IDC_AIRPORT_ALTITUDE, "Edit", "", 195, 135, 25, 14, digits | WS_GROUP},
            {IDC_TOUR_AUTOPILOT_ON, "Button", "On", 13, 160, 19, 8, radio | WS_GROUP},
            {IDC_TOUR_AUTOPILOT_OFF, "Button", "Off", 35, 160, 20, 8, radio},
            {IDC_TOUR_ALTITUDE_HOLD, "Button", "", 65, 160, 8, 8, check | WS_GROUP},
            {IDC_TOUR_ALTITUDE, "Edit", "", 75, 157, 25, 14, digits | WS_GROUP},
            {IDC_CURRENT_READ, "Button", "Cur. Read", 124, 162, 34, 14, push | WS_GROUP},
            {IDCANCEL, "Button", "Cancel", 206, 162, 34, 14, push | WS_GROUP},
            {IDOK, "Button", "OK !", 165, 162, 34, 14, BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP},
            {IDC_TOOLBAR_HOST, "Static", "", 7, 7, 110, 13, label},
            {IDC_LABEL, "Button", "ID (Max=5)", 121, 7, 42, 27, box},
            {IDC_LABEL, "Button", "Data Convert", 166, 7, 74, 27, box},
            {IDC_LABEL, "Button", "Airport Name (Max=24)", 122, 38, 118, 27, box},
            {IDC_LABEL, "Button", "Latitude", 122, 68, 118, 25, box},
            {IDC_LABEL, "Button", "Longitude", 122, 95, 118, 25, box},
            {IDC_LABEL, "Button", "Airport Auto pilot && Altitude", 122, 124, 118, 30, box},
            {IDC_LABEL, "Button", "Tour Auto Pilot && Altitude", 7, 148, 110, 28, box | BS_CENTER},
            {IDC_LABEL, "Static", "*", 183, 76, 7, 8, label | SS_CENTER},
            {IDC_LABEL, "Static", "'", 205, 76, 7, 8, label | SS_CENTER},
            {IDC_LABEL, "Static", "\"", 228, 78, 7, 8, label | SS_CENTER},
            {IDC_LABEL, "Static", "*", 183, 103, 7, 8, label | SS_CENTER},
            {IDC_LABEL, "Static", "'", 205, 103, 7, 8, label | SS_CENTER},
            {IDC_LABEL, "Static", "\"", 228, 105, 7, 8, label | SS_CENTER},
            {IDC_LABEL, "Static", "ft.", 221, 141, 12, 8, label | SS_CENTER},
            {IDC_LABEL, "Static", "ft.", 101, 163, 12, 8, label | SS_CENTER},
        });
    EXPECT_FALSE(dialog.controls[0].style & TVS_EDITLABELS) << "no in-place label editing";
}

TEST_F(DialogResources, AboutTemplateHasOnlyOkAndTheEightLineBanner) {
    Template about = readTemplate(module, IDD_ABOUT);
    expectFrame(about, 155, 119);
    ASSERT_EQ(about.controls.size(), 3u);
    const std::string banner = about.controls[1].text;
    expectControls(about,
                   {
                       {IDOK, "Button", "OK", 52, 100, 50, 14, BS_DEFPUSHBUTTON | WS_TABSTOP},
                       {IDC_LABEL, "Static", banner, 12, 17, 130, 73, SS_CENTER | SS_SUNKEN},
                       {IDC_LABEL, "Button", "Tarvix DLG ", 7, 7, 141, 90, BS_GROUPBOX},
                   });
    // Eight lines: empty, product with "Dialog", version, empty, freeware, copyright, empty,
    // e-mail.
    std::vector<std::string> lines(1);
    for (char c : banner) {
        if (c == '\n')
            lines.emplace_back();
        else
            lines.back() += c;
    }
    ASSERT_EQ(lines.size(), 8u) << banner;
    for (size_t empty : {0, 3, 6})
        EXPECT_EQ(lines[empty], "") << "line " << empty + 1;
    EXPECT_NE(lines[1].find("Dialog"), std::string::npos);
    EXPECT_NE(lines[2].find("1.0"), std::string::npos);
    EXPECT_NE(lines[4].find("freeware"), std::string::npos);
    EXPECT_NE(lines[5].find("Copyright"), std::string::npos);
    EXPECT_NE(lines[7].find("e-mail"), std::string::npos);
}

TEST_F(DialogResources, StringTableHoldsExactlyTheEightTooltips) {
    const std::pair<int, const char*> tooltips[] = {
        {IDS_DELETE, "Delete"},
        {IDS_CUT, "Cut"},
        {IDS_COPY, "Copy"},
        {IDS_PASTE, "Paste"},
        {IDS_NEW_AIRPORT, "New Airport"},
        {IDS_NEW_AIRPORT_FOLDER, "New Airport Folder"},
        {IDS_NEW_TOUR, "New Tour"},
        {IDS_NEW_TOUR_FOLDER, "New Tour Folder"},
    };
    char text[64];
    for (const auto& [id, want] : tooltips) {
        ASSERT_GT(LoadStringA(module, id, text, sizeof text), 0) << id;
        EXPECT_STREQ(text, want) << id;
    }
    // The strings share one block of sixteen ids; nothing else may sit in it.
    for (int id = IDS_DELETE & ~15; id < (IDS_DELETE & ~15) + 32; ++id) {
        if (id < IDS_DELETE || id > IDS_NEW_TOUR_FOLDER) {
            EXPECT_EQ(LoadStringA(module, id, text, sizeof text), 0) << id;
        }
    }
}

// The resource's bytes: a bitmap resource is a DIB without its file header.
const BITMAPINFOHEADER* resourceDib(HMODULE module, int id, LPCSTR type) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), type);
    if (!found)
        return nullptr;
    return static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(module, found)));
}

// The 4-bit pixel value at (x, y), y counted from the top.
int pixelOf(const BITMAPINFOHEADER* dib, int x, int y) {
    const int height = dib->biHeight; // bottom-up
    const BYTE* bits = reinterpret_cast<const BYTE*>(dib) + dib->biSize + 16 * sizeof(RGBQUAD);
    int rowBytes = ((dib->biWidth * 4 + 31) / 32) * 4;
    BYTE pair = bits[(height - 1 - y) * rowBytes + x / 2];
    return x % 2 ? pair & 0xF : pair >> 4;
}

TEST_F(DialogResources, ToolbarStripHoldsEightDistinctSixteenColourImages) {
    const BITMAPINFOHEADER* dib = resourceDib(module, IDB_TOOLBAR, MAKEINTRESOURCEA(2));
    ASSERT_NE(dib, nullptr);
    EXPECT_EQ(dib->biWidth, 80);
    EXPECT_EQ(dib->biHeight, 10);
    EXPECT_EQ(dib->biBitCount, 4);
    // The background must be the button face grey the toolbar maps to the system colour.
    const RGBQUAD* colours = reinterpret_cast<const RGBQUAD*>(dib + 1);
    const RGBQUAD face = colours[pixelOf(dib, 9, 0)];
    EXPECT_EQ(RGB(face.rgbRed, face.rgbGreen, face.rgbBlue), RGB(0xC0, 0xC0, 0xC0));
    std::set<std::vector<int>> images;
    for (int image = 0; image < 8; ++image) {
        std::vector<int> pixels;
        for (int y = 0; y < 10; ++y)
            for (int x = 0; x < 10; ++x)
                pixels.push_back(pixelOf(dib, image * 10 + x, y));
        EXPECT_GT(std::set<int>(pixels.begin(), pixels.end()).size(), 1u) << "image " << image;
        images.insert(pixels);
    }
    EXPECT_EQ(images.size(), 8u);
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colours, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIcon {
    WORD reserved, type, count;
    GroupIconEntry entries[1];
};
#pragma pack(pop)

TEST_F(DialogResources, TreeIconsCarrySmallAndLargeSixteenColourImages) {
    std::set<std::vector<BYTE>> smallImages;
    for (int id :
         {IDI_AIRPORT_FOLDER_CLOSED, IDI_AIRPORT, IDI_AIRPORT_FOLDER_OPEN, IDI_AIRPORT_SELECTED,
          IDI_TOUR_ITEM_SELECTED, IDI_TOUR_ITEM, IDI_TOUR_FOLDER_OPEN, IDI_TOUR_FOLDER_CLOSED}) {
        SCOPED_TRACE("icon " + std::to_string(id));
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(14));
        ASSERT_NE(found, nullptr);
        const auto* group =
            static_cast<const GroupIcon*>(LockResource(LoadResource(module, found)));
        ASSERT_EQ(group->count, 2);
        for (int i = 0; i < 2; ++i) {
            const GroupIconEntry& entry = group->entries[i];
            EXPECT_EQ(entry.width, i == 0 ? 16 : 32);
            EXPECT_EQ(entry.height, entry.width);
            EXPECT_EQ(entry.colours, 16);
            EXPECT_EQ(entry.bitCount, 4);
        }
        const BITMAPINFOHEADER* small =
            resourceDib(module, group->entries[0].id, MAKEINTRESOURCEA(3));
        ASSERT_NE(small, nullptr);
        const BYTE* bytes = reinterpret_cast<const BYTE*>(small);
        smallImages.insert(std::vector<BYTE>(bytes, bytes + group->entries[0].bytes));
    }
    EXPECT_EQ(smallImages.size(), 8u) << "every icon its own picture";
}

} // namespace
