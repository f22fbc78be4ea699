// Draws the dialog library's pictures at build time from the pixel art below, as 16-colour files:
//   toolbar.bmp  (169) eight 10 x 10 toolbar images side by side, on the button-face grey;
//   *.ico        (150, 152, 153, 157, 172 to 175) the tree's icons, each with a 16 x 16 image
//                and a 32 x 32 one (the small picture doubled), transparent where the art has '.'.
// Usage: make_dialog_images OUTPUT_FOLDER
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// The sixteen colours of the files, with the letter that stands for each in the art. The
// toolbar's black, greys and white are the ones the toolbar maps to the system's button colours.
struct Paint {
    char letter;
    uint32_t rgb;
};
constexpr Paint palette[16] = {
    {'k', 0x000000}, {'r', 0x800000}, {'g', 0x008000}, {'o', 0x808000},
    {'n', 0x000080}, {'p', 0x800080}, {'t', 0x008080}, {'s', 0xC0C0C0},
    {'d', 0x808080}, {'R', 0xFF0000}, {'G', 0x00FF00}, {'Y', 0xFFFF00},
    {'B', 0x0000FF}, {'M', 0xFF00FF}, {'C', 0x00FFFF}, {'W', 0xFFFFFF},
};
constexpr char clear = '.'; // transparent in an icon, button face in the toolbar
constexpr uint8_t buttonFace = 7;

using Art = std::vector<const char*>;

// Toolbar images, left to right: new airport, new airport folder, new tour, new tour folder,
// cut, copy, paste, delete. The yellow spark marks the four "new" commands.
const Art toolbarArt[8] = {
    {"Y.Y..RR...", ".Y...kk...", "Y.Y.k..k..", "....kkkk..", "....k..k..", "...k.kk.k.",
     "...kk..kk.", "...k.kk.k.", "..k.k..k.k", "..kk....kk"},
    {"Y.Y.......", ".Y........", "Y.Ykkk....", "..kYYYkkkk", ".kYYYYYYYk", ".kYWWWWWYk",
     ".kYYYYYYok", ".kYYYYYYok", ".koooooook", "..kkkkkkk."},
    {"Y.Y.......", ".Y..kkkkk.", "Y.Y.knBBBk", "....knWWBk", "....knBBBk", "....knWWBk",
     "....knBBBk", "....knBBBk", "....kkkkkk", "....kWWWWk"},
    {"Y.Y.......", ".Y..kkk...", "Y.Y.k.k...", ".kkkkkkkkk", ".kRRRRRRRk", ".kRRRkRRrk",
     ".kkkkYkkkk", ".kRRRkRRrk", ".krrrrrrrk", ".kkkkkkkkk"},
    {".k.....k..", ".k.....k..", "..k...k...", "..k...k...", "...k.k....", "....k.....",
     "...n.n....", ".nn...nn..", "n..n.n..n.", ".nn...nn.."},
    {"kkkkk.....", "kWWWkk....", "kWkkkkkk..", "kWkWWWWkk.", "kWkWkkWWk.", "kkkWWWWWk.",
     "..kWkkkWk.", "..kWWWWWk.", "..kkkkkkk.", ".........."},
    {"...kkkk...", ".kkdssdkk.", ".kookkook.", ".kooooook.", ".kookkkkkk", ".kookWWWWk",
     ".kookWkkWk", ".kookWWWWk", ".kkkkWkkWk", "....kkkkkk"},
    {"RR......RR", ".RR....RR.", "..RR..RR..", "...RRRR...", "....RR....", "...RRRR...",
     "..RR..RR..", ".RR....RR.", "RR......RR", ".........."},
};

const Art mastRows = {
    "................", ".......RR.......", ".......kk.......", "......k..k......",
    "......kkkk......", "......k..k......", ".....k.kk.k.....", ".....kk..kk.....",
    ".....k.kk.k.....", "....k.k..k.k....", "....kk....kk....", "....k.kkkk.k....",
    "...k.k....k.k...", "...kk......kk...", "..kkkkkkkkkkkk..", "................",
};

struct Icon {
    const char* file;
    Art art; // 16 rows of 16
};

