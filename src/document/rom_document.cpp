#include "document/rom_document.h"

#include <utility>

#include "document/recovery.h"
#include "document/recovery_keeper.h"
#include "rom/file_path.h"
#include "rom/item_writes.h"
#include "rom/monsters/monster_load.h"
#include "rom/monsters/monster_save.h"
#include "rom/rom_checksum.h"
#include "rom/rom_file.h"

namespace morvik {

RomLoadResult loadDataSets(DataSets& sets, const std::filesystem::path& path) {
    RomFile rom;
    if (const RomLoadResult opened = openForLoading(rom, path); opened != RomLoadResult::Loaded)
        return opened;
    return loadDataSets(sets, rom);
}

RomLoadResult loadDataSets(DataSets& sets, const RomFile& rom) {
    RomLoadResult result = loadMonsterGraphics(sets.monsters, rom);
    if (result == RomLoadResult::Loaded) result = loadPortraits(sets.portraits, rom);
    if (result == RomLoadResult::Loaded) result = loadCharacterSprites(sets.characters, rom);
    if (result == RomLoadResult::Loaded) result = loadBattleTables(sets.battle, rom);
    return result;
}

std::string saveDataSet(DataSets& sets, DataSetKind kind, RomFile& rom) {
    switch (kind) {
        case DataSetKind::Monsters: {
            const MonsterSaveResult result = saveMonsterSet(sets.monsters, rom);
            return result == MonsterSaveResult::Saved ? "" : monsterSaveMessage(result);
        }
        case DataSetKind::Portraits: {
            const PortraitSaveResult result = savePortraits(sets.portraits, rom);
            return result == PortraitSaveResult::Saved ? "" : portraitSaveMessage(result);
        }
        case DataSetKind::Characters:
            break;
    }
    const SpriteSaveResult result = saveCharacterSprites(sets.characters, rom);
    return result == SpriteSaveResult::Saved ? "" : spriteSaveMessage(result);
}

std::string saveDataSet(DataSets& sets, DataSetKind kind, const std::filesystem::path& path) {
    RomFile rom;
    if (!rom.open(path)) return saveDataSet(sets, kind, rom);  // the saver's own message
    std::string message = saveDataSet(sets, kind, rom);
    if (!message.empty()) return message;
    const ReplaceResult written = rom.commit();
    return written.replaced ? "" : kSaveFailedMessage + written.error;
}

std::string openProblem(const std::filesystem::path& path) {
    std::string reason = unreadableReason(path);
    return reason.empty() ? "the file cannot be opened" : reason;
}

std::string savedStatus(std::size_t bytesChanged) {
    return std::string(kSavedMessage) + " (" + std::to_string(bytesChanged) +
           (bytesChanged == 1 ? " byte changed)" : " bytes changed)");
}

std::string repackQuestion(int entriesMoved) {
    return "The monster graphics must be packed afresh to make room: " +
           std::to_string(entriesMoved) + (entriesMoved == 1 ? " entry moves" : " entries move") +
           ". Continue?";
}

void DocumentUi::showSaved(std::size_t bytesChanged) {
    showInfo(kSavedMessage);
    showStatus(savedStatus(bytesChanged));
}

bool DocumentUi::allowRepack(int entriesMoved) {
    return askOkCancel(repackQuestion(entriesMoved));
}

std::filesystem::path backupPath(const std::filesystem::path& rom) {
    std::filesystem::path backup = rom;
    backup += ".bak";
    return backup;
}

FileStamp fileStamp(const std::filesystem::path& path) {
    std::error_code error;
    FileStamp stamp;
    stamp.size = std::filesystem::file_size(path, error);
    if (error) return {};
    stamp.modified = std::filesystem::last_write_time(path, error);
    if (error) return {};
    stamp.known = true;
    return stamp;
}

RomDocument::RomDocument(Settings& settings, DataSets& sets, BackgroundPictures& backgrounds,
                         EditorPages pages, DocumentUi& ui, DataSetsLoader loader)
    : settings_(settings),
      sets_(sets),
      backgrounds_(backgrounds),
      pages_(pages),
      ui_(ui),
      // Without one of its own the document loads all three sets.
      loader_(loader ? std::move(loader) : [](DataSets& fresh, const RomFile& rom) {
          return loadDataSets(fresh, rom);
      }) {
    for (EditorPage* page : pages_.all())
        page->setHistory(history_);
}

bool RomDocument::undo() {
    return showStep(history_.undo());
}

bool RomDocument::redo() {
    return showStep(history_.redo());
}

void RomDocument::markDirty() {
    dirty_ = true;
    if (keeper_ != nullptr) keeper_->changed();
}

void RomDocument::keepRecovery() {
    // Never in the middle of a stroke.
    if (keeper_ == nullptr || history_.stepOpen() || !keeper_->due()) return;
    // The copy holds what a save would write, and so sees what it would.
    settleEdits();
    (void)keeper_->tick(sets_);
}

void RomDocument::closing() {
    if (keeper_ != nullptr) keeper_->discard();
}

bool RomDocument::openLastRomToRecover() {
    if (keeper_ == nullptr || isLoaded() || settings_.recentCount() == 0) return false;
    const std::filesystem::path last = pathFromUtf8(settings_.recentFile(0));
    std::vector<std::string> damaged;
    if (keeper_->offersFor(last, &damaged).empty() && damaged.empty()) return false;
    return load(last);
}

namespace {
constexpr const char* kRecoveryKeptNote = "The file is kept in the recovery folder.";
}  // namespace

std::optional<RecoveryOffer> RomDocument::askRecovery(const std::filesystem::path& path,
                                                      std::uint64_t fileSize) {
    if (keeper_ == nullptr) return std::nullopt;
    std::vector<std::string> damaged;
    std::vector<RecoveryOffer> offers = keeper_->offersFor(path, &damaged);
    for (const std::string& name : damaged) {
        ui_.showErrorDetail(kRecoveryDamagedMessage,
                            name + ": the file is damaged. " + kRecoveryKeptNote);
        (void)keeper_->keepDamagedAside(name);
    }
    // The newest first; the rest are never thrown away unasked.
    std::optional<RecoveryOffer> taken;
    for (RecoveryOffer& offer : offers) {
        // Bytes of a ROM of another size would land in other data.
        if (offer.record.romSize != fileSize) {
            ui_.showErrorDetail(
                kRecoveryUnfitMessage,
                offer.name + ": the ROM's size has changed since. " + kRecoveryKeptNote);
            (void)keeper_->keepAside(offer);
            continue;
        }
        if (!taken && ui_.askYesNo(recoveryQuestion(pathToUtf8(path.filename()),
                                                    localTimeText(offer.record.changedAt),
                                                    offer.romChanged))) {
            taken = std::move(offer);
            continue;
        }
        (void)keeper_->keepAside(offer);
    }
    return taken;
}

bool RomDocument::showStep(std::optional<StepPlace> place) {
    if (!place) return false;
    dirty_ = !history_.isClean();
    if (keeper_ != nullptr) keeper_->changed();
    if (place->allPages) {
        showEveryPage();
        return true;
    }
    if (place->tab != currentTab_) ui_.selectTab(place->tab);
    pages_.pageForTab(place->tab).showStep(*place);
    return true;
}

void RomDocument::showEveryPage() {
    for (EditorPage* page : pages_.all())
        page->showCurrent();
}

void RomDocument::settleEdits() {
    for (EditorPage* page : pages_.all())
        page->settleEdits();
}

FolderExport RomDocument::exportAll(const std::filesystem::path& dir, ImageFileType type) {
    settleEdits();
    return exportRomFolder(sets_, romPath_, dir, type);
}

FolderImportPlan RomDocument::planImportAll(const std::filesystem::path& dir, PaletteMode mode) {
    settleEdits();
    return planFolderImport(sets_, dir, mode);
}

bool RomDocument::importFolder(FolderImportPlan&& plan) {
    if (!plan.refusals.empty()) return false;
    if (plan.changes.empty()) return true;
    history_.begin(kImportAllStep, {.tab = currentTab_, .allPages = true});
    const bool applied = applyFolderImport(sets_, std::move(plan));
    history_.commit();
    markDirty();
    showEveryPage();
    return applied;
}

bool RomDocument::confirmDiscard() {
    if (!dirty_) return true;
    switch (ui_.askYesNoCancel(kSaveChangesQuestion)) {
        case Answer::Yes:
            return saveRom();
        case Answer::No:
            // The changes are abandoned, and so is their recovery copy.
            closing();
            return true;
        case Answer::Cancel:
            break;
    }
    return false;
}

// A wrong signature byte is the user's call. Nothing has been loaded yet.
bool RomDocument::checkSignature(const RomFile& rom) {
    std::uint8_t signature = 0;
    if (rom.readByte(kSignatureRomOffset, signature) && signature == kSignatureByte) return true;
    if (ui_.askYesNo(kSignatureQuestion)) return true;
    ui_.closeProgress();
    return false;
}

bool RomDocument::openRom(std::optional<int> recentIndex) {
    if (!confirmDiscard()) return false;
    std::filesystem::path path;
    if (recentIndex) {
        if (*recentIndex < 0 || *recentIndex >= settings_.recentCount()) return false;
        path = pathFromUtf8(settings_.recentFile(*recentIndex));
    } else {
        auto chosen = ui_.askRomPath();
        if (!chosen) return false;
        path = std::move(*chosen);
    }
    return load(path);
}

bool RomDocument::openRomFile(const std::filesystem::path& path) {
    return confirmDiscard() && load(path);
}

// The file's size and game code must say what kind of ROM it is before
// anything is read from it.
bool RomDocument::checkForm(const RomFormCheck& check, RomForm& form,
                            const std::filesystem::path& path) {
    if (check.status == RomFormStatus::Recognised) {
        form = check.form;
        return true;
    }
    if (check.status == RomFormStatus::UnknownLocation ||
        check.status == RomFormStatus::DamagedCode) {
        ui_.closeProgress();
        ui_.showError(check.message);
        return false;
    }
    showLoadError(path,
                  check.status == RomFormStatus::CannotOpen ? openProblem(path) : check.message);
    return false;
}

void RomDocument::showLoadError(const std::filesystem::path& path, const std::string& reason) {
    ui_.closeProgress();
    ui_.showErrorDetail(kLoadErrorMessage, pathToUtf8(path) + ": " + reason);
}

bool RomDocument::load(const std::filesystem::path& path) {
    ui_.showProgress(kLoadingMessage, kLoadingProgressOffset);
    // The file is read once, for everything the open needs. One the user may
    // not write opens all the same: Save refuses it and Save As is offered.
    RomFile rom;
    bool opened = rom.open(path);
    const bool readOnly = !opened && rom.problem() == RomFile::Problem::CannotOpen &&
                          rom.open(path, RomFile::Access::ReadOnly);
    opened = opened || readOnly;
    RomForm form;
    if (!checkForm(opened ? readRomForm(rom) : readRomForm(path), form, path)) return false;
    if (!opened) {
        showLoadError(path, openProblem(path));
        return false;
    }
    if (!checkSignature(rom)) return false;
    // Read whole here, the file tells a later save whether its bytes changed;
    // the loaders then read from memory.
    const std::uint64_t digest = contentDigest(rom.bytes());
    // Edits a run that ended without saving left come over the file's image.
    std::optional<RecoveryOffer> recovery = askRecovery(path, rom.fileSize());
    RomFile recovered;
    // With a ROM open, all three sets load into fresh ones first: a failure
    // leaves the open document exactly as it was. Before the first ROM the
    // sets show nothing, and they take the data themselves.
    std::optional<DataSets> fresh;
    const auto loadFrom = [&](const RomFile& file) {
        fresh.reset();
        if (isLoaded() || recovery) {
            fresh.emplace();
            fresh->monsters.keepBattleRows = sets_.monsters.keepBattleRows;
        }
        return loader_(fresh ? *fresh : sets_, file);
    };
    RomLoadResult loaded = RomLoadResult::TooShort;
    if (recovery && openWithRuns(recovered, path, rom.bytes(), recovery->record.runs))
        loaded = loadFrom(recovered);
    if (recovery && loaded != RomLoadResult::Loaded) {
        ui_.showErrorDetail(kRecoveryUnfitMessage, recovery->name + ": " + romLoadMessage(loaded) +
                                                       ". " + kRecoveryKeptNote);
        (void)keeper_->keepAside(*recovery);
        recovery.reset();
    }
    if (!recovery) loaded = loadFrom(rom);
    if (loaded != RomLoadResult::Loaded) {
        showLoadError(path, romLoadMessage(loaded));
        return false;
    }
    if (fresh) sets_ = std::move(*fresh);
    // Recovered edits are unsaved changes, and undo starts from them.
    history_.clear(!recovery);
    if (recovery) dirty_ = true;
    if (keeper_ != nullptr) {
        keeper_->romOpened(path, rom.bytes());
        if (recovery) keeper_->taken(*recovery, sets_);
    }
    if (readHook_) readHook_(rom);
    form_ = form;
    onDisk_ = fileStamp(path);
    onDiskDigest_ = digest;
    ui_.closeProgress();
    if (form.layoutAssumed) ui_.showWarning(assumedLayoutWarning());

    if (romPath_.empty()) firstLoad(path, rom);
    romPath_ = path;
    readOnly_ = readOnly;
    showRomForm();
    pages_.pageForTab(currentTab_).refresh();
    settings_.addRecentFile(pathToUtf8(path));
    ui_.rebuildRecentMenu(recentMenuItems(settings_));
    return true;
}

void RomDocument::firstLoad(const std::filesystem::path& path, const RomFile& rom) {
    romPath_ = path;
    // Decoding the battle backgrounds takes a moment, once per run.
    const bool decodes = !backgrounds_.backgroundsLoaded;
    if (decodes) ui_.showProgress(kLoadingBackgroundsMessage, kLoadingProgressOffset);
    applyBackground(backgrounds_, settings_.background, rom);
    if (decodes) ui_.closeProgress();
    ui_.showTabs();
    pages_.monsters.initAfterLoad();
    pages_.portraits.initAfterLoad();
    pages_.characters.initAfterLoad();
    if (currentTab_ < 0 || currentTab_ >= kTabCount) currentTab_ = 0;
    ui_.selectTab(currentTab_);
    ui_.enableRomCommands();
}

void RomDocument::showRomForm() {
    ui_.showRomForm(pathToUtf8(romPath_.filename()) + " (" + describeRomForm(form_) +
                    (readOnly_ ? ", read-only" : "") + ")");
}

bool RomDocument::saveRom() {
    if (readOnly_) return ui_.offerSaveAs(kReadOnlyMessage) && saveRomAs();
    if (!confirmUnchangedOnDisk()) return false;
    ui_.showProgress(kSavingMessage, kSavingProgressOffset);
    const std::optional<std::string> failure = writeRom();
    ui_.closeProgress();
    if (failure) return !failure->empty() && ui_.offerSaveAs(*failure) && saveRomAs();
    finishSave(lastSaveChanges_ != 0);
    return true;
}

bool RomDocument::saveRomAs() {
    const std::optional<std::filesystem::path> target = ui_.askSaveRomPath();
    return target && saveRomAs(*target);
}

bool RomDocument::saveRomAs(const std::filesystem::path& target) {
    // Naming the read-only file itself would replace what the user may not write.
    std::error_code unknown;
    if (readOnly_ && std::filesystem::equivalent(target, romPath_, unknown)) {
        ui_.showError(kReadOnlyMessage);
        return false;
    }
    ui_.showProgress(kSavingMessage, kSavingProgressOffset);
    const std::optional<std::string> failure = writeRomAs(target);
    ui_.closeProgress();
    if (failure) return !failure->empty() && ui_.offerSaveAs(*failure) && saveRomAs();
    closing();
    romPath_ = target;
    RomFile written;
    readOnly_ = !written.open(target);
    // The new file starts here: there is nothing older of it to keep.
    backedUp_.insert(target);
    settings_.addRecentFile(pathToUtf8(target));
    ui_.rebuildRecentMenu(recentMenuItems(settings_));
    showRomForm();
    finishSave(true);
    return true;
}

void RomDocument::finishSave(bool written) {
    history_.markClean();
    // The copy is made against the file as saved, whose edits are on the disk.
    if (keeper_ != nullptr) {
        RomFile saved;
        if (saved.open(romPath_, RomFile::Access::ReadOnly))
            keeper_->romOpened(romPath_, saved.bytes());
        else
            keeper_->discard();
    }
    if (written) {
        ui_.showSaved(lastSaveChanges_);
    } else {
        ui_.showStatus(kNoChangesMessage);
    }
    dirty_ = false;
}

bool RomDocument::fillImage(RomFile& rom) {
    // Packing the monster graphics afresh moves every entry (and is a conflict
    // with every patch that touches them): never without the user's word.
    for (EditorPage* page : pages_.all())
        page->settleEdits();
    const MonsterSavePlan plan = planMonsterSave(sets_.monsters, rom);
    if (plan.repack && !ui_.allowRepack(plan.entriesMoved)) return false;
    for (EditorPage* page : pages_.all()) {
        if (!page->saveToRom(rom)) return false;
    }
    if (settings_.fixChecksum) (void)fixRomChecksum(rom);
    return true;
}

std::string folderRefusedMessage(const std::filesystem::path& rom) {
    std::error_code unknown;
    const std::filesystem::path whole = std::filesystem::absolute(rom, unknown);
    return kSaveFailedMessage + std::string("the folder ") +
           pathToUtf8((unknown ? rom : whole).parent_path()) +
           " does not allow new files (Morvik writes the new ROM beside the old one first)";
}

// A folder that takes no new file is the one failure the user can mend by
// choosing another place, and the system's words would not say so.
std::string RomDocument::failureMessage(const ReplaceResult& result, const char* what,
                                        const std::filesystem::path& target) const {
    return result.folderRefused ? folderRefusedMessage(target) : what + result.error;
}

// The ROM as it is on the disk, with every page's data written over it, goes
// whole into the new file; the ROM itself is only read.
std::optional<std::string> RomDocument::writeRomAs(const std::filesystem::path& target) {
    RomFile rom;
    if (!rom.open(romPath_, RomFile::Access::Copy))
        return kSaveFailedMessage + pathToUtf8(romPath_) + " cannot be read";
    if (!fillImage(rom)) return std::string();
    lastSaveChanges_ = changedByteCount(rom);
    const ReplaceResult written = rom.commitTo(target, steps_);
    if (!written.replaced) return failureMessage(written, kSaveFailedMessage, target);
    onDisk_ = fileStamp(target);
    onDiskDigest_ = contentDigest(rom.bytes());
    return std::nullopt;
}

// Every page writes into one image of the file; only when all of them did is
// it put on the disk, in one step, after the backup.
std::optional<std::string> RomDocument::writeRom() {
    RomFile rom;
    if (!rom.open(romPath_))
        return kSaveFailedMessage + std::string("the file cannot be opened for writing");
    if (!fillImage(rom)) return std::string();
    // Nothing differs: the file, its time and its backup stay as they are.
    lastSaveChanges_ = changedByteCount(rom);
    if (lastSaveChanges_ == 0) return std::nullopt;
    if (settings_.keepBackup && !backedUp_.contains(romPath_)) {
        const ReplaceResult backup = replaceFile(backupPath(romPath_), rom.originalBytes(), steps_);
        if (!backup.replaced) return failureMessage(backup, kBackupFailedMessage, romPath_);
        backedUp_.insert(romPath_);
    }
    const ReplaceResult written = rom.commit(steps_);
    if (!written.replaced) return failureMessage(written, kSaveFailedMessage, romPath_);
    onDisk_ = fileStamp(romPath_);
    onDiskDigest_ = contentDigest(rom.bytes());
    return std::nullopt;
}

// Another program may have replaced the file since it was read: saving would
// throw its work away.
bool RomDocument::confirmUnchangedOnDisk() {
    const FileStamp now = fileStamp(romPath_);
    if (now == onDisk_) return true;
    // A new time alone (a copy, a checkout, a touch) changes nothing the user
    // would lose.
    RomFile file;
    if (now.known && now.size == onDisk_.size && file.open(romPath_, RomFile::Access::ReadOnly) &&
        contentDigest(file.bytes()) == onDiskDigest_) {
        onDisk_ = now;
        return true;
    }
    return ui_.askYesNo(kChangedOnDiskQuestion);
}

}  // namespace morvik
