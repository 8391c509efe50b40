#include <QAction>
#include <QDialog>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <tuple>

#include "document/version.h"
#include "gui/background_chooser.h"
#include "gui/grid_dialog.h"
#include "gui/main_window.h"
#include "gui/pages/character_page.h"
#include "gui/pages/monster_page.h"
#include "gui/pages/page_widget.h"
#include "gui/pages/transfer_page.h"
#include "gui/resources.h"

// The menus of the window and the commands they run.

namespace morvik::gui {

QAction* MainWindow::addCommand(QMenu* menu, const QString& label, int command,
                                const QKeySequence& shortcut) {
    QAction* action = menu->addAction(label);
    action->setData(command);
    action->setObjectName(QString("action%1").arg(command));
    if (!shortcut.isEmpty()) action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
    actions_[command] = action;
    return action;
}

void MainWindow::buildMenus() {
    fileMenu_ = menuBar()->addMenu("File");
    addCommand(fileMenu_, "&Open ...", kCommandOpen, QKeySequence("Ctrl+O"));
    addCommand(fileMenu_, "&Save ", kCommandSave, QKeySequence("Ctrl+S"))->setEnabled(false);
    addCommand(fileMenu_, "Save &As...", kCommandSaveAs, QKeySequence("Ctrl+Shift+S"))
        ->setEnabled(false);
    fileMenu_->addSeparator();
    addCommand(fileMenu_, "Export &All ...", kCommandExportAll)->setEnabled(false);
    addCommand(fileMenu_, "&Import All ...", kCommandImportAll)->setEnabled(false);
    fileMenu_->addSeparator();
    addCommand(fileMenu_, "&Create Patch...", kCommandCreatePatch)->setEnabled(false);
    addCommand(fileMenu_, "A&pply Patch...", kCommandApplyPatch)->setEnabled(false);
    fileMenu_->addSeparator();
    addCommand(fileMenu_, "E&xit", kCommandExit, QKeySequence("Ctrl+X"));

    QMenu* edit = menuBar()->addMenu("&Edit");
    addCommand(edit, "&Undo", kCommandUndo, QKeySequence::Undo)->setEnabled(false);
    QAction* redo = addCommand(edit, "&Redo", kCommandRedo);
    redo->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
    redo->setEnabled(false);
    edit->addSeparator();
    addCommand(edit, "&Copy", kCommandCopy, QKeySequence::Copy);
    addCommand(edit, "&Paste", kCommandPaste, QKeySequence::Paste);
    addCommand(edit, "Select &All", kCommandSelectAll, QKeySequence::SelectAll);
    setEditCommandsEnabled(false);

    QMenu* view = menuBar()->addMenu("&View");
    addCommand(view, "&Battle Preview", kCommandBattlePreview, QKeySequence("Ctrl+B"))
        ->setEnabled(false);
    addCommand(view, "&Fit", kCommandFit, QKeySequence("Ctrl+0"))->setEnabled(false);
    addCommand(view, "&Animation Preview", kCommandAnimationPreview, QKeySequence("Ctrl+Shift+A"))
        ->setEnabled(false);

    imageMenu_ = menuBar()->addMenu("&Image");
    addCommand(imageMenu_, "&Import", kCommandImport);
    addCommand(imageMenu_, "&Export", kCommandExport);
    addCommand(imageMenu_, "&Clear", kCommandClear);
    addCommand(imageMenu_, "Flip &horizontal", kCommandFlipHorizontal);
    addCommand(imageMenu_, "Flip &vertical", kCommandFlipVertical);
    paletteMenu_ = menuBar()->addMenu("&Palette");
    addCommand(paletteMenu_, "&Import Palette...", kCommandImportPalette);
    addCommand(paletteMenu_, "&Export Palette...", kCommandExportPalette);
    setImageCommandsEnabled(false);

    QMenu* options = menuBar()->addMenu("&Options");
    addCommand(options, "&Grid settings", kCommandGridSettings);
    addCommand(options, "Change &Background ...", kCommandChangeBackground)->setEnabled(false);
    options->addSeparator();
    // Two switches of how File > Save writes the ROM and one of how edits make
    // molds, kept with the settings.
    for (const auto& [label, command, setting] :
         {std::tuple{"Keep a &backup when saving", kCommandKeepBackup, &Settings::keepBackup},
          std::tuple{"Fix the ROM &checksum when saving", kCommandFixChecksum,
                     &Settings::fixChecksum},
          std::tuple{"Keep &rows", kCommandKeepRows, &Settings::keepRows}}) {
        if (command == kCommandKeepRows) options->addSeparator();
        QAction* item = addCommand(options, label, command);
        item->setCheckable(true);
        item->setChecked(settings_.*setting);
        connect(item, &QAction::toggled, this,
                [this, setting = setting](bool on) { settings_.*setting = on; });
    }
    QAction* keepRows = action(kCommandKeepRows);
    keepRows->setToolTip(
        "An empty row of a monster's cells above its last drawn row takes a blank tile, so the "
        "game draws every row");
    connect(keepRows, &QAction::toggled, this,
            [this](bool on) { sets_.monsters.keepBattleRows = on; });

    QMenu* help = menuBar()->addMenu("&Help");
    addCommand(help, "&About Morvik", kCommandAbout);
}

void MainWindow::runCommand(int command) {
    if (command >= kFirstRecentFileCommand && command < kFirstRecentFileCommand + kMaxRecentFiles) {
        document_->openRom(command - kFirstRecentFileCommand);
        return;
    }
    switch (command) {
        case kCommandOpen:
            document_->openRom();
            break;
        case kCommandSave:
            document_->saveRom();
            break;
        case kCommandSaveAs:
            document_->saveRomAs();
            break;
        case kCommandExportAll:
            exportAllPictures();
            break;
        case kCommandImportAll:
            importAllPictures();
            break;
        case kCommandCreatePatch:
            document_->createPatch();
            break;
        case kCommandApplyPatch:
            document_->applyPatch();
            break;
        case kCommandExit:
            close();  // the same prompt as the close box
            break;
        case kCommandGridSettings: {
            auto* dialog = new GridDialog(settings_, this);
            // The grid takes effect as soon as the dialog's OK stores it.
            connect(dialog, &QDialog::accepted, this, [this] { currentPage().invalidatePage(); });
            dialog->show();
            currentPage().invalidatePage();
            break;
        }
        case kCommandChangeBackground:
            openBackgroundChooser();
            currentPage().invalidatePage();
            break;
        case kCommandImport:
            currentPage().importImage();
            break;
        case kCommandExport:
            currentPage().exportImage();
            break;
        case kCommandClear:
            currentPage().clearImage();
            break;
        case kCommandFlipHorizontal:
        case kCommandFlipVertical: {
            // A selection is flipped where it lies; without one, the picture.
            const FlipDirection direction = command == kCommandFlipHorizontal
                                                ? FlipDirection::Horizontal
                                                : FlipDirection::Vertical;
            if (!shownPageWidget().flipSelection(direction)) currentPage().flipImage(direction);
            break;
        }
        case kCommandAbout:
            showAbout();
            break;
        case kCommandBattlePreview:
            openBattlePreview();
            break;
        case kCommandFit:
            shownPageWidget().fitView();
            break;
        case kCommandAnimationPreview:
            openAnimationPreview();
            break;
        case kCommandUndo:
            document_->undo();
            break;
        case kCommandRedo:
            document_->redo();
            break;
        case kCommandCopy:
            // A selection is kept for a paste within the pictures; without
            // one, the whole picture goes to the clipboard.
            if (shownPageWidget().copySelection()) break;
            if (!page(document_->currentTab())->copyToClipboard())
                showError("Error writing image file");
            break;
        case kCommandPaste:
            if (shownPageWidget().pasteSelection()) break;
            page(document_->currentTab())->pasteFromClipboard();
            break;
        case kCommandSelectAll:
            shownPageWidget().selectAll();
            break;
        case kCommandImportPalette:
            shownPageWidget().importPalette();
            break;
        case kCommandExportPalette:
            shownPageWidget().exportPalette();
            break;
        default:
            break;
    }
}

void MainWindow::showAbout() {
    static constexpr const char* kAbout =
        "<b>%1</b><p>Version %2</p>"
        "<p>A graphics editor for the Final Fantasy III ROM.</p>"
        "<p>Released under the MIT License.</p>";
    const QString about = QString(kAbout).arg(kProgramCaption, kVersion);
    // open() rather than exec(): the box is window-modal without a loop of its own.
    auto* box = new QMessageBox(QMessageBox::NoIcon, "About Morvik", about, QMessageBox::Ok, this);
    box->setObjectName("aboutBox");
    box->setIconPixmap(QIcon(kIconPath).pixmap(64));
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
}

void MainWindow::refreshEditMenu() {
    const EditHistory& history = document_->history();
    const auto label = [](const char* command, const std::string& step) {
        return step.empty() ? QString(command)
                            : QString(command) + " " + QString::fromStdString(step);
    };
    action(kCommandUndo)->setText(label("&Undo", history.undoName()));
    action(kCommandUndo)->setEnabled(history.canUndo());
    action(kCommandRedo)->setText(label("&Redo", history.redoName()));
    action(kCommandRedo)->setEnabled(history.canRedo());
}

void MainWindow::openBackgroundChooser() {
    auto* chooser = new BackgroundChooser(
        settings_.background, backgrounds_,
        [this] {
            applyBackground(backgrounds_, settings_.background, document_->romPath());
            currentPage().invalidatePage();
        },
        this);
    chooser->show();
}

void MainWindow::openBattlePreview(int formation) {
    if (!document_->isLoaded()) return;
    if (!battlePreview_) {
        battlePreview_ = new BattlePreview(sets_, backgrounds_, settings_.background, this);
        battlePreview_->setAttribute(Qt::WA_DeleteOnClose);
        battlePreview_->move(pos() + QPoint(60, 60));
    }
    // Edits waiting in the page reach the records that share their graphics.
    monsterPage_->settleEdits();
    battlePreview_->show();
    battlePreview_->raise();
    battlePreview_->activateWindow();
    if (formation >= 0) battlePreview_->showFormation(formation);
}

void MainWindow::openAnimationPreview() {
    if (!document_->isLoaded()) return;
    if (!animationPreview_) {
        auto* characters = static_cast<CharacterPage*>(pages_[2]);
        animationPreview_ = new AnimationPreview(
            sets_.characters, backgrounds_, settings_, *this,
            [characters] { return characters->currentItem(); }, this);
        animationPreview_->setAttribute(Qt::WA_DeleteOnClose);
        animationPreview_->move(pos() + QPoint(80, 80));
    }
    animationPreview_->show();
    animationPreview_->raise();
    animationPreview_->activateWindow();
}

void MainWindow::enableRomCommands() {
    action(kCommandSave)->setEnabled(true);
    action(kCommandSaveAs)->setEnabled(true);
    action(kCommandExportAll)->setEnabled(true);
    action(kCommandImportAll)->setEnabled(true);
    action(kCommandCreatePatch)->setEnabled(true);
    action(kCommandApplyPatch)->setEnabled(true);
    action(kCommandChangeBackground)->setEnabled(true);
    action(kCommandBattlePreview)->setEnabled(true);
    action(kCommandFit)->setEnabled(true);
    action(kCommandAnimationPreview)->setEnabled(true);
    setImageCommandsEnabled(true);
}

void MainWindow::setImageCommandsEnabled(bool enabled) {
    for (QMenu* menu : {imageMenu_, paletteMenu_}) {
        menu->setEnabled(enabled);
        for (QAction* item : menu->actions())
            item->setEnabled(enabled);
    }
    setEditCommandsEnabled(enabled);
}

void MainWindow::setEditCommandsEnabled(bool enabled) {
    for (const int command : {kCommandCopy, kCommandPaste, kCommandSelectAll}) {
        if (QAction* item = action(command)) item->setEnabled(enabled);
    }
}

void MainWindow::rebuildRecentMenu(const std::vector<RecentMenuItem>& items) {
    if (items.empty()) return;
    for (QAction* old : recentActions_) {
        actions_.erase(old->data().toInt());
        fileMenu_->removeAction(old);
        old->deleteLater();
    }
    recentActions_.clear();
    if (recentSeparator_ == nullptr) recentSeparator_ = fileMenu_->addSeparator();
    for (const RecentMenuItem& item : items) {
        recentActions_.push_back(
            addCommand(fileMenu_, QString::fromStdString(item.text), item.command));
    }
}

}  // namespace morvik::gui
