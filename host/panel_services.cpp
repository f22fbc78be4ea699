// The PanelServices entry points of the stand-in simulator and the state behind them.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <set>

#include "common/sim_ids.h"
#include "gauge/button_table.h"
#include "panel_host.h"

namespace {

struct InstalledImage {
    ImageElement* element;
    std::unique_ptr<ImageRecord> record;
    std::vector<uint8_t> pixels;
};

struct MouseList {
    MouseRect* table = nullptr;
    GaugeHeader* header = nullptr;
    int32_t size[2] = {0, 0};
    bool registered = false;
};

struct PanelState {
    std::map<int32_t, double> variables;
    std::vector<int32_t> registered;
    std::set<const ModuleVar*> registeredRecords; // kept across resetPanel, as the gauge keeps them
    std::vector<int32_t> refused;
    std::vector<KeyEventRecord> keys;
    std::vector<ServiceCall> calls;
    std::vector<InstalledImage> images;
    std::map<int32_t, std::pair<int32_t, uint32_t>> imageSizes; // resource: width, bytes
    MouseList mouse;
};

PanelState& panel() {
    static PanelState state;
    return state;
}

void record(uint32_t offset, const void* subject, uint32_t argument = 0) {
    panel().calls.push_back({offset, subject, argument});
}

// Reads an 8-bit uncompressed bitmap resource into top-down rows of palette indices.
bool readBitmapResource(HMODULE module, int32_t id, int32_t& width, int32_t& height,
                        std::vector<uint8_t>& pixels) {
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2));
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* info =
        loaded ? static_cast<const BITMAPINFOHEADER*>(LockResource(loaded)) : nullptr;
    if (!info || SizeofResource(module, found) < sizeof(BITMAPINFOHEADER))
        return false;
    if (info->biBitCount != 8 || info->biCompression != BI_RGB || info->biWidth <= 0 ||
        info->biHeight == 0)
        return false;
    width = info->biWidth;
    height = info->biHeight > 0 ? info->biHeight : -info->biHeight;
    uint32_t colours = info->biClrUsed ? info->biClrUsed : 256;
    uint32_t stride = (static_cast<uint32_t>(width) + 3) & ~3u;
    size_t offset = info->biSize + colours * 4;
    if (offset + size_t(stride) * height > SizeofResource(module, found))
        return false;
    const uint8_t* bits = reinterpret_cast<const uint8_t*>(info) + offset;
    pixels.resize(size_t(width) * height);
    for (int32_t row = 0; row < height; ++row) {
        int32_t source = info->biHeight > 0 ? height - 1 - row : row;
        std::copy_n(bits + size_t(source) * stride, width, pixels.data() + size_t(row) * width);
    }
    return true;
}

// The bitmap resampled to the size a test asked for (see setImageSize).
void resizeImage(int32_t& width, int32_t& height, std::vector<uint8_t>& pixels, int32_t newWidth,
                 uint32_t newBytes) {
    std::vector<uint8_t> resized(newBytes, 0);
    int32_t newHeight = newWidth > 0 ? int32_t(newBytes / uint32_t(newWidth)) : 0;
    for (uint32_t i = 0; newWidth > 0 && i < newBytes; ++i) {
        int32_t x = int32_t(i % uint32_t(newWidth)), y = int32_t(i / uint32_t(newWidth));
        int32_t fromX = int32_t(int64_t(x) * width / newWidth);
        int32_t fromY = newHeight ? int32_t(int64_t(y) * height / newHeight) : 0;
        if (fromY < height)
            resized[i] = pixels[size_t(fromY) * width + fromX];
    }
    width = newWidth;
    height = newHeight;
    pixels.swap(resized);
}

void releaseImage(ImageElement* element) {
    auto& images = panel().images;
    for (auto it = images.begin(); it != images.end(); ++it) {
        if (it->element == element) {
            images.erase(it);
            break;
        }
    }
    element->image = nullptr;
}

