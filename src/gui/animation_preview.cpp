#include "gui/animation_preview.h"

#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "gui/image_convert.h"
#include "gui/pages/page_controls.h"
#include "rom/file_path.h"
#include "rom/sprites/sprite_layout.h"

namespace morvik::gui {

namespace {

// About thirty pictures a second: enough for the fastest speed.
constexpr int kTickMs = 33;

QPushButton* addButton(const char* text, const char* name, QWidget* parent) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    return button;
}

}  // namespace

AnimationPreview::AnimationPreview(const CharacterSpriteSet& set,
                                   const BackgroundPictures& backgrounds, Settings& settings,
                                   DocumentUi& ui, std::function<int()> currentCharacter,
                                   QWidget* parent)
    : QWidget(parent, Qt::Window),
      model_(set),
      backgrounds_(backgrounds),
      settings_(settings),
      ui_(ui),
      currentCharacter_(std::move(currentCharacter)) {
    setObjectName("animationPreview");
    setWindowTitle("Animation Preview");
    elapsed_.start();
    clock_ = [this] { return elapsed_.elapsed(); };

    picture_ = new PictureView(this);
    picture_->setObjectName("animationPicture");
    picture_->setFixedSize(sprites::kFrameWidth * kMaxAnimationScale,
                           sprites::kFrameHeight * kMaxAnimationScale);
    frames_ = new QComboBox(this);
    frames_->setObjectName("frameList");
    frames_->setEditable(true);
    frames_->setInsertPolicy(QComboBox::NoInsert);
    frames_->setMinimumWidth(200);
    frames_->setToolTip(
        "Frames 0 to 39 in the order they play, as \"0, 1, 0, 2\"; Return takes "
        "them. A kept list shows its name first.");
    listName_ = new QLineEdit(this);
    listName_->setObjectName("listName");
    listName_->setPlaceholderText("Name");
    auto* keep = addButton("Keep", "keepList", this);
    keep->setToolTip("Keep the list under the name, for the next time");
    note_ = new QLabel(this);
    note_->setObjectName("frameListNote");
    speed_ = new QSpinBox(this);
    speed_->setObjectName("animationSpeed");
    speed_->setRange(kMinFramesPerSecond, kMaxFramesPerSecond);
    speed_->setSuffix(" frames a second");
    scale_ = new QSpinBox(this);
    scale_->setObjectName("animationScale");
    scale_->setRange(kMinAnimationScale, kMaxAnimationScale);
    scale_->setPrefix("x");
    background_ = new QComboBox(this);
    background_->setObjectName("animationBackground");
    background_->addItems({"Plain colour", "Battle background"});
    colour_ = addButton("Colour...", "backgroundColour", this);
    play_ = addButton("Pause", "playPause", this);
    auto* gif = addButton("Export GIF...", "exportGif", this);

    auto* listRow = new QHBoxLayout;
    listRow->addWidget(frames_, 1);
    listRow->addWidget(listName_);
    listRow->addWidget(keep);
    auto* backgroundRow = new QHBoxLayout;
    backgroundRow->addWidget(background_, 1);
    backgroundRow->addWidget(colour_);
    auto* form = new QFormLayout;
    form->addRow("Frames:", listRow);
    form->addRow("", note_);
    form->addRow("Speed:", speed_);
    form->addRow("Size:", scale_);
    form->addRow("Background:", backgroundRow);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(play_);
    buttons->addStretch();
    buttons->addWidget(gif);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture_, 0, Qt::AlignHCenter);
    layout->addLayout(form);
    layout->addLayout(buttons);

    model_.setFramesPerSecond(settings_.animationFps, 0);
    model_.setScale(settings_.animationScale);
    speed_->setValue(model_.framesPerSecond());
    scale_->setValue(model_.scale());
    fillLists(kDefaultFrameList);
    updateBackground();
    model_.play(now());

    connect(frames_->lineEdit(), &QLineEdit::returnPressed, this,
            [this] { takeFrameText(frames_->currentText()); });
    connect(frames_, &QComboBox::activated, this,
            [this](int line) { takeFrameText(frames_->itemText(line)); });
    connect(keep, &QPushButton::clicked, this, [this] { keepList(); });
    connect(speed_, &QSpinBox::valueChanged, this, [this](int fps) {
        model_.setFramesPerSecond(fps, now());
        settings_.animationFps = static_cast<std::uint8_t>(model_.framesPerSecond());
        tick();
    });
    connect(scale_, &QSpinBox::valueChanged, this, [this](int scale) {
        model_.setScale(scale);
        settings_.animationScale = static_cast<std::uint8_t>(model_.scale());
        tick();
    });
    connect(background_, &QComboBox::currentIndexChanged, this, [this] { updateBackground(); });
    connect(colour_, &QPushButton::clicked, this, [this] {
        if (colourDialog_ == nullptr) {
            colourDialog_ = new QColorDialog(this);
            colourDialog_->setObjectName("animationColourDialog");
            colourDialog_->setAttribute(Qt::WA_DeleteOnClose);
            connect(colourDialog_, &QColorDialog::colorSelected, this, [this](const QColor& c) {
                plainColour_ = PaletteColour::fromRgb(static_cast<std::uint8_t>(c.red()),
                                                      static_cast<std::uint8_t>(c.green()),
                                                      static_cast<std::uint8_t>(c.blue()));
                background_->setCurrentIndex(0);
                updateBackground();
            });
        }
        colourDialog_->setCurrentColor(
            QColor(plainColour_.red, plainColour_.green, plainColour_.blue));
        colourDialog_->show();
    });
    connect(play_, &QPushButton::clicked, this, [this] {
        if (model_.playing()) {
            model_.pause(now());
        } else {
            model_.play(now());
        }
        play_->setText(model_.playing() ? "Pause" : "Play");
        tick();
    });
    connect(gif, &QPushButton::clicked, this, [this] { exportGif(); });

    timer_ = new QTimer(this);
    timer_->setInterval(kTickMs);
    connect(timer_, &QTimer::timeout, this, [this] { tick(); });
    tick();
}

