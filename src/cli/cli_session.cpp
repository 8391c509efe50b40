#include "cli/cli_session.h"

#include <ostream>

#include "rom/file_path.h"
#include "transfer/rom_patch.h"

namespace morvik::cli {

bool CliUi::askYesNo(const std::string& text) {
    // Saving over another program's changes takes --force.
    if (text == kChangedOnDiskQuestion) {
        if (!saving_.force) {
            err_ << "error: " << text << " (not saved: use --force to save anyway)\n";
        }
        return saving_.force;
    }
    // The signature question: the command line loads anyway, and says so.
    err_ << "warning: " << text << " (loading it)\n";
    return true;
}

bool CliUi::offerSaveAs(const std::string& text) {
    // The editor's advice names its own menu.
    if (text == kReadOnlyMessage) {
        err_ << "error: " << kSaveFailedMessage << pathToUtf8(romPath_) << " is read-only\n";
    } else {
        err_ << "error: " << text << '\n';
    }
    return false;
}

void CliUi::showError(const std::string& text) {
    err_ << text << '\n';
}

void CliUi::showErrorDetail(const std::string& text, const std::string& detail) {
    err_ << text << ": " << detail << '\n';
}

void CliUi::showWarning(const std::string& text) {
    err_ << "warning: " << text << '\n';
}

void CliUi::showInfo(const std::string& text) {
    out_ << text << '\n';
}

void CliUi::showStatus(const std::string& text) {
    out_ << text << '\n';
}

void CliUi::showSaved(std::size_t bytesChanged) {
    out_ << kSavedMessage << "\nbytes changed: " << bytesChanged << '\n';
}

bool CliUi::allowRepack(int entriesMoved) {
    if (saving_.noRepack) {
        err_ << "error: " << kSaveFailedMessage << "the monster graphics must be packed afresh to "
             << "make room (" << entriesMoved << " entries would move) and --no-repack was given\n";
        return false;
    }
    out_ << "monster graphics packed afresh: " << entriesMoved << " entries moved\n";
    return true;
}

bool CliPage::saveToRom(RomFile& rom) {
    const std::string message = saveDataSet(sets_, kind_, rom);
    if (message.empty()) return true;
    err_ << "error: " << kSaveFailedMessage << message << '\n';
    return false;
}

Session::Session(const std::filesystem::path& romPath, std::ostream& out, std::ostream& err,
                 const SaveOptions& saving)
    : ui_(romPath, out, err, saving),
      monsters_(CliPage::Kind::Monsters, sets, err),
      portraits_(CliPage::Kind::Portraits, sets, err),
      characters_(CliPage::Kind::Characters, sets, err),
      document_(settings_, sets, backgrounds, EditorPages{monsters_, portraits_, characters_},
                ui_) {
    settings_.keepBackup = saving.backup;
    settings_.fixChecksum = saving.fixChecksum;
}

void Session::describeOnly() {
    // Marked as made, the pictures are not decoded at the first load.
    backgrounds.backgroundsLoaded = true;
    document_.setReadHook([this](const RomFile& rom) {
        checksum_ = readRomChecksum(rom);
        crc32_ = romDataCrc32(rom);
        backgroundCount_ = countBattleBackgrounds(rom);
    });
}

bool Session::open() {
    return document_.openRom();
}

}  // namespace morvik::cli
