#include "gui/main_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QMimeData>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "gui/pages/character_page.h"
#include "gui/pages/monster_page.h"
#include "gui/pages/page_widget.h"
#include "gui/pages/portrait_page.h"
#include "gui/qt_path.h"
#include "gui/resources.h"

namespace morvik::gui {

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
    sets_.monsters.keepBattleRows = settings_.keepRows;
    status_ = new QLabel(this);
    status_->setObjectName("statusText");
    statusBar()->addWidget(status_, 1);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect desktop = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 800, 600);
    move(clampedPosition(settings.xPos, settings.yPos, desktop));
    buildMenus();

    auto* area = new QWidget(this);
    setCentralWidget(area);
    // Until a ROM is open the area has nothing else to show.
    emptyHint_ = new QLabel("Open a ROM with File > Open, or drop a ROM file here", area);
    emptyHint_->setObjectName("emptyHint");
    emptyHint_->setAlignment(Qt::AlignCenter);
    emptyHint_->setForegroundRole(QPalette::PlaceholderText);
    (new QVBoxLayout(area))->addWidget(emptyHint_);
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
    connect(monsterPage_, &MonsterPage::recordShown, this, &MainWindow::refreshBattlePreview);
    connect(monsterPage_, &MonsterPage::formationChosen, this,
            [this](int formation) { openBattlePreview(formation); });
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
    // The title's changed mark follows the history: undoing back to the last
    // open or save clears it.
    document_->history().setListener([this] {
        refreshEditMenu();
        // Before the first ROM's name the title has no place for the mark.
        if (windowTitle().contains("[*]")) setWindowModified(!document_->history().isClean());
        refreshBattlePreview();
    });
    rebuildRecentMenu(recentMenuItems(settings_));
}

MainWindow::~MainWindow() = default;

void MainWindow::keepRecoveryIn(const std::filesystem::path& folder) {
    recoveryStore_ = std::make_unique<FolderRecoveryStore>(folder);
    recoveryKeeper_ = std::make_unique<RecoveryKeeper>(*recoveryStore_, RecoveryKeeper::System{});
    document_->setRecoveryKeeper(recoveryKeeper_.get());
    // Most ticks find nothing due; the copy itself takes a few milliseconds.
    auto* timer = new QTimer(this);
    connect(timer, &QTimer::timeout, this, [this] { document_->keepRecovery(); });
    timer->start(kRecoveryTickMilliseconds);
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

PageWidget& MainWindow::shownPageWidget() {
    // Every tab's page is one of the three editor pages.
    return *static_cast<PageWidget*>(page(document_->currentTab()));
}

EditorPage& MainWindow::currentPage() {
    return pageSet().pageForTab(document_->currentTab());
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
    document_->closing();
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

void MainWindow::showStatus(const std::string& text) {
    statusBar()->showMessage(QString::fromStdString(text), kStatusMessageMilliseconds);
}

void MainWindow::showRomForm(const std::string& description) {
    // "[*]" is where the platform shows unsaved changes, before the file's name.
    setWindowTitle(QString(kProgramCaption) + " - [*]" + QString::fromStdString(description));
    setWindowModified(!document_->history().isClean());
    // A ROM was opened (or saved under another name): its sets follow the
    // window's rule, and the preview lists its formations.
    sets_.monsters.keepBattleRows = settings_.keepRows;
    if (battlePreview_) battlePreview_->reload();
}

void MainWindow::refreshBattlePreview() {
    if (battlePreview_) battlePreview_->refresh();
}

void MainWindow::showTabs() {
    emptyHint_->hide();
    tabBar_->show();
}

void MainWindow::selectTab(int tab) {
    switchTab(tab);
    const QSignalBlocker quiet(tabBar_);
    tabBar_->setCurrentIndex(tab);
}

}  // namespace morvik::gui
