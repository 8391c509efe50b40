#pragma once

#include <QDialog>
#include <QMainWindow>
#include <QPointer>
#include <array>
#include <map>
#include <memory>
#include <vector>

#include "backgrounds/background_pictures.h"
#include "document/document_ui.h"
#include "document/recovery_keeper.h"
#include "document/rom_document.h"
#include "document/settings.h"
#include "gui/animation_preview.h"
#include "gui/battle_preview.h"
#include "transfer/image_transfer.h"

class QAction;
class QLabel;
class QMenu;
class QTabBar;

namespace morvik::gui {

class MonsterPage;
class PageWidget;
class TransferPage;

inline constexpr const char* kProgramCaption = "Morvik V. 2.0";
inline constexpr int kMainWindowWidth = 685;
inline constexpr int kMainWindowHeight = 490;
// How long a note stays in the status bar.
inline constexpr int kStatusMessageMilliseconds = 10000;
// How often the window asks whether a recovery copy is due.
inline constexpr int kRecoveryTickMilliseconds = 1000;
// File > Export All and Import All.
inline constexpr const char* kExportAllFailedMessage = "Error exporting the pictures: ";
inline constexpr const char* kNothingToImportMessage =
    "Nothing to import: every picture in the folder shows its item as it is.";
inline constexpr const char* kImportAllQuestion = "Import these changes?";
// The changes or refusals a message names before it counts the others.
inline constexpr std::size_t kSummaryLines = 15;

// Menu command ids: the actions carry them, and tests find actions by them.
enum Command : int {
    kCommandSave = 40001,
    kCommandExit = 40002,
    kCommandSaveAs = 40003,
    kCommandOpen = 40004,
    kCommandGridSettings = 40006,
    kCommandChangeBackground = 40007,
    kCommandImport = 40014,
    kCommandExport = 40015,
    kCommandClear = 40016,
    kCommandFlipHorizontal = 40017,
    kCommandFlipVertical = 40018,
    kCommandKeepBackup = 40020,
    kCommandFixChecksum = 40021,
    kCommandKeepRows = 40022,
    kCommandAbout = 40030,
    kCommandUndo = 40040,
    kCommandRedo = 40041,
    kCommandCopy = 40042,
    kCommandPaste = 40043,
    kCommandSelectAll = 40044,
    kCommandImportPalette = 40045,
    kCommandExportPalette = 40046,
    kCommandExportAll = 40050,
    kCommandImportAll = 40051,
    kCommandCreatePatch = 40052,
    kCommandApplyPatch = 40053,
    kCommandBattlePreview = 40060,
    kCommandAnimationPreview = 40062,
    kCommandFit = 40061,
};

// Where File > Export All writes, and in which format.
struct FolderChoice {
    std::filesystem::path folder;
    ImageFileType type = ImageFileType::Png;
};

// The program's frame: menu, tabs and the three pages, routing every command
// to the document, the settings or the current page. It also answers the
// document's questions with message boxes and dialogs.
class MainWindow : public QMainWindow, public DocumentUi {
    Q_OBJECT

  public:
    MainWindow(Settings& settings, SettingsStore& store, int currentTab);
    ~MainWindow() override;

    RomDocument& document() { return *document_; }
    // Keeps recovery copies of unsaved edits in `folder` (the program passes
    // the application-data folder's "recovery"; without a call there are none).
    void keepRecoveryIn(const std::filesystem::path& folder);
    DataSets& dataSets() { return sets_; }
    const BackgroundPictures& backgrounds() const { return backgrounds_; }
    QAction* action(int command) const;
    QTabBar* tabBar() const { return tabBar_; }
    TransferPage* page(int tab) const;
    MonsterPage* monsterPage() const { return monsterPage_; }
    // The stored position, moved to (50, 50) on an axis where it is off the desktop.
    static QPoint clampedPosition(int x, int y, const QRect& desktop);