const Icon icons[] = {
    {"airport_folder_closed.ico", // 150
     {"................", "................", "..kkkkk.........", ".kYYYYYk........",
      "kYYYYYYYkkkkkkk.", "kYWWWWWWWWWWWWYk", "kYWYYYYYYYYYYYok", "kYWYYYYYYYYYYYok",
      "kYWYYYYYYYYYYYok", "kYWYYYYYYYYYYYok", "kYWYYYYYYYYYYYok", "kYWYYYYYYYYYYYok",
      "kYYYYYYYYYYYYYok", "kooooooooooooook", ".kkkkkkkkkkkkkk.", "................"}},
    {"airport.ico", mastRows},  // 152
    {"airport_folder_open.ico", // 153
     {"................", "..kkkkk.........", ".kYYYYYk........", "kYYYYYYYkkkkkk..",
      "kYoooooooooooYk.", "kYokkkkkkkkkkkkk", "kYokYYYYYYYYYYYk", "kYkYYYYYYYYYYYk.",
      "kYkYYYYYYYYYYYk.", "kkYYYYYYYYYYYk..", "kkYYYYYYYYYYYk..", "kYYYYYYYYYYYk...",
      "kkkkkkkkkkkkk...", "................", "................", "................"}},
    {"airport_selected.ico", // 157: the mast sending red waves
     {"................", ".R.....RR.....R.", "R..R...kk...R..R", "R.R...k..k...R.R",
      "R.R...kkkk...R.R", "R..R..k..k..R..R", ".R...k.kk.k...R.", mastRows[7], mastRows[8],
      mastRows[9], mastRows[10], mastRows[11], mastRows[12], mastRows[13], mastRows[14],
      mastRows[15]}},
    {"tour_item_selected.ico", // 172: an open book
     {"................", "................", "................", ".kkkkkk..kkkkkk.",
      "kWWWWWWkkWWWWWWk", "kWddddWkkWddddWk", "kWWWWWWkkWWWWWWk", "kWdddWWkkWdddWWk",
      "kWWWWWWkkWWWWWWk", "kWddddWkkWddddWk", "kWWWWWWkkWWWWWWk", "kBBBBBBkkBBBBBBk",
      ".kkkkkkkkkkkkkk.", "................", "................", "................"}},
    {"tour_item.ico", // 173: a closed blue book
     {"................", "...kkkkkkkkkk...", "..kBBBBBBBBBBk..", "..kBnBBBBBBBBk..",
      "..kBnBWWWWWBBk..", "..kBnBBBBBBBBk..", "..kBnBWWWWBBBk..", "..kBnBBBBBBBBk..",
      "..kBnBBBBBBBBk..", "..kBnBBBBBBBBk..", "..kBnBBBBBBBBk..", "..kBnBBBBBBBBk..",
      "..kBnkkkkkkkkkk.", "..kBnWWWWWWWWWk.", "...kkkkkkkkkkk..", "................"}},
    {"tour_folder_open.ico", // 174: an open red case
     {"................", ".kkkkkkkkkkkkkk.", ".krrrrrrrrrrrrk.", ".krRRRRRRRRRRrk.",
      ".kkkkkkkkkkkkkk.", ".kWWWWWWWWWWWWk.", ".ksWsWsWsWsWsWk.", ".kkkkkkkkkkkkkk.",
      ".kRRRRRRRRRRRRk.", ".kRRRRRRRRRRRrk.", ".kRRRRRkkRRRRrk.", ".kkkkkkYYkkkkkk.",
      ".kRRRRRRRRRRRrk.", ".krrrrrrrrrrrrk.", ".kkkkkkkkkkkkkk.", "................"}},
    {"tour_folder_closed.ico", // 175: a closed red case
     {"................", "................", "................", ".....kkkkkk.....",
      ".....k....k.....", ".kkkkkkkkkkkkkk.", ".kRRRRRRRRRRRRk.", ".kRWRRRRRRRRRrk.",
      ".kRRRRRkkRRRRrk.", ".kkkkkkYYkkkkkk.", ".kRRRRRkkRRRRrk.", ".kRRRRRRRRRRRrk.",
      ".kRRRRRRRRRRRrk.", ".krrrrrrrrrrrrk.", ".kkkkkkkkkkkkkk.", "................"}},
};

// A picture as colour indices, top row first, with its transparency.
struct Picture {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> index;
    std::vector<bool> transparent;
};

bool paintIndex(char letter, uint8_t& index) {
    for (uint8_t i = 0; i < 16; ++i) {
        if (palette[i].letter == letter) {
            index = i;
            return true;
        }
    }
    return false;
}

// Reads art of the given size, enlarged by a whole factor; false (with a message) on a row of
// the wrong length or an unknown letter, so that a slip in the art stops the build.
bool readArt(const Art& art, int32_t size, int32_t scale, const char* what, Picture& out) {
    if (static_cast<int32_t>(art.size()) != size) {
        std::fprintf(stderr, "make_dialog_images: %s has %zu rows, not %d\n", what, art.size(),
                     size);
        return false;
    }
    out.width = out.height = size * scale;
    out.index.assign(out.width * out.height, 0);
    out.transparent.assign(out.width * out.height, false);
    for (int32_t y = 0; y < size; ++y) {
        if (static_cast<int32_t>(std::strlen(art[y])) != size) {
            std::fprintf(stderr, "make_dialog_images: %s row %d is not %d wide\n", what, y, size);
            return false;
        }
        for (int32_t x = 0; x < size; ++x) {
            char letter = art[y][x];
            uint8_t index = 0;
            bool isClear = letter == clear;
            if (!isClear && !paintIndex(letter, index)) {
                std::fprintf(stderr, "make_dialog_images: %s row %d: unknown colour '%c'\n", what,
                             y, letter);
                return false;
            }
            for (int32_t dy = 0; dy < scale; ++dy) {
                for (int32_t dx = 0; dx < scale; ++dx) {
                    size_t at = (y * scale + dy) * out.width + x * scale + dx;
                    out.index[at] = index;
                    out.transparent[at] = isClear;
                }
            }
        }
    }
    return true;
}

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}
void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

