// Paths that the build hands to a native program are relative to the program's own folder: an
// absolute one would make its object file differ in every clone of the tree, and the compiler
// cache could not serve one clone with another's.
#pragma once

#include <unistd.h>

#include <string>

inline std::string besideThisProgram(const std::string& relative) {
    char self[4096];
    ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return relative;
    std::string path(self, static_cast<size_t>(length));
    return path.substr(0, path.rfind('/') + 1) + relative;
}
