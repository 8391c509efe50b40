#include "gui/pages/monster_page.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>

#include "gui/pages/page_controls.h"

namespace morvik::gui {

namespace {

PageLayout monsterLayout() {
    PageLayout layout;
    layout.preview = dialogRect(10, 30, 85, 85);
    layout.previewPicture = QSize(128, 128);
    return layout;
}

QLabel* iconLabel(const char* picture, const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setPixmap(QPixmap(picture));
    label->setGeometry(dialogRect(314, 7, 20, 20));
    label->hide();
    return label;
}

}  // namespace

MonsterPage::MonsterPage(DataSets& sets, Settings& settings, const BackgroundPictures& backgrounds,
                         DocumentUi& ui, QWidget* parent)
    : PageWidget(std::make_unique<MonsterPageModel>(sets.monsters, &sets.battle), monsterLayout(),
                 settings, &Settings::tab1Mag, backgrounds, ui, parent),
      monsters_(static_cast<MonsterPageModel&>(model_)) {
    setObjectName("monsterPage");
    buildLists();
    connect(addButton("New Image", 250, "newImageButton"), &QPushButton::clicked, this,
            [this] { newImage(); });
}

void MonsterPage::buildLists() {
    records_ = addList(dialogRect(10, 7, 100, 197), "recordList");
    images_ = addList(dialogRect(110, 30, 90, 100), "imageList");
    palettes_ = addList(dialogRect(110, 50, 90, 100), "paletteList");
    sizes_ = addList(dialogRect(110, 70, 90, 37), "sizeList");
    depths_ = addList(dialogRect(110, 90, 90, 35), "depthList");
    const auto onChange = [this](QComboBox* list, auto action) {
        connect(list, &QComboBox::currentIndexChanged, this, [this, action](int line) {
            if (line < 0) return;
            action(line);
            paint();
        });
    };
    onChange(records_, [this](int line) { monsters_.selectLine(line); });
    onChange(images_, [this](int line) {
        monsters_.selectEntry(line);
        fillList(images_, monsters_.imageLabels());
    });
    onChange(palettes_, [this](int line) { monsters_.selectPalette(line); });
    onChange(sizes_, [this](int line) { monsters_.selectSize(line); });
    onChange(depths_, [this](int line) { monsters_.selectDepth(line); });

    mold_ = new QLabel("Mold: 0", this);
    mold_->setObjectName("moldLabel");
    mold_->setGeometry(dialogRect(110, 105, 90, 10));
    // What the game will make of the picture, under the preview.
    battleWarning_ = new QLabel(this);
    battleWarning_->setObjectName("battleWarning");
    battleWarning_->setGeometry(dialogRect(10, 115, 200, 10));
    battleWarning_->setStyleSheet("color: #c00000");
    battleWarning_->hide();
    formations_ = new QLabel(this);
    formations_->setObjectName("formationsLine");
    formations_->setGeometry(dialogRect(115, 9, 195, 10));
    formations_->setTextFormat(Qt::RichText);
    formations_->setToolTip("Show it in the Battle preview");
    connect(formations_, &QLabel::linkActivated, this,
            [this](const QString& link) { emit formationChosen(link.toInt()); });
    freeSpace_ = new QLabel("Free Space:", this);
    freeSpace_->setObjectName("freeSpaceLabel");
    freeSpace_->setGeometry(dialogRect(340, 14, 79, 15));
    noRoom_ = iconLabel(":/space-none.png", "noRoomIcon", this);
    room_ = iconLabel(":/space-free.png", "roomIcon", this);
}

void MonsterPage::fillRecordList() {
    fillList(records_, monsters_.recordNames());
    selectQuietly(records_, 0);
}

void MonsterPage::followItem() {
    fillList(records_, monsters_.recordNames());
    selectQuietly(records_, monsters_.currentLine());
    // An undone New Image takes its entry back out of the list.
    fillList(images_, monsters_.imageLabels());
}

void MonsterPage::initAfterLoad() {
    initFramework();
    fillList(palettes_, MonsterPageModel::paletteLabels());
    fillList(sizes_, MonsterPageModel::sizeLabels());
    fillList(depths_, MonsterPageModel::depthLabels());
    refresh();
}

void MonsterPage::refresh() {
    // A new load: the edits the page knew of went with the old data.
    monsters_.forgetChanges();
    monsters_.setMode(monsters_.mode());
    fillRecordList();
    fillList(images_, monsters_.imageLabels());
    monsters_.selectColour(monsters_.currentColour());
    paint();
}

void MonsterPage::modeChanged(int tab) {
    monsters_.setMode(tab);
    fillRecordList();
    // A ROM opened while another tab was shown brings other graphics entries.
    fillList(images_, monsters_.imageLabels());
    paint();
}

void MonsterPage::refreshPageControls() {
    selectQuietly(sizes_, monsters_.sizeLine());
    selectQuietly(depths_, monsters_.depthLine());
    selectQuietly(palettes_, monsters_.record().paletteIndex);
    selectQuietly(images_, monsters_.record().entryIndex);
    mold_->setText(QString::fromStdString(monsters_.moldLabel()));
    const bool fits = monsters_.freeSpace() >= 0;
    room_->setVisible(fits);
    noRoom_->setVisible(!fits);
    freeSpace_->setText(QString::fromStdString(monsters_.freeSpaceLabel()));
    const QString warning = QString::fromStdString(monsters_.battleWarning());
    battleWarning_->setText(warning);
    battleWarning_->setVisible(!warning.isEmpty());
    // Each number opens its formation in the Battle preview.
    formations_->setText(QString::fromStdString(
        MonsterPageModel::formationsLabel(monsters_.formations(), [](int formation) {
            const std::string number = std::to_string(formation);
            return "<a href=\"" + number + "\">" + number + "</a>";
        })));
    emit recordShown();
}

void MonsterPage::newImage() {
    if (!monsters_.newImage()) {
        ui().showWarning("No room for another image");
        return;
    }
    fillList(images_, monsters_.imageLabels());
    paint();
}

void MonsterPage::copyImage() {
    openCopyList("Copy monster image", monsters_.copySourceNames(),
                 [this](int source) { monsters_.copyFrom(source); });
}

void MonsterPage::clearImage() {
    if (!ui().askOkCancel("This will erase the current monster's picture")) return;
    monsters_.clear();
    paint();
}

void MonsterPage::flipImage(FlipDirection direction) {
    monsters_.flip(direction);
    paint();
}

QString MonsterPage::importTitle() const {
    return monsters_.mode() == kEspersTab ? "Import Esper" : "Import Monster";
}

QString MonsterPage::itemName() const {
    return QString::fromStdString(monsters_.record().name);
}

bool MonsterPage::exportTo(const std::filesystem::path& path, ImageFileType type) const {
    // The export holds the part of the picture the mold stores.
    const Extent extent = monsters_.visibleExtent();
    return writeImage(monsters_.picture(), path, extent.width, extent.height, type) ==
           ImageStatus::Ok;
}

void MonsterPage::importPicture(const IndexedImage& picture) {
    monsters_.importPicture(picture);
    paint();
}

bool MonsterPage::saveToRom(RomFile& rom) {
    const MonsterSaveResult result = monsters_.save(rom);
    // The clean-up renumbers graphics entries even when the write is refused.
    fillList(images_, monsters_.imageLabels());
    paint();
    if (result == MonsterSaveResult::Saved) return true;
    ui().showWarning(monsterSaveMessage(result));
    return false;
}

}  // namespace morvik::gui
