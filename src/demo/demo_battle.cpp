#include "demo/demo_battle.h"

#include <algorithm>
#include <numeric>

#include "demo/demo_foreign.h"
#include "demo/demo_monsters.h"
#include "demo/demo_support.h"
#include "rom/battle/battle_layout.h"

namespace morvik {
namespace {

using namespace battle;

// The places of the maps in cells ({column, row, width, height}), map after
// map, as many as the game shows for each. The places of a map do not overlap.
// Short places (4 to 6 rows) seat the short creatures only.
constexpr std::array<BattlePlace, kPlaceRecordCount> kPlaces = {{
    // 0: four small monsters
    {0, 0, 8, 8},
    {8, 0, 8, 8},
    {0, 8, 8, 8},
    {8, 8, 8, 8},
    // 1: six short ones
    {0, 0, 8, 6},
    {8, 0, 8, 6},
    {0, 6, 8, 5},
    {8, 6, 8, 5},
    {0, 11, 8, 5},
    {8, 11, 8, 5},
    // 2: two tall places
    {0, 0, 8, 16},
    {8, 0, 8, 16},
    // 3: two wide places
    {0, 0, 16, 8},
    {0, 8, 16, 8},
    // 4: a wide place above two small ones
    {0, 0, 16, 8},
    {0, 8, 8, 8},
    {8, 8, 8, 8},
    // 5: two small places above a wide one
    {0, 0, 8, 8},
    {8, 0, 8, 8},
    {0, 8, 16, 8},
    // 6: the espers' whole area
    {0, 0, 16, 16},
    // 7: two small places, four short ones
    {0, 0, 8, 8},
    {8, 0, 8, 8},
    {0, 8, 8, 4},
    {8, 8, 8, 4},
    {0, 12, 8, 4},
    {8, 12, 8, 4},
    // 8: a tall place beside a small one and two short ones
    {0, 0, 8, 16},
    {8, 0, 8, 8},
    {8, 8, 8, 4},
    {8, 12, 8, 4},
    // 9: one large monster
    {0, 0, 16, 16},
    // 10: three small places, two short ones
    {0, 0, 8, 8},
    {8, 0, 8, 8},
    {0, 8, 8, 8},
    {8, 8, 8, 4},
    {8, 12, 8, 4},
    // 11: four short places above a short wide one
    {0, 0, 8, 6},
    {8, 0, 8, 6},
    {0, 6, 8, 5},
    {8, 6, 8, 5},
    {0, 11, 16, 5},
    // 12: one small place and five short ones
    {0, 0, 8, 8},
    {8, 0, 8, 5},
    {8, 5, 8, 5},
    {0, 8, 8, 4},
    {0, 12, 8, 4},
    {8, 10, 8, 6},
}};
static_assert(std::accumulate(kMapPlaceCounts.begin(), kMapPlaceCounts.end(), 0) ==
              kPlaceRecordCount);

constexpr int firstPlaceOf(int map) {
    int first = 0;
    for (int m = 0; m < map; ++m)
        first += kMapPlaceCounts[static_cast<std::size_t>(m)];
    return first;
}

const BattlePlace& placeOf(int map, int slot) {
    return kPlaces[static_cast<std::size_t>(firstPlaceOf(map) + slot)];
}

bool isShown(int map, int slot) {
    return slot < kMapPlaceCounts[static_cast<std::size_t>(map)];
}

// The maps the generated formations use, in turn: all but the espers'.
constexpr std::array<int, 12> kFormationMaps = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12};

bool fits(const BattleSize& size, const BattlePlace& place) {
    return !size.drawable || (size.columns <= place.width && size.rows <= place.height);
}

constexpr BattlePlace kSmallPlace = {0, 0, 8, 8};

// Where a monster stands: centred in its place, on the place's bottom row, so
// the box the game draws stays inside the monster area. A monster the game
// cannot draw stands in its place's corner, a hidden one in the area's.
FormationSlot seat(int map, int slot, int monster, const BattleSize& size) {
    FormationSlot seated;
    seated.monster = monster;
    seated.present = true;
    if (!isShown(map, slot)) return seated;
    const BattlePlace& place = placeOf(map, slot);
    const int columns = size.drawable ? std::min(size.columns, place.width) : place.width;
    const int rows = size.drawable ? std::min(size.rows, place.height) : place.height;
    seated.x = (place.column + (place.width - columns) / 2) * kCellPixels;
    seated.y = (place.row + place.height - rows) * kCellPixels;
    return seated;
}

// Seats monsters in turn: each monster that is not seated yet goes to the next
// place it fits, a place larger than 8x8 cells first to a monster that needs one.
class Seating {
  public:
    Seating() {
        for (int m = 0; m < kMonsterCount; ++m)
            sizes_[static_cast<std::size_t>(m)] = demoBattleSize(m);
    }
    const BattleSize& size(int monster) const { return sizes_[static_cast<std::size_t>(monster)]; }

