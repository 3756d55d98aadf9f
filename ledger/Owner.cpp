#include "ledger/Owner.h"

#include <unistd.h>

#include <QCryptographicHash>
#include <QFile>
#include <QSysInfo>
#include <QtEndian>

namespace tessra::ledger {

namespace {

QString firstLine(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {};
    return QString::fromLatin1(file.readLine(256)).trimmed();
}

}  // namespace

// Field 22 of /proc/PID/stat; the name in field 2 may hold blanks and
// parentheses, so the fields are counted from its closing one.
qint64 processStart(qint64 pid) {
    QFile file(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!file.open(QIODevice::ReadOnly)) return 0;
    const QByteArray stat = file.readAll();
    const qsizetype name = stat.lastIndexOf(')');
    if (name < 0) return 0;
    const QList<QByteArray> fields = stat.mid(name + 2).split(' ');
    constexpr int kStartAfterName = 22 - 3;  // fields 3 onwards follow the name
    return fields.size() > kStartAfterName ? fields[kStartAfterName].toLongLong() : 0;
}

namespace {

Owner makeThisProcess() {
    Owner me;
    me.host = QSysInfo::machineHostName();
    me.machine = firstLine(QStringLiteral("/etc/machine-id"));
    if (me.machine.isEmpty()) me.machine = me.host;
    me.boot = firstLine(QStringLiteral("/proc/sys/kernel/random/boot_id"));
    me.pid = ::getpid();
    me.start = processStart(me.pid);
    return me;
}

}  // namespace

QString Owner::text() const {
    return known() ? QStringLiteral("%1 pid %2").arg(host).arg(pid) : QString();
}

const Owner& thisProcess() {
    static const Owner me = makeThisProcess();
    return me;
}

bool endedHere(const Owner& owner, const Owner& me) {
    if (!owner.known()) return true;
    if (owner.machine != me.machine) return false;
    if (owner.boot != me.boot) return true;
    return processStart(owner.pid) != owner.start;
}

qint64 leaseKey(const Owner& owner) {
    const QByteArray who = QStringLiteral("tessra-owner %1 %2 %3 %4")
                               .arg(owner.machine, owner.boot)
                               .arg(owner.pid)
                               .arg(owner.start)
                               .toUtf8();
    const QByteArray hash = QCryptographicHash::hash(who, QCryptographicHash::Sha256);
    return qFromBigEndian<qint64>(hash.constData());
}

}  // namespace tessra::ledger
