#pragma once

#include <functional>
#include <ostream>
#include <string_view>

namespace tessra {

// Exit codes of a run that an unexpected exception ended.
inline constexpr int kGuardInputFault = 2;  // the input led to it (a logic error, no memory)
inline constexpr int kGuardOtherFault = 3;  // anything else

// Runs a program's main body so that no exception leaves main: an abort
// would print nothing useful and, under --json, leave a script no object to
// read. An exception instead ends the run with one line on err
// ("PROGRAM: unexpected failure: WHAT", WHAT cut and escaped) and, when json
// is given, the object {"exitCode":N,"errors":["..."]} on it.
int guardMain(std::string_view program, const std::function<int()>& body, std::ostream& err,
              std::ostream* json = nullptr);

}  // namespace tessra
