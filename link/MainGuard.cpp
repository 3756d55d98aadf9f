#include "link/MainGuard.h"

#include <exception>
#include <new>
#include <stdexcept>
#include <string>

#include "link/QuotedText.h"

namespace tessra {

namespace {

int fail(std::string_view program, std::string_view what, int code, std::ostream& err,
         std::ostream* json) {
    const std::string reason = "unexpected failure: " + quotedInput(what);
    err << program << ": " << reason << '\n' << std::flush;
    if (json)
        *json << "{\"exitCode\":" << code << ",\"errors\":[" << jsonString(reason) << "]}\n"
              << std::flush;
    return code;
}

}  // namespace

int guardMain(std::string_view program, const std::function<int()>& body, std::ostream& err,
              std::ostream* json) {
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return fail(program, "out of memory", kGuardInputFault, err, json);
    } catch (const std::logic_error& e) {
        return fail(program, e.what(), kGuardInputFault, err, json);
    } catch (const std::exception& e) {
        return fail(program, e.what(), kGuardOtherFault, err, json);
    } catch (...) {
        return fail(program, "an unknown exception", kGuardOtherFault, err, json);
    }
}

}  // namespace tessra
