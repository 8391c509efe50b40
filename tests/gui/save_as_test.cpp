// File > Save As in the window: a ROM the user may not write opens, says so in
// the title, and its Save offers Save As, which writes the whole ROM with the
// unsaved edits into a new file the window then goes on with.
#include <gtest/gtest.h>

#include <QAction>

#include "demo/demo_rom.h"
#include "document/memory_settings_store.h"
#include "support/ordinary_user.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"
#include "test_window.h"

namespace morvik::gui {
namespace {

namespace fs = std::filesystem;

// The window with Save As answered by the test.
class SaveAsWindow : public test::TestWindow {
  public:
    using test::TestWindow::TestWindow;
    bool offerSaveAs(const std::string& text) override {
        offers.push_back(text);
        return saveAs.has_value();
    }
    std::optional<fs::path> askSaveRomPath() override { return saveAs; }

    std::vector<std::string> offers;
    std::optional<fs::path> saveAs;  // taken when offered
};

TEST(SaveAs, AReadOnlyRomOpensAndIsSavedUnderAnotherName) {
    test::TempDir dir;
    const fs::path rom = dir.file("demo.smc");
    const fs::path mine = dir.file("mine");
    ASSERT_TRUE(writeDemoRom(rom));
    fs::create_directory(mine);
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    fs::permissions(mine, fs::perms::all);
    fs::permissions(rom, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const test::Bytes original = test::readFileBytes(rom);
    const test::OrdinaryUser user;
    if (!user.ok()) GTEST_SKIP() << test::OrdinaryUser::kCannotSwitch;

    Settings settings;
    MemorySettingsStore store;
    SaveAsWindow window(settings, store, kPortraitsTab);
    window.romPath = rom;
    window.show();
    window.runCommand(kCommandOpen);
    ASSERT_TRUE(window.document().isLoaded());
    EXPECT_TRUE(window.windowTitle().contains("read-only")) << window.windowTitle().toStdString();
    EXPECT_TRUE(window.action(kCommandSaveAs)->isEnabled());

    window.runCommand(kCommandFlipVertical);
    window.runCommand(kCommandSave);
    EXPECT_EQ(window.offers, (std::vector<std::string>{kReadOnlyMessage}));
    EXPECT_TRUE(window.document().dirty());

    const fs::path copy = mine / "copy.smc";
    window.saveAs = copy;
    window.action(kCommandSaveAs)->trigger();
    EXPECT_FALSE(window.document().dirty());
    EXPECT_EQ(window.messages.back(), kSavedMessage);
    EXPECT_TRUE(test::readFileBytes(rom) == original);
    DataSets saved;
    ASSERT_EQ(loadDataSets(saved, copy), RomLoadResult::Loaded);
    EXPECT_TRUE(saved.portraits == window.dataSets().portraits);
    EXPECT_TRUE(window.windowTitle().contains("copy.smc"));
    EXPECT_FALSE(window.windowTitle().contains("read-only"));
    EXPECT_EQ(window.document().romPath(), copy);
}

}  // namespace
}  // namespace morvik::gui