uint32_t rowBytes(int32_t width, int32_t bitsPerPixel) {
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

// BITMAPINFOHEADER, the palette and the 4-bit pixels bottom-up; an icon's image also has its
// 1-bit mask after the pixels, and a header whose height counts both.
void putDib(std::vector<uint8_t>& out, const Picture& picture, bool withMask) {
    const uint32_t pixelBytes = rowBytes(picture.width, 4) * picture.height;
    const uint32_t maskBytes = withMask ? rowBytes(picture.width, 1) * picture.height : 0;
    put32(out, 40);
    put32(out, picture.width);
    put32(out, withMask ? picture.height * 2 : picture.height);
    put16(out, 1);
    put16(out, 4);
    put32(out, 0);
    put32(out, pixelBytes + maskBytes);
    put32(out, withMask ? 0 : 2835);
    put32(out, withMask ? 0 : 2835);
    put32(out, 16);
    put32(out, 0);
    for (const Paint& paint : palette)
        put32(out, paint.rgb);
    for (int32_t y = picture.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes(picture.width, 4), 0);
        for (int32_t x = 0; x < picture.width; ++x)
            row[x / 2] |=
                static_cast<uint8_t>(picture.index[y * picture.width + x] << (x % 2 ? 0 : 4));
        out.insert(out.end(), row.begin(), row.end());
    }
    if (!withMask)
        return;
    for (int32_t y = picture.height - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes(picture.width, 1), 0);
        for (int32_t x = 0; x < picture.width; ++x) {
            if (picture.transparent[y * picture.width + x])
                row[x / 8] |= 0x80 >> (x % 8);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
}

uint32_t dibSize(const Picture& picture) {
    return 40 + 16 * 4 + (rowBytes(picture.width, 4) + rowBytes(picture.width, 1)) * picture.height;
}

bool writeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        std::fprintf(stderr, "make_dialog_images: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        std::fprintf(stderr, "make_dialog_images: cannot write %s\n", path.c_str());
    return ok;
}

bool writeToolbar(const std::string& folder) {
    Picture strip;
    strip.width = 80;
    strip.height = 10;
    strip.index.assign(80 * 10, buttonFace);
    strip.transparent.assign(80 * 10, false);
    for (int32_t image = 0; image < 8; ++image) {
        Picture one;
        std::string what = "toolbar image " + std::to_string(image);
        if (!readArt(toolbarArt[image], 10, 1, what.c_str(), one))
            return false;
        for (int32_t y = 0; y < 10; ++y) {
            for (int32_t x = 0; x < 10; ++x) {
                if (!one.transparent[y * 10 + x])
                    strip.index[y * 80 + image * 10 + x] = one.index[y * 10 + x];
            }
        }
    }
    std::vector<uint8_t> out = {'B', 'M'};
    const uint32_t offset = 14 + 40 + 16 * 4;
    put32(out, offset + rowBytes(80, 4) * 10);
    put32(out, 0);
    put32(out, offset);
    putDib(out, strip, false);
    return writeFile(folder + "/toolbar.bmp", out);
}

bool writeIcon(const std::string& folder, const Icon& icon) {
    Picture small, large;
    if (!readArt(icon.art, 16, 1, icon.file, small) || !readArt(icon.art, 16, 2, icon.file, large))
        return false;
    std::vector<uint8_t> out;
    put16(out, 0);
    put16(out, 1); // icon
    put16(out, 2);
    uint32_t offset = 6 + 2 * 16;
    for (const Picture* picture : {&small, &large}) {
        out.push_back(static_cast<uint8_t>(picture->width));
        out.push_back(static_cast<uint8_t>(picture->height));
        out.push_back(16); // colours
        out.push_back(0);
        put16(out, 1);
        put16(out, 4);
        put32(out, dibSize(*picture));
        put32(out, offset);
        offset += dibSize(*picture);
    }
    putDib(out, small, true);
    putDib(out, large, true);
    return writeFile(folder + "/" + icon.file, out);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_dialog_images OUTPUT_FOLDER\n");
        return 2;
    }
    std::string folder = argv[1];
    if (!writeToolbar(folder))
        return 1;
    for (const Icon& icon : icons) {
        if (!writeIcon(folder, icon))
            return 1;
    }
    return 0;
}
