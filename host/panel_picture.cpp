// The panel picture: bezel with the screen image over it, through the panel colour table.
#include <algorithm>

#include "common/screen_colours.h"
#include "panel_host.h"

// stb's own code, not ours: built without the warnings it was not written for.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmissing-declarations"
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wconversion"
#define STB_IMAGE_WRITE_IMPLEMENTATION
#include "stb/stb_image_write.h"
#pragma GCC diagnostic pop

namespace {

// Paints element over the picture, its children over it, each at the gauge's top-left corner;
// children treat 0 as transparent.
void paint(PanelIndices& picture, const ImageElement* element, bool transparentZero) {
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
                if (!transparentZero || value != 0)
                    picture.indices[size_t(y) * picture.width + x] = value;
            }
        }
    }
    for (ImageElement* const* child = element->children; child && *child; ++child)
        paint(picture, *child, true);
}

} // namespace

bool composePanelIndices(PanelIndices& picture, std::string& error) {
    const GaugeHeader* header = loadedHeader();
    const ImageElement* root = header && header->elements ? header->elements[0] : nullptr;
    if (!root || !root->image) {
        error = "the gauge has no installed image to show";
        return false;
    }
    picture.width = root->image->width;
    picture.height = root->image->height;
    picture.indices.assign(size_t(picture.width) * picture.height, 0);
    paint(picture, root, false);
    return true;
}

bool composePanel(PanelPicture& picture, std::string& error) {
    PanelIndices indices;
    if (!composePanelIndices(indices, error))
        return false;
    picture.width = indices.width;
    picture.height = indices.height;
    picture.rgb.resize(indices.indices.size() * 3);
    for (size_t i = 0; i < indices.indices.size(); ++i) {
        uint32_t rgb = canvasColourTable[indices.indices[i]];
        picture.rgb[i * 3] = uint8_t(rgb >> 16);
        picture.rgb[i * 3 + 1] = uint8_t(rgb >> 8);
        picture.rgb[i * 3 + 2] = uint8_t(rgb);
    }
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
