// The records that the simulator's panel system and a gauge module share. They hold 32-bit
// pointers: the sizes and offsets below are the simulator's and hold in the i686 build, which is
// what ships. The x86-64 test build (for machines that cannot run 32-bit programs) keeps the same
// fields in the same order and checks only what does not depend on the width of a pointer.
#pragma once
#include <cstddef>
#include <cstdint>

constexpr bool simulatorLayout = sizeof(void*) == 4;

struct GaugeHeader;
struct ImageElement;
struct PanelServices;

using ModuleRoutine = void(__stdcall*)();
using QueryRoutine = uint32_t(__stdcall*)();
using InstallRoutine = void(__stdcall*)(void* instance);
using GaugeRoutine = void(__stdcall*)();
using GenerateRoutine = void(__stdcall*)(uint32_t phase);
using ClickHandler = int32_t(__stdcall*)(void* point, int32_t flags);

constexpr uint32_t linkageModuleId = 0x13;
constexpr uint32_t importTableId = 0xF;
constexpr uint32_t gaugeHeaderVersion = 0x262;

struct Linkage {
    uint32_t moduleId;          //  0  0x13
    ModuleRoutine moduleInit;   //  4
    ModuleRoutine moduleDeinit; //  8
    uint32_t reserved[3];       // 12  all 0
    GaugeHeader* gauges[2];     // 24  one header, then null
};
static_assert(!simulatorLayout || sizeof(Linkage) == 32, "Linkage");
static_assert(!simulatorLayout || offsetof(Linkage, moduleInit) == 4, "Linkage.moduleInit");
static_assert(!simulatorLayout || offsetof(Linkage, moduleDeinit) == 8, "Linkage.moduleDeinit");
static_assert(!simulatorLayout || offsetof(Linkage, reserved) == 12, "Linkage.reserved");
static_assert(!simulatorLayout || offsetof(Linkage, gauges) == 24, "Linkage.gauges");

struct ImportTable {
    uint32_t id;                  //  0  0xF
    PanelServices* panelServices; //  4  written by the simulator before any gauge routine runs
    uint32_t end[2];              //  8  terminating pair, 0 0
};
static_assert(!simulatorLayout || sizeof(ImportTable) == 16, "ImportTable");
static_assert(!simulatorLayout || offsetof(ImportTable, panelServices) == 4,
              "ImportTable.panelServices");
static_assert(!simulatorLayout || offsetof(ImportTable, end) == 8, "ImportTable.end");

struct GaugeHeader {
    uint32_t version;              //  0  0x262
    const char* name;              //  4
    ImageElement* const* elements; //  8  null-terminated
    QueryRoutine query;            // 12
    InstallRoutine install;        // 16
    GaugeRoutine initialize;       // 20
    GaugeRoutine update;           // 24
    GenerateRoutine generate;      // 28
    GaugeRoutine draw;             // 32
    GaugeRoutine kill;             // 36
    uint32_t reserved[11];         // 40  all 0
    // Later panel systems read a longer header (252 bytes): they find zeros here by design, not
    // whatever the linker happened to put after it.
    uint32_t laterFields[42]; // 84  all 0
};
static_assert(!simulatorLayout || sizeof(GaugeHeader) == 252, "GaugeHeader");
static_assert(!simulatorLayout || offsetof(GaugeHeader, name) == 4, "GaugeHeader.name");
static_assert(!simulatorLayout || offsetof(GaugeHeader, elements) == 8, "GaugeHeader.elements");
static_assert(!simulatorLayout || offsetof(GaugeHeader, query) == 12, "GaugeHeader.query");
static_assert(!simulatorLayout || offsetof(GaugeHeader, kill) == 36, "GaugeHeader.kill");
static_assert(!simulatorLayout || offsetof(GaugeHeader, reserved) == 40, "GaugeHeader.reserved");
static_assert(!simulatorLayout || offsetof(GaugeHeader, laterFields) == 84,
              "GaugeHeader.laterFields");

// What the simulator builds when it installs an ImageElement. Only the fields named here are
// read by a gauge; the others are the simulator's own.
struct ImageRecord {
    uint32_t simulatorTag;  //  0
    int32_t width;          //  4  pixels
    int32_t height;         //  8  pixels
    int32_t rowBytes;       // 12  bytes of a pixel row
    uint32_t simulatorData; // 16
    uint32_t byteSize;      // 20  bytes of the pixel buffer
    uint8_t* pixels;        // 24  one byte a pixel, rows top to bottom
    uint32_t simulatorMore; // 28
};
static_assert(!simulatorLayout || sizeof(ImageRecord) == 32, "ImageRecord");
static_assert(!simulatorLayout || offsetof(ImageRecord, width) == 4, "ImageRecord.width");
static_assert(!simulatorLayout || offsetof(ImageRecord, height) == 8, "ImageRecord.height");
static_assert(!simulatorLayout || offsetof(ImageRecord, rowBytes) == 12, "ImageRecord.rowBytes");
static_assert(!simulatorLayout || offsetof(ImageRecord, byteSize) == 20, "ImageRecord.byteSize");
static_assert(!simulatorLayout || offsetof(ImageRecord, pixels) == 24, "ImageRecord.pixels");

