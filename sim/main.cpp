// tessra-printer-sim: a virtual printer on a pseudo-terminal.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "link/MainGuard.h"
#include "sim/BlockText.h"
#include "sim/Engine.h"
#include "sim/Options.h"
#include "sim/PtyLoop.h"
#include "sim/StateFile.h"

namespace {

using namespace tessra::sim;

volatile std::sig_atomic_t gStop = 0;
void onSignal(int) {
    gStop = 1;
}

void complain(const std::string& text) {
    std::fprintf(stderr, "tessra-printer-sim: %s\n", text.c_str());
}

// Replaces a stale symlink; refuses to remove anything that is not one.
bool makeLink(const std::string& link, const std::string& target) {
    struct stat st {};
    if (::lstat(link.c_str(), &st) == 0 && !S_ISLNK(st.st_mode)) {
        complain(link + " exists and is not a symlink; not replacing it");
        return false;
    }
    const std::string fresh = link + ".new";
    ::unlink(fresh.c_str());
    if (::symlink(target.c_str(), fresh.c_str()) != 0 ||
        ::rename(fresh.c_str(), link.c_str()) != 0) {
        complain("cannot link " + link + ": " + std::strerror(errno));
        ::unlink(fresh.c_str());
        return false;
    }
    return true;
}

// Only our own link: another instance may have taken the name since.
void removeLink(const std::string& link, const std::string& target) {
    std::vector<char> buf(target.size() + 2);
    const ssize_t n = ::readlink(link.c_str(), buf.data(), buf.size());
    if (n >= 0 && std::string_view(buf.data(), static_cast<std::size_t>(n)) == target) {
        ::unlink(link.c_str());
    }
}

int runSimulator(int argc, char** argv) {
    const std::vector<std::string_view> args(argv + 1, argv + argc);
    const ParsedOptions parsed = parseOptions(args);
    if (!parsed.error.empty()) {
        complain(parsed.error + " (see --help)");
        return 2;
    }
    const SimOptions& options = parsed.options;
    if (options.help) {
        std::fputs(usageText().c_str(), stdout);
        return 0;
    }
    if (options.version) {
        std::puts("tessra-printer-sim " TESSRA_VERSION);
        return 0;
    }

    PrinterState state;
    bool fresh = true;
    if (options.state) {
        LoadedState loaded = loadStateFile(*options.state);
        // A state file that does not exist yet is a new unit, not a problem.
        if (!loaded.problem.empty() && !loaded.missing) complain(loaded.problem);
        fresh = !loaded.problem.empty();
        state = loaded.state;
    }
    if (fresh) applyFactoryOptions(options, state);
    applyLineOptions(options, state);
    Engine engine(state, Engine::Options{.answer = !options.noReply});

    std::FILE* log = stdout;
    if (options.log) {
        log = std::fopen(options.log->c_str(), "w");
        if (log == nullptr) {
            complain("cannot write " + *options.log + ": " + std::strerror(errno));
            return 1;
        }
    }

    // Signals arrive only while the loop waits, so none is lost between a
    // check of the flag and the wait.
    sigset_t blocked;
    sigset_t waitMask;
    sigemptyset(&blocked);
    for (const int s : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&blocked, s);
    sigprocmask(SIG_BLOCK, &blocked, &waitMask);
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    for (const int s : {SIGINT, SIGTERM, SIGHUP}) sigaction(s, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    std::string problem;
    auto pty = Pty::create(engine.speed(), &problem);
    if (!pty) {
        complain(problem);
        return 1;
    }
    if (options.link && !makeLink(*options.link, pty->path())) return 1;

    auto writeLine = [log](const std::string& line) {
        std::fprintf(log, "%s\n", line.c_str());
        std::fflush(log);
    };
    auto save = [&] {
        std::string why;
        if (options.state && !saveStateFile(*options.state, engine.state(), &why)) complain(why);
    };

    std::printf("%s\n", pty->path().c_str());
    std::fflush(stdout);
    writeLine(std::to_string(engine.speed()) + ": ready on " + pty->path() + ", settings " +
              hexBytes(engine.state().block) + ", MAC " + hexBytes(engine.state().mac) +
              ", customer code " + std::to_string(engine.state().customerCode));
    save();

    const int result =
        runLoop(*pty, engine, options.replyDelayMs, {writeLine, save}, &gStop, waitMask);
    for (const std::string& line : engine.flush().lines) writeLine(line);
    writeLine(std::to_string(engine.speed()) + ": stopped");
    save();
    if (options.link) removeLink(*options.link, pty->path());
    if (log != stdout) std::fclose(log);
    return result;
}

}  // namespace

int main(int argc, char** argv) {
    return tessra::guardMain(
        "tessra-printer-sim", [&] { return runSimulator(argc, argv); }, std::cerr);
}
