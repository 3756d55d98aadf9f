#include "link/DeviceLock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace tessra {

DeviceLock::~DeviceLock() {
    ::close(fd_);  // lets the lock go
}

std::string DeviceLock::folder() {
    return ::access("/run/lock", W_OK | X_OK) == 0 ? "/run/lock" : "/tmp";
}

std::unique_ptr<DeviceLock> DeviceLock::take(const DeviceIdentity& device, std::string& refusal) {
    std::string name = device.key();
    std::ranges::replace(name, '/', '_');
    const std::string path = folder() + "/tessra-" + name + ".lock";
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd < 0) {
        refusal = device.path + " cannot be held: " + path + ": " + std::strerror(errno);
        return nullptr;
    }
    ::fchmod(fd, 0666);  // runs of other users must be able to take it too
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        char holder[32] = {};
        const ssize_t n = ::pread(fd, holder, sizeof holder - 1, 0);
        const std::string pid(holder, static_cast<std::size_t>(std::max<ssize_t>(n, 0)));
        refusal = device.path + " is in use by another run of this utility" +
                  (pid.empty() ? std::string() : " (process " + pid + ")");
        ::close(fd);
        return nullptr;
    }
    // The number only words a second run's refusal; the lock holds without it.
    const std::string pid = std::to_string(::getpid());
    if (::ftruncate(fd, 0) == 0) (void)!::pwrite(fd, pid.data(), pid.size(), 0);
    return std::unique_ptr<DeviceLock>(new DeviceLock(fd));
}

}  // namespace tessra
