#include "gui/pages/preview_page.h"

#include <QPainter>

#include "gfx/render.h"
#include "gui/image_convert.h"
#include "rom/portraits/portrait_edit.h"
#include "rom/sprites/sprite_edit.h"

namespace morvik::gui {

PreviewPage::PreviewPage(Kind kind, DataSets& sets, const BackgroundPictures& backgrounds,
                         DocumentUi& ui, QWidget* parent)
    : TransferPage(ui, parent), kind_(kind), sets_(sets), backgrounds_(backgrounds) {
    setObjectName(kind == Kind::Portraits ? "portraitPage" : "characterPage");
}

bool PreviewPage::saveToRom(const std::filesystem::path& path) {
    const std::string message = saveDataSet(sets_, kind_, path);
    if (message.empty()) return true;
    ui().showError(message);
    return false;
}

QString PreviewPage::exportTitle() const {
    return kind_ == Kind::Portraits ? "Export portrait" : "Export character sprites";
}

QString PreviewPage::importTitle() const {
    return kind_ == Kind::Portraits ? "Import Portrait" : "Import Character sprites";
}

QString PreviewPage::itemName() const {
    return kind_ == Kind::Portraits ? portraits::kPortraitNames[current_]
                                    : sprites::kCharacterNames[current_];
}

const ImportLimits& PreviewPage::importLimits() const {
    return kind_ == Kind::Portraits ? kPortraitImportLimits : kCharacterImportLimits;
}

bool PreviewPage::exportTo(const std::filesystem::path& path, ImageFileType type) const {
    const IndexedImage picture = currentPicture();
    return writeImage(picture, path, picture.width(), picture.height(), type) == ImageStatus::Ok;
}

void PreviewPage::importPicture(const IndexedImage& picture) {
    if (kind_ == Kind::Portraits)
        importPortrait(sets_.portraits, current_, picture);
    else
        importCharacterSheet(sets_.characters, current_, picture);
    update();
}

IndexedImage PreviewPage::currentPicture() const {
    if (kind_ == Kind::Portraits) return sets_.portraits.portraits[current_].image;
    return characterSheet(sets_.characters, current_);
}

void PreviewPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!loaded_) return;
    const IndexedImage preview = drawImage(currentPicture(), &backgrounds_.background128, 128, 128);
    painter.drawImage(QPoint(10, 10), toQImage(preview));
}

}  // namespace morvik::gui
