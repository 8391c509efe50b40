#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>

#include "backgrounds/background_pictures.h"
#include "document/document_ui.h"
#include "document/editor_page.h"
#include "document/rom_document.h"
#include "document/settings.h"
#include "rom/rom_checksum.h"

namespace morvik::cli {

// How a command saves: the flags of the command line.
struct SaveOptions {
    bool backup = false;       // keep NAME.bak
    bool fixChecksum = false;  // put the right checksum into the game's header
    bool force = false;        // save over a file another program changed
    bool noRepack = false;     // refuse a save that must pack the monster graphics afresh
};

// The document flows answered without a window: the ROM comes from the command
// line, questions take their safe answer, messages go to the streams.
class CliUi : public DocumentUi {
  public:
    CliUi(std::filesystem::path romPath, std::ostream& out, std::ostream& err,
          const SaveOptions& saving)
        : romPath_(std::move(romPath)), out_(out), err_(err), saving_(saving) {}

    Answer askYesNoCancel(const std::string&) override { return Answer::Cancel; }
    bool askYesNo(const std::string& text) override;
    void showError(const std::string& text) override;
    // On one line: "Error loading ROM: demo.smc: No such file or directory".
    void showErrorDetail(const std::string& text, const std::string& detail) override;
    void showInfo(const std::string& text) override;
    void showWarning(const std::string& text) override;
    // Nothing is confirmed without a person to ask.
    bool askOkCancel(const std::string&) override { return false; }
    std::optional<std::filesystem::path> askRomPath() override { return romPath_; }
    // One line that says why; there is no Save As here.
    bool offerSaveAs(const std::string& text) override;
    void showProgress(const std::string&, int) override {}
    void closeProgress() override {}
    void enableRomCommands() override {}
    void showTabs() override {}
    void selectTab(int) override {}
    void rebuildRecentMenu(const std::vector<RecentMenuItem>&) override {}
    void showStatus(const std::string& text) override;
    // "ROM saved", then "bytes changed: 6".
    void showSaved(std::size_t bytesChanged) override;
    // Allowed unless --no-repack, and said in a line either way.
    bool allowRepack(int entriesMoved) override;

  private:
    std::filesystem::path romPath_;
    std::ostream& out_;
    std::ostream& err_;
    SaveOptions saving_;
};

// A page without a window: it only saves its data set, as the editor's page
// does, and says why when the saver refuses.
class CliPage : public MonsterEditorPage {
  public:
    using Kind = DataSetKind;
    CliPage(Kind kind, DataSets& sets, std::ostream& err) : kind_(kind), sets_(sets), err_(err) {}

    void clearImage() override {}
    void exportImage() override {}
    void flipImage(FlipDirection) override {}
    void importImage() override {}
    void createPage() override {}
    void initAfterLoad() override {}
    void refresh() override {}
    bool saveToRom(RomFile& rom) override;
    void paint() override {}
    void hidePage() override {}
    void showPage() override {}
    void invalidatePage() override {}
    void modeChanged(int) override {}

  private:
    Kind kind_;
    DataSets& sets_;
    std::ostream& err_;
};

// Everything one command works on: the ROM opened as the editor opens it.
class Session {
  public:
    Session(const std::filesystem::path& romPath, std::ostream& out, std::ostream& err,
            const SaveOptions& saving = {});
    // Opens the ROM; false (the reason already written) when it cannot be loaded.
    bool open();
    const RomForm& form() const { return document_.romForm(); }
    // For a command that only describes the ROM (before open()): the open keeps
    // the checksum and counts the battle backgrounds instead of decoding them
    // into pictures, which leaves `backgrounds` empty.
    void describeOnly();
    // The checksum of the file as the open read it, when kept.
    std::optional<RomChecksum> checksum() const { return checksum_; }
    // The CRC32 of the cartridge data as the open read it, when kept: the one
    // a patch made without --header names for its ROM.
    std::optional<std::uint32_t> crc32() const { return crc32_; }
    // How many battle backgrounds the ROM has: those decoded, or those counted.
    std::size_t battleBackgroundCount() const {
        return backgroundCount_.value_or(backgrounds.battleBackgrounds.size());
    }
    // Saves as File > Save does; false (the saver's message written) on failure.
    bool save() {
        document_.markDirty();
        return document_.saveRom();
    }

    DataSets sets;
    BackgroundPictures backgrounds;

  private:
    Settings settings_;
    CliUi ui_;
    CliPage monsters_;
    CliPage portraits_;
    CliPage characters_;
    RomDocument document_;
    std::optional<RomChecksum> checksum_;
    std::optional<std::uint32_t> crc32_;
    std::optional<std::size_t> backgroundCount_;
};

}  // namespace morvik::cli