struct ImageElement {
    int32_t type;                  //  0  0 = static image
    int32_t resourceId;            //  4  bitmap resource
    int32_t coordinates[6];        //  8  three pairs, all 0
    GaugeHeader* header;           // 32
    void* reserved1;               // 36  null
    ImageElement* const* children; // 40  null-terminated, or null
    void* reserved2;               // 44  null
    int32_t imageFlags;            // 48
    int32_t reserved3[2];          // 52  0 0
    ImageRecord* image;            // 60  filled by the simulator at install
    uint32_t simulatorData[4];     // 64  filled by the simulator
    // Later panel systems read a longer element (96 bytes); zeros here by design.
    uint32_t laterFields[4]; // 80  all 0
};
static_assert(!simulatorLayout || sizeof(ImageElement) == 96, "ImageElement");
static_assert(!simulatorLayout || offsetof(ImageElement, resourceId) == 4,
              "ImageElement.resourceId");
static_assert(!simulatorLayout || offsetof(ImageElement, header) == 32, "ImageElement.header");
static_assert(!simulatorLayout || offsetof(ImageElement, children) == 40, "ImageElement.children");
static_assert(!simulatorLayout || offsetof(ImageElement, imageFlags) == 48,
              "ImageElement.imageFlags");
static_assert(!simulatorLayout || offsetof(ImageElement, image) == 60, "ImageElement.image");
static_assert(!simulatorLayout || offsetof(ImageElement, simulatorData) == 64,
              "ImageElement.simulatorData");
static_assert(!simulatorLayout || offsetof(ImageElement, laterFields) == 80,
              "ImageElement.laterFields");

enum MouseRectKind : int32_t {
    mouseEnd = 0,
    mouseGroupBegin = 1,
    mouseButton = 2,
    mouseGroupEnd = 3
};
constexpr uint32_t mouseLeftSingle = 0x20000000;
constexpr int32_t cursorHand = 5;
constexpr int32_t cursorNone = -1;

struct MouseRect {
    int32_t kind;         //  0  MouseRectKind
    int32_t x;            //  4  pixels from the gauge's left
    int32_t y;            //  8  pixels from the gauge's top
    int32_t width;        // 12
    int32_t height;       // 16
    int32_t cursor;       // 20
    int32_t helpId;       // 24  0
    uint32_t mouseFlags;  // 28
    int32_t eventId;      // 32  0
    ClickHandler handler; // 36
    uint32_t userData;    // 40  0
};
static_assert(!simulatorLayout || sizeof(MouseRect) == 44, "MouseRect");
static_assert(!simulatorLayout || offsetof(MouseRect, cursor) == 20, "MouseRect.cursor");
static_assert(!simulatorLayout || offsetof(MouseRect, mouseFlags) == 28, "MouseRect.mouseFlags");
static_assert(!simulatorLayout || offsetof(MouseRect, handler) == 36, "MouseRect.handler");
static_assert(!simulatorLayout || offsetof(MouseRect, userData) == 40, "MouseRect.userData");

#pragma pack(push, 4)
struct ModuleVar {
    int32_t id;                //  0
    uint32_t simulatorData[2]; //  4
    double value;              // 12  the current value after a lookup
    uint32_t simulatorMore[2]; // 20
};
#pragma pack(pop)
static_assert(sizeof(ModuleVar) == 28, "ModuleVar");
static_assert(offsetof(ModuleVar, value) == 12, "ModuleVar.value");

// Byte offsets of the simulator's entry points in its PanelServices table.
enum PanelServiceOffset : uint32_t {
    serviceElementQuery = 0x60,      // (ImageElement*) -> uint32
    serviceElementInstall = 0x64,    // (ImageElement*, instance)
    serviceElementInitialize = 0x68, // (ImageElement*)
    serviceElementUpdate = 0x6C,     // (ImageElement*)
    serviceElementGenerate = 0x70,   // (ImageElement*, uint32 phase)
    serviceElementDraw = 0x74,       // (ImageElement*)
    serviceElementKill = 0x7C,       // (ImageElement*)
    serviceMouseInstall = 0x80,      // (MouseRect*, GaugeHeader*, int32* sizePair)
    serviceMouseRegister = 0x84,     // (MouseRect*, GaugeHeader*)
    serviceMouseUnregister = 0x88,   // (MouseRect*, GaugeHeader*)
    serviceKeyEvent = 0x90,          // (int32 event, int32 value)
    serviceVariableRegister = 0x98,  // (ModuleVar*)
    serviceVariableLookup = 0xA0,    // (ModuleVar*)
};

struct PanelServices {
    void* entries[0xA4 / 4];
};
static_assert(!simulatorLayout || sizeof(PanelServices) == 0xA4,
              "PanelServices reaches the variable lookup");

using ElementQueryFn = uint32_t(__stdcall*)(ImageElement*);
using ElementInstallFn = void(__stdcall*)(ImageElement*, void* instance);
using ElementFn = void(__stdcall*)(ImageElement*);
using ElementGenerateFn = void(__stdcall*)(ImageElement*, uint32_t phase);
using MouseInstallFn = void(__stdcall*)(MouseRect*, GaugeHeader*, int32_t* sizePair);
using MouseListFn = void(__stdcall*)(MouseRect*, GaugeHeader*);
using KeyEventFn = void(__stdcall*)(int32_t event, int32_t value);
using VariableFn = void(__stdcall*)(ModuleVar*);