void installTree(ImageElement* element, HMODULE module) {
    releaseImage(element);
    InstalledImage image{element, std::make_unique<ImageRecord>(), {}};
    int32_t width = 0, height = 0;
    if (readBitmapResource(module, element->resourceId, width, height, image.pixels)) {
        auto size = panel().imageSizes.find(element->resourceId);
        if (size != panel().imageSizes.end())
            resizeImage(width, height, image.pixels, size->second.first, size->second.second);
        *image.record = {0x49585654,
                         width,
                         height,
                         width,
                         0,
                         static_cast<uint32_t>(image.pixels.size()),
                         image.pixels.data(),
                         0};
        element->image = image.record.get();
        panel().images.push_back(std::move(image));
    }
    for (ImageElement* const* child = element->children; child && *child; ++child)
        installTree(*child, module);
}

void killTree(ImageElement* element) {
    releaseImage(element);
    for (ImageElement* const* child = element->children; child && *child; ++child)
        killTree(*child);
}

uint32_t __stdcall elementQuery(ImageElement* element) {
    record(serviceElementQuery, element);
    return element->image ? 1 : 0;
}

void __stdcall elementInstall(ImageElement* element, void* instance) {
    record(serviceElementInstall, element);
    installTree(element, static_cast<HMODULE>(instance));
}

void __stdcall elementInitialize(ImageElement* element) {
    record(serviceElementInitialize, element);
}
void __stdcall elementUpdate(ImageElement* element) {
    record(serviceElementUpdate, element);
}
void __stdcall elementGenerate(ImageElement* element, uint32_t phase) {
    record(serviceElementGenerate, element, phase);
}
void __stdcall elementDraw(ImageElement* element) {
    record(serviceElementDraw, element);
}
void __stdcall elementKill(ImageElement* element) {
    record(serviceElementKill, element);
    killTree(element);
}

void __stdcall mouseInstall(MouseRect* table, GaugeHeader* header, int32_t* sizePair) {
    record(serviceMouseInstall, table);
    MouseList& mouse = panel().mouse;
    mouse.table = table;
    mouse.header = header;
    mouse.size[0] = sizePair ? sizePair[0] : 0;
    mouse.size[1] = sizePair ? sizePair[1] : 0;
}

void __stdcall mouseRegister(MouseRect* table, GaugeHeader*) {
    record(serviceMouseRegister, table);
    if (panel().mouse.table == table)
        panel().mouse.registered = true;
}

void __stdcall mouseUnregister(MouseRect* table, GaugeHeader*) {
    record(serviceMouseUnregister, table);
    if (panel().mouse.table == table)
        panel().mouse = MouseList{};
}

void __stdcall keyEvent(int32_t event, int32_t value) {
    panel().keys.push_back({event, value});
}

void fillVariable(ModuleVar* var) {
    auto found = panel().variables.find(var->id);
    var->value = found != panel().variables.end() ? found->second : 0.0;
}

// What the simulator does with a record it never registered is undefined; here the lookup is
// refused, said once a variable, and the record left as it is, so a gauge that reads too early
// is caught rather than flown on chance values.
void __stdcall variableLookup(ModuleVar* var) {
    if (panel().registeredRecords.count(var)) {
        fillVariable(var);
        return;
    }
    std::vector<int32_t>& refused = panel().refused;
    if (std::find(refused.begin(), refused.end(), var->id) != refused.end())
        return;
    std::fprintf(stderr,
                 "tarvix-host: the gauge looked up variable 0x%X before registering it; "
                 "refused\n",
                 static_cast<unsigned>(var->id));
    refused.push_back(var->id);
}

// A flying simulator hands out its variables filled: what the gauge reads from the record before
// its first lookup (the map's turn at the first redraw) is the aircraft's state, not zero.
void __stdcall variableRegister(ModuleVar* var) {
    panel().registered.push_back(var->id);
    panel().registeredRecords.insert(var);
    fillVariable(var);
}