    // DocumentUi: the dialogs are virtual so tests can answer them.
    Answer askYesNoCancel(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void showError(const std::string& text) override;
    void showInfo(const std::string& text) override;
    void showWarning(const std::string& text) override;
    bool askOkCancel(const std::string& text) override;
    std::optional<std::filesystem::path> askRomPath() override;
    bool offerSaveAs(const std::string& text) override;
    std::optional<std::filesystem::path> askSaveRomPath() override;
    std::optional<std::filesystem::path> askOpenFile(const FileQuestion& question) override;
    std::optional<std::filesystem::path> askSaveFile(const FileQuestion& question) override;
    void showProgress(const std::string& text, int dy) override;
    void closeProgress() override;
    void enableRomCommands() override;
    void showTabs() override;
    void selectTab(int tab) override;
    void rebuildRecentMenu(const std::vector<RecentMenuItem>& items) override;
    void showRomForm(const std::string& description) override;
    // In the status bar for a while, over the pixel under the pointer.
    void showStatus(const std::string& text) override;
    // The folder dialogs of Export All and Import All (tests answer them).
    virtual std::optional<FolderChoice> askExportFolder();
    virtual std::optional<std::filesystem::path> askImportFolder();

    void runCommand(int command);
    void openBackgroundChooser();
    // View > Battle Preview, on a formation when one is given.
    void openBattlePreview(int formation = -1);
    // The preview window once opened (nothing before).
    BattlePreview* battlePreview() const { return battlePreview_.data(); }
    // View > Animation Preview: the current character's sprites in motion.
    void openAnimationPreview();
    AnimationPreview* animationPreview() const { return animationPreview_.data(); }
    void switchTab(int tab);

    // What lies under the pointer in the view, as the status bar shows it.
    QString statusText() const;
    // A dropped file: a picture goes to the current page's import dialog,
    // anything else is opened as a ROM.
    void dropFiles(const QList<QUrl>& urls);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    void buildMenus();
    void showAbout();
    void exportAllPictures();
    void importAllPictures();
    // The folder the folder dialogs start with: the last one chosen, else one
    // named after the ROM beside it.
    QString startFolder() const;
    // Undo and Redo name the steps they would take, and rest when there are none.
    void refreshEditMenu();
    QAction* addCommand(QMenu* menu, const QString& text, int command,
                        const QKeySequence& shortcut = {});
    EditorPage& currentPage();
    // The editor page of the tab shown, with its view and tools.
    PageWidget& shownPageWidget();
    EditorPages pageSet() const;
    void writeSettings();
    // The monster data changed: the preview draws it again.
    void refreshBattlePreview();
    // The whole Image popup is greyed until a ROM is loaded.
    void setImageCommandsEnabled(bool enabled);
    void setEditCommandsEnabled(bool enabled);

    Settings& settings_;
    SettingsStore& store_;
    DataSets sets_;
    BackgroundPictures backgrounds_;
    QTabBar* tabBar_ = nullptr;
    MonsterPage* monsterPage_ = nullptr;
    std::array<TransferPage*, 3> pages_{};
    std::unique_ptr<RomDocument> document_;
    std::unique_ptr<RecoveryStore> recoveryStore_;
    std::unique_ptr<RecoveryKeeper> recoveryKeeper_;
    std::map<int, QAction*> actions_;
    QMenu* fileMenu_ = nullptr;
    QMenu* imageMenu_ = nullptr;
    QMenu* paletteMenu_ = nullptr;
    QAction* recentSeparator_ = nullptr;
    std::vector<QAction*> recentActions_;
    QPointer<QDialog> progress_;
    QPointer<BattlePreview> battlePreview_;
    QPointer<AnimationPreview> animationPreview_;
    QLabel* status_ = nullptr;
    QLabel* emptyHint_ = nullptr;
    std::filesystem::path lastFolder_;
    bool settingsWritten_ = false;
};

}  // namespace morvik::gui
