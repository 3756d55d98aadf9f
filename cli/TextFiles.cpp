#include "cli/TextFiles.h"

#include <QFile>
#include <QSaveFile>

namespace tessra::cli {

std::optional<std::string> readTextFile(const std::string& path, std::string& error) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString().toStdString();
        return std::nullopt;
    }
    return file.readAll().toStdString();
}

bool writeTextFile(const std::string& path, const std::string& text, std::string& error) {
    QSaveFile file(QString::fromStdString(path));
    const bool ok = file.open(QIODevice::WriteOnly) &&
                    file.write(text.data(), static_cast<qint64>(text.size())) ==
                        static_cast<qint64>(text.size()) &&
                    file.commit();
    if (!ok) error = file.errorString().toStdString();
    return ok;
}

}  // namespace tessra::cli