PanelServices makeServices() {
    PanelServices services{};
    auto put = [&](uint32_t offset, auto fn) {
        services.entries[offset / 4] = reinterpret_cast<void*>(fn);
    };
    put(serviceElementQuery, elementQuery);
    put(serviceElementInstall, elementInstall);
    put(serviceElementInitialize, elementInitialize);
    put(serviceElementUpdate, elementUpdate);
    put(serviceElementGenerate, elementGenerate);
    put(serviceElementDraw, elementDraw);
    put(serviceElementKill, elementKill);
    put(serviceMouseInstall, mouseInstall);
    put(serviceMouseRegister, mouseRegister);
    put(serviceMouseUnregister, mouseUnregister);
    put(serviceKeyEvent, keyEvent);
    put(serviceVariableRegister, variableRegister);
    put(serviceVariableLookup, variableLookup);
    return services;
}

} // namespace

PanelServices* panelServices() {
    static PanelServices services = makeServices();
    return &services;
}

void resetPanel() {
    PanelState& state = panel();
    state.registered.clear();
    state.refused.clear();
    state.keys.clear();
    state.calls.clear();
}

void setImageSize(int32_t resourceId, int32_t width, uint32_t byteSize) {
    panel().imageSizes[resourceId] = {width, byteSize};
}

void setVariable(int32_t id, double value) {
    panel().variables[id] = value;
}

double variable(int32_t id) {
    auto found = panel().variables.find(id);
    return found != panel().variables.end() ? found->second : 0.0;
}

const std::vector<int32_t>& registeredVariableIds() {
    return panel().registered;
}
const std::vector<int32_t>& refusedLookups() {
    return panel().refused;
}
void forgetVariableRecords() {
    panel().registeredRecords.clear();
}
const std::vector<KeyEventRecord>& keyEvents() {
    return panel().keys;
}
const std::vector<ServiceCall>& serviceCalls() {
    return panel().calls;
}

const ImageRecord* installedImage(int32_t resourceId) {
    for (const InstalledImage& image : panel().images) {
        if (image.element->resourceId == resourceId)
            return image.record.get();
    }
    return nullptr;
}

const MouseRect* installedMouseTable() {
    return panel().mouse.registered ? panel().mouse.table : nullptr;
}

const int32_t* installedMouseSize() {
    return panel().mouse.size;
}

bool buttonCentre(int32_t n, int32_t& x, int32_t& y) {
    const MouseRect* rect = installedMouseTable();
    for (int32_t entry = 0; rect && entry < 256 && rect->kind != mouseEnd; ++entry, ++rect) {
        if (rect->kind == mouseButton && n-- == 0) {
            x = rect->x + rect->width / 2;
            y = rect->y + rect->height / 2;
            return true;
        }
    }
    return false;
}

const char* keyEventName(int32_t event) {
    static const struct {
        int32_t event;
        const char* name;
    } names[] = {{keyAutopilotOff, "autopilot off"},
                 {keyAutopilotOn, "autopilot on"},
                 {keyHeadingHoldOn, "heading hold on"},
                 {keyAltitudeHoldOn, "altitude hold on"},
                 {keyHeadingHoldOff, "heading hold off"},
                 {keyAltitudeHoldOff, "altitude hold off"},
                 {keyVerticalSpeed, "vertical speed"},
                 {keyHeading, "heading"},
                 {keyAltitude, "altitude"}};
    for (const auto& entry : names) {
        if (entry.event == event)
            return entry.name;
    }
    return "";
}

bool clickGauge(int32_t x, int32_t y, int32_t* result) {
    const MouseList& mouse = panel().mouse;
    if (!mouse.registered || !mouse.table)
        return false;
    // A table without its end entry must not walk the host off into memory.
    const int32_t longestTable = 256;
    MouseRect* rect = mouse.table;
    for (int32_t entry = 0; entry < longestTable && rect->kind != mouseEnd; ++entry, ++rect) {
        if (rect->kind != mouseButton || !rect->handler || !(rect->mouseFlags & mouseLeftSingle))
            continue;
        if (x >= rect->x && x < rect->x + rect->width && y >= rect->y &&
            y < rect->y + rect->height) {
            int32_t point[2] = {x, y};
            int32_t answer = rect->handler(point, static_cast<int32_t>(mouseLeftSingle));
            if (result)
                *result = answer;
            return true;
        }
    }
    return false;
}
