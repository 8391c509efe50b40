#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <set>
#include <string>

#include "backgrounds/background_pictures.h"
#include "document/document_ui.h"
#include "document/edit_history.h"
#include "document/editor_page.h"
#include "document/settings.h"
#include "rom/data_sets.h"
#include "rom/load_result.h"
#include "rom/rom_form.h"
#include "transfer/folder_export.h"
#include "transfer/folder_import.h"

namespace morvik {

class RecoveryKeeper;
struct RecoveryOffer;

enum class DataSetKind { Monsters, Portraits, Characters };

// Saves one data set as File > Save does (the monster set with its clean-up and
// reload) into the ROM image; the saver's message when it failed, empty when it saved.
std::string saveDataSet(DataSets& sets, DataSetKind kind, RomFile& rom);
// The same on a file, put back in one step when the save succeeded.
std::string saveDataSet(DataSets& sets, DataSetKind kind, const std::filesystem::path& path);

// Why the file cannot be opened, in the system's words where it has them.
std::string openProblem(const std::filesystem::path& path);

// Where the first save of a run keeps the file as it was: NAME.bak beside it.
std::filesystem::path backupPath(const std::filesystem::path& rom);

// What tells that another program may have replaced a file: its size and
// time; when they differ, the bytes tell.
struct FileStamp {
    bool known = false;
    std::uintmax_t size = 0;
    std::filesystem::file_time_type modified{};
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};
FileStamp fileStamp(const std::filesystem::path& path);

// Why a save failed when the ROM's folder takes no new file: the new ROM is
// written beside the old one before it takes its place.
std::string folderRefusedMessage(const std::filesystem::path& rom);

// Loads the three data sets, in the order monsters, portraits, characters,
// stopping at the first failure. Replaceable so tests can make one fail.
// The loader reads from the file the document opened once for the whole open.
using DataSetsLoader = std::function<RomLoadResult(DataSets&, const RomFile&)>;
RomLoadResult loadDataSets(DataSets& sets, const std::filesystem::path& path);
RomLoadResult loadDataSets(DataSets& sets, const RomFile& rom);

inline constexpr const char* kSaveChangesQuestion = "Save changes to the ROM?";
inline constexpr const char* kLoadErrorMessage = "Error loading ROM";
inline constexpr const char* kSignatureQuestion =
    "This file does not appear to be a valid Final Fantasy III ROM. Do you want to load it "
    "anyway?";
inline constexpr const char* kLoadingMessage = "Loading Final Fantasy III ROM ...";
inline constexpr const char* kLoadingBackgroundsMessage = "Loading backgrounds ...";
inline constexpr const char* kSavingMessage = "Saving Final Fantasy III ROM ...";
inline constexpr const char* kSavedMessage = "ROM saved";
inline constexpr const char* kNoChangesMessage = "No changes to save";
// Recovery copies of unsaved edits: followed by the file's name and why.
inline constexpr const char* kRecoveryDamagedMessage = "A recovery file cannot be used";
inline constexpr const char* kRecoveryUnfitMessage =
    "The recovered changes do not fit the ROM as it is now";
// File > Create Patch and Apply Patch.
inline constexpr const char* kPatchSaveFirstQuestion =
    "A patch is made from the ROM as saved. Save your changes first?";
inline constexpr const char* kPatchOverOpenRomQuestion =
    "The patched ROM would replace the open ROM, and changes not saved would be given up. "
    "Write it there?";
inline constexpr const char* kOpenPatchedQuestion = "Open the patched ROM?";
// "ROM saved (6 bytes changed)".
std::string savedStatus(std::size_t bytesChanged);
// "The monster graphics must be packed afresh to make room: 12 entries move. Continue?"
std::string repackQuestion(int entriesMoved);
// Followed by what went wrong, in the system's words.
inline constexpr const char* kSaveFailedMessage = "The ROM was not saved: ";
inline constexpr const char* kBackupFailedMessage =
    "The ROM was not saved: the backup could not be written: ";
inline constexpr const char* kReadOnlyMessage =
    "The ROM is read-only. Save it under another name with File > Save As.";
inline constexpr const char* kChangedOnDiskQuestion =
    "The ROM was changed by another program since it was opened. Save anyway?";
// The name of a folder import's step in the Edit menu.
inline constexpr const char* kImportAllStep = "Import All";
inline constexpr int kLoadingProgressOffset = 100;
inline constexpr int kSavingProgressOffset = 130;

// The program's one open ROM: opening (with the unsaved-changes prompt and the
// signature check), the first-load set-up and saving through the pages.
class RomDocument {
  public:
    RomDocument(Settings& settings, DataSets& sets, BackgroundPictures& backgrounds,
                EditorPages pages, DocumentUi& ui, DataSetsLoader loader = {});

    // Keeps a recovery copy of the unsaved edits and offers back the copies a
    // run that ended without saving left (the window's; none by default).
    void setRecoveryKeeper(RecoveryKeeper* keeper) { keeper_ = keeper; }
    // Called with the file an open read, once it loaded: what else a caller
    // wants of the file is taken from it without reading it again.
    void setReadHook(std::function<void(const RomFile&)> hook) { readHook_ = std::move(hook); }
    // How saves put files on the disk (tests make steps fail).
    void setFileSteps(FileSteps& steps) { steps_ = steps; }

