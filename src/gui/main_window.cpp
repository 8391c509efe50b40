#include "gui/main_window.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>
#include <algorithm>
#include <tuple>

#include "document/version.h"
#include "gui/background_chooser.h"
#include "gui/folder_dialog.h"
#include "gui/grid_dialog.h"
#include "gui/pages/character_page.h"
#include "gui/pages/monster_page.h"
#include "gui/pages/page_widget.h"
#include "gui/pages/portrait_page.h"
#include "gui/qt_path.h"
#include "gui/resources.h"
#include "rom/file_path.h"

namespace morvik::gui {

namespace {

QString text(const std::string& value) {
    return QString::fromStdString(value);
}

// The wait cursor while a whole folder is written or read.
class BusyCursor {
  public:
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

QMessageBox::StandardButton ask(QMessageBox::Icon icon, const std::string& question,
                                QMessageBox::StandardButtons buttons) {
    QMessageBox box(icon, kProgramCaption, text(question), buttons);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

}  // namespace

QPoint MainWindow::clampedPosition(int x, int y, const QRect& desktop) {
    if (x < 0 || x > desktop.right()) x = 50;
    if (y < 0 || y > desktop.bottom()) y = 50;
    return {x, y};
}

MainWindow::MainWindow(Settings& settings, SettingsStore& store, int currentTab)
    : settings_(settings), store_(store) {
    initResources();
    setWindowTitle(kProgramCaption);
    setWindowIcon(QIcon(kIconPath));
    setObjectName("mainWindow");
    // The first build's size is the smallest; the view grows with the window.
    setMinimumSize(kMainWindowWidth, kMainWindowHeight);
    resize(std::max(settings.width, kMainWindowWidth),
           std::max(settings.height, kMainWindowHeight));
    if (settings.maximized) setWindowState(Qt::WindowMaximized);
    setAcceptDrops(true);
    status_ = new QLabel(this);
    status_->setObjectName("statusText");
    statusBar()->addWidget(status_, 1);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    move(clampedPosition(settings.xPos, settings.yPos, desktop));
    buildMenus();

    auto* area = new QWidget(this);
    setCentralWidget(area);
    tabBar_ = new QTabBar(area);
    tabBar_->setObjectName("tabs");
    for (const char* name : {"Monsters", "Espers", "Portraits", "Characters"})
        tabBar_->addTab(name);
    tabBar_->setGeometry(0, 0, 680, 28);
    tabBar_->hide();
    connect(tabBar_, &QTabBar::currentChanged, this, [this](int tab) {
        if (tab >= 0 && document_ && document_->isLoaded()) switchTab(tab);
    });

    monsterPage_ = new MonsterPage(sets_, settings_, backgrounds_, *this, area);
    pages_ = {monsterPage_, new PortraitPage(sets_, settings_, backgrounds_, *this, area),
              new CharacterPage(sets_, settings_, backgrounds_, *this, area)};
    document_ = std::make_unique<RomDocument>(settings_, sets_, backgrounds_, pageSet(), *this);
    document_->setCurrentTab(currentTab);
    for (TransferPage* page : pages_) {
        page->createPage();
        page->setChangeNotifier([this] { document_->markDirty(); });
        static_cast<PageWidget*>(page)->showStatus = [this](const QString& text) {
            status_->setText(text);
        };
    }
    document_->history().setListener([this] { refreshEditMenu(); });
    rebuildRecentMenu(recentMenuItems(settings_));
}

MainWindow::~MainWindow() = default;

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
    fileMenu_->addSeparator();
    addCommand(fileMenu_, "Export &All ...", kCommandExportAll)->setEnabled(false);
    addCommand(fileMenu_, "&Import All ...", kCommandImportAll)->setEnabled(false);
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
    setEditCommandsEnabled(false);

    imageMenu_ = menuBar()->addMenu("&Image");
    addCommand(imageMenu_, "&Import", kCommandImport);
    addCommand(imageMenu_, "&Export", kCommandExport);
    addCommand(imageMenu_, "&Clear", kCommandClear);
    addCommand(imageMenu_, "Flip &horizontal", kCommandFlipHorizontal);
    addCommand(imageMenu_, "Flip &vertical", kCommandFlipVertical);
    setImageCommandsEnabled(false);

    QMenu* options = menuBar()->addMenu("&Options");
    addCommand(options, "&Grid settings", kCommandGridSettings);
    addCommand(options, "Change &Background ...", kCommandChangeBackground)->setEnabled(false);
    options->addSeparator();
    // Two switches of how File > Save writes the ROM, kept with the settings.
    for (const auto& [label, command, setting] :
         {std::tuple{"Keep a &backup when saving", kCommandKeepBackup, &Settings::keepBackup},
          std::tuple{"Fix the ROM &checksum when saving", kCommandFixChecksum,
                     &Settings::fixChecksum}}) {
        QAction* item = addCommand(options, label, command);
        item->setCheckable(true);
        item->setChecked(settings_.*setting);
        connect(item, &QAction::toggled, this,
                [this, setting = setting](bool on) { settings_.*setting = on; });
    }

