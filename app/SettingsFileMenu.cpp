#include "app/SettingsFileMenu.h"

#include <QFile>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QSaveFile>

#include "app/QtText.h"
#include "app/StatusLine.h"
#include "settings/BoundedFile.h"
#include "settings/SettingsFile.h"

namespace tessra::app {

namespace {
const QString kOpenTitle = QStringLiteral("Open Settings File");
const QString kSaveTitle = QStringLiteral("Save Settings File");
const QString kFilter = QStringLiteral("Tessra settings (*.tessra);;All files (*)");
}  // namespace

SettingsFileMenu::SettingsFileMenu(QMainWindow& window, settings::OptionPanel& panel)
    : QObject(&window), window_(window), panel_(panel) {
    menu_ = window.menuBar()->addMenu(QStringLiteral("&File"));
    menu_->setObjectName(QStringLiteral("menuFile"));
    QAction* open = menu_->addAction(QStringLiteral("&Open Settings File..."));
    open->setObjectName(QStringLiteral("actionOpenSettingsFile"));
    connect(open, &QAction::triggered, this, [this] { chooseAndOpen(); });
    QAction* save = menu_->addAction(QStringLiteral("&Save Settings File..."));
    save->setObjectName(QStringLiteral("actionSaveSettingsFile"));
    connect(save, &QAction::triggered, this, [this] { chooseAndSave(); });
    menu_->addSeparator();
    // Closes as the title bar's button does: during an operation the window
    // waits for it to end.
    QAction* quit = menu_->addAction(QStringLiteral("&Quit"));
    quit->setObjectName(QStringLiteral("actionQuit"));
    quit->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    quit->setShortcutContext(Qt::ApplicationShortcut);
    connect(quit, &QAction::triggered, &window, &QWidget::close);
}

std::optional<QString> SettingsFileMenu::openFile(const QString& path) {
    std::string error;
    const auto text = settings::readBoundedFile(path.toStdString(), error);
    if (!text) return path + ": " + qstr(error);
    const auto parsed = settings::parseSettingsFile(*text);
    if (parsed.error) {
        return path + "\nline " + QString::number(parsed.error->line) + ": " +
               qstr(parsed.error->message);
    }
    for (const settings::OptionGroup& g : settings::kOptionGroups)
        panel_.select(g.group, *parsed.selections[static_cast<std::size_t>(g.group)]);
    QStringList notes;
    for (const std::string& note : parsed.notes) notes << qstr(note);
    showStatus(notes.isEmpty() ? "Opened " + path + "; Write sends it to the printer"
                               : path + ": " + notes.join("; "));
    return std::nullopt;
}

std::optional<QString> SettingsFileMenu::saveFile(const QString& path) {
    const auto text = settings::formatSettingsFile(settings::currentSelections(panel_));
    if (!text) return QStringLiteral("A group has no selection: nothing saved.");
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(text->data(), static_cast<qint64>(text->size())) !=
            static_cast<qint64>(text->size()) ||
        !file.commit())
        return path + ": " + file.errorString();
    showStatus("Saved " + path);
    return std::nullopt;
}

void SettingsFileMenu::chooseAndOpen() {
    const QString path = QFileDialog::getOpenFileName(&window_, kOpenTitle, {}, kFilter);
    if (path.isEmpty()) return;
    if (const auto refusal = openFile(path)) QMessageBox::warning(&window_, kOpenTitle, *refusal);
}

void SettingsFileMenu::chooseAndSave() {
    QFileDialog dialog(&window_, kSaveTitle, {}, kFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("tessra"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    if (const auto failure = saveFile(dialog.selectedFiles().front()))
        QMessageBox::warning(&window_, kSaveTitle, *failure);
}

void SettingsFileMenu::showStatus(const QString& text) {
    statusLine(window_).showLine(text);
}

}  // namespace tessra::app
