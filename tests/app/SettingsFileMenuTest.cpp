// The File menu's settings files, on a window over fakes.
#include <QButtonGroup>
#include <QFile>
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
};

TEST_F(SettingsFileMenuTest, SavedSelectionsComeBackOnOpenAndARefusedFileChangesNothing) {
    choose(Group::SerialBaudrate, 6);
    choose(Group::PaperType, 5);
    choose(Group::Width, 1);
    ASSERT_EQ(menu->saveFile(path("a.tessra")), std::nullopt);
    const settings::Selections saved = settings::currentSelections(form->optionPanel());
    choose(Group::SerialBaudrate, 0);
    choose(Group::PaperType, 0);
    choose(Group::Width, 0);
    ASSERT_EQ(menu->openFile(path("a.tessra")), std::nullopt);
    EXPECT_EQ(settings::currentSelections(form->optionPanel()), saved);
    EXPECT_TRUE(port.openings.empty());
    EXPECT_TRUE(op.messages.empty());

    QFile file(path("a.tessra"));
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("Paper Width = 80mm\n");  // a group given twice, after all the others
    file.close();
    choose(Group::Codepage, 5);
    const auto refusal = menu->openFile(path("a.tessra"));
    ASSERT_TRUE(refusal);
    EXPECT_TRUE(refusal->contains("a.tessra\nline 20: ")) << refusal->toStdString();
    EXPECT_EQ(form->optionPanel().selected(Group::Codepage), 5);
    EXPECT_TRUE(menu->openFile(path("missing.tessra")));
}

}  // namespace
}  // namespace tessra::testing
