#include "gui/pages/character_page.h"

#include <QComboBox>

#include "gui/pages/choice_dialog.h"
#include "gui/pages/page_controls.h"
#include "rom/sprites/sprite_layout.h"

namespace morvik::gui {

namespace {

PageLayout characterLayout() {
    PageLayout layout;
    layout.preview = dialogRect(15, 27, 85, 80);
    layout.previewPicture = QSize(sprites::kSheetWidth, sprites::kSheetWidth);
    layout.importText = "Import Sprites";
    layout.copyText = "Copy Sprite";
    layout.clearText = "Clear Sprite";
    layout.copyX = 170;
    layout.clearX = 90;
    return layout;
}

}  // namespace

CharacterPage::CharacterPage(DataSets& sets, Settings& settings,
                             const BackgroundPictures& backgrounds, DocumentUi& ui, QWidget* parent)
    : PageWidget(std::make_unique<CharacterPageModel>(sets.characters), characterLayout(), settings,
                 &Settings::tab4Mag, backgrounds, ui, parent),
      characters_(static_cast<CharacterPageModel&>(model_)) {
    setObjectName("characterPage");
    list_ = addList(dialogRect(13, 7, 91, 96), "characterList");
    palettes_ = addList(dialogRect(13, 108, 90, 125), "paletteList");
    // The palette index is shown, not chosen, on this page.
    palettes_->setEnabled(false);
    connect(list_, &QComboBox::currentIndexChanged, this, [this](int line) {
        if (line < 0) return;
        characters_.selectCharacter(line);
        paint();
    });
    // The sheet takes presses only: dragging over it does not select. The
    // picker takes a colour from it instead.
    preview()->pressed = [this](QPoint point) {
        if (characters_.tool() == EditTool::Picker)
            characters_.pickFromPreview({point.x(), point.y()});
        else if (!characters_.clickSheet(point.x(), point.y()))
            return;
        paint();
    };
}

void CharacterPage::initAfterLoad() {
    initFramework();
    fillList(list_, CharacterPageModel::names());
    selectQuietly(list_, 0);
    fillList(palettes_, CharacterPageModel::paletteLabels());
    characters_.selectSprite(0);
    characters_.selectCharacter(0);
    paint();
}

void CharacterPage::refreshPageControls() {
    selectQuietly(palettes_, characters_.paletteIndex());
}

void CharacterPage::clearImage() {
    const std::string question = "This will erase all sprites for " + characters_.name();
    if (!ui().askOkCancel(question)) return;
    characters_.clear();
    paint();
}

void CharacterPage::flipImage(FlipDirection direction) {
    characters_.flip(direction);
    paint();
}

void CharacterPage::copyImage() {
    ChoiceDialog choice("Copy character sprite",
                        {"Copy only selected sprite", "Copy all sprites for this character"},
                        mainWindow());
    const int answer = choice.ask();
    if (answer < 0) return;
    const int sprite = answer == 1 ? CharacterPageModel::kAllSprites : characters_.currentSprite();
    openCopyList("Copy character sprite", CharacterPageModel::names(),
                 [this, sprite](int source) { characters_.copyFrom(source, sprite); });
}

QString CharacterPage::itemName() const {
    return QString::fromStdString(characters_.name());
}

bool CharacterPage::exportTo(const std::filesystem::path& path, ImageFileType type) const {
    const IndexedImage sheet = characters_.sheet(false);
    return writeImage(sheet, path, sheet.width(), sheet.height(), type) == ImageStatus::Ok;
}

void CharacterPage::importPicture(const IndexedImage& picture) {
    characters_.importPicture(picture);
    paint();
}

bool CharacterPage::saveToRom(RomFile& rom) {
    const SpriteSaveResult result = characters_.save(rom);
    if (result == SpriteSaveResult::Saved) return true;
    ui().showWarning(spriteSaveMessage(result));
    return false;
}

}  // namespace morvik::gui
