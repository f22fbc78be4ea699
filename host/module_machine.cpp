#include "module_machine.h"

namespace {

uint32_t readLittle(const uint8_t* bytes, size_t width) {
    uint32_t value = 0;
    for (size_t i = width; i-- > 0;)
        value = value << 8 | bytes[i];
    return value;
}

} // namespace

ModuleMachine moduleMachine(const uint8_t* bytes, size_t size) {
    if (size < 0x40 || bytes[0] != 'M' || bytes[1] != 'Z')
        return ModuleMachine::unknown;
    uint32_t pe = readLittle(bytes + 0x3C, 4); // e_lfanew: where the PE signature lies
    if (pe > size || size - pe < 6 || readLittle(bytes + pe, 4) != 0x00004550)
        return ModuleMachine::unknown;
    switch (readLittle(bytes + pe + 4, 2)) {
    case 0x014C:
        return ModuleMachine::i686;
    case 0x8664:
        return ModuleMachine::x86_64;
    default:
        return ModuleMachine::unknown;
    }
}

const char* machineName(ModuleMachine machine) {
    switch (machine) {
    case ModuleMachine::i686:
        return "i686 (32-bit)";
    case ModuleMachine::x86_64:
        return "x86-64 (64-bit)";
    default:
        return "";
    }
}
