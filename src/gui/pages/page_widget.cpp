#include "gui/pages/page_widget.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QShortcut>
#include <QSignalBlocker>
#include <QSlider>
#include <algorithm>

#include "gui/import_dialog.h"
#include "gui/pages/page_controls.h"

namespace morvik::gui {

namespace {

constexpr std::array<ColourChannel, 3> kChannels = {ColourChannel::Red, ColourChannel::Green,
                                                    ColourChannel::Blue};
constexpr std::array<const char*, 3> kChannelNames = {"red", "green", "blue"};
constexpr std::array<const char*, 3> kCaptions = {"Red", "Green", "Blue"};
constexpr std::array<int, 3> kSliderRows = {150, 170, 190};

struct ToolPictures {
    const char* name;
    const char* tip;
    const char* normal;
    const char* pressed;
    const char* cursor;
};
constexpr std::array<ToolPictures, kToolCount> kTools = {{
    {"penTool", "Pen (B; hold Alt to pick a colour)", ":/tool-pen.png", ":/tool-pen-pressed.png",
     ":/cursor-pen.png"},
    {"eraserTool", "Eraser (E)", ":/tool-eraser.png", ":/tool-eraser-pressed.png",
     ":/cursor-eraser.png"},
    {"pickerTool", "Picker (I)", ":/tool-picker.png", ":/tool-picker-pressed.png",
     ":/cursor-picker.png"},
    {"fillTool", "Fill (F; with Shift, the colour everywhere)", ":/tool-fill.png",
     ":/tool-fill-pressed.png", ":/cursor-fill.png"},
    {"lineTool", "Line (L; hold Shift for 0, 45 or 90 degrees)", ":/tool-line.png",
     ":/tool-line-pressed.png", ":/cursor-line.png"},
    {"rectangleTool", "Rectangle (U; hold Shift when releasing to fill it)", ":/tool-rectangle.png",
     ":/tool-rectangle-pressed.png", ":/cursor-rectangle.png"},
    {"selectTool",
     "Selection (M; drag inside to move, arrows by a pixel or with Shift by 8, Delete clears, "
     "Escape or Return drops)",
     ":/tool-select.png", ":/tool-select-pressed.png", ":/cursor-select.png"},
}};
// A column of 42-pixel buttons with a few pixels between them.
constexpr std::array<int, kToolCount> kToolRows = {30, 59, 88, 117, 146, 175, 204};

}  // namespace

PageWidget::PageWidget(std::unique_ptr<PageModel> model, const PageLayout& layout,
                       Settings& settings, std::uint8_t Settings::*magnificationSetting,
                       const BackgroundPictures& backgrounds, DocumentUi& ui, QWidget* parent)
    : TransferPage(ui, parent),
      ownedModel_(std::move(model)),
      model_(*ownedModel_),
      settings_(settings),
      backgrounds_(backgrounds),
      magnificationSetting_(magnificationSetting),
      previewPicture_(layout.previewPicture) {
    model_.setChangeNotifier([this] { markChanged(); });
    // The layout is made for an 8-point font.
    QFont small = font();
    small.setPointSize(8);
    setFont(small);
    preview_ = new PictureView(this);
    preview_->setObjectName("preview");
    QRect previewRect = layout.preview;
    previewRect.setSize(previewRect.size().expandedTo(layout.previewPicture));
    preview_->setGeometry(previewRect);
    buildColourControls();
    buildViewControls();
    buildToolButtons();
    buildCommandButtons(layout);
    buildShortcuts();
    preview_->pressed = [this](QPoint point) {
        if (model_.tool() != EditTool::Picker) return;
        model_.pickFromPreview({point.x(), point.y()});
        paint();
    };
}

void PageWidget::anchor(QWidget* widget, bool right, bool bottom, bool wider, bool taller) {
    anchored_.push_back({widget, widget->geometry(), right, bottom, wider, taller});
}

QSize PageWidget::viewSize() const {
    return QSize(kViewSide, kViewSide) + grown_;
}

void PageWidget::resizeEvent(QResizeEvent* event) {
    TransferPage::resizeEvent(event);
    grown_ = QSize(std::max(0, width() - kWidth), std::max(0, height() - kHeight));
    for (const Anchored& item : anchored_) {
        QRect place = item.base;
        place.translate(item.right ? grown_.width() : 0, item.bottom ? grown_.height() : 0);
        place.setWidth(place.width() + (item.wider ? grown_.width() : 0));
        place.setHeight(place.height() + (item.taller ? grown_.height() : 0));
        item.widget->setGeometry(place);
    }
    paint();
}

void PageWidget::buildColourControls() {
    strip_ = new PictureView(this);
    strip_->setObjectName("paletteStrip");
    strip_->setGeometry(dialogRect(10, 125, 192, 19));
    strip_->pressed = [this](QPoint point) {
        if (model_.clickStrip(point.x())) paint();
    };
    for (std::size_t i = 0; i < kChannels.size(); ++i) {
        const int row = kSliderRows[i];
        auto* caption = new QLabel(kCaptions[i], this);
        caption->setGeometry(dialogRect(10, row + 2, 25, 10));
        values_[i] = new QLabel("0", this);
        values_[i]->setObjectName(QString(kChannelNames[i]) + "Value");
        values_[i]->setGeometry(dialogRect(35, row + 2, 10, 10));
        sliders_[i] = new QSlider(Qt::Horizontal, this);
        sliders_[i]->setObjectName(QString(kChannelNames[i]) + "Slider");
        sliders_[i]->setGeometry(dialogRect(45, row, 122, 14));
        sliders_[i]->setTickPosition(QSlider::NoTicks);
        connect(sliders_[i], &QSlider::valueChanged, this, [this, i](int value) {
            if (refreshing_) return;
            model_.setChannel(kChannels[i], value);
            paint();
        });
    }
    // The exact colour, typed: Return stores it, and the field shows what was
    // stored.
    hex_ = new QLineEdit(this);
    hex_->setObjectName("colourHex");
    hex_->setGeometry(dialogRect(169, kSliderRows[0], 38, 14));
    hex_->setMaxLength(9);
    hex_->setToolTip("The colour as #RRGGBB, RRGGBB or the game's word $7FFF; Return stores it");
    connect(hex_, &QLineEdit::returnPressed, this, [this] {
        if (const auto colour = parseColourText(hex_->text().toStdString())) {
            model_.setColour(*colour);
        }
        paint();
    });
    // A double-click on a colour of the strip opens the colour dialog on it.
    strip_->doubleClicked = [this](QPoint point) {
        if (!model_.clickStrip(point.x())) return;
        paint();
        openColourDialog();
    };
    transparent_ = new QCheckBox("Transparent", this);
    transparent_->setObjectName("transparent");
    transparent_->setGeometry(dialogRect(7, 207, 102, 11));
    connect(transparent_, &QCheckBox::clicked, this, [this] {
        model_.makeTransparent();
        paint();
    });
    // The sliders and "Transparent" change the colours of every item on the
    // palette: the page names the others.
    sharedPalette_ = new QLabel(this);
    sharedPalette_->setObjectName("sharedPalette");
    sharedPalette_->setGeometry(dialogRect(110, 207, 185, 11));
}

void PageWidget::buildViewControls() {
    view_ = new PictureView(this);
    view_->setObjectName("view");
    view_->setGeometry(dialogRect(215, 30, 171, 170));
    // The tools reach only the pixels the view shows, however far the pointer
    // moves while the button is held.
    view_->pressed = [this](QPoint point) { pressView(point); };
    view_->dragged = [this](QPoint point) {
        pointer_ = point;
        model_.dragTool(imagePointAt(point), visibleArea(), shiftHeld());
        paint();
    };
    view_->released = [this] { releaseView(); };
    view_->setMouseTracking(true);
    view_->hovered = [this](QPoint point) {
        pointer_ = point;
        reportPixel(point);
    };
    view_->left = [this] {
        pointer_.reset();
        showStatus({});
    };
    // The wheel scrolls (with Shift across) and, with Ctrl, zooms.
    view_->wheeled = [this](int steps, Qt::KeyboardModifiers modifiers, QPoint point) {
        if (modifiers & Qt::ControlModifier) {
            zoomAt(point, steps);
            return;
        }
        QScrollBar* bar = modifiers & Qt::ShiftModifier ? horizontal_ : vertical_;
        bar->setValue(bar->value() - steps * 3);
    };
    // The bars lie over the view control's edges, so they come after it.
    horizontal_ = new QScrollBar(Qt::Horizontal, this);
    horizontal_->setObjectName("horizontalScroll");
    horizontal_->setGeometry(dialogRect(216, 188, 170, 10));
    vertical_ = new QScrollBar(Qt::Vertical, this);
    vertical_->setObjectName("verticalScroll");
    vertical_->setGeometry(dialogRect(386, 30, 12, 157));
    for (QScrollBar* bar : {horizontal_, vertical_}) {
        bar->setSingleStep(1);
        bar->setPageStep(kScrollPageStep);
        bar->setRange(0, 0);
        connect(bar, &QScrollBar::valueChanged, this, [this] {
            if (refreshing_) return;
            paint();
            reportPointer();
        });
    }
    magnificationLabel_ = new QLabel("Magnification: x4", this);
    magnificationLabel_->setObjectName("magnificationLabel");
    // Wider than its place in the layout to the left, so the whole text fits.
    magnificationLabel_->setGeometry(dialogRect(300, 203, 83, 10));
    magnificationLabel_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    magnification_ = new UpDown(this);
    magnification_->setObjectName("magnification");
    magnification_->setGeometry(dialogRect(385, 203, 12, 12));
    magnification_->changed = [this] {
        paint();
        reportPointer();
    };
    magnification_->setToolTip("Magnification (+ and -)");
    anchor(view_, false, false, true, true);
    anchor(horizontal_, false, true, true, false);
    anchor(vertical_, true, false, false, true);
    anchor(magnificationLabel_, true, true);
    anchor(magnification_, true, true);
}

void PageWidget::buildToolButtons() {
    for (std::size_t i = 0; i < kTools.size(); ++i) {
        tools_[i] = new ToolButton(kTools[i].normal, kTools[i].pressed, this);
        tools_[i]->setObjectName(kTools[i].name);
        tools_[i]->setGeometry(dialogRect(406, kToolRows[i], 32, 32));
        tools_[i]->setToolTip(kTools[i].tip);
        anchor(tools_[i], true, false);
        connect(tools_[i], &ToolButton::clicked, this,
                [this, i] { selectTool(static_cast<EditTool>(i)); });
    }
    selectTool(EditTool::Pen);
}

void PageWidget::buildCommandButtons(const PageLayout& layout) {
    connect(addButton(layout.importText, 10, "importButton"), &QPushButton::clicked, this,
            [this] { importImage(); });
    connect(addButton(layout.copyText, layout.copyX, "copyButton"), &QPushButton::clicked, this,
            [this] { copyImage(); });
    connect(addButton(layout.clearText, layout.clearX, "clearButton"), &QPushButton::clicked, this,
            [this] { clearImage(); });
    // Exit asks the main window to close, with its unsaved-changes prompt.
    connect(addButton("Exit", 340, "exitButton"), &QPushButton::clicked, this,
            [this] { mainWindow()->close(); });
}

QComboBox* PageWidget::addList(const QRect& units, const char* name) {
    auto* list = new QComboBox(this);
    list->setObjectName(name);
    list->setGeometry(units.x(), units.y(), units.width(), 22);
    list->setMaxVisibleItems(20);
    return list;
}

QPushButton* PageWidget::addButton(const char* text, int x, const char* name) {
    auto* button = new QPushButton(text, this);
    button->setObjectName(name);
    button->setGeometry(dialogRect(x, 230, 70, 20));
    // The row of buttons stays at the page's foot as the window grows.
    anchor(button, false, true);
    return button;
}

void PageWidget::openCopyList(const QString& caption, const std::vector<std::string>& names,
                              std::function<void(int)> copy) {
    markChanged();
    copyDialog_ = new CopySourceDialog(
        caption, names,
        [this, copy = std::move(copy)](int line) {
            copy(line);
            paint();
        },
        this, mainWindow());
    copyDialog_->show();
    copyDialog_->raise();
    copyDialog_->list()->setFocus();
}

void PageWidget::fillList(QComboBox* list, const std::vector<std::string>& lines) {
    const QSignalBlocker quiet(list);
    QStringList items;
    items.reserve(static_cast<qsizetype>(lines.size()));
    for (const std::string& line : lines)
        items.push_back(QString::fromStdString(line));
    list->clear();
    list->addItems(items);
}

void PageWidget::selectQuietly(QComboBox* list, int line) {
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(line);
}

void PageWidget::initFramework() {
    model_.setTool(EditTool::Pen);
    selectTool(EditTool::Pen);
    model_.selectColour(0);
    for (QSlider* slider : sliders_) {
        const QSignalBlocker quiet(slider);
        slider->setRange(0, kSliderMaximum);
    }
    magnification_->setRange(kMinMagnification, kMaxMagnification);
    magnification_->setValue(settings_.*magnificationSetting_);
    ready_ = true;
}

void PageWidget::selectTool(EditTool tool) {
    model_.setTool(tool);
    const auto current = static_cast<std::size_t>(tool);
    for (std::size_t i = 0; i < tools_.size(); ++i)
        tools_[i]->setCurrent(i == current);
    const QPixmap cursor(kTools[current].cursor);
    view_->setCursor(QCursor(cursor, 0, 0));
}

void PageWidget::openColourDialog() {
    if (!model_.colourEditable()) return;
    if (colourDialog_ == nullptr) {
        colourDialog_ = new QColorDialog(this);
        colourDialog_->setObjectName("colourDialog");
        colourDialog_->setAttribute(Qt::WA_DeleteOnClose);
        connect(colourDialog_, &QColorDialog::colorSelected, this, [this](const QColor& chosen) {
            model_.setColour(PaletteColour::fromRgb(static_cast<std::uint8_t>(chosen.red()),
                                                    static_cast<std::uint8_t>(chosen.green()),
                                                    static_cast<std::uint8_t>(chosen.blue())));
            paint();
        });
    }
    const std::vector<PaletteColour> colours = model_.stripColours();
    const PaletteColour current = colours[static_cast<std::size_t>(model_.currentColour())];
    colourDialog_->setCurrentColor(QColor(current.red, current.green, current.blue));
    colourDialog_->show();
    colourDialog_->raise();
}

void PageWidget::prepareImportDialog(ImportDialog& dialog) {
    dialog.setTarget(
        model_.importTarget(),
        [this](const MappedPicture& mapped) { return model_.importSharers(mapped); },
        [this](const MappedPicture& mapped) {
            model_.importMapped(mapped);
            paint();
        });
}

void PageWidget::showStep(const StepPlace& place) {
    model_.showStep(place);
    followItem();
    paint();
}

void PageWidget::showPage() {
    TransferPage::showPage();
    paint();
}

void PageWidget::refreshControls() {
    const std::vector<PaletteColour> colours = model_.stripColours();
    const auto current = static_cast<std::size_t>(model_.currentColour());
    const PaletteColour colour = current < colours.size() ? colours[current] : PaletteColour{};
    const bool editable = model_.colourEditable();
    for (std::size_t i = 0; i < sliders_.size(); ++i) {
        const int position = sliderPosition(channelOf(colour, kChannels[i]));
        sliders_[i]->setValue(position);
        sliders_[i]->setEnabled(editable);
        values_[i]->setText(QString::number(position));
    }
    transparent_->setChecked(model_.transparentChecked());
    transparent_->setEnabled(editable);
    hex_->setEnabled(editable);
    if (!hex_->hasFocus() || !editable) hex_->setText(QString::fromStdString(colourText(colour)));
    const QString shared = QString::fromStdString(sharedPaletteLine(model_.paletteSharers()));
    sharedPalette_->setToolTip(shared);
    sharedPalette_->setText(
        sharedPalette_->fontMetrics().elidedText(shared, Qt::ElideRight, sharedPalette_->width()));
    refreshPageControls();
    const bool selected = model_.hasSelection();
    for (QShortcut* key : selectionKeys_)
        key->setEnabled(selected);
    magnificationLabel_->setText(QString::fromStdString(magnificationLabel(magnification())));
}

}  // namespace morvik::gui
