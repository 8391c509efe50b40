#include "gui/pages/preview_page.h"

#include <QMessageBox>
#include <QPainter>

#include "gfx/render.h"
#include "gui/image_convert.h"
#include "gui/main_window.h"
#include "rom/monsters/monster_save.h"
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
    current_ = tab == kEspersTab ? monsters::kFirstEsperRecord : 0;
    update();
}

bool PreviewPage::saveToRom(const std::filesystem::path& path) {
    std::string message;
    switch (kind_) {
        case Kind::Monsters: {
            encodeMonsterImage(sets_.monsters, current_);
            const MonsterSaveResult result = saveMonsterSet(sets_.monsters, path);
            if (result != MonsterSaveResult::Saved) message = monsterSaveMessage(result);
            break;
        }
        case Kind::Portraits: {
            const PortraitSaveResult result = savePortraits(sets_.portraits, path);
            if (result != PortraitSaveResult::Saved) message = portraitSaveMessage(result);
            break;
        }
        case Kind::Characters: {
            const SpriteSaveResult result = saveCharacterSprites(sets_.characters, path);
            if (result != SpriteSaveResult::Saved) message = spriteSaveMessage(result);
            break;
        }
    }
    if (message.empty()) return true;
    QMessageBox::warning(nullptr, kProgramCaption, QString::fromStdString(message));
    return false;
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
