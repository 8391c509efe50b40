#include "gui/pages/preview_page.h"

#include <QMessageBox>
#include <QPainter>

#include "gfx/render.h"
#include "gui/export_dialog.h"
#include "gui/image_convert.h"
#include "gui/import_dialog.h"
#include "gui/main_window.h"
#include "rom/monsters/monster_edit.h"
#include "rom/portraits/portrait_edit.h"
#include "rom/sprites/sprite_edit.h"

namespace morvik::gui {

PreviewPage::PreviewPage(Kind kind, DataSets& sets, const BackgroundPictures& backgrounds,
                         QWidget* parent)
    : QWidget(parent), kind_(kind), sets_(sets), backgrounds_(backgrounds) {
    static constexpr const char* kNames[] = {"monsterPage", "portraitPage", "characterPage"};
    setObjectName(kNames[static_cast<int>(kind)]);
}

void PreviewPage::createPage() {
    setGeometry(5, 30, kWidth, kHeight);
    hide();
}

void PreviewPage::showPage() {
    raise();
    show();
}

void PreviewPage::modeChanged(int tab) {
    monsterTab_ = tab;
    current_ = tab == kEspersTab ? monsters::kFirstEsperRecord : 0;
    update();
}

bool PreviewPage::saveToRom(const std::filesystem::path& path) {
    // The record on screen goes into its graphics before the set is saved.
    if (kind_ == Kind::Monsters) encodeMonsterImage(sets_.monsters, current_);
    const std::string message = saveDataSet(sets_, kind_, path);
    if (message.empty()) return true;
    QMessageBox::warning(nullptr, kProgramCaption, QString::fromStdString(message));
    return false;
}

QString PreviewPage::exportTitle() const {
    switch (kind_) {
        case Kind::Monsters:
            return "Export monster";
        case Kind::Portraits:
            return "Export portrait";
        case Kind::Characters:
            break;
    }
    return "Export character sprites";
}

QString PreviewPage::importTitle() const {
    switch (kind_) {
        case Kind::Monsters:
            return monsterTab_ == kEspersTab ? "Import Esper" : "Import Monster";
        case Kind::Portraits:
            return "Import Portrait";
        case Kind::Characters:
            break;
    }
    return "Import Character sprites";
}

QString PreviewPage::itemName() const {
    switch (kind_) {
        case Kind::Monsters:
            return QString::fromStdString(sets_.monsters.records[current_].name);
        case Kind::Portraits:
            return portraits::kPortraitNames[current_];
        case Kind::Characters:
            break;
    }
    return sprites::kCharacterNames[current_];
}

const ImportLimits& PreviewPage::importLimits() const {
    switch (kind_) {
        case Kind::Monsters:
            return kMonsterImportLimits;
        case Kind::Portraits:
            return kPortraitImportLimits;
        case Kind::Characters:
            break;
    }
    return kCharacterImportLimits;
}

bool PreviewPage::exportTo(const std::filesystem::path& path, ImageFileType type) const {
    const IndexedImage picture = currentPicture();
    int width = picture.width();
    int height = picture.height();
    if (kind_ == Kind::Monsters) {
        const Extent extent = monsterVisibleExtent(sets_.monsters, current_);
        width = extent.width;
        height = extent.height;
    }
    return writeImage(picture, path, width, height, type) == ImageStatus::Ok;
}

void PreviewPage::exportImage() {
    ExportDialog dialog(exportTitle(), itemName() + ".png", ImageFileType::Png, mainWindow());
    mainWindow()->setEnabled(false);
    dialog.setEnabled(true);
    const bool confirmed = dialog.exec() == QDialog::Accepted;
    mainWindow()->setEnabled(true);
    if (!confirmed) return;
    // A failed write would otherwise look like an export that happened.
    if (!exportTo(dialog.path().toStdString(), dialog.type())) {
        QMessageBox::critical(nullptr, kProgramCaption, "Error writing image file");
    }
}

void PreviewPage::importPicture(const IndexedImage& picture) {
    switch (kind_) {
        case Kind::Monsters:
            importMonsterImage(sets_.monsters, current_, picture);
            break;
        case Kind::Portraits:
            importPortrait(sets_.portraits, current_, picture);
            break;
        case Kind::Characters:
            importCharacterSheet(sets_.characters, current_, picture);
            break;
    }
    update();
}

void PreviewPage::importImage() {
    ImportDialog dialog(
        importTitle(), importLimits(), kind_ == Kind::Monsters, backgrounds_.background128,
        [this](const IndexedImage& picture) { importPicture(picture); }, this);
    dialog.exec();
    // The document counts as changed however the dialog ended.
    changed_();
}

IndexedImage PreviewPage::currentPicture() const {
    switch (kind_) {
        case Kind::Monsters:
            return sets_.monsters.records[current_].image;
        case Kind::Portraits:
            return sets_.portraits.portraits[current_].image;
        case Kind::Characters:
            break;
    }
    return characterSheet(sets_.characters, current_);
}

void PreviewPage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!loaded_) return;
    const IndexedImage preview = drawImage(currentPicture(), &backgrounds_.background128, 128, 128);
    painter.drawImage(QPoint(10, 10), toQImage(preview));
}

}  // namespace morvik::gui
