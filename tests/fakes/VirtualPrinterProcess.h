#pragma once

// The virtual printer as a child process on a pseudo-terminal, with its
// transcript read back from the log file it writes. The including test target
// passes the program's path as TESSRA_SIM_PROGRAM.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace tessra::testing {

class VirtualPrinterProcess {
public:
    using Clock = std::chrono::steady_clock;

    // Files go into a fresh folder named after the running test.
    VirtualPrinterProcess() {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir_ = std::filesystem::temp_directory_path() /
               ("tessra-printer-" + std::to_string(::getpid()) + "-" + info->test_suite_name() +
                "-" + info->name() + "-" + std::to_string(++made_));
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_);
    }
    ~VirtualPrinterProcess() {
        stop();
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    VirtualPrinterProcess(const VirtualPrinterProcess&) = delete;
    VirtualPrinterProcess& operator=(const VirtualPrinterProcess&) = delete;

    std::filesystem::path dir() const { return dir_; }
    std::string link() const { return (dir_ / "com1").string(); }
    std::string logFile() const { return (dir_ / "transcript").string(); }

    // Starts the printer with --link and --log plus the extra options and
    // waits for its "ready" line. Use with ASSERT_TRUE.
    ::testing::AssertionResult start(std::vector<std::string> extra = {}) {
        std::filesystem::remove(logFile());
        std::vector<std::string> args{TESSRA_SIM_PROGRAM, "--link", link(), "--log", logFile()};
        args.insert(args.end(), extra.begin(), extra.end());
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        // Forked rather than spawned, so that the printer dies with the test
        // (PR_SET_PDEATHSIG) even when the test crashes: otherwise it would
        // linger and keep the test's output open.
        const pid_t parent = ::getpid();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL);
            if (::getppid() != parent) ::_exit(127);
            const int devnull = ::open("/dev/null", O_WRONLY);
            if (devnull >= 0) ::dup2(devnull, STDOUT_FILENO);
            ::execve(argv[0], argv.data(), environ);
            ::_exit(127);
        }
        if (pid_ < 0) {
            pid_ = 0;
            return ::testing::AssertionFailure() << "cannot start " << argv[0];
        }
        // The link is made before the ready line is written.
        if (!waitForLine(": ready on ", std::chrono::milliseconds(2000)))
            return ::testing::AssertionFailure() << "no ready line:\n" << transcript();
        return ::testing::AssertionSuccess();
    }

    // SIGTERM, as a technician's Ctrl-C or the run script would; SIGKILL if
    // that is not heeded in time. False when SIGKILL was needed.
    bool stop() {
        if (pid_ <= 0) return true;
        ::kill(pid_, SIGTERM);
        const bool heeded = pollUntil([this] { return ::waitpid(pid_, nullptr, WNOHANG) != 0; },
                                      std::chrono::milliseconds(900));
        if (!heeded) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, nullptr, 0);
        }
        pid_ = 0;
        return heeded;
    }

    std::string transcript() const {
        std::ifstream in(logFile());
        std::ostringstream text;
        text << in.rdbuf();
        return text.str();
    }

    // The transcript's lines after the "ready" line.
    std::vector<std::string> linesAfterStart() const {
        std::istringstream in(transcript());
        std::vector<std::string> lines;
        std::string line;
        std::getline(in, line);
        while (std::getline(in, line)) lines.push_back(line);
        return lines;
    }

    // Polls the transcript until it holds the text or the time is up.
    bool waitForLine(const std::string& text,
                     std::chrono::milliseconds limit = std::chrono::milliseconds(1500)) const {
        return pollUntil([&] { return transcript().find(text) != std::string::npos; }, limit);
    }

    // Waits for the last text, then checks that all of them appear in this
    // order (each after the one before). Use with EXPECT_TRUE.
    ::testing::AssertionResult inOrder(
        const std::vector<std::string>& texts,
        std::chrono::milliseconds limit = std::chrono::milliseconds(1500)) const {
        if (!texts.empty()) waitForLine(texts.back(), limit);
        const std::string log = transcript();
        std::size_t at = 0;
        for (const std::string& text : texts) {
            const std::size_t found = log.find(text, at);
            if (found == std::string::npos)
                return ::testing::AssertionFailure()
                       << "\"" << text << "\" missing or out of order in:\n"
                       << log;
            at = found + text.size();
        }
        return ::testing::AssertionSuccess();
    }

private:
    // Checks every few milliseconds until done or the time is up.
    template <typename Done>
    static bool pollUntil(Done done, std::chrono::milliseconds limit) {
        const auto deadline = Clock::now() + limit;
        while (!done()) {
            if (Clock::now() > deadline) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }

    std::filesystem::path dir_;
    // Two printers in one test get two folders.
    static inline std::atomic<int> made_{0};
    pid_t pid_ = 0;
};

}  // namespace tessra::testing
