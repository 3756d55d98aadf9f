#pragma once

#include <QString>
#include <QtGlobal>

namespace tessra::ledger {

// The run that holds a row while its unit is under way: this machine, this
// boot of it, and this process, told apart from a later process that got
// the same number by its start time.
struct Owner {
    QString host;     // the host name, as shown
    QString machine;  // /etc/machine-id, else the host name: two hosts may share a name
    QString boot;     // /proc/sys/kernel/random/boot_id
    qint64 pid = 0;
    qint64 start = 0;  // the process's start, in clock ticks after the boot (/proc/PID/stat)
    bool operator==(const Owner&) const = default;

    bool known() const { return !machine.isEmpty(); }
    // "bench-3 pid 4242", or empty for a row written before owners were kept.
    QString text() const;
};

// When the process with this number started, in clock ticks after the
// boot; 0 when there is none.
qint64 processStart(qint64 pid);

// The process this is.
const Owner& thisProcess();

// Whether the row's owner has provably ended, as far as this machine can
// tell: the same machine and either another boot, or no process with its
// number and start time. A run on another machine, or one that is still
// running, has not. A row without an owner was written by an older program
// and counts as ended.
bool endedHere(const Owner& owner, const Owner& me = thisProcess());

// The PostgreSQL advisory lock key of the owner's lease (see Ledger.h).
qint64 leaseKey(const Owner& owner);

}  // namespace tessra::ledger
