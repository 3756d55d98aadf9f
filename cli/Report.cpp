#include "cli/Report.h"

#include <QJsonDocument>

#include "link/QuotedText.h"

namespace tessra::cli {

QString qs(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

namespace {

// Qt escapes C0 controls in JSON but leaves DEL and C1 raw.
std::string compactJson(const QJsonObject& object) {
    return jsonControlsEscaped(QJsonDocument(object).toJson(QJsonDocument::Compact).toStdString());
}

// Whatever a message quotes, no control byte reaches the terminal and no
// message floods it; the inputs it quotes are cut much shorter already.
constexpr std::size_t kMessageLimit = 1000;
}  // namespace

void Report::error(std::string_view text) {
    const std::string shown = quotedInput(text, kMessageLimit);
    err_ << "tessra-cli: " << shown << '\n' << std::flush;
    errors_.append(qs(shown));
}

void Report::note(std::string_view text) {
    const std::string shown = quotedInput(text, kMessageLimit);
    err_ << "tessra-cli: note: " << shown << '\n' << std::flush;
    notes_.append(qs(shown));
}

void Report::stream(const std::string& text, const QJsonObject& object) {
    if (json_)
        out_ << compactJson(object) << '\n';
    else
        out_ << text << '\n';
    out_ << std::flush;
}

int Report::finish(ExitCode code) {
    const int exitCode = static_cast<int>(code);
    if (streamOnly_) return exitCode;
    if (json_) {
        QJsonObject object = fields_;
        object.insert("exitCode", exitCode);
        object.insert("errors", errors_);
        if (!notes_.isEmpty()) object.insert("notes", notes_);
        out_ << compactJson(object) << '\n';
    } else {
        for (const std::string& l : lines_) out_ << l << '\n';
    }
    out_ << std::flush;
    return exitCode;
}

}  // namespace tessra::cli
