// Loads a gauge module the way the simulator does and drives its lifecycle.
#include <windows.h>

#include "module_machine.h"
#include "panel_host.h"

namespace {

struct LoadedGauge {
    HMODULE module = nullptr;
    GaugeHeader* header = nullptr;
};

LoadedGauge loaded;

std::string hex(uint32_t value) {
    char text[16];
    wsprintfA(text, "0x%X", value);
    return text;
}

bool refuse(HMODULE module, std::string& error, const std::string& reason) {
    if (module)
        FreeLibrary(module);
    error = reason;
    return false;
}

bool hasRoutines(const GaugeHeader* header) {
    return header->query && header->install && header->initialize && header->update &&
           header->generate && header->draw && header->kill;
}

#ifdef _WIN64
constexpr ModuleMachine hostMachine = ModuleMachine::x86_64;
#else
constexpr ModuleMachine hostMachine = ModuleMachine::i686;
#endif

// A module for the other processor is the likely mistake (the shipped gauge is i686; a machine
// that runs no 32-bit programs flies the x86-64 build): say which is which.
std::string whyNotLoaded(const std::string& path) {
    DWORD code = GetLastError();
    uint8_t head[4096];
    DWORD got = 0;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) {
        if (!ReadFile(file, head, sizeof head, &got, nullptr))
            got = 0;
        CloseHandle(file);
    }
    ModuleMachine machine = moduleMachine(head, got);
    if (machine != ModuleMachine::unknown && machine != hostMachine)
        return std::string("it is an ") + machineName(machine) +
               " module and this tarvix-host is " + "the " + machineName(hostMachine) +
               " build; a host loads gauges of its own kind";
    if (machine == ModuleMachine::unknown)
        return "not a Windows module";
    return "the module does not load (Windows error " + std::to_string(code) + ")";
}

} // namespace

bool loadGauge(const std::string& path, std::string& error) {
    unloadGauge();
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return refuse(nullptr, error, "cannot load gauge '" + path + "': no such file");
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return refuse(nullptr, error, "cannot load gauge '" + path + "': it is a folder");
    UINT previousMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    HMODULE module = LoadLibraryA(path.c_str());
    SetErrorMode(previousMode);
    if (!module)
        return refuse(nullptr, error, "cannot load gauge '" + path + "': " + whyNotLoaded(path));
    std::string what = "'" + path + "' is not a gauge module: ";
    auto* linkage = reinterpret_cast<struct Linkage*>(GetProcAddress(module, "Linkage"));
    auto* imports = reinterpret_cast<struct ImportTable*>(GetProcAddress(module, "ImportTable"));
    if (!linkage)
        return refuse(module, error, what + "it exports no Linkage record");
    if (!imports)
        return refuse(module, error, what + "it exports no ImportTable record");
    if (linkage->moduleId != linkageModuleId)
        return refuse(module, error,
                      what + "module id " + hex(linkage->moduleId) + ", expected " +
                          hex(linkageModuleId));
    if (imports->id != importTableId)
        return refuse(module, error,
                      what + "import table id " + hex(imports->id) + ", expected " +
                          hex(importTableId));
    GaugeHeader* header = linkage->gauges[0];
    if (!header)
        return refuse(module, error, what + "its linkage lists no gauge header");
    if (header->version != gaugeHeaderVersion)
        return refuse(module, error,
                      what + "header version " + hex(header->version) + ", expected " +
                          hex(gaugeHeaderVersion));
    if (!hasRoutines(header))
        return refuse(module, error, what + "its header lacks lifecycle routines");
    imports->panelServices = panelServices();
    loaded = {module, header};
    return true;
}

void unloadGauge() {
    if (loaded.module)
        FreeLibrary(loaded.module);
    forgetVariableRecords();
    loaded = {};
}

bool gaugeLoaded() {
    return loaded.module != nullptr;
}
const GaugeHeader* loadedHeader() {
    return loaded.header;
}

uint32_t hostQuery() {
    return loaded.header->query();
}
void hostInstall() {
    loaded.header->install(loaded.module);
}
void hostInitialize() {
    loaded.header->initialize();
}
void hostUpdate() {
    loaded.header->update();
}
void hostGenerate(uint32_t phase) {
    loaded.header->generate(phase);
}
void hostDraw() {
    loaded.header->draw();
}
void hostKill() {
    loaded.header->kill();
}

void hostFrame() {
    hostUpdate();
    hostGenerate(0);
    hostDraw();
}
