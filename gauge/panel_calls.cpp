// Calls into the simulator's PanelServices table, by the byte offsets of its entries. An entry
// the simulator does not offer is skipped: the gauge never disturbs the simulator.
#include "common/sim_ids.h"
#include "gauge_state.h"

template <typename Fn> static Fn service(uint32_t offset) {
    PanelServices* services = ImportTable.panelServices;
    return services ? reinterpret_cast<Fn>(services->entries[offset / 4]) : nullptr;
}

uint32_t elementQuery(ImageElement* element) {
    auto fn = service<ElementQueryFn>(serviceElementQuery);
    return fn ? fn(element) : 0;
}

void elementInstall(ImageElement* element, void* instance) {
    if (auto fn = service<ElementInstallFn>(serviceElementInstall))
        fn(element, instance);
}

static void elementCall(uint32_t offset, ImageElement* element) {
    if (auto fn = service<ElementFn>(offset))
        fn(element);
}

void elementInitialize(ImageElement* element) {
    elementCall(serviceElementInitialize, element);
}
void elementUpdate(ImageElement* element) {
    elementCall(serviceElementUpdate, element);
}
void elementDraw(ImageElement* element) {
    elementCall(serviceElementDraw, element);
}
void elementKill(ImageElement* element) {
    elementCall(serviceElementKill, element);
}

void elementGenerate(ImageElement* element, uint32_t phase) {
    if (auto fn = service<ElementGenerateFn>(serviceElementGenerate))
        fn(element, phase);
}

void mouseListInstall(MouseRect* table, GaugeHeader* header, int32_t* sizePair) {
    if (auto fn = service<MouseInstallFn>(serviceMouseInstall))
        fn(table, header, sizePair);
}

static void mouseListCall(uint32_t offset, MouseRect* table, GaugeHeader* header) {
    if (auto fn = service<MouseListFn>(offset))
        fn(table, header);
}

void mouseListRegister(MouseRect* table, GaugeHeader* header) {
    mouseListCall(serviceMouseRegister, table, header);
}

void mouseListUnregister(MouseRect* table, GaugeHeader* header) {
    mouseListCall(serviceMouseUnregister, table, header);
}

void sendKeyEvent(int32_t event, int32_t value) {
    if (auto fn = service<KeyEventFn>(serviceKeyEvent))
        fn(event, value);
}

// One ModuleVar per variable the gauge reads; the simulator keeps its own words in them.
static ModuleVar moduleVars[] = {{varLatitude, {}, 0, {}},      {varLongitude, {}, 0, {}},
                                 {varHeading, {}, 0, {}},       {varMagVariation, {}, 0, {}},
                                 {varSpeedSelector, {}, 0, {}}, {varSpeed, {}, 0, {}},
                                 {varMachSpeed, {}, 0, {}},     {varWindSpeed, {}, 0, {}},
                                 {varWindDirection, {}, 0, {}}, {varAltitude, {}, 0, {}}};

static ModuleVar* moduleVar(int32_t id) {
    for (ModuleVar& var : moduleVars) {
        if (var.id == id)
            return &var;
    }
    return nullptr;
}

void registerVariables() {
    auto fn = service<VariableFn>(serviceVariableRegister);
    if (!fn)
        return;
    for (int32_t id : registeredVariables)
        fn(moduleVar(id));
}

double lastVariableValue(int32_t id) {
    ModuleVar* var = moduleVar(id);
    return var ? var->value : 0.0;
}

double lookupVariable(int32_t id) {
    ModuleVar* var = moduleVar(id);
    auto fn = service<VariableFn>(serviceVariableLookup);
    if (!var || !fn)
        return 0.0;
    fn(var);
    return var->value;
}
