// The processor a module is built for, from its headers, and nothing read past what is given.
#include <gtest/gtest.h>

#include <vector>

#include "host/module_machine.h"

namespace {

// The smallest headers that say a machine: "MZ", e_lfanew at 0x3C, "PE\0\0", the machine word.
std::vector<uint8_t> headers(uint32_t peAt, uint16_t machine, size_t size) {
    std::vector<uint8_t> bytes(size, 0);
    bytes[0] = 'M', bytes[1] = 'Z';
    for (int i = 0; i < 4; ++i)
        bytes[0x3C + i] = uint8_t(peAt >> (8 * i));
    if (peAt + 6 <= size) {
        bytes[peAt] = 'P', bytes[peAt + 1] = 'E';
        bytes[peAt + 4] = uint8_t(machine), bytes[peAt + 5] = uint8_t(machine >> 8);
    }
    return bytes;
}

TEST(ModuleMachine, ReadsTheMachineOrSaysUnknown) {
    const struct {
        const char* what;
        std::vector<uint8_t> bytes;
        ModuleMachine machine;
    } cases[] = {
        {"i686", headers(0x80, 0x014C, 0x200), ModuleMachine::i686},
        {"x86-64", headers(0x80, 0x8664, 0x200), ModuleMachine::x86_64},
        {"ARM", headers(0x80, 0x01C0, 0x200), ModuleMachine::unknown},
        {"signature beyond the bytes", headers(0x1FC, 0x014C, 0x200), ModuleMachine::unknown},
        {"e_lfanew far out", headers(0xFFFFFFF0, 0x014C, 0x200), ModuleMachine::unknown},
        {"shorter than a DOS header", std::vector<uint8_t>{'M', 'Z'}, ModuleMachine::unknown},
        {"text", std::vector<uint8_t>(0x200, 'x'), ModuleMachine::unknown},
    };
    for (const auto& c : cases)
        EXPECT_EQ(moduleMachine(c.bytes.data(), c.bytes.size()), c.machine) << c.what;
    EXPECT_STREQ(machineName(ModuleMachine::i686), "i686 (32-bit)");
}

} // namespace