    QMenu* help = menuBar()->addMenu("&Help");
    addCommand(help, "&About Morvik", kCommandAbout);
}

QAction* MainWindow::action(int command) const {
    const auto found = actions_.find(command);
    return found == actions_.end() ? nullptr : found->second;
}

EditorPages MainWindow::pageSet() const {
    return EditorPages{*monsterPage_, *pages_[1], *pages_[2]};
}

TransferPage* MainWindow::page(int tab) const {
    if (tab == kPortraitsTab) return pages_[1];
    if (tab == kCharactersTab) return pages_[2];
    return pages_[0];
}

EditorPage& MainWindow::currentPage() {
    return pageSet().pageForTab(document_->currentTab());
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
        case kCommandExportAll:
            exportAllPictures();
            break;
        case kCommandImportAll:
            importAllPictures();
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
            currentPage().flipImage(FlipDirection::Horizontal);
            break;
        case kCommandFlipVertical:
            currentPage().flipImage(FlipDirection::Vertical);
            break;
        case kCommandAbout:
            showAbout();
            break;
        case kCommandUndo:
            document_->undo();
            break;
        case kCommandRedo:
            document_->redo();
            break;
        case kCommandCopy:
            if (!page(document_->currentTab())->copyToClipboard())
                showError("Error writing image file");
            break;
        case kCommandPaste:
            page(document_->currentTab())->pasteFromClipboard();
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

QString MainWindow::startFolder() const {
    if (!lastFolder_.empty()) return toQString(lastFolder_);
    const std::filesystem::path& rom = document_->romPath();
    return rom.empty() ? QString() : toQString(rom.parent_path() / rom.stem());
}

std::optional<FolderChoice> MainWindow::askExportFolder() {
    FolderDialog dialog("Export All", startFolder(), ImageFileType::Png, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return FolderChoice{toPath(dialog.folder()), dialog.type()};
}

std::optional<std::filesystem::path> MainWindow::askImportFolder() {
    FolderDialog dialog("Import All", startFolder(), std::nullopt, this);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return toPath(dialog.folder());
}

void MainWindow::exportAllPictures() {
    const auto choice = askExportFolder();
    if (!choice) return;
    lastFolder_ = choice->folder;
    const FolderExport exported = [&] {
        const BusyCursor busy;
        return document_->exportAll(choice->folder, choice->type);
    }();
    if (!exported.ok()) {
        showError(kExportAllFailedMessage + exported.error);
        return;
    }
    showInfo(std::to_string(exported.written) + " pictures exported to " +
             pathToUtf8(choice->folder));
}

void MainWindow::importAllPictures() {
    const auto folder = askImportFolder();
    if (!folder) return;
    lastFolder_ = *folder;
    FolderImportPlan plan = [&] {
        const BusyCursor busy;
        return document_->planImportAll(*folder, PaletteMode::Automatic);
    }();
    if (!plan.refusals.empty()) {
        showError(folderRefusalSummary(plan, kSummaryLines));
        return;
    }
    if (plan.changes.empty()) {
        showInfo(kNothingToImportMessage);
        return;
    }
    if (!askOkCancel(folderImportSummary(plan, kSummaryLines) + "\n" + kImportAllQuestion)) return;
    document_->importFolder(std::move(plan));
}

void MainWindow::refreshEditMenu() {
    const EditHistory& history = document_->history();
    const auto label = [](const char* command, const std::string& step) {
        return step.empty() ? QString(command) : QString(command) + " " + text(step);
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

void MainWindow::switchTab(int tab) {
    document_->setCurrentTab(tab);
    if (tab == kPortraitsTab || tab == kCharactersTab) pages_[0]->hidePage();
    if (tab != kPortraitsTab) pages_[1]->hidePage();
    if (tab != kCharactersTab) pages_[2]->hidePage();
    currentPage().showPage();
    if (tab == kMonstersTab || tab == kEspersTab) monsterPage_->modeChanged(tab);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (!document_->confirmDiscard()) {
        event->ignore();
        return;
    }
    writeSettings();
    event->accept();
}

QString MainWindow::statusText() const {
    return status_->text();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    const QSize grown = size() - QSize(kMainWindowWidth, kMainWindowHeight);
    if (tabBar_ != nullptr) tabBar_->resize(680 + std::max(0, grown.width()), tabBar_->height());
    for (TransferPage* page : pages_) {
        if (page != nullptr)
            page->resize(TransferPage::kWidth + std::max(0, grown.width()),
                         TransferPage::kHeight + std::max(0, grown.height()));
    }
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    event->acceptProposedAction();
    // The drop's own loop must end before a dialog opens one of its own.
    const QList<QUrl> urls = event->mimeData()->urls();
    QMetaObject::invokeMethod(
        this, [this, urls] { dropFiles(urls); }, Qt::QueuedConnection);
}

void MainWindow::dropFiles(const QList<QUrl>& urls) {
    if (urls.size() != 1 || !urls.front().isLocalFile()) {
        showWarning("Drop one file at a time: a PNG, BMP or PCX picture, or a ROM");
        return;
    }
    const QString path = urls.front().toLocalFile();
    if (!fileTypeOfPath(path.toStdString())) {
        document_->openRomFile(toPath(path));
        return;
    }
    if (!document_->isLoaded()) {
        showWarning("Open a ROM before importing a picture");
        return;
    }
    page(document_->currentTab())->importFile(path);
}

void MainWindow::writeSettings() {
    if (settingsWritten_) return;
    settingsWritten_ = true;
    settings_.maximized = isMaximized();
    const QSize normal = isMaximized() ? normalGeometry().size() : size();
    settings_.width = normal.width();
    settings_.height = normal.height();
    saveSettings(settings_, document_->currentTab(), x(), y(), store_);
}

Answer MainWindow::askYesNoCancel(const std::string& question) {
    switch (ask(QMessageBox::Question, question,
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
    }
}

bool MainWindow::askYesNo(const std::string& question) {
    return ask(QMessageBox::Warning, question, QMessageBox::Yes | QMessageBox::No) ==
           QMessageBox::Yes;
}

void MainWindow::showError(const std::string& message) {
    ask(QMessageBox::Critical, message, QMessageBox::Ok);
}

void MainWindow::showWarning(const std::string& message) {
    ask(QMessageBox::Warning, message, QMessageBox::Ok);
}

bool MainWindow::askOkCancel(const std::string& question) {
    return ask(QMessageBox::Warning, question, QMessageBox::Ok | QMessageBox::Cancel) ==
           QMessageBox::Ok;
}

void MainWindow::showInfo(const std::string& message) {
    ask(QMessageBox::NoIcon, message, QMessageBox::Ok);
}

std::optional<std::filesystem::path> MainWindow::askRomPath() {
    const QString path =
        QFileDialog::getOpenFileName(this, "Select location of Final Fantasy III ROM", QString(),
                                     "ROM file (*.smc);;All files (*.*)");
    if (path.isEmpty()) return std::nullopt;
    return toPath(path);
}

void MainWindow::showProgress(const std::string& message, int dy) {
    closeProgress();
    progress_ = new QDialog(this, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    progress_->setObjectName("progressWindow");
    progress_->setWindowTitle(kProgramCaption);
    auto* layout = new QVBoxLayout(progress_);
    auto* label = new QLabel(text(message), progress_);
    label->setAlignment(Qt::AlignCenter);
    layout->addWidget(label);
    progress_->setFixedSize(279, 80);
    progress_->move(pos() + QPoint(150, dy));
    progress_->show();
    // The work that follows blocks the event loop: paint the window first.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void MainWindow::closeProgress() {
    if (progress_) progress_->deleteLater();
    progress_ = nullptr;
}

void MainWindow::enableRomCommands() {
    action(kCommandSave)->setEnabled(true);
    action(kCommandExportAll)->setEnabled(true);
    action(kCommandImportAll)->setEnabled(true);
    action(kCommandChangeBackground)->setEnabled(true);
    setImageCommandsEnabled(true);
}

void MainWindow::setImageCommandsEnabled(bool enabled) {
    imageMenu_->setEnabled(enabled);
    for (QAction* item : imageMenu_->actions())
        item->setEnabled(enabled);
    setEditCommandsEnabled(enabled);
}

void MainWindow::setEditCommandsEnabled(bool enabled) {
    for (const int command : {kCommandCopy, kCommandPaste}) {
        if (QAction* item = action(command)) item->setEnabled(enabled);
    }
}

void MainWindow::showRomForm(const std::string& description) {
    setWindowTitle(QString(kProgramCaption) + " - " + text(description));
}

void MainWindow::showTabs() {
    tabBar_->show();
}

void MainWindow::selectTab(int tab) {
    switchTab(tab);
    const QSignalBlocker quiet(tabBar_);
    tabBar_->setCurrentIndex(tab);
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
        recentActions_.push_back(addCommand(fileMenu_, text(item.text), item.command));
    }
}

}  // namespace morvik::gui