std::int64_t AnimationPreview::now() const {
    return clock_();
}

void AnimationPreview::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    timer_->start();
    tick();
}

void AnimationPreview::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    timer_->stop();
}

void AnimationPreview::tick() {
    model_.setCharacter(currentCharacter_());
    picture_->setPicture(toRgbImage(model_.pictureAt(now())));
}

void AnimationPreview::fillLists(const QString& shown) {
    const QSignalBlocker quiet(frames_);
    frames_->clear();
    frames_->addItem(kDefaultFrameList);
    for (const std::string& kept : settings_.frameLists)
        frames_->addItem(QString::fromStdString(kept));
    frames_->setCurrentText(shown);
}

void AnimationPreview::takeFrameText(const QString& text) {
    if (model_.setFrameText(text.toStdString())) {
        note_->clear();
        const auto kept = parseKeptFrameList(text.toStdString());
        if (kept && !kept->name.empty()) listName_->setText(QString::fromStdString(kept->name));
    } else {
        note_->setText("Frames are numbers 0 to 39, as \"0, 1, 0, 2\".");
    }
    tick();
}

void AnimationPreview::keepList() {
    const std::string name = listName_->text().trimmed().toStdString();
    if (name.empty() || name.find(':') != std::string::npos) {
        note_->setText("Name the list (without a colon) to keep it.");
        return;
    }
    const KeptFrameList list{name, model_.frames()};
    keepFrameList(settings_.frameLists, list);
    fillLists(QString::fromStdString(keptFrameListText(list)));
    note_->clear();
}

void AnimationPreview::updateBackground() {
    AnimationBackground background;
    background.colour = plainColour_;
    background.plain = background_->currentIndex() == 0;
    if (!background.plain) background.picture = &backgrounds_.background128;
    model_.setBackground(background);
    tick();
}

void AnimationPreview::exportGif() {
    const auto path = ui_.askSaveFile({"Export GIF", "Animated GIF (*.gif)", "animation.gif"});
    if (!path) return;
    std::filesystem::path file = *path;
    if (!file.has_extension()) file.replace_extension(".gif");
    if (model_.exportGif(file) != ImageStatus::Ok)
        ui_.showErrorDetail("Error writing image file", pathToUtf8(file.filename()));
}

}  // namespace morvik::gui
