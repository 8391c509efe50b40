#include "gui/pages/portrait_page.h"

#include <QComboBox>

#include "gui/pages/page_controls.h"
#include "rom/portraits/portrait_layout.h"

namespace morvik::gui {

namespace {

PageLayout portraitLayout() {
    PageLayout layout;
    layout.preview = dialogRect(10, 29, 15, 13);
    layout.previewPicture = QSize(portraits::kPortraitSide, portraits::kPortraitSide);
    return layout;
}

}  // namespace

PortraitPage::PortraitPage(DataSets& sets, Settings& settings,
                           const BackgroundPictures& backgrounds, DocumentUi& ui, QWidget* parent)
    : PageWidget(std::make_unique<PortraitPageModel>(sets.portraits), portraitLayout(), settings,
                 &Settings::tab3Mag, backgrounds, ui, parent),
      portraits_(static_cast<PortraitPageModel&>(model_)) {
    setObjectName("portraitPage");
    list_ = addList(dialogRect(10, 7, 100, 96), "portraitList");
    palettes_ = addList(dialogRect(13, 104, 90, 125), "paletteList");
    connect(list_, &QComboBox::currentIndexChanged, this, [this](int line) {
        if (line < 0) return;
        portraits_.selectPortrait(line);
        paint();
    });
    connect(palettes_, &QComboBox::currentIndexChanged, this, [this](int line) {
        if (line < 0) return;
        portraits_.selectPalette(line);
        paint();
    });
}

void PortraitPage::initAfterLoad() {
    initFramework();
    fillList(list_, PortraitPageModel::names());
    selectQuietly(list_, 0);
    portraits_.selectPortrait(0);
    fillList(palettes_, PortraitPageModel::paletteLabels());
    paint();
}

void PortraitPage::refreshPageControls() {
    selectQuietly(palettes_, portraits_.paletteIndex());
}

void PortraitPage::clearImage() {
    if (!ui().askOkCancel("This will erase the current portrait")) return;
    portraits_.clear();
    paint();
}

void PortraitPage::flipImage(FlipDirection direction) {
    portraits_.flip(direction);
    paint();
}

void PortraitPage::copyImage() {
    openCopyList("Copy portrait image", PortraitPageModel::names(),
                 [this](int source) { portraits_.copyFrom(source); });
}

QString PortraitPage::itemName() const {
    return QString::fromStdString(portraits_.name());
}

bool PortraitPage::exportTo(const std::filesystem::path& path, ImageFileType type) const {
    return writeImage(portraits_.picture(), path, portraits::kPortraitSide,
                      portraits::kPortraitSide, type) == ImageStatus::Ok;
}

void PortraitPage::importPicture(const IndexedImage& picture) {
    portraits_.importPicture(picture);
    paint();
}

bool PortraitPage::saveToRom(RomFile& rom) {
    const PortraitSaveResult result = portraits_.save(rom);
    if (result == PortraitSaveResult::Saved) return true;
    ui().showWarning(portraitSaveMessage(result));
    return false;
}

}  // namespace morvik::gui
