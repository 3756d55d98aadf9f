#include "app/MacSaveLedger.h"

#include "identity/MacAddress.h"
#include "link/LineSettings.h"

namespace tessra::app {

namespace {

ledger::Mac fullAddress(identity::MacOctets octets) {
    ledger::Mac address = 0;
    for (const std::uint8_t o : identity::kMacPrefix) address = address << 8 | o;
    for (const std::uint8_t o : {octets.mac4, octets.mac5, octets.mac6}) address = address << 8 | o;
    return address;
}

QString whenAndWhere(const ledger::MacRecord& r) {
    return ledger::stateText(r.state) + " " +
           r.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + " on station " +
           r.station + (r.port.isEmpty() ? QString() : ", port " + r.port);
}

}  // namespace

MacSaveLedger::MacSaveLedger(app::MacAddressFrame& frame, LineChoice& line, Operator& op,
                             QString location)
    : line_(line), op_(op), location_(std::move(location)) {
    frame.onAddressWritten([this](identity::MacOctets written) { record(written); });
}

ledger::Result<std::optional<ledger::MacRecord>> MacSaveLedger::recordWritten(ledger::Mac address) {
    using Previous = ledger::Result<std::optional<ledger::MacRecord>>;
    if (!ledger_) {
        auto opened = ledger::Ledger::open(location_);
        if (!opened.ok()) return Previous::failure(opened.error);
        ledger_ = std::move(*opened);
    } else if (const ledger::Status reached = ledger_->reconnect(); !reached.ok()) {
        return Previous::failure(reached.error);  // a server that restarted since the last save
    }
    auto previous = ledger_->find(address);
    if (!previous.ok()) return previous;
    ledger::Stamp stamp;
    stamp.port = QString::fromStdString(portCaption(line_.portIndex() + 1));
    if (const auto marked = ledger_->mark(address, ledger::MacState::Written, stamp); !marked.ok())
        return Previous::failure(marked.error);
    return previous;
}

void MacSaveLedger::record(identity::MacOctets written) {
    const ledger::Mac address = fullAddress(written);
    const QString mac = ledger::macText(address);
    const auto previous = recordWritten(address);
    QString text;
    if (!previous.ok()) {
        ledger_.reset();
        text = "The ledger was not updated: " + previous.error;
    } else if (const auto& held = *previous) {
        text = mac + " was already in the ledger (" + whenAndWhere(*held) +
               "); recorded as written again";
    } else {
        text = mac + " recorded as written in the ledger";
    }
    op_.status(text.toStdString());
}

}  // namespace tessra::app
