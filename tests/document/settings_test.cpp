#include "document/settings.h"

#include <gtest/gtest.h>

#include "document/memory_settings_store.h"
#include "editing/background_chooser_model.h"
#include "editing/grid_dialog_model.h"
#include "transfer/image_transfer.h"

namespace morvik {
namespace {

TEST(Settings, DefaultsOnAnEmptyStore) {
    MemorySettingsStore store;
    Settings settings;
    settings.recentFiles = {"stale"};
    int tab = 3;
    loadSettings(settings, tab, store);
    EXPECT_EQ(settings, Settings{});
    EXPECT_EQ(settings.grid, GridMode::Pixel);
    EXPECT_EQ(settings.gridMinMag, 5);
    EXPECT_EQ(settings.background, 0);
    EXPECT_EQ(settings.tab1Mag, 4);
    EXPECT_EQ(settings.tab3Mag, 6);
    EXPECT_EQ(settings.tab4Mag, 10);
    EXPECT_EQ(settings.xPos, 50);
    EXPECT_EQ(settings.yPos, 50);
    EXPECT_EQ(tab, 0);
    EXPECT_EQ(settings.recentCount(), 0);
    EXPECT_TRUE(recentMenuItems(settings).empty());
}

TEST(Settings, ValuesAreReadByTheirLowByteAndBounded) {
    MemorySettingsStore store;
    auto set = [&](const char* name, std::uint32_t value) {
        store.values[{"Settings", name}] = value;
    };
    set("grid", 0x102);       // low byte 2: tile grid
    set("gridMinMag", 1);     // below the up-down range
    set("background", 60);    // past the sixty pictures
    set("xPos", 0xFFFFFF9C);  // -100: whole value, signed
    set("yPos", 700);
    set("tab", 7);
    set("tab1Mag", 0);
    set("tab3Mag", 21);
    set("tab4Mag", 0x0111);  // low byte 17
    Settings settings;
    int tab = 2;
    loadSettings(settings, tab, store);
    EXPECT_EQ(settings.grid, GridMode::Tile);
    EXPECT_EQ(settings.gridMinMag, 2);
    EXPECT_EQ(settings.background, 0);
    EXPECT_EQ(settings.xPos, -100);
    EXPECT_EQ(settings.yPos, 700);
    EXPECT_EQ(tab, 0);
    EXPECT_EQ(settings.tab1Mag, 2);
    EXPECT_EQ(settings.tab3Mag, 20);
    EXPECT_EQ(settings.tab4Mag, 17);
    set("grid", 3);  // no such mode
    set("background", 59);
    set("tab", 3);
    loadSettings(settings, tab, store);
    EXPECT_EQ(settings.grid, GridMode::Pixel);
    EXPECT_EQ(settings.background, 59);
    EXPECT_EQ(tab, 3);
}

TEST(Settings, WrittenBackWithTheirNamesInOrder) {
    MemorySettingsStore store;
    Settings settings;
    settings.setGrid(GridMode::Tile, 8);
    settings.background = 37;
    settings.tab3Mag = 12;
    settings.keepBackup = false;
    settings.fixChecksum = true;
    settings.keepRows = false;
    settings.width = 900;
    settings.maximized = true;
    settings.addRecentFile("/roms/a.smc");
    settings.addRecentFile("/roms/b.smc");
    settings.frameLists = {"Walk: 0, 1, 0, 2"};
    settings.animationFps = 12;
    saveSettings(settings, 2, 120, -5, store);
    EXPECT_EQ(store.writes,
              (std::vector<std::string>{
                  "Settings/grid",           "Settings/gridMinMag",    "Settings/background",
                  "Settings/xPos",           "Settings/yPos",          "Settings/tab",
                  "Settings/tab1Mag",        "Settings/tab3Mag",       "Settings/tab4Mag",
                  "Settings/keepBackup",     "Settings/fixChecksum",   "Settings/keepRows",
                  "Settings/width",          "Settings/height",        "Settings/maximized",
                  "Recent File List/file1",  "Recent File List/file2", "Settings/animationFps",
                  "Settings/animationScale", "Settings/frameLists",    "Frame Lists/list1"}));
    EXPECT_EQ((store.values[{"Settings", "grid"}]), 2u);
    EXPECT_EQ((store.values[{"Settings", "gridMinMag"}]), 8u);
    EXPECT_EQ((store.values[{"Settings", "yPos"}]), 0xFFFFFFFBu);
    EXPECT_EQ((store.values[{"Settings", "tab"}]), 2u);
    EXPECT_EQ((store.strings[{"Recent File List", "file1"}]), "/roms/b.smc");

    Settings again;
    int tab = 0;
    loadSettings(again, tab, store);
    settings.xPos = 120;
    settings.yPos = -5;
    EXPECT_EQ(again, settings);
    EXPECT_EQ(tab, 2);
}

TEST(Settings, RecentFileList) {
    Settings settings;
    for (const char* path : {"p1", "p2", "p3", "p4", "p5"})
        settings.addRecentFile(path);
    EXPECT_EQ(settings.recentFiles, (std::vector<std::string>{"p5", "p4", "p3", "p2"}));
    settings.addRecentFile("p3");
    EXPECT_EQ(settings.recentFiles, (std::vector<std::string>{"p3", "p5", "p4", "p2"}));
    settings.addRecentFile("p3");
    EXPECT_EQ(settings.recentCount(), 4);
    EXPECT_EQ(settings.recentFile(0), "p3");
    EXPECT_EQ(settings.recentFile(4), "");
    settings.addRecentFile("P3");  // paths compare exactly
    EXPECT_EQ(settings.recentFiles, (std::vector<std::string>{"P3", "p3", "p5", "p4"}));

    // A path of any length is kept whole.
    const std::string longPath = "/" + std::string(900, 'x') + ".smc";
    settings.addRecentFile(longPath);
    EXPECT_EQ(settings.recentFile(0), longPath);
    const auto items = recentMenuItems(settings);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0], (RecentMenuItem{23457, "&1 " + longPath}));
    EXPECT_EQ(items[3], (RecentMenuItem{23460, "&4 p5"}));
}

