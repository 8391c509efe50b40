#include "cli/cli_session.h"

#include <ostream>

#include "rom/monsters/monster_save.h"

namespace morvik::cli {

bool CliUi::askYesNo(const std::string& text) {
    // The only question is the signature one: the command line loads anyway, and says so.
    err_ << "warning: " << text << " (loading it)\n";
    return true;
}

void CliUi::showError(const std::string& text) {
    err_ << text << '\n';
}

void CliUi::showInfo(const std::string& text) {
    out_ << text << '\n';
}

bool CliPage::saveToRom(const std::filesystem::path& path) {
    std::string message;
    switch (kind_) {
        case Kind::Monsters: {
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
    err_ << message << '\n';
    return false;
}

Session::Session(const std::filesystem::path& romPath, std::ostream& out, std::ostream& err)
    : ui_(romPath, out, err),
      monsters_(CliPage::Kind::Monsters, sets, err),
      portraits_(CliPage::Kind::Portraits, sets, err),
      characters_(CliPage::Kind::Characters, sets, err),
      document_(settings_, sets, backgrounds, EditorPages{monsters_, portraits_, characters_},
                ui_) {}

}  // namespace morvik::cli
