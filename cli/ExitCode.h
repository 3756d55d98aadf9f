#pragma once

namespace tessra::cli {

// The tool's exit codes; scripts depend on them.
enum class ExitCode : int {
    Done = 0,
    PrinterFault = 1,  // no answer, or a read-back did not match
    BadInput = 2,      // the command line, a file or the password is wrong
    Unreachable = 3,   // the port could not be opened, or the ledger not reached; nothing written
    WrittenNotRecorded = 4,  // the printer was written but the ledger could not record it
};

}  // namespace tessra::cli