TEST(Settings, RecentFilesSkipMissingValues) {
    MemorySettingsStore store;
    store.strings[{"Recent File List", "file2"}] = "/short.smc";
    store.strings[{"Recent File List", "file3"}] = "/a/much/longer/path/" + std::string(300, 'r');
    Settings settings;
    int tab = 0;
    loadSettings(settings, tab, store);
    ASSERT_EQ(settings.recentCount(), 2);
    EXPECT_EQ(settings.recentFile(0), "/short.smc");
    EXPECT_EQ(settings.recentFile(1).size(), 320u);
    MemorySettingsStore written;
    saveSettings(settings, tab, 0, 0, written);
    EXPECT_EQ(written.strings.size(), 2u);
    EXPECT_EQ((written.strings[{"Recent File List", "file1"}]), "/short.smc");
}

TEST(Settings, GridRule) {
    Settings settings;
    EXPECT_EQ(settings.gridModeFor(5), GridMode::Pixel);
    EXPECT_EQ(settings.gridModeFor(4), GridMode::None);
    settings.setGrid(GridMode::Tile, 0);
    EXPECT_EQ(settings.gridMinMag, 5);  // a minimum of 0 keeps the old one
    EXPECT_EQ(settings.gridModeFor(20), GridMode::Tile);
}

TEST(GridDialog, OkStoresTheChoiceAndCancelDropsIt) {
    Settings settings;
    GridDialogModel cancelled(settings);
    EXPECT_EQ(cancelled.checkedButton(), 1102);
    EXPECT_EQ(cancelled.minimumText(), "5");
    cancelled.chooseMode(GridMode::None);
    cancelled.setMinimum(9);
    EXPECT_EQ(settings, Settings{});  // nothing changes until OK

    GridDialogModel dialog(settings);
    dialog.chooseMode(GridMode::Tile);
    dialog.setMinimum(8);
    EXPECT_EQ(dialog.checkedButton(), 1103);
    EXPECT_EQ(dialog.minimumText(), "8");
    dialog.accept(settings);
    EXPECT_EQ(settings.grid, GridMode::Tile);
    EXPECT_EQ(settings.gridMinMag, 8);

    dialog.setMinimum(1);
    EXPECT_EQ(dialog.minimum(), 2);
    dialog.setMinimum(25);
    EXPECT_EQ(dialog.minimum(), 20);
}

}  // namespace
}  // namespace morvik

namespace morvik {
namespace {

TEST(BackgroundChooser, OpensAtTheSelectionsRow) {
    const BackgroundChooserModel at37(37);
    EXPECT_EQ(at37.firstShown(), 36);
    EXPECT_EQ(at37.position(), 9);
    EXPECT_TRUE(at37.isSelected(1));
    EXPECT_FALSE(at37.isSelected(0));

    const BackgroundChooserModel at58(58);
    EXPECT_EQ(at58.firstShown(), 52);
    EXPECT_EQ(at58.position(), 13);
    EXPECT_TRUE(at58.isSelected(6));
    EXPECT_EQ(BackgroundChooserModel(99).selection(), 0);
}

TEST(BackgroundChooser, ScrollingAndChoosing) {
    BackgroundChooserModel model(48);
    model.scrollTo(12);
    model.scrollPages(1);
    EXPECT_EQ(model.position(), 13);
    model.scrollTo(0);
    model.scrollLines(-1);
    EXPECT_EQ(model.position(), 0);
    model.scrollLines(3);
    EXPECT_EQ(model.firstShown(), 12);
    model.click(5);
    EXPECT_EQ(model.selection(), 17);
    model.click(8);  // no such frame
    EXPECT_EQ(model.selection(), 17);
    model.cancel();
    EXPECT_EQ(model.selection(), 48);
    EXPECT_EQ(model.remembered(), 48);
}

}  // namespace
}  // namespace morvik

namespace morvik {
namespace {

TEST(ExportPaths, TypeChangesReplaceTheExtension) {
    EXPECT_EQ(replaceExtension("Terra.png", ImageFileType::Bmp), "Terra.bmp");
    EXPECT_EQ(replaceExtension("a.b.cdef", ImageFileType::Bmp), "a.b.cdef.bmp");
    EXPECT_EQ(replaceExtension("x.p", ImageFileType::Bmp), "x.bmp");
    EXPECT_EQ(replaceExtension(".p", ImageFileType::Pcx), ".pcx");
    EXPECT_EQ(replaceExtension("name", ImageFileType::Png), "name.png");
    EXPECT_EQ(replaceExtension("", ImageFileType::Png), ".png");
    EXPECT_EQ(fileTypeOfPath("/a/b/PIC.PCX"), ImageFileType::Pcx);
    EXPECT_EQ(fileTypeOfPath("pic.Bmp"), ImageFileType::Bmp);
    EXPECT_EQ(fileTypeOfPath("pic.png"), ImageFileType::Png);
    EXPECT_EQ(fileTypeOfPath("pic.gif"), std::nullopt);
    EXPECT_EQ(fileTypeOfPath("png"), std::nullopt);
}

}  // namespace
}  // namespace morvik
