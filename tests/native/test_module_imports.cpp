// The shipped modules load on Windows 95, 98, ME and NT 4 only if those systems' loaders accept
// them and provide everything they import. Reads the built i686 files themselves (their PE
// headers and import tables) and compares every imported DLL and function with the list checked
// in beside the tests: a function that is new to the list fails until it has been checked
// against those systems and added.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/module_contract.h"
#include "testkit/program_folder.h"

namespace {

// The parts of a PE32 file that decide whether an old loader takes it.
struct PeFacts {
    std::string error; // empty when the file parsed
    uint16_t machine = 0;
    uint16_t magic = 0;
    uint16_t osVersion[2] = {0, 0};
    uint16_t subsystemVersion[2] = {0, 0};
    std::set<std::string> imports; // "DLL function", or "DLL #ordinal"
};

class PeReader {
  public:
    explicit PeReader(std::vector<uint8_t> bytes) : bytes_(std::move(bytes)) {}

    bool u16(uint64_t at, uint16_t& value) const {
        if (at + 2 > bytes_.size())
            return false;
        value = static_cast<uint16_t>(bytes_[at] | bytes_[at + 1] << 8);
        return true;
    }
    bool u32(uint64_t at, uint32_t& value) const {
        uint16_t low, high;
        if (!u16(at, low) || !u16(at + 2, high))
            return false;
        value = low | static_cast<uint32_t>(high) << 16;
        return true;
    }
    bool text(uint64_t at, std::string& value) const {
        value.clear();
        for (; at < bytes_.size() && value.size() < 512; ++at) {
            if (bytes_[at] == 0)
                return true;
            value += static_cast<char>(bytes_[at]);
        }
        return false;
    }
    size_t size() const { return bytes_.size(); }

  private:
    std::vector<uint8_t> bytes_;
};

struct Section {
    uint32_t address, virtualSize, rawSize, rawOffset;
};

bool fileOffset(const std::vector<Section>& sections, uint32_t rva, uint64_t& offset) {
    for (const Section& s : sections) {
        uint32_t extent = s.virtualSize > s.rawSize ? s.virtualSize : s.rawSize;
        if (rva >= s.address && rva - s.address < extent && rva - s.address < s.rawSize) {
            offset = static_cast<uint64_t>(s.rawOffset) + (rva - s.address);
            return true;
        }
    }
    return false;
}

bool readImports(const PeReader& pe, const std::vector<Section>& sections, uint32_t tableRva,
                 std::set<std::string>& imports, std::string& error) {
    uint64_t descriptor;
    if (!fileOffset(sections, tableRva, descriptor)) {
        error = "import table outside every section";
        return false;
    }
    for (int index = 0; index < 256; ++index, descriptor += 20) {
        uint32_t lookup, nameRva, thunks;
        if (!pe.u32(descriptor, lookup) || !pe.u32(descriptor + 12, nameRva) ||
            !pe.u32(descriptor + 16, thunks)) {
            error = "import descriptor cut short";
            return false;
        }
        if (nameRva == 0 && lookup == 0 && thunks == 0)
            return true;
        uint64_t at;
        std::string dll;
        if (!fileOffset(sections, nameRva, at) || !pe.text(at, dll)) {
            error = "unreadable import DLL name";
            return false;
        }
        uint64_t entry;
        if (!fileOffset(sections, lookup ? lookup : thunks, entry)) {
            error = "import lookup table of " + dll + " outside every section";
            return false;
        }
        for (int n = 0;; ++n, entry += 4) {
            uint32_t thunk;
            if (n > 10000 || !pe.u32(entry, thunk)) {
                error = "import lookup table of " + dll + " without its end";
                return false;
            }
            if (thunk == 0)
                break;
            std::string function;
            if (thunk & 0x80000000u) {
                function = "#" + std::to_string(thunk & 0xFFFF);
            } else if (!fileOffset(sections, thunk, at) || !pe.text(at + 2, function)) {
                error = "unreadable function name imported from " + dll;
                return false;
            }
            imports.insert(dll + " " + function);
        }
    }
    error = "import table without its end";
    return false;
}

PeFacts readPe(const std::string& path) {
    PeFacts facts;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        facts.error = "cannot read " + path;
        return facts;
    }
    PeReader pe(std::vector<uint8_t>(std::istreambuf_iterator<char>(file), {}));
    uint16_t mz = 0, sectionCount = 0, optionalSize = 0;
    uint32_t header = 0, signature = 0;
    if (!pe.u16(0, mz) || mz != 0x5A4D || !pe.u32(0x3C, header) || !pe.u32(header, signature) ||
        signature != 0x4550) {
        facts.error = path + " is no PE file";
        return facts;
    }
    uint64_t optional = header + 24;
    uint32_t importRva = 0;
    if (!pe.u16(header + 4, facts.machine) || !pe.u16(header + 6, sectionCount) ||
        !pe.u16(header + 20, optionalSize) || !pe.u16(optional, facts.magic) ||
        facts.magic != 0x10B || !pe.u16(optional + 40, facts.osVersion[0]) ||
        !pe.u16(optional + 42, facts.osVersion[1]) ||
        !pe.u16(optional + 48, facts.subsystemVersion[0]) ||
        !pe.u16(optional + 50, facts.subsystemVersion[1]) || !pe.u32(optional + 104, importRva)) {
        facts.error = path + " has no PE32 optional header";
        return facts;
    }
    std::vector<Section> sections;
    for (uint64_t at = optional + optionalSize, n = 0; n < sectionCount; ++n, at += 40) {
        Section s;
        if (!pe.u32(at + 8, s.virtualSize) || !pe.u32(at + 12, s.address) ||
            !pe.u32(at + 16, s.rawSize) || !pe.u32(at + 20, s.rawOffset)) {
            facts.error = path + ": section table cut short";
            return facts;
        }
        sections.push_back(s);
    }
    if (importRva != 0 && !readImports(pe, sections, importRva, facts.imports, facts.error))
        facts.error = path + ": " + facts.error;
    return facts;
}

