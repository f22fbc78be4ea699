#include "gpsbabel_bridge.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "text_codec.h"

extern char** environ;

namespace {

// GPSBabel's messages shown in a refusal; the rest are of no help to a pilot.
constexpr size_t linesShown = 3;
// The line of a .cup file after which its tasks follow, which are no waypoints.
constexpr const char* cupTasks = "-----Related Tasks-----";

// A temporary file of this process, removed when it goes out of scope.
class ScratchFile {
  public:
    ScratchFile() {
        std::error_code error;
        std::filesystem::path folder = std::filesystem::temp_directory_path(error);
        std::string pattern = ((error ? "/tmp" : folder) / "tarvix-db-XXXXXX").string();
        fd = ::mkstemp(pattern.data());
        if (fd >= 0)
            path = pattern;
    }
    ~ScratchFile() {
        if (fd < 0)
            return;
        ::close(fd);
        std::remove(path.c_str());
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    bool write(const std::string& bytes) const {
        return ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size());
    }

    std::string text() const {
        std::ifstream in(path, std::ios::binary);
        std::ostringstream bytes;
        bytes << in.rdbuf();
        return bytes.str();
    }

    int fd = -1;
    std::string path;
};

std::string programName() {
    const char* given = std::getenv("TARVIX_GPSBABEL");
    return given != nullptr && *given != '\0' ? given : "gpsbabel";
}

volatile std::sig_atomic_t interrupted = 0;

void noteInterrupt(int) {
    interrupted = 1;
}

// Runs the program with standard input from /dev/null and its output into messages. The spawn's
// error (ENOENT: no such program), else 0 with the program's wait status. A Ctrl-C meanwhile is
// passed on to the program and noted in interrupted, so that the caller can remove its files
// before it ends this process as the Ctrl-C would have.
int runProgram(const std::vector<std::string>& arguments, int messages, int& status) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, messages, 1);
    posix_spawn_file_actions_adddup2(&actions, messages, 2);
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    struct sigaction noting = {}, before = {};
    noting.sa_handler = noteInterrupt;
    ::sigaction(SIGINT, nullptr, &before);
    // A process started to ignore Ctrl-C (in the background) keeps ignoring it.
    if (before.sa_handler != SIG_IGN)
        ::sigaction(SIGINT, &noting, nullptr);
    pid_t child = 0;
    int error = posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    while (error == 0 && ::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR)
            error = errno;
        else if (interrupted)
            ::kill(child, SIGINT);
    }
    ::sigaction(SIGINT, &before, nullptr);
    return error;
}

// The command line: waypoints, and unless the format holds nothing else routes and tracks, the
// tracks made routes.
std::vector<std::string> argumentsFor(const std::string& input, const std::string& format,
                                      bool waypointsOnly, const std::string& output) {
    std::vector<std::string> arguments{programName(), "-w"};
    if (!waypointsOnly)
        arguments.insert(arguments.end(), {"-r", "-t"});
    arguments.insert(arguments.end(), {"-i", format, "-f", input});
    if (!waypointsOnly)
        arguments.insert(arguments.end(), {"-x", "transform,rte=trk,del"});
    arguments.insert(arguments.end(), {"-o", "gpx", "-F", output});
    return arguments;
}

std::vector<std::string> linesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!trimmed(line).empty())
            lines.push_back(trimmed(line));
    return lines;
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (size_t i = 0; i < lines.size() && i < linesShown; ++i)
        text += (i == 0 ? "" : "; ") + lines[i];
    return text;
}

// Elevations written with the unit ft ("620ft,"): a .cup file may give them so.
bool holdsFeet(const std::string& text) {
    for (size_t at = text.find("ft"); at != std::string::npos; at = text.find("ft", at + 2))
        if (at > 0 && text[at - 1] >= '0' && text[at - 1] <= '9' &&
            (at + 2 == text.size() || text[at + 2] == ',' || text[at + 2] == '\r' ||
             text[at + 2] == '\n'))
            return true;
    return false;
}

