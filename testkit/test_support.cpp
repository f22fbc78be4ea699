#include "test_support.h"

#include <windows.h>

#include <fstream>

#include "host/panel_host.h"
#include <sstream>

static std::string folderOf(const std::string& path) {
    size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string binFolder() {
    char path[MAX_PATH];
    DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    return folderOf(folderOf(std::string(path, length)));
}

std::string gaugePath() {
    return binFolder() + "\\Tarvix42.gau";
}
std::string dialogLibraryPath() {
    return binFolder() + "\\TarvixDlg.dll";
}

std::string enterFreshFolder() {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    static unsigned counter = 0;
    for (;;) {
        std::string folder = std::string(temp) + "tarvix-test-" +
                             std::to_string(GetCurrentProcessId()) + "-" +
                             std::to_string(GetTickCount()) + "-" + std::to_string(counter++);
        if (CreateDirectoryA(folder.c_str(), nullptr)) {
            SetCurrentDirectoryA(folder.c_str());
            return folder;
        }
    }
}

bool putDialogLibraryHere() {
    return CopyFileA(dialogLibraryPath().c_str(), "TarvixDlg.dll", FALSE) != 0;
}

KeyEventPairs keyEventPairs() {
    KeyEventPairs out;
    for (const KeyEventRecord& k : keyEvents())
        out.push_back({k.event, k.value});
    return out;
}

ProgramRun runProgram(const std::string& commandLine, unsigned long timeLimit) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const char* capture = "program-output.txt";
    HANDLE output = CreateFileA(capture, GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = output;
    startup.hStdError = output;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION process{};
    // UTF-8, as the tests write it; the program reads its wide command line.
    std::wstring line(commandLine.size() + 1, L'\0');
    line.resize(MultiByteToWideChar(CP_UTF8, 0, commandLine.c_str(), -1, &line[0],
                                    static_cast<int>(line.size())));
    ProgramRun run{~0ul, {}};
    bool stopped = false;
    if (CreateProcessW(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                       &process)) {
        bool ended = WaitForSingleObject(process.hProcess, timeLimit) == WAIT_OBJECT_0;
        if (!ended) {
            stopped = true;
            TerminateProcess(process.hProcess, ~0u);
            WaitForSingleObject(process.hProcess, INFINITE);
        }
        DWORD code = 0;
        GetExitCodeProcess(process.hProcess, &code);
        run.exitCode = ended ? code : ~0ul;
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(output);
    std::ifstream file(capture, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    run.output = text.str();
    if (stopped)
        run.output += "[stopped after " + std::to_string(timeLimit / 1000) + " s]";
    return run;
}