// The checked-in list: "MODULE DLL FUNCTION" a line; "#" starts a comment line.
std::set<std::string> allowedImports(const std::string& module) {
    std::ifstream list(besideThisProgram(TARVIX_IMPORT_LIST));
    std::set<std::string> allowed;
    std::string line;
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        std::string file, dll, function;
        if (line.empty() || line[0] == '#' || !(fields >> file >> dll >> function))
            continue;
        if (file == module)
            allowed.insert(dll + " " + function);
    }
    return allowed;
}

class ShippedModule : public ::testing::TestWithParam<const char*> {};

TEST_P(ShippedModule, IsAn80386ImageThatOldLoadersAccept) {
    PeFacts pe = readPe(besideThisProgram(TARVIX_SHIPPED_BIN) + "/" + GetParam());
    ASSERT_EQ(pe.error, "");
    EXPECT_EQ(pe.machine, 0x14C) << "not an i386 image";
    // Windows 95 and NT 4 refuse images that ask for a later system than 4.0.
    EXPECT_LE(pe.osVersion[0] * 100 + pe.osVersion[1], 400);
    EXPECT_LE(pe.subsystemVersion[0] * 100 + pe.subsystemVersion[1], 400);
}

TEST_P(ShippedModule, ImportsOnlyWhatTheListAllows) {
    PeFacts pe = readPe(besideThisProgram(TARVIX_SHIPPED_BIN) + "/" + GetParam());
    ASSERT_EQ(pe.error, "");
    std::set<std::string> allowed = allowedImports(GetParam());
    ASSERT_FALSE(allowed.empty()) << "no line for " << GetParam() << " in "
                                  << besideThisProgram(TARVIX_IMPORT_LIST);
    for (const std::string& import : pe.imports)
        EXPECT_TRUE(allowed.count(import))
            << GetParam() << " imports " << import << ", which is not in "
            << besideThisProgram(TARVIX_IMPORT_LIST)
            << ": add it once it is known to exist on Windows 95, 98, ME and NT 4";
    for (const std::string& import : allowed)
        EXPECT_TRUE(pe.imports.count(import))
            << GetParam() << " no longer imports " << import << ": take its line out";
}

INSTANTIATE_TEST_SUITE_P(
    Modules, ShippedModule, ::testing::Values(gaugeFileName, dialogLibraryFileName),
    [](const ::testing::TestParamInfo<const char*>& module) {
        return std::string(module.param).substr(0, std::strcspn(module.param, "."));
    });

} // namespace
