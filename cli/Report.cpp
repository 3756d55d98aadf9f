#include "cli/Report.h"

#include <QJsonDocument>

namespace tessra::cli {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void Report::error(std::string_view text) {
    err_ << "tessra-cli: " << text << '\n' << std::flush;
    errors_.append(qs(text));
}

void Report::note(std::string_view text) {
    err_ << "tessra-cli: note: " << text << '\n' << std::flush;
    notes_.append(qs(text));
}

int Report::finish(ExitCode code) {
    const int exitCode = static_cast<int>(code);
    if (json_) {
        QJsonObject object = fields_;
        object.insert("exitCode", exitCode);
        object.insert("errors", errors_);
        if (!notes_.isEmpty()) object.insert("notes", notes_);
        out_ << QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString() << '\n';
    } else {
        for (const std::string& l : lines_) out_ << l << '\n';
    }
    out_ << std::flush;
    return exitCode;
}

}  // namespace tessra::cli
