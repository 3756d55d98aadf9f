#include "provision/FailureText.h"

namespace tessra::provision {

QString failureText(const printer::Failure& f) {
    const QString device = QString::fromStdString(f.device);
    const QString reason = QString::fromStdString(f.reason);
    const QString on = device.isEmpty() ? QString() : QStringLiteral(" on ") + device;
    QString text;
    switch (f.kind) {
        case printer::FailureKind::PortUnavailable:
            text = QStringLiteral("cannot open the port") +
                   (device.isEmpty() ? QString() : u' ' + device);
            break;
        case printer::FailureKind::NoReply:
            text = QStringLiteral("no answer from the printer") + on;
            break;
        case printer::FailureKind::ReplyRejected:
            text = QStringLiteral("an answer that is not valid from the printer") + on;
            break;
        case printer::FailureKind::ArgumentRefused:
            text = QStringLiteral("refused");
            break;
        case printer::FailureKind::Stopped:
            text = QStringLiteral("stopped");
            break;
        case printer::FailureKind::WriteFailed:
            text = QStringLiteral("the port took the bytes only in part") + on;
            break;
        case printer::FailureKind::Busy:
            text = QStringLiteral("the port is busy with another operation") + on;
            break;
    }
    return reason.isEmpty() ? text : text + QStringLiteral(": ") + reason;
}

}  // namespace tessra::provision