std::string unquoted(const std::string& text) {
    return text.size() >= 2 && text.front() == '"' && text.back() == '"'
               ? text.substr(1, text.size() - 2)
               : text;
}

bool convertOnce(const std::string& path, const std::vector<uint8_t>& bytes,
                 const std::string& format, const std::string& shown, bool waypointsOnly,
                 BridgedFile& file, std::string& reason) {
    ScratchFile gpx, messages, waypoints;
    if (gpx.fd < 0 || messages.fd < 0 || waypoints.fd < 0) {
        reason = "no temporary file for GPSBabel's GPX can be made";
        return false;
    }
    // GPSBabel would read the lines of a .cup file's tasks as waypoints at 0°, 0°.
    const std::string text(bytes.begin(), bytes.end());
    const size_t tasks = format.rfind("cup", 0) == 0 ? text.find(cupTasks) : std::string::npos;
    if (tasks != std::string::npos && !waypoints.write(text.substr(0, tasks))) {
        reason = "its waypoints cannot be written into a temporary file for GPSBabel";
        return false;
    }
    const std::vector<std::string> arguments = argumentsFor(
        tasks != std::string::npos ? waypoints.path : path, format, waypointsOnly, gpx.path);
    int status = 0;
    int error = runProgram(arguments, messages.fd, status);
    if (error == ENOENT || (error == 0 && WIFEXITED(status) && WEXITSTATUS(status) == 127)) {
        reason = "GPSBabel reads this " + shown +
                 " for tarvix-db and is not installed (no program '" + arguments[0] +
                 "'); install it with: sudo apt-get install gpsbabel";
        return false;
    }
    std::vector<std::string> said = linesOf(messages.text());
    if (error != 0 || !WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        reason = "GPSBabel could not read it as '" + format + "'" +
                 (said.empty() ? std::string() : ": " + joined(said));
        return false;
    }
    file.gpx = gpx.text();
    if (file.gpx.empty()) {
        reason = "GPSBabel wrote nothing for it as '" + format + "'";
        return false;
    }
    file.notes.push_back("read through GPSBabel as its format '" + format + "' (" + shown +
                         "); the lines named below are those of the GPX it wrote");
    if (tasks != std::string::npos)
        file.notes.push_back("the tasks after '" + std::string(cupTasks) +
                             "' are passed over: they are no waypoints");
    for (const std::string& line : said)
        file.notes.push_back("GPSBabel: " + line);
    file.altitudesInFeet = format.rfind("cup", 0) == 0 && holdsFeet(text);
    file.namedByName = format.rfind("kml", 0) == 0;
    return true;
}

} // namespace

bool readThroughGpsbabel(const std::string& path, const std::vector<uint8_t>& bytes,
                         const std::string& format, const std::string& shown, bool waypointsOnly,
                         BridgedFile& file, std::string& reason) {
    interrupted = 0;
    bool read = convertOnce(path, bytes, format, shown, waypointsOnly, file, reason);
    // The temporary files are gone: the Ctrl-C ends the process now.
    if (interrupted) {
        std::signal(SIGINT, SIG_DFL);
        std::raise(SIGINT);
    }
    return read;
}

void settleBridgedPoints(const BridgedFile& file, WaypointSet& set, Findings& findings) {
    if (file.altitudesInFeet)
        addWarning(findings, 0,
                   "elevations are given in feet, which GPSBabel reads as metres: read without "
                   "elevations");
    size_t zeros = 0;
    for (WaypointGroup& group : set.groups) {
        for (Waypoint& point : group.points) {
            point.ident = unquoted(point.ident);
            point.name =
                unquoted(file.namedByName && !point.ident.empty() ? point.ident : point.name);
            zeros += point.hasAltitude && point.altitude == 0 && !file.altitudesInFeet ? 1 : 0;
            if (file.altitudesInFeet || point.altitude == 0)
                point.hasAltitude = false;
        }
    }
    if (zeros > 0)
        addWarning(findings, 0,
                   std::to_string(zeros) +
                       " elevation(s) of 0 read as none: GPSBabel writes 0 where the file gives "
                       "no elevation");
}