    // The unsaved-changes prompt: false when the user keeps the changes (Cancel,
    // or a save that failed).
    bool confirmDiscard();
    // Opens a recent file (0..3) or, without an index, the file the user picks.
    // True when a ROM was loaded.
    bool openRom(std::optional<int> recentIndex = std::nullopt);
    // Opens the given file as the Open command would after the file dialog.
    bool openRomFile(const std::filesystem::path& path);
    // Saves through the three pages; true when all of them saved. A ROM the
    // user may not write is refused, with Save As offered.
    bool saveRom();
    // File > Save As: the whole ROM with every edit into the file the user
    // names (through the same safe writing), which the document then goes on
    // with.
    bool saveRomAs();
    bool saveRomAs(const std::filesystem::path& target);
    // File > Create Patch...: the patch from the original ROM the user names
    // to this ROM as saved (unsaved changes are saved first, when the user
    // agrees). True when a patch was written.
    bool createPatch();
    // File > Apply Patch...: a patch the user names applied to this ROM as
    // saved and written where the user says (over the open ROM only when the
    // user agrees); the result may be opened. True when a ROM was written.
    bool applyPatch();

    const std::filesystem::path& romPath() const { return romPath_; }
    bool isLoaded() const { return !romPath_.empty(); }
    // The ROM was opened for reading only: the user may not write the file.
    bool readOnly() const { return readOnly_; }
    bool dirty() const { return dirty_; }
    // The data changed: the ROM has unsaved changes.
    void markDirty();
    // Writes the recovery copy when one is due (the window asks often).
    void keepRecovery();
    // The program ends cleanly: nothing is left to recover.
    void closing();
    // At a start without a ROM: opens the last ROM when a run that ended
    // without saving left edits of it, so that they are offered back.
    bool openLastRomToRecover();

    // The edits since the ROM was opened, which the pages record.
    EditHistory& history() { return history_; }
    // Undo and Redo: put the data back and show the step's page and item;
    // false when there was nothing to undo or redo.
    bool undo();
    bool redo();
    // File > Export All: every picture of the ROM as the pages have it, written
    // into `dir` as the command line's export writes them.
    FolderExport exportAll(const std::filesystem::path& dir, ImageFileType type);
    // File > Import All, before the user agrees: what importing `dir` would do
    // to the data as the pages have it.
    FolderImportPlan planImportAll(const std::filesystem::path& dir, PaletteMode mode);
    // Applies a folder import the user agreed to as one step of the history,
    // and every page shows the new data; false (nothing changed) when the plan
    // refused a file.
    bool importFolder(FolderImportPlan&& plan);
    // The kind of ROM that is open (header, monster layout).
    const RomForm& romForm() const { return form_; }
    int currentTab() const { return currentTab_; }
    void setCurrentTab(int tab) { currentTab_ = tab; }

  private:
    bool checkForm(const RomFormCheck& check, RomForm& form, const std::filesystem::path& path);
    // "Error loading ROM" with the file's name and the reason below it.
    void showLoadError(const std::filesystem::path& path, const std::string& reason);
    bool confirmUnchangedOnDisk();
    // Nothing when the file was written; else why not: empty when a page
    // refused (and said so), else the message that offers Save As.
    std::optional<std::string> writeRom();
    std::optional<std::string> writeRomAs(const std::filesystem::path& target);
    std::string failureMessage(const ReplaceResult& result, const char* what,
                               const std::filesystem::path& target) const;
    // Every page writes its data set into the image; false when one refused.
    bool fillImage(RomFile& rom);
    // After a save: the saved state is the clean one; `written` tells whether
    // the file changed at all.
    void finishSave(bool written);
    void showRomForm();
    bool checkSignature(const RomFile& rom);
    bool load(const std::filesystem::path& path);
    // The edits a dead run left for the ROM that the user takes back, when
    // there are any; the copies not taken are kept aside.
    std::optional<RecoveryOffer> askRecovery(const std::filesystem::path& path,
                                             std::uint64_t fileSize);
    void firstLoad(const std::filesystem::path& path, const RomFile& rom);
    bool showStep(std::optional<StepPlace> place);
    // After a step that changed every data set.
    void showEveryPage();
    void settleEdits();

    Settings& settings_;
    DataSets& sets_;
    EditHistory history_{sets_};
    BackgroundPictures& backgrounds_;
    EditorPages pages_;
    DocumentUi& ui_;
    DataSetsLoader loader_;
    std::function<void(const RomFile&)> readHook_;
    std::filesystem::path romPath_;
    RomForm form_;
    FileStamp onDisk_;
    // The bytes the file held when last read or written.
    std::uint64_t onDiskDigest_ = 0;
    // Bytes the last save changed in the file.
    std::size_t lastSaveChanges_ = 0;
    // The ROMs already backed up in this run.
    std::set<std::filesystem::path> backedUp_;
    std::reference_wrapper<FileSteps> steps_ = systemFileSteps();
    bool dirty_ = false;
    RecoveryKeeper* keeper_ = nullptr;
    bool readOnly_ = false;
    int currentTab_ = 0;
};

}  // namespace morvik
