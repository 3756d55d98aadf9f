#include "settings/BoundedFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tessra::settings {

namespace {

std::string limitText(std::size_t limit) {
    return limit % (1024 * 1024) == 0 ? std::to_string(limit / (1024 * 1024)) + " MiB"
                                      : std::to_string(limit) + " bytes";
}

bool regularFile(const struct stat& st, std::string& error) {
    if (S_ISREG(st.st_mode)) return true;
    error = S_ISDIR(st.st_mode) ? "is a folder, not a file"
                                : "is not a regular file (a FIFO, a device or a socket)";
    return false;
}

// Closes the descriptor whichever way the read ends.
struct Descriptor {
    int fd;
    ~Descriptor() {
        if (fd >= 0) ::close(fd);
    }
};

}  // namespace

std::optional<std::string> readBoundedFile(const std::string& path, std::string& error,
                                           std::size_t limit) {
    const std::string tooLarge =
        "is larger than " + limitText(limit) + ", the most a file may have";
    // The system calls would take the path cut at the NUL: another file.
    if (path.find('\0') != std::string::npos) {
        error = "the path holds a NUL";
        return std::nullopt;
    }
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    if (!regularFile(st, error)) return std::nullopt;
    const Descriptor file{::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC)};
    if (file.fd < 0) {
        error = std::strerror(errno);
        return std::nullopt;
    }
    if (::fstat(file.fd, &st) != 0 || !regularFile(st, error)) {
        if (error.empty()) error = std::strerror(errno);
        return std::nullopt;
    }
    if (static_cast<std::size_t>(st.st_size) > limit) {
        error = tooLarge;
        return std::nullopt;
    }
    // One byte past the limit tells a file that grew since the check.
    std::string text(limit + 1, '\0');
    std::size_t size = 0;
    while (size < text.size()) {
        const ssize_t got = ::read(file.fd, text.data() + size, text.size() - size);
        if (got == 0) break;
        if (got < 0) {
            if (errno == EINTR) continue;
            error = std::strerror(errno);
            return std::nullopt;
        }
        size += static_cast<std::size_t>(got);
    }
    if (size > limit) {
        error = tooLarge;
        return std::nullopt;
    }
    text.resize(size);
    return text;
}

}  // namespace tessra::settings
