#include "run_paths.h"

#include <algorithm>
#include <vector>

namespace {

// Creates the folder and any missing folders above it.
bool makeFolders(const std::string& folder) {
    DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES)
        return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::string parent = folderOf(folder);
    if (!parent.empty() && parent != folder && parent.back() != ':' && !makeFolders(parent))
        return false;
    return CreateDirectoryA(folder.c_str(), nullptr) != 0;
}

// The system's own words for an error code, on one line.
std::string systemMessage(DWORD code) {
    char text[256] = "";
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                  nullptr, code, 0, text, sizeof text, nullptr);
    std::string message(text, length);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(code) : message;
}

} // namespace

std::string besideProgram(const char* file) {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string folder(path, length);
    size_t slash = folder.find_last_of("\\/");
    return (slash == std::string::npos ? std::string() : folder.substr(0, slash + 1)) + file;
}

std::string fullPath(const std::string& path) {
    char full[MAX_PATH];
    DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length == 0 || length >= MAX_PATH ? path : std::string(full, length);
}

std::string joinPath(const std::string& folder, const std::string& file) {
    return folder.empty() || folder.back() == '\\' ? folder + file : folder + "\\" + file;
}

std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The path as the person who started the run knows it: under Wine the Unix one. A path that
// does not exist (yet) is told by the Unix name of the nearest folder above it that does.
std::string shownPath(const std::string& path) {
    using UnixName = char*(__cdecl*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
    std::string full = fullPath(path);
    if (!unixName)
        return full;
    std::string rest;
    for (std::string at = full; !at.empty();) {
        wchar_t wide[MAX_PATH];
        char* name = MultiByteToWideChar(CP_ACP, 0, at.c_str(), -1, wide, MAX_PATH) ? unixName(wide)
                                                                                    : nullptr;
        if (name && GetFileAttributesA(at.c_str()) != INVALID_FILE_ATTRIBUTES) {
            std::string shown = name;
            HeapFree(GetProcessHeap(), 0, name);
            return (shown == "/" ? "" : shown) + rest;
        }
        if (name)
            HeapFree(GetProcessHeap(), 0, name);
        size_t slash = at.find_last_of('\\');
        if (slash == std::string::npos)
            break;
        rest = "/" + at.substr(slash + 1) + rest;
        at = at.substr(0, slash);
    }
    return full;
}

// Made when missing, entered, and tried with a file of its own before anything is written, so
// that a folder that takes nothing is refused with its reason instead of failing mid-run.
bool enterOutputFolder(const std::string& folder, std::string& error) {
    std::string named = "cannot write into the output folder '" + shownPath(folder) + "': ";
    if (!makeFolders(folder) || !SetCurrentDirectoryA(folder.c_str())) {
        error = named + systemMessage(GetLastError());
        return false;
    }
    HANDLE probe = CreateFileA("tarvix-host.probe", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        error = named + systemMessage(GetLastError());
        return false;
    }
    CloseHandle(probe);
    return true;
}

std::string fromWide(const wchar_t* text, UINT codePage) {
    int length = WideCharToMultiByte(codePage, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(length > 0 ? length - 1 : 0, '\0');
    if (length > 1)
        WideCharToMultiByte(codePage, 0, text, -1, &out[0], length, nullptr, nullptr);
    return out;
}

std::string shownText(const std::string& ansi) {
    if (std::all_of(ansi.begin(), ansi.end(), [](char c) { return (c & 0x80) == 0; }))
        return ansi;
    std::vector<wchar_t> wide(ansi.size() + 1);
    if (!MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(), int(wide.size())))
        return ansi;
    return fromWide(wide.data(), CP_UTF8);
}

// A UTF-8 path from the command line as the ANSI file functions take it, made full.
std::string filePath(const std::string& utf8) {
    std::vector<wchar_t> wide(utf8.size() + 1);
    if (!MultiByteToWideChar(CP_UTF8, 0, utf8.c_str(), -1, wide.data(), int(wide.size())))
        return fullPath(utf8);
    return fullPath(fromWide(wide.data(), CP_ACP));
}
