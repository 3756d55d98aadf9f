#include "recipe/TextFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <cerrno>
#include <cstring>

namespace tessra::recipe {

std::optional<std::string> readTextFile(const QString& path, QString& why) {
    // open() would take the path cut at the NUL: another file.
    if (path.contains(QChar(0))) {
        why = QStringLiteral("the path holds a NUL");
        return std::nullopt;
    }
    // Opened without blocking, so that a FIFO's open does not wait for a writer.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
        return std::nullopt;
    }
    std::optional<std::string> text;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        why = QString::fromLocal8Bit(std::strerror(errno));
    } else if (!S_ISREG(info.st_mode)) {
        why = QStringLiteral("not a regular file");
    } else if (info.st_size > kMaxTextFileBytes) {
        why = QStringLiteral("larger than 1 MiB");
    } else {
        std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
        std::size_t got = 0;
        while (got < bytes.size()) {
            const ssize_t n = ::read(fd, bytes.data() + got, bytes.size() - got);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            got += static_cast<std::size_t>(n);
        }
        bytes.resize(got);
        text = std::move(bytes);
    }
    ::close(fd);
    return text;
}

}  // namespace tessra::recipe
