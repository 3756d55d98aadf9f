#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QString>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "cli/ExitCode.h"

namespace tessra::cli {

// What one run of the tool tells: result lines for stdout (or one JSON
// object with --json) and errors, which go to stderr at once.
class Report {
public:
    Report(std::ostream& out, std::ostream& err, bool json) : out_(out), err_(err), json_(json) {}

    // A line of the text result; in JSON mode only the fields count.
    void line(std::string text) { lines_.push_back(std::move(text)); }
    void set(const QString& key, const QJsonValue& value) { fields_.insert(key, value); }

    // An error or an operator message: on stderr now, and in the JSON "errors".
    void error(std::string_view text);
    // Worth knowing but no failure: on stderr now, and in the JSON "notes".
    void note(std::string_view text);
    // A line out at once, for commands that tell their steps as they end:
    // the text, or with --json the object on a line of its own. The result
    // printed by finish() then comes last.
    void stream(const std::string& text, const QJsonObject& object);
    // The command wrote its own output; finish() adds nothing to stdout.
    void streamOnly() { streamOnly_ = true; }
    // Diagnostics (--trace): stderr only.
    void trace(std::string_view text) { err_ << text << '\n' << std::flush; }

    // Prints the result and gives the exit code back.
    int finish(ExitCode code);

private:
    std::ostream& out_;
    std::ostream& err_;
    bool json_;
    bool streamOnly_ = false;
    std::vector<std::string> lines_;
    QJsonObject fields_;
    QJsonArray errors_;
    QJsonArray notes_;
};

QString qs(std::string_view text);

}  // namespace tessra::cli
