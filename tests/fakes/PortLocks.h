#pragma once

#include <QDateTime>
#include <QFile>
#include <QString>

namespace tessra::testing {

// Dates the port's empty lock files back by the seconds, as Qt names them
// (LCK.. and the path below /dev with '_' for '/'); with plant, makes them first.
inline void ageEmptyPortLocks(QString port, int seconds, bool plant = false) {
    if (port.startsWith(QStringLiteral("/dev/"))) port.remove(0, 5);
    port.replace(u'/', u'_');
    for (const char* dir : {"/var/lock/LCK..", "/tmp/LCK.."}) {
        QFile lock(QString::fromLatin1(dir) + port);
        if ((!plant && !lock.exists()) || (lock.exists() && lock.size() != 0)) continue;
        if (lock.open(QIODevice::ReadWrite))
            lock.setFileTime(QDateTime::currentDateTime().addSecs(-seconds),
                             QFileDevice::FileModificationTime);
    }
}

}  // namespace tessra::testing
