#pragma once

// The virtual printer and tessra-cli as processes, timed, for the benchmarks
// that set the tool's wall time next to the protocol's floor: its fixed waits
// plus the time the bytes take on a real line at their speed (start, 8 data,
// parity, stop bits). A pseudo-terminal carries bytes at once, so there the
// floor's wire part is not spent. The including target passes
// TESSRA_SIM_PROGRAM and TESSRA_CLI_PROGRAM.

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <string>
#include <vector>

#include "link/LineSettings.h"
#include "settings/SettingsFile.h"

namespace tessra::bench {

inline int speedMember(int speed) {
    for (std::size_t i = 0; i < tessra::kSpeedTexts.size(); ++i)
        if (tessra::kSpeedTexts[i] == std::to_string(speed)) return static_cast<int>(i);
    return 2;
}

// A settings file of the start-up selections at this speed, with the Width
// member given (another width makes a block the factory printer lacks).
inline QString writeSettingsFile(const QString& path, int speed, int widthMember = 0) {
    tessra::settings::Selections s;
    s.fill(0);
    s[static_cast<std::size_t>(tessra::settings::Group::SerialBaudrate)] = speedMember(speed);
    s[static_cast<std::size_t>(tessra::settings::Group::Width)] = widthMember;
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write(QByteArray::fromStdString(*tessra::settings::formatSettingsFile(s)));
    return path;
}

// The seconds the bytes of a --trace take on a real line; writes that carry
// the password are traced by their count.
inline double wireSeconds(const QString& trace) {
    static const QRegularExpression line(
        R"(ms (\d+),([neo]),8,1 [<>](?:((?: [0-9A-F]{2})+)| (\d+) bytes,))");
    double seconds = 0;
    for (auto it = line.globalMatch(trace); it.hasNext();) {
        const auto m = it.next();
        const int bitsPerByte = 1 + 8 + (m.captured(2) == "n" ? 0 : 1) + 1;
        const auto bytes =
            m.captured(3).isEmpty() ? m.captured(4).toLongLong() : m.captured(3).size() / 3;
        seconds += static_cast<double>(bytes * bitsPerByte) / m.captured(1).toDouble();
    }
    return seconds;
}

struct Printer {
    QProcess process;
    QString link;
    bool start(const QTemporaryDir& dir, int speed) {
        link = dir.filePath("com1");
        process.start(TESSRA_SIM_PROGRAM, {"--link", link, "--log", dir.filePath("transcript"),
                                           "--speed", QString::number(speed)});
        if (!process.waitForStarted(3000)) return false;
        for (int i = 0; i < 300 && !QFile::exists(link); ++i) QThread::msleep(10);
        return QFile::exists(link);
    }
    ~Printer() {
        process.terminate();
        if (!process.waitForFinished(2000)) process.kill();
    }
};

struct Timed {
    double seconds;
    int exitCode;
    QString err;
};

inline Timed runTool(const QStringList& arguments) {
    QProcess tool;
    QElapsedTimer timer;
    timer.start();
    tool.start(TESSRA_CLI_PROGRAM, arguments);
    tool.waitForFinished(60000);
    return {static_cast<double>(timer.nsecsElapsed()) / 1e9, tool.exitCode(),
            QString::fromUtf8(tool.readAllStandardError())};
}

inline double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace tessra::bench
