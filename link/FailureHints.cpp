#include "link/FailureHints.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

#if __has_include(<grp.h>)
#include <grp.h>
#include <sys/stat.h>
#define TESSRA_HAS_GROUPS 1
#endif

namespace tessra {

namespace fs = std::filesystem;

namespace {

// Calls visit for each entry of the folder; entries that vanish meanwhile
// (processes that end) are skipped, never thrown.
template <class Visit>
void forEachEntry(const fs::path& folder, Visit visit) {
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        if (visit(it->path())) return;
    }
}

bool isPid(const std::string& name) {
    return !name.empty() && std::all_of(name.begin(), name.end(),
                                        [](unsigned char c) { return std::isdigit(c) != 0; });
}

// The program's name: from its command line, which is not cut at 15
// characters as comm is.
std::string commandOf(const fs::path& process) {
    std::ifstream cmdline(process / "cmdline");
    std::string program;
    std::getline(cmdline, program, '\0');
    if (!program.empty()) return fs::path(program).filename().string();
    std::ifstream comm(process / "comm");
    std::getline(comm, program);
    return program.empty() ? "?" : program;
}

// Whether the process has the master side of pseudo-terminal ptyIndex open:
// it is the far end of the line (a printer on a pseudo-terminal), not
// another opener competing for it.
bool holdsMasterOf(const fs::path& process, const std::string& ptyIndex) {
    constexpr std::string_view kIndexKey = "tty-index:";
    bool holds = false;
    forEachEntry(process / "fd", [&](const fs::path& fd) {
        std::error_code linkError;
        if (fs::read_symlink(fd, linkError).filename() != "ptmx") return false;
        std::ifstream info(process / "fdinfo" / fd.filename());
        for (std::string line; std::getline(info, line);) {
            if (!line.starts_with(kIndexKey)) continue;
            std::istringstream value(line.substr(kIndexKey.size()));
            std::string index;
            value >> index;
            holds = index == ptyIndex;
        }
        return holds;
    });
    return holds;
}

std::string permissionHint(const std::string& device, const std::string& group) {
    if (group.empty() || group == "root")
        return "To fix: ask an administrator for read and write access to " + device;
    // Short enough for the status line; the group counts only from a new login.
    return "To fix: run sudo usermod -aG " + group + " $USER (" + group + " owns " + device +
           "), then log out and in again";
}

std::string busyHint(const std::string& device, const std::vector<DeviceHolder>& holders) {
    if (holders.empty())
        return "To fix: " + device +
               " is in use or locked by another program; close that program and try again";
    std::string names;
    for (const DeviceHolder& h : holders) {
        if (!names.empty()) names += ", ";
        names += h.command + " (pid " + std::to_string(h.pid) + ")";
    }
    return "To fix: " + device + " is held by " + names + "; close it and try again";
}

std::string missingHint(const std::vector<FoundPort>& found, const std::string& chooseIn) {
    if (found.empty())
        return "No serial port found: plug in the adapter, then choose it " + chooseIn;
    std::string list;
    for (const FoundPort& port : found) {
        if (!list.empty()) list += "; ";
        list += describePort(port);
    }
    return "Serial ports found: " + list + ". Choose one " + chooseIn;
}

}  // namespace

std::vector<DeviceHolder> holdersOf(const fs::path& procRoot, const std::string& device) {
    std::error_code error;
    const fs::path target = fs::weakly_canonical(device, error);
    if (error) return {};
    const std::string ptyIndex =
        target.parent_path() == "/dev/pts" ? target.filename().string() : std::string();
    std::vector<DeviceHolder> holders;
    forEachEntry(procRoot, [&](const fs::path& process) {
        if (!isPid(process.filename().string())) return false;
        forEachEntry(process / "fd", [&](const fs::path& fd) {
            std::error_code linkError;
            if (fs::read_symlink(fd, linkError) != target) return false;
            if (ptyIndex.empty() || !holdsMasterOf(process, ptyIndex))
                holders.push_back({std::stoi(process.filename().string()), commandOf(process)});
            return true;
        });
        return false;
    });
    std::sort(holders.begin(), holders.end(),
              [](const DeviceHolder& a, const DeviceHolder& b) { return a.pid < b.pid; });
    return holders;
}

std::string deviceGroup([[maybe_unused]] const std::string& device) {
#ifdef TESSRA_HAS_GROUPS
    struct stat info {};
    if (::stat(device.c_str(), &info) != 0) return {};
    // The reentrant lookup: printers on two ports may fail in two threads at once.
    group entry{};
    group* owner = nullptr;
    std::vector<char> buffer(16384);
    if (::getgrgid_r(info.st_gid, &entry, buffer.data(), buffer.size(), &owner) != 0) return {};
    return owner && owner->gr_name ? owner->gr_name : "";
#else
    return {};
#endif
}

std::string failureHint(PortFailure kind, const std::string& device,
                        const std::vector<FoundPort>& found, const HintSources& sources) {
    switch (kind) {
        case PortFailure::PermissionDenied:
            return permissionHint(device, sources.groupOf ? sources.groupOf(device) : "");
        case PortFailure::Busy:
            return busyHint(device, holdersOf(sources.procRoot, device));
        case PortFailure::NoSuchDevice:
            return missingHint(found, sources.chooseIn);
        default:
            return {};
    }
}

void FirstHints::offer(PortFailure kind, const std::string& text) {
    if (!sink_ || text.empty() || passedOn_.contains(kind)) return;
    passedOn_.insert(kind);
    sink_(text);
}

}  // namespace tessra
