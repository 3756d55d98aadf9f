#pragma once

#include <QObject>
#include <QString>
#include <optional>

#include "settings/OptionPanel.h"

class QMainWindow;
class QMenu;

namespace tessra::app {

// The File menu: settings files (settings/SettingsFile.h) to and from the
// window's option groups, and Quit (Ctrl+Q). Opening selects members and
// sends nothing; the user writes them with the Write button as usual.
class SettingsFileMenu final : public QObject {
public:
    // Adds "File" to the window's menu bar; the window owns the result.
    SettingsFileMenu(QMainWindow& window, settings::OptionPanel& panel);

    QMenu* menu() const { return menu_; }

    // Selects the file's members. A refused or unreadable file changes
    // nothing and gives the text to show (with the line number).
    std::optional<QString> openFile(const QString& path);
    // Saves the current selections; the reason when that failed.
    std::optional<QString> saveFile(const QString& path);

private:
    void chooseAndOpen();
    void chooseAndSave();
    void showStatus(const QString& text);

    QMainWindow& window_;
    settings::OptionPanel& panel_;
    QMenu* menu_;
};

}  // namespace tessra::app
