#pragma once

#include <QColorDialog>
#include <QPointer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backgrounds/background_pictures.h"
#include "document/settings.h"
#include "editing/page_model.h"
#include "gui/pages/copy_source_dialog.h"
#include "gui/pages/transfer_page.h"

class QCheckBox;

class QLineEdit;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;
class QShortcut;
class QSlider;

namespace morvik::gui {

class PictureView;
class ToolButton;
class UpDown;

// The tool buttons, one per EditTool.
inline constexpr std::size_t kToolCount = 7;
// Shift with an arrow moves a selection by a cell of the tiles.
inline constexpr int kCellStep = 8;

// Where a page's own controls of the shared pattern go, in dialog units, and
// what its command buttons say.
struct PageLayout {
    QRect preview;
    QSize previewPicture;
    const char* importText = "Import Image";
    const char* copyText = "Copy Image";
    const char* clearText = "Clear Image";
    int copyX = 90;
    int clearX = 170;
};

// The editor-page pattern: the 1:1 preview, the magnified view with its grid,
// scroll bars and magnification, the palette strip with the colour sliders and
// "Transparent", the tools and the command buttons. A page supplies its
// model, its preview picture, its own lists and its copy command; every edit
// goes through the model, and the page only shows what the core composed.
class PageWidget : public TransferPage {
    Q_OBJECT

  public:
    PageWidget(std::unique_ptr<PageModel> model, const PageLayout& layout, Settings& settings,
               std::uint8_t Settings::*magnificationSetting, const BackgroundPictures& backgrounds,
               DocumentUi& ui, QWidget* parent);

    // Composes the preview, the view and the strip, then brings every control
    // in line with the page's state. Nothing happens before the first load.
    void paint() override;
    void invalidatePage() override { paint(); }
    // A page shown again catches up with what changed while it was hidden: a
    // ROM opened on another tab, another background or grid.
    void showPage() override;
    void prepareImportDialog(ImportDialog& dialog) override;
    void setHistory(EditHistory& history) override { model_.setHistory(&history); }
    void showStep(const StepPlace& place) override;
    void showCurrent() override { showStep(model_.place()); }

    int magnification() const;
    int scrollX() const;
    int scrollY() const;
    PictureView* view() const { return view_; }
    PictureView* preview() const { return preview_; }
    PictureView* strip() const { return strip_; }
    const PageModel& pageModel() const { return model_; }
    // The view's size: 256x256 pixels, and what the window grew by.
    QSize viewSize() const;
    // Where the picture's first shown pixel lies in the view: centred on each
    // side on which the magnified picture is smaller than the view.
    QPoint pictureOffset() const;
    // View > Fit: the largest magnification at which the whole picture fits.
    void fitView();
    // The window's commands on the selection. False when there is none (copy,
    // flip) or, for a paste, unless the selection tool holds copied pixels:
    // the command then works on the whole picture.
    bool copySelection();
    bool pasteSelection();
    bool flipSelection(FlipDirection direction);
    // Edit > Select All: the selection tool, on the whole picture.
    void selectAll();
    // Palette > Import Palette... and Export Palette... on the current item.
    void importPalette();
    void exportPalette();
    // Where the page tells what lies under the pointer in the view (empty
    // when the pointer is outside it): the window's status bar.
    std::function<void(const QString&)> showStatus = [](const QString&) {};
    // The open list of copy sources, if any.
    CopySourceDialog* copyDialog() const { return copyDialog_.data(); }
    // The colour dialog a double-click on the strip opened, if it is open.
    QColorDialog* colourDialog() const { return colourDialog_.data(); }
    QLineEdit* colourHex() const { return hex_; }

  protected:
    // The window grew: the view grows with it; the controls right of it and
    // below it move along, everything else keeps its place.
    void resizeEvent(QResizeEvent* event) override;
    // Brings what the page composes itself up to date, first in every paint.
    virtual void preparePaint() {}
    // The picture of the 1:1 preview.
    virtual const IndexedImage& previewPicture() const = 0;
    // The page's own lists and labels.
    virtual void refreshPageControls() = 0;
    // The item lists follow the item an undo or redo showed.
    virtual void followItem() {}
    // The copy button.
    virtual void copyImage() = 0;
    // Opens the list of items to copy from; opening it counts as a change,
    // whatever is chosen. `copy` gets the chosen line.
    void openCopyList(const QString& caption, const std::vector<std::string>& names,
                      std::function<void(int)> copy);
    const IndexedImage& importBackground() const override { return backgrounds_.background128; }

    // The shared part of the first load: tools, colour, ranges and the stored
    // magnification. The page paints once it has selected its item.
    void initFramework();
    QComboBox* addList(const QRect& units, const char* name);
    QPushButton* addButton(const char* text, int x, const char* name);
    // Replaces a list's lines, and selects a line, without reporting a change.
    static void fillList(QComboBox* list, const std::vector<std::string>& lines);
    static void selectQuietly(QComboBox* list, int line);

    std::unique_ptr<PageModel> ownedModel_;
    PageModel& model_;
    Settings& settings_;
    const BackgroundPictures& backgrounds_;

  private:
    // A control that follows the view's right or bottom edge, or grows with it.
    struct Anchored {
        QWidget* widget;
        QRect base;
        bool right;
        bool bottom;
        bool wider;
        bool taller;
    };
    void anchor(QWidget* widget, bool right, bool bottom, bool wider = false, bool taller = false);
    void buildShortcuts();
    void stepColour(int step);
    void reportPixel(QPoint point);
    // After a zoom or a scroll the pixel under a resting pointer is another one.
    void reportPointer();
    // Ctrl+wheel: zooms by steps, keeping the image pixel under the point there.
    void zoomAt(QPoint point, int steps);
    void pressView(QPoint point);
    void releaseView();
    // Shift held at the view's last pointer event.
    bool shiftHeld() const;
    void buildColourControls();
    void openColourDialog();
    void buildViewControls();
    void buildToolButtons();
    void buildCommandButtons(const PageLayout& layout);
    void selectTool(EditTool tool);
    ImagePoint imagePointAt(QPoint point) const;
    ImageRect visibleArea() const;
    void syncView();
    void renderImages();
    void refreshControls();

    std::uint8_t Settings::*magnificationSetting_;
    QSize previewPicture_;
    bool ready_ = false;
    bool refreshing_ = false;
    // Where the pointer rests on the view; nothing when it is elsewhere.
    std::optional<QPoint> pointer_;
    PictureView* preview_ = nullptr;
    PictureView* view_ = nullptr;
    PictureView* strip_ = nullptr;
    std::array<QSlider*, 3> sliders_{};
    std::array<QLabel*, 3> values_{};
    QCheckBox* transparent_ = nullptr;
    QLineEdit* hex_ = nullptr;
    QPointer<QColorDialog> colourDialog_;
    QLabel* sharedPalette_ = nullptr;
    std::array<ToolButton*, kToolCount> tools_{};
    QScrollBar* horizontal_ = nullptr;
    QScrollBar* vertical_ = nullptr;
    QLabel* magnificationLabel_ = nullptr;
    UpDown* magnification_ = nullptr;
    QPointer<CopySourceDialog> copyDialog_;
    std::vector<Anchored> anchored_;
    // The keys that act on a selection, enabled while there is one.
    std::vector<QShortcut*> selectionKeys_;
    QSize grown_;
    // Alt was held when the pen went down: this press picks instead.
    bool altPicking_ = false;
};

}  // namespace morvik::gui
