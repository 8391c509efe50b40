#include "gui/battle_preview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPainter>
#include <QVBoxLayout>

#include "gui/image_convert.h"
#include "gui/pages/page_controls.h"
#include "transfer/battle_picture.h"

namespace morvik::gui {

namespace {

void fillCombo(QComboBox* list, const std::vector<std::string>& lines, int selected) {
    const QSignalBlocker quiet(list);
    list->clear();
    for (const std::string& line : lines)
        list->addItem(QString::fromStdString(line));
    list->setCurrentIndex(selected);
}

QCheckBox* addCheck(const char* text, const char* name, bool on, QWidget* parent) {
    auto* check = new QCheckBox(text, parent);
    check->setObjectName(name);
    check->setChecked(on);
    return check;
}

}  // namespace

BattlePreview::BattlePreview(const DataSets& sets, const BackgroundPictures& backgrounds,
                             int backgroundSetting, QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(sets.monsters, sets.battle, backgrounds.battleBackgrounds) {
    setObjectName("battlePreview");
    setWindowTitle("Battle Preview");
    model_.followBackgroundSetting(backgroundSetting);

    formations_ = new QListWidget(this);
    formations_->setObjectName("formationList");
    formations_->setMinimumWidth(280);
    picture_ = new PictureView(this);
    picture_->setObjectName("battlePicture");
    picture_->setFixedSize(kBattlePictureWidth * kBattlePreviewScale,
                           kBattlePictureHeight * kBattlePreviewScale);
    background_ = new QComboBox(this);
    background_->setObjectName("battleBackgroundList");
    boxes_ = addCheck("Places", "placeBoxes", model_.showBoxes(), this);
    boxes_->setToolTip("Outline the place the game gives each monster; red: garbled");
    later_ = addCheck("Monsters joining later", "laterMonsters", model_.allSlots(), this);
    notes_ = new QLabel(this);
    notes_->setObjectName("battleNotes");
    notes_->setWordWrap(true);
    notes_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    notes_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    notes_->setMinimumHeight(notes_->fontMetrics().lineSpacing() * 5);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel("Background:", this));
    controls->addWidget(background_);
    controls->addWidget(boxes_);
    controls->addWidget(later_);
    controls->addStretch();
    auto* right = new QVBoxLayout;
    right->addWidget(picture_);
    right->addLayout(controls);
    right->addWidget(notes_, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(formations_);
    layout->addLayout(right);

    connect(formations_, &QListWidget::currentRowChanged, this, [this](int row) {
        model_.selectFormation(row);
        refresh();
    });
    connect(background_, &QComboBox::currentIndexChanged, this, [this](int line) {
        model_.selectBackgroundLine(line);
        refresh();
    });
    connect(boxes_, &QCheckBox::toggled, this, [this](bool on) {
        model_.setShowBoxes(on);
        refresh();
    });
    connect(later_, &QCheckBox::toggled, this, [this](bool on) {
        model_.setAllSlots(on);
        refresh();
    });
    resize(layout->sizeHint());
    reload();
}

void BattlePreview::reload() {
    {
        const QSignalBlocker quiet(formations_);
        formations_->clear();
        for (const std::string& label : model_.formationLabels())
            formations_->addItem(QString::fromStdString(label));
        formations_->setCurrentRow(model_.formation());
    }
    fillCombo(background_, model_.backgroundLabels(), model_.backgroundLine());
    refresh();
}

void BattlePreview::showFormation(int formation) {
    model_.selectFormation(formation);
    formations_->setCurrentRow(model_.formation());
    formations_->scrollToItem(formations_->currentItem(), QAbstractItemView::PositionAtCenter);
    refresh();
}

void BattlePreview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Edits made while it was closed.
    refresh();
}

void BattlePreview::refresh() {
    if (!isVisible()) return;
    constexpr int scale = kBattlePreviewScale;
    QImage shown = toRgbImage(model_.picture())
                       .scaled(kBattlePictureWidth * scale, kBattlePictureHeight * scale);
    QPainter painter(&shown);
    for (const PlaceBox& box : model_.boxes()) {
        painter.setPen(box.garbled ? QColor(255, 40, 40) : QColor(255, 255, 255, 160));
        painter.drawRect(box.x * scale, box.y * scale, box.width * scale - 1,
                         box.height * scale - 1);
    }
    painter.end();
    picture_->setPicture(shown);

    const std::vector<std::string> notes = model_.notes();
    QStringList lines;
    for (const std::string& note : notes)
        lines << QString::fromStdString(note);
    notes_->setText(lines.isEmpty() ? "The game shows this formation as drawn." : lines.join('\n'));
}

}  // namespace morvik::gui