    int take(const BattlePlace& place) {
        if (waiting_.empty()) {
            waiting_.resize(kMonsterCount);
            std::iota(waiting_.begin(), waiting_.end(), 0);
        }
        const bool large = place.width > kSmallPlace.width || place.height > kSmallPlace.height;
        auto found = waiting_.end();
        if (large) {
            found = std::find_if(waiting_.begin(), waiting_.end(), [&](int m) {
                return fits(size(m), place) && !fits(size(m), kSmallPlace);
            });
        }
        if (found == waiting_.end()) {
            found = std::find_if(waiting_.begin(), waiting_.end(),
                                 [&](int m) { return fits(size(m), place); });
        }
        if (found != waiting_.end()) {
            const int monster = *found;
            waiting_.erase(found);
            return monster;
        }
        // Every monster waiting is too large: seat one again.
        for (int i = 0; i < kMonsterCount; ++i) {
            const int monster = (again_ + i) % kMonsterCount;
            if (!fits(size(monster), place)) continue;
            again_ = monster + 1;
            return monster;
        }
        return kNoMonster;
    }

    static constexpr int kMonsterCount = 384;

  private:
    std::array<BattleSize, kMonsterCount> sizes_;
    std::vector<int> waiting_;
    int again_ = 0;
};

// A generated formation: up to `kinds` different monsters (one palette each)
// over the map's places, each place held by a monster that fits it or left empty.
Formation generated(Seating& seating, int map, int kinds) {
    Formation formation;
    formation.map = map;
    std::vector<int> chosen;
    for (int s = 0; s < kMapPlaceCounts[static_cast<std::size_t>(map)]; ++s) {
        const BattlePlace& place = placeOf(map, s);
        int monster = kNoMonster;
        if (static_cast<int>(chosen.size()) < kinds) {
            monster = seating.take(place);
            if (monster != kNoMonster) chosen.push_back(monster);
        } else {
            for (std::size_t i = 0; i < chosen.size() && monster == kNoMonster; ++i) {
                const int candidate = chosen[(static_cast<std::size_t>(s) + i) % chosen.size()];
                if (fits(seating.size(candidate), place)) monster = candidate;
            }
        }
        if (monster != kNoMonster)
            formation.monsters[static_cast<std::size_t>(s)] =
                seat(map, s, monster, seating.size(monster));
    }
    return formation;
}

// A formation of the given monsters, slot by slot (kNoMonster: an empty slot).
Formation designed(const Seating& seating, int map, const std::array<int, kSlotCount>& monsters) {
    Formation formation;
    formation.map = map;
    for (int s = 0; s < kSlotCount; ++s) {
        const int monster = monsters[static_cast<std::size_t>(s)];
        if (monster != kNoMonster)
            formation.monsters[static_cast<std::size_t>(s)] =
                seat(map, s, monster, seating.size(monster));
    }
    return formation;
}

std::vector<Formation> buildFormations() {
    Seating seating;
    constexpr int n = kNoMonster;
    const int cut = kDemoCutSeat.monster;
    const int garbled = kDemoGarbledSeat.monster;
    const auto& palettes = kDemoPaletteMonsters;
    const int repeated = kDemoRepeatedMonster;
    std::vector<Formation> formations;
    for (int f = 0; f < kFormationCount; ++f) {
        Formation formation;
        switch (f) {
            case kDemoCutSeat.formation:
                static_assert(kDemoCutSlots[0] == 0 && kDemoCutSlots[1] == 1);
                formation = designed(seating, 1, {cut, cut, 0, 0, n, n});
                break;
            case kDemoGarbledSeat.formation:
                formation = designed(seating, 0, {garbled, 20, 20, n, n, n});
                break;
            case kDemoPaletteFormation:
                formation = designed(seating, 0,
                                     {palettes[0], palettes[1], palettes[2], palettes[3], n, n});
                break;
            case kDemoMonster255Formation:
                formation = designed(seating, 2, {255, 30, n, n, n, n});
                break;
            case kDemoHighMonsterFormation:
                formation =
                    designed(seating, 0, {n, kDemoHighMonsters[0], n, kDemoHighMonsters[1], n, n});
                break;
            case kDemoHiddenSlotFormation:
                static_assert(kDemoHiddenSlot == 2);
                formation = designed(seating, 3, {22, 24, 36, n, n, n});
                break;
            case kDemoRepeatFormation:
                formation = designed(seating, 0, {repeated, repeated, 18, repeated, n, n});
                break;
            case kDemoAbsentSlotFormation:
                formation = designed(seating, 0, {26, 27, 26, 27, n, n});
                formation.monsters[kDemoAbsentSlot].present = false;
                break;
            default:
                formation = generated(seating, kFormationMaps[f % kFormationMaps.size()],
                                      1 + f / static_cast<int>(kFormationMaps.size()) % 3);
        }
        formations.push_back(formation);
    }
    return formations;
}

const std::vector<Formation>& formations() {
    static const std::vector<Formation> instance = buildFormations();
    return instance;
}

}  // namespace

