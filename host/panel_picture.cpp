// The panel picture: bezel with the screen image over it, through the panel colour table.
#include <algorithm>

#include "common/screen_colours.h"
#include "panel_host.h"

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-declarations"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers" // stb's own code, not ours
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb/stb_image_write.h"
#pragma GCC diagnostic pop

namespace {

void paint(PanelPicture& picture, const ImageElement* element, bool transparentZero) {
    const ImageRecord* image = element->image;
    if (image && image->pixels) {
        int32_t width = std::min(image->width, picture.width);
        int32_t height = std::min(image->height, picture.height);
        for (int32_t y = 0; y < height; ++y) {
            for (int32_t x = 0; x < width; ++x) {
                size_t index = size_t(y) * image->rowBytes + x;
                if (index >= image->byteSize)
                    continue;
                uint8_t value = image->pixels[index];
                if (transparentZero && value == 0)
                    continue;
                uint32_t rgb = canvasColourTable[value];
                uint8_t* out = &picture.rgb[(size_t(y) * picture.width + x) * 3];
                out[0] = uint8_t(rgb >> 16);
                out[1] = uint8_t(rgb >> 8);
                out[2] = uint8_t(rgb);
            }
        }
    }
    for (ImageElement* const* child = element->children; child && *child; ++child)
        paint(picture, *child, true);
}

} // namespace

bool composePanel(PanelPicture& picture, std::string& error) {
    const GaugeHeader* header = loadedHeader();
    const ImageElement* root = header && header->elements ? header->elements[0] : nullptr;
    if (!root || !root->image) {
        error = "the gauge has no installed image to show";
        return false;
    }
    picture.width = root->image->width;
    picture.height = root->image->height;
    picture.rgb.assign(size_t(picture.width) * picture.height * 3, 0);
    paint(picture, root, false);
    return true;
}

bool writePng(const std::string& path, const PanelPicture& picture, std::string& error) {
    if (!stbi_write_png(path.c_str(), picture.width, picture.height, 3, picture.rgb.data(),
                        picture.width * 3)) {
        error = "cannot write picture '" + path + "'";
        return false;
    }
    return true;
}
