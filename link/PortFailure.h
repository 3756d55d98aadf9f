#pragma once

namespace tessra {

// Why a port failed, as far as the advice for the user goes.
enum class PortFailure {
    None,
    NoSuchDevice,
    PermissionDenied,
    Busy,  // held or locked by another program
    Other,
    NoAnswer,  // the port opened but the printer never answered (set by the link, not a port)
};

}  // namespace tessra
