#pragma once

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "document/settings.h"

namespace morvik {

enum class Answer { Yes, No, Cancel };

// A file dialog: its title, its filters ("BPS patch (*.bps);;IPS patch
// (*.ips)") and the file it starts with.
struct FileQuestion {
    std::string title;
    std::string filters;
    std::filesystem::path suggested;
};

// How the document flows talk to the user and to the main window. The GUI
// answers with message boxes and dialogs, the command line and tests otherwise.
class DocumentUi {
  public:
    virtual ~DocumentUi() = default;
    virtual Answer askYesNoCancel(const std::string& text) = 0;
    virtual bool askYesNo(const std::string& text) = 0;
    virtual void showError(const std::string& text) = 0;
    // An error and what caused it ("Error loading ROM" and "demo.smc: No such
    // file or directory"): the detail goes below the text.
    virtual void showErrorDetail(const std::string& text, const std::string& detail) {
        showError(text + "\n" + detail);
    }
    virtual void showInfo(const std::string& text) = 0;
    virtual void showWarning(const std::string& text) = 0;
    // A confirmation: true only for OK.
    virtual bool askOkCancel(const std::string& text) = 0;
    // The ROM file to open; nothing when the user cancels.
    virtual std::optional<std::filesystem::path> askRomPath() = 0;
    // Says why the ROM was not saved and offers File > Save As: true when the
    // user takes it.
    virtual bool offerSaveAs(const std::string& text) {
        showError(text);
        return false;
    }
    // The new file File > Save As writes; nothing when the user cancels.
    virtual std::optional<std::filesystem::path> askSaveRomPath() { return std::nullopt; }
    // A file to read, or one to write; nothing when the user cancels.
    virtual std::optional<std::filesystem::path> askOpenFile(const FileQuestion&) {
        return std::nullopt;
    }
    virtual std::optional<std::filesystem::path> askSaveFile(const FileQuestion&) {
        return std::nullopt;
    }
    // A small window with the text, dy pixels below the main window's top.
    virtual void showProgress(const std::string& text, int dy) = 0;
    virtual void closeProgress() = 0;
    // Save, Change Background and the Image menu become available.
    virtual void enableRomCommands() = 0;
    virtual void showTabs() = 0;
    // Switches to the tab's page and selects the tab.
    virtual void selectTab(int tab) = 0;
    virtual void rebuildRecentMenu(const std::vector<RecentMenuItem>& items) = 0;
    // Names the open ROM and its kind, "demo.smc (expanded layout, 512-byte
    // header)": the editor shows it in its title.
    virtual void showRomForm(const std::string& /*description*/) {}
    // A short note that needs no answer: the editor's status bar.
    virtual void showStatus(const std::string& /*text*/) {}
    // A save reached the disk and changed that many bytes of the file: "ROM
    // saved", and "ROM saved (6 bytes changed)" in the status bar.
    virtual void showSaved(std::size_t bytesChanged);
    // The monster graphics must be packed afresh for the save, which moves that
    // many entries: true when the user lets it happen.
    virtual bool allowRepack(int entriesMoved);
};

}  // namespace morvik