BattleTables demoBattleTables() {
    BattleTables tables;
    tables.formations = formations();
    for (int m = 0; m < kMapCount; ++m) {
        // A slot reads the place its number gives, within the table, whether
        // the game shows it or not.
        for (int s = 0; s < kSlotCount; ++s) {
            const int place = firstPlaceOf(m) + s;
            if (place < kPlaceRecordCount)
                tables.maps[static_cast<std::size_t>(m)].places[static_cast<std::size_t>(s)] =
                    kPlaces[static_cast<std::size_t>(place)];
        }
    }
    return tables;
}

void addDemoBattle(std::vector<std::uint8_t>& romFile, bool foreign) {
    for (int m = 0; m < kMapCount; ++m) {
        const std::uint32_t first =
            kPlacesOffset + kPlaceBytes * static_cast<std::uint32_t>(firstPlaceOf(m));
        demo::putWord(romFile, kMapPointersOffset + 2 * static_cast<std::uint32_t>(m),
                      first - kMapBankOffset);
    }
    for (std::size_t p = 0; p < kPlaces.size(); ++p) {
        const BattlePlace& place = kPlaces[p];
        const auto word = static_cast<unsigned>(place.column * 0x20 + place.row * 0x200);
        const std::array<std::uint8_t, kPlaceBytes> bytes = {
            static_cast<std::uint8_t>(word & 0xFF), static_cast<std::uint8_t>(word >> 8),
            static_cast<std::uint8_t>(place.width), static_cast<std::uint8_t>(place.height)};
        demo::put(romFile, kPlacesOffset + kPlaceBytes * static_cast<std::uint32_t>(p), bytes);
    }
    const std::vector<Formation>& all = formations();
    for (int f = 0; f < kFormationCount; ++f) {
        auto bytes = formationBytes(all[static_cast<std::size_t>(f)]);
        for (const DemoForeignFormationBits& spare : kDemoForeignFormationBits) {
            if (!foreign || spare.formation != f) continue;
            bytes[kMapByte] |= spare.mapByte;
            bytes[kPresentByte] |= spare.presentByte;
            bytes[kHighBitsByte] |= spare.highBitsByte;
        }
        demo::put(romFile, kFormationsOffset + kFormationBytes * static_cast<std::uint32_t>(f),
                  bytes);
    }
}

}  // namespace morvik
