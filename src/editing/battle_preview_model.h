#pragma once

#include <string>
#include <vector>

#include "backgrounds/battle_background.h"
#include "gfx/indexed_image.h"
#include "rom/battle/battle_check.h"
#include "rom/battle/formations.h"
#include "rom/monsters/monster_graphics.h"

namespace morvik {

// A place's box as the preview outlines it, in pixels of the composed picture.
struct PlaceBox {
    int slot = 0;
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    bool garbled = false;  // the monster is wider than its place

    friend bool operator==(const PlaceBox&, const PlaceBox&) = default;
};

// The Battle preview without its window: the formation list, the formation
// and background shown, and what the window draws of it. It reads the sets
// every time it is asked, so it always shows the data as edited.
class BattlePreviewModel {
  public:
    BattlePreviewModel(const MonsterGraphicsSet& set, const BattleTables& tables,
                       const std::vector<BattleBackground>& backgrounds)
        : set_(set), tables_(tables), backgrounds_(backgrounds) {}

    // One line per formation: "044: Guard, Leafer x2", its monsters in slot
    // order, each named once with its count.
    std::vector<std::string> formationLabels() const;
    static std::string formationLabel(const MonsterGraphicsSet& set, const Formation& formation,
                                      int number);

    int formation() const { return formation_; }
    // A number outside the table is ignored.
    void selectFormation(int formation);

    // The background list: "None" first, then one line per battle background.
    std::vector<std::string> backgroundLabels() const;
    // -1 for none.
    int background() const { return background_; }
    int backgroundLine() const { return background_ + 1; }
    void selectBackgroundLine(int line);
    // The battle background a background setting (a thumbnail) shows, or none.
    void followBackgroundSetting(int thumbnail);

    bool showBoxes() const { return showBoxes_; }
    void setShowBoxes(bool on) { showBoxes_ = on; }
    // The monsters that join the battle later are drawn too.
    bool allSlots() const { return allSlots_; }
    void setAllSlots(bool on) { allSlots_ = on; }

    FormationView view() const;
    // The formation as the game shows it, with what the game cuts drawn faded.
    IndexedImage picture() const;
    // The boxes of the places of the slots drawn (none with the boxes off).
    std::vector<PlaceBox> boxes() const;
    // What the game does not show as drawn: slots it never shows or cuts,
    // monsters it garbles, colours it takes from another palette.
    std::vector<std::string> notes() const;

  private:
    bool drawn(const SlotView& seat) const { return seat.shown() && (seat.present || allSlots_); }

    const MonsterGraphicsSet& set_;
    const BattleTables& tables_;
    const std::vector<BattleBackground>& backgrounds_;
    int formation_ = 0;
    int background_ = -1;
    bool showBoxes_ = true;
    bool allSlots_ = false;
};

}  // namespace morvik
