#include "editing/battle_preview_model.h"

#include <algorithm>
#include <cstdio>

#include "backgrounds/background_pictures.h"
#include "transfer/battle_picture.h"

namespace morvik {

using namespace battle;

namespace {

std::string formatted(const char* format, auto... values) {
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string monsterName(const MonsterGraphicsSet& set, int monster) {
    if (monster >= 0 && monster < monsters::kRecordCount) {
        const std::string& name = set.records[static_cast<std::size_t>(monster)].name;
        if (!name.empty()) return name;
    }
    return formatted("monster %03d", monster);
}

// Why the game never shows a slot that holds a record.
std::string hiddenNote(const Formation& formation, int slot) {
    if (formation.map >= kMapCount) return " is never shown: its map does not exist";
    if (slotHidden(formation, slot))
        return formatted(" is never shown: its map shows %d places",
                         kMapPlaceCounts[static_cast<std::size_t>(formation.map)]);
    return " is never shown: its map gives it no place";
}

// What the place does to a shown monster, if anything.
std::string placeNote(const SlotView& seat) {
    const int width = seat.size.columns * kCellPixels;
    const int height = seat.size.rows * kCellPixels;
    if (seat.garbled)
        return formatted(" is wider than its place (%dx%d in %dx%d): the game garbles it", width,
                         height, seat.place->width * kCellPixels, seat.place->height * kCellPixels);
    if (seat.cut)
        return formatted(" is cut to %dx%d (its picture is %dx%d)", seat.drawnColumns * kCellPixels,
                         seat.drawnRows * kCellPixels, width, height);
    return {};
}

}  // namespace

std::string BattlePreviewModel::formationLabel(const MonsterGraphicsSet& set,
                                               const Formation& formation, int number) {
    // Each monster once, in the order of its first slot, with its count.
    std::vector<std::pair<int, int>> counted;
    for (const FormationSlot& slot : formation.monsters) {
        if (!slot.holdsMonster()) continue;
        auto found = std::find_if(counted.begin(), counted.end(),
                                  [&](const auto& entry) { return entry.first == slot.monster; });
        if (found == counted.end())
            counted.emplace_back(slot.monster, 1);
        else
            ++found->second;
    }
    std::string label = formatted("%03d: ", number);
    if (counted.empty()) return label + "(no monsters)";
    for (std::size_t i = 0; i < counted.size(); ++i) {
        if (i > 0) label += ", ";
        label += monsterName(set, counted[i].first);
        if (counted[i].second > 1) label += formatted(" x%d", counted[i].second);
    }
    return label;
}

std::vector<std::string> BattlePreviewModel::formationLabels() const {
    std::vector<std::string> labels;
    labels.reserve(tables_.formations.size());
    for (std::size_t f = 0; f < tables_.formations.size(); ++f)
        labels.push_back(formationLabel(set_, tables_.formations[f], static_cast<int>(f)));
    return labels;
}

void BattlePreviewModel::selectFormation(int formation) {
    if (formation >= 0 && formation < static_cast<int>(tables_.formations.size()))
        formation_ = formation;
}

std::vector<std::string> BattlePreviewModel::backgroundLabels() const {
    std::vector<std::string> labels{"None"};
    for (std::size_t n = 0; n < backgrounds_.size(); ++n)
        labels.push_back("Background " + std::to_string(n));
    return labels;
}

void BattlePreviewModel::selectBackgroundLine(int line) {
    if (line >= 0 && line <= static_cast<int>(backgrounds_.size())) background_ = line - 1;
}

void BattlePreviewModel::followBackgroundSetting(int thumbnail) {
    const int n = battleBackgroundOfThumbnail(thumbnail);
    background_ = n < static_cast<int>(backgrounds_.size()) ? n : -1;
}

FormationView BattlePreviewModel::view() const {
    return viewFormation(set_, tables_, formation_);
}

IndexedImage BattlePreviewModel::picture() const {
    const BattleBackground* background =
        background_ >= 0 ? &backgrounds_[static_cast<std::size_t>(background_)] : nullptr;
    return composeFormation(set_, view(), background,
                            {.showCutParts = true, .allSlots = allSlots_});
}

std::vector<PlaceBox> BattlePreviewModel::boxes() const {
    std::vector<PlaceBox> boxes;
    if (!showBoxes_) return boxes;
    for (const SlotView& seat : view().seats) {
        if (!drawn(seat)) continue;
        boxes.push_back({seat.slot, kBattleAreaX + seat.x, kBattleAreaY + seat.y,
                         seat.place->width * kCellPixels, seat.place->height * kCellPixels,
                         seat.garbled});
    }
    return boxes;
}

std::vector<std::string> BattlePreviewModel::notes() const {
    std::vector<std::string> notes;
    if (formation_ >= static_cast<int>(tables_.formations.size())) return notes;
    const Formation& formation = tables_.formations[static_cast<std::size_t>(formation_)];
    const FormationView view = this->view();
    for (const SlotView& seat : view.seats) {
        if (seat.monster == kNoMonster) continue;
        const std::string who =
            formatted("Slot %d (%s)", seat.slot + 1, monsterName(set_, seat.monster).c_str());
        if (!seat.holdsRecord()) {
            notes.push_back(who + " is no monster the game has");
            continue;
        }
        if (!seat.place) {
            notes.push_back(who + hiddenNote(formation, seat.slot));
            continue;
        }
        if (!seat.size.drawable) {
            notes.push_back(who + ": the game cannot draw it: the first row of its mold is empty");
            continue;
        }
        if (seat.size.losesRows()) {
            std::string rows = battleRowsWarning(seat.size);
            rows[0] = 'r';
            notes.push_back(who + ": " + rows);
        }
        if (const std::string note = placeNote(seat); !note.empty()) notes.push_back(who + note);
        if (seat.shownPalette != seat.palette)
            notes.push_back(who + formatted(" shows palette %d instead of %d: the game loads "
                                            "%d of the formation's %d palettes",
                                            seat.shownPalette, seat.palette, kLoadedPalettes,
                                            view.paletteCount));
        if (!seat.present) notes.push_back(who + " joins the battle later");
    }
    return notes;
}

}  // namespace morvik
