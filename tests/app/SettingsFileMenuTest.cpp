// The File menu's settings files, on a window over fakes.
#include <QAction>
#include <QButtonGroup>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include "WindowFixture.h"
#include "app/SettingsFileMenu.h"

namespace tessra::testing {
namespace {

using settings::Group;

class SettingsFileMenuTest : public WindowTest {
protected:
    QTemporaryDir dir;
    app::SettingsFileMenu* menu = new app::SettingsFileMenu(*form, form->optionPanel());

    QString path(const QString& name) const { return dir.filePath(name); }
    void choose(Group group, int index) const { form->optionGroup(group)->button(index)->click(); }
    std::optional<int> selected(Group group) const { return form->optionPanel().selected(group); }
    void writeFile(const QString& name, const QByteArray& text) const {
        QFile file(path(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }
};

TEST_F(SettingsFileMenuTest, FileMenuOffersOpenAndSave) {
    QStringList texts;
    for (const QAction* a : menu->menu()->actions()) texts << a->text();
    EXPECT_EQ(menu->menu()->title(), "&File");
    EXPECT_EQ(texts, (QStringList{"&Open Settings File...", "&Save Settings File..."}));
}

TEST_F(SettingsFileMenuTest, SavedSelectionsComeBackOnOpenWithoutSendingAnything) {
    choose(Group::SerialBaudrate, 6);
    choose(Group::PaperType, 5);
    choose(Group::Codepage, 63);
    ASSERT_EQ(menu->saveFile(path("a.tessra")), std::nullopt);
    const settings::Selections saved = settings::currentSelections(form->optionPanel());

    choose(Group::SerialBaudrate, 0);
    choose(Group::PaperType, 0);
    choose(Group::Codepage, 0);
    ASSERT_EQ(menu->openFile(path("a.tessra")), std::nullopt);
    EXPECT_EQ(settings::currentSelections(form->optionPanel()), saved);
    EXPECT_TRUE(port.openings.empty());
    EXPECT_TRUE(op.messages.empty());
}

TEST_F(SettingsFileMenuTest, RefusedFileNamesItsLineAndChangesNothing) {
    choose(Group::Width, 1);
    ASSERT_EQ(menu->saveFile(path("good.tessra")), std::nullopt);
    QFile good(path("good.tessra"));
    ASSERT_TRUE(good.open(QIODevice::ReadOnly));
    QByteArray text = good.readAll();
    text.replace("Paper Width = 58mm", "Paper Width = 59mm");
    writeFile("bad.tessra", text);
    choose(Group::Width, 0);

    const auto refusal = menu->openFile(path("bad.tessra"));
    ASSERT_TRUE(refusal);
    EXPECT_TRUE(refusal->contains("line 16: \"Paper Width\" has no member \"59mm\""))
        << refusal->toStdString();
    EXPECT_EQ(selected(Group::Width), 0);
    EXPECT_TRUE(menu->openFile(path("missing.tessra")));
}

}  // namespace
}  // namespace tessra::testing
