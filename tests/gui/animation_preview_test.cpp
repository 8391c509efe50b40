// View > Animation Preview on the Characters page: the current character in
// motion on the window's clock, following the list, the speed, an edit on the
// page and another character, kept lists in the settings, and the GIF.
#include "gui/animation_preview.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "gui/pages/character_page.h"
#include "gui/pages/page_controls.h"
#include "page_fixture.h"

namespace morvik::gui {
namespace {

class AnimationPreviewTest : public test::PageFixture<CharacterPage> {
  protected:
    void SetUp() override {
        openOnTab(kCharactersTab);
        window->runCommand(kCommandAnimationPreview);
        preview = window->animationPreview();
        ASSERT_NE(preview, nullptr);
        preview->setClock([this] { return clock; });
    }
    template <class Widget>
    Widget* part(const char* name) {
        auto* widget = preview->findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    void typeFrames(const char* text) {
        QComboBox* list = part<QComboBox>("frameList");
        list->setEditText(text);
        QTest::keyClick(list->lineEdit(), Qt::Key_Return);
    }
    QImage shown() {
        preview->tick();
        return preview->picture()->picture();
    }

    AnimationPreview* preview = nullptr;
    std::int64_t clock = 0;
};

TEST_F(AnimationPreviewTest, PlaysTheListAndFollowsEditsAndTheCharacter) {
    typeFrames("Stand: 1, 2");
    EXPECT_EQ(preview->model().frames(), (std::vector<int>{1, 2}));
    part<QSpinBox>("animationSpeed")->setValue(10);  // 100 ms a frame
    EXPECT_EQ(settings.animationFps, 10);
    const QImage first = shown();
    clock += 100;
    EXPECT_EQ(preview->model().frameAt(clock), 2);
    const QImage second = shown();
    EXPECT_NE(first, second);
    // Paused on frame 2: a pixel drawn on it shows in the preview.
    QTest::mouseClick(part<QPushButton>("playPause"), Qt::LeftButton);
    EXPECT_EQ(part<QPushButton>("playPause")->text(), "Play");
    ASSERT_TRUE(page->model().currentCharacter() == preview->model().character());
    const int colour = first.pixel(0, 0) == second.pixel(0, 0) ? 5 : 6;
    clickStrip(colour);
    chooseTool("fillTool");
    QTest::mouseClick(page->view(), Qt::LeftButton, Qt::ShiftModifier, onView(0, 0));
    clock += 1000;
    EXPECT_EQ(preview->model().frameAt(clock), 2);
    EXPECT_NE(shown(), second);
    // Junk keeps the list and says why; another character is followed.
    typeFrames("1, 99");
    EXPECT_EQ(preview->model().frames(), (std::vector<int>{1, 2}));
    EXPECT_FALSE(part<QLabel>("frameListNote")->text().isEmpty());
    child<QComboBox>("characterList")->setCurrentIndex(4);
    shown();
    EXPECT_EQ(preview->model().character(), 4);
}

TEST_F(AnimationPreviewTest, KeptListsStayInTheSettingsAndTheGifIsWritten) {
    typeFrames("6, 7, 8");
    part<QLineEdit>("listName")->setText("Walk left");
    QTest::mouseClick(part<QPushButton>("keepList"), Qt::LeftButton);
    EXPECT_EQ(settings.frameLists, (std::vector<std::string>{"Walk left: 6, 7, 8"}));
    EXPECT_EQ(part<QComboBox>("frameList")->count(), 2);
    window->files = {dir.file("walk.gif")};
    QTest::mouseClick(part<QPushButton>("exportGif"), Qt::LeftButton);
    EXPECT_TRUE(std::filesystem::exists(dir.file("walk.gif")));
    window->files = {dir.file("none/walk.gif")};
    window->messages.clear();
    QTest::mouseClick(part<QPushButton>("exportGif"), Qt::LeftButton);
    EXPECT_EQ(window->messages.size(), 1u);
}

}  // namespace
}  // namespace morvik::gui
