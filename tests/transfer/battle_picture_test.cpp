#include "transfer/battle_picture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rom/battle/battle_check.h"

namespace morvik {
namespace {

using namespace battle;

// A pixel of the picture counted from the monster area's corner.
int areaPixel(const IndexedImage& picture, int x, int y) {
    return picture.getPixel(kBattleAreaX + x, kBattleAreaY + y);
}

// Small made-up monsters in made-up formations: every cell of a picture holds
// one colour of its own, so a composed pixel tells which tile the game drew.
class BattlePicture : public ::testing::Test {
  protected:
    // Record r: a 64x64 picture whose mold marks `rows` x `columns` cells from
    // the top-left; cell (c, r) is filled with colour 1 + (8r + c) % 15.
    void addMonster(int record, int rows, int columns, int palette, const char* name = "") {
        MonsterRecord& r = set.records[static_cast<std::size_t>(record)];
        r.name = name;
        r.large = false;
        r.depth = TileDepth::Colours16;
        r.paletteIndex = palette;
        Mold mold(64, 0);
        ASSERT_TRUE(r.image.create(64, 64));
        for (int row = 0; row < rows; ++row) {
            for (int column = 0; column < columns; ++column) {
                mold[static_cast<std::size_t>(row * 8 + column)] = 1;
                for (int y = 0; y < 8; ++y) {
                    for (int x = 0; x < 8; ++x)
                        r.image.setPixel(column * 8 + x, row * 8 + y, cellColour(column, row));
                }
            }
        }
        r.moldIndex = static_cast<int>(set.smallMolds.size());
        set.smallMolds.push_back(mold);
    }
    static Mold moldRows(const std::vector<std::string>& rows) {
        Mold mold(64, 0);
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < rows[r].size(); ++c)
                mold[r * 8 + c] = rows[r][c] == '#' ? 1 : 0;
        }
        return mold;
    }
    static std::uint8_t cellColour(int column, int row) {
        return static_cast<std::uint8_t>(1 + (8 * row + column) % 15);
    }
    // Slot s of formation 0 on map `map`, with a place of the given cells.
    void seat(int s, int monster, bool present, int x, int y, int width, int height) {
        FormationSlot& slot = tables.formations[0].monsters[static_cast<std::size_t>(s)];
        slot = {monster, present, x, y};
        tables.maps[static_cast<std::size_t>(tables.formations[0].map)].places[s] =
            BattlePlace{0, 0, width, height};
    }
    // The colour index the picture holds for colour v of loaded palette i.
    static int shown(int loaded, int v) { return kBattleMonsterColours + 16 * loaded + v; }
    FormationView view() const { return viewFormation(set, tables, 0); }
    IndexedImage compose(const BattlePictureOptions& options = {}) const {
        return composeFormation(set, view(), nullptr, options);
    }

    void SetUp() override {
        for (std::size_t k = 0; k < set.monsterPalettes.size(); ++k) {
            set.monsterPalettes[k] = PaletteColour::fromRgb(static_cast<std::uint8_t>(k % 256),
                                                            static_cast<std::uint8_t>(k / 256), 7);
        }
        tables.formations.resize(1);
        for (FormationSlot& slot : tables.formations[0].monsters)
            slot.monster = kNoMonster;
        tables.formations[0].map = 1;  // six places
    }

    MonsterGraphicsSet set;
    BattleTables tables;
};

TEST_F(BattlePicture, ATallMonsterIsCutCleanAndAWideOneGarbledAsTheGameDoesIt) {
    addMonster(10, 4, 2, 100);  // 16x32 in a 16x16 place: cut
    addMonster(11, 2, 3, 100);  // 24x16 in a 16x16 place: garbled
    seat(0, 10, true, 0, 0, 2, 2);
    seat(1, 11, true, 64, 64, 2, 2);
    const FormationView v = view();
    EXPECT_TRUE(v.seats[0].cut);
    EXPECT_FALSE(v.seats[0].garbled);
    EXPECT_TRUE(v.seats[1].garbled);
    const IndexedImage picture = compose();
    ASSERT_EQ(picture.width(), kBattlePictureWidth);
    ASSERT_EQ(picture.height(), kBattlePictureHeight);
    // Cut: rows 0-1 drawn as they are, rows 2-3 not at all.
    for (const auto& [column, row] : {std::pair{0, 0}, {1, 0}, {0, 1}, {1, 1}})
        EXPECT_EQ(areaPixel(picture, column * 8 + 3, row * 8 + 3),
                  shown(0, cellColour(column, row)));
    EXPECT_EQ(areaPixel(picture, 3, 19), 0);
    // Garbled: each row takes two cells while the tiles follow in mold order,
    // so row 1 starts with the tile of cell (2, 0).
    const std::pair<int, int> tiles[2][2] = {{{0, 0}, {1, 0}}, {{2, 0}, {0, 1}}};
    for (int row = 0; row < 2; ++row) {
        for (int column = 0; column < 2; ++column) {
            const auto [c, r] = tiles[row][column];
            EXPECT_EQ(areaPixel(picture, 64 + column * 8 + 4, 64 + row * 8 + 4),
                      shown(0, cellColour(c, r)))
                << column << "," << row;
        }
    }
    EXPECT_EQ(areaPixel(picture, 64 + 16 + 4, 64 + 4), 0);
    // Shown faded, what the game leaves out lies where the picture has it.
    const IndexedImage withCuts = compose({.showCutParts = true});
    EXPECT_EQ(areaPixel(withCuts, 3, 19), kBattleFadedColours + cellColour(0, 2));
    EXPECT_EQ(areaPixel(withCuts, 64 + 16 + 4, 64 + 4), kBattleFadedColours + cellColour(2, 0));
    EXPECT_EQ(areaPixel(withCuts, 3, 3), areaPixel(picture, 3, 3));
}

TEST_F(BattlePicture, PalettesLoadFirstComeFirstServedOverEverySlotThatHoldsAMonster) {
    addMonster(1, 1, 1, 10);
    addMonster(2, 1, 1, 20);
    addMonster(3, 1, 1, 30);
    addMonster(4, 1, 1, 40);
    seat(0, 1, true, 0, 0, 2, 2);
    seat(1, 2, false, 16, 0, 2, 2);  // joins later: its palette loads all the same
    seat(2, kNoMonster, true, 32, 0, 2, 2);
    seat(3, 3, true, 48, 0, 2, 2);
    seat(4, 4, true, 64, 0, 2, 2);  // a fourth palette: drawn with the first
    seat(5, 2, true, 80, 0, 2, 2);  // a palette already loaded
    const FormationView v = view();
    EXPECT_EQ(v.palettes, (std::vector<int>{10, 20, 30}));
    EXPECT_EQ(v.paletteCount, 4);
    EXPECT_EQ(v.seats[4].loadedIndex, 0);
    EXPECT_EQ(v.seats[4].shownPalette, 10);
    EXPECT_EQ(v.seats[5].loadedIndex, 1);
    const IndexedImage picture = compose();
    const int expectations[][2] = {{0, shown(0, 1)},  {16, 0},           {32, 0},
                                   {48, shown(2, 1)}, {64, shown(0, 1)}, {80, shown(1, 1)}};
    for (const auto& [x, index] : expectations)
        EXPECT_EQ(areaPixel(picture, x + 2, 2), index) << x;
    EXPECT_EQ(areaPixel(compose({.allSlots = true}), 18, 2), shown(1, 1));
    // Sixteen colours from word 8p, whatever the depth.
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(picture.paletteEntry(shown(2, k)), set.monsterPalettes[30 * 8 + k]);
        EXPECT_EQ(picture.paletteEntry(k), PaletteColour{});  // no background: black
    }
}

TEST_F(BattlePicture, ASlotPastItsMapsCountLoadsItsPaletteButIsNotShown) {
    tables.formations[0].map = kEsperMap;  // one place
    addMonster(7, 1, 1, 70);
    addMonster(8, 1, 1, 80);
    seat(0, 7, true, 0, 0, 2, 2);
    seat(1, 8, true, 32, 0, 2, 2);
    const FormationView v = view();
    EXPECT_EQ(v.palettes, (std::vector<int>{70, 80}));
    EXPECT_TRUE(v.seats[0].shown());
    EXPECT_FALSE(v.seats[1].shown());
    EXPECT_EQ(areaPixel(compose({.allSlots = true}), 34, 2), 0);
}

TEST_F(BattlePicture, ProblemLinesNameRowsCutsGarblingAndPalettesOnce) {
    addMonster(12, 4, 2, 1, "Guard");   // 16x32 in 16x16: cut
    addMonster(13, 2, 3, 2, "Leafer");  // 24x16 in 16x16: garbled
    addMonster(201, 1, 1, 250, "Ing");
    addMonster(202, 1, 1, 3);
    seat(0, 12, true, 0, 0, 2, 2);
    seat(1, 13, true, 32, 0, 2, 2);
    seat(2, 12, true, 64, 0, 2, 2);  // the same monster the same way: one line
    seat(3, 202, true, 96, 0, 2, 2);
    seat(4, 201, true, 0, 64, 2, 2);
    seat(5, 201, false, 32, 64, 2, 2);
    // A picture that loses rows 3-5 after an empty row 2, and one the game
    // cannot draw.
    set.smallMolds[static_cast<std::size_t>(set.records[12].moldIndex)] =
        moldRows({"##", "##", "", "#", "#", "#"});
    addMonster(411, 1, 1, 0);
    set.smallMolds[static_cast<std::size_t>(set.records[411].moldIndex)] = moldRows({"", "#"});
    for (int r = 0; r < monsters::kRecordCount; ++r) {
        if (set.records[static_cast<std::size_t>(r)].image.width() == 0) addMonster(r, 1, 1, 0);
    }

    std::vector<std::string> lines;
    for (const BattleProblem& p : findBattleProblems(set, tables))
        lines.push_back(battleProblemLine(set, p));
    EXPECT_EQ(lines,
              (std::vector<std::string>{
                  "monster 012 (Guard): rows 3-5 do not show in battle: row 2 of its mold is empty",
                  "monster 411: the game cannot draw it: the first row of its mold is empty",
                  "formation 000: monster 013 (Leafer) is wider than its place (24x16 in 16x16): "
                  "the game garbles it",
                  "formation 000: 4 palettes, the game loads 3: monster 201 (Ing) shows palette 1 "
                  "instead of 250",
              }));
    // Guard now fits: two rows drawn in a place two rows high. Made taller
    // than its place, it is cut.
    tables.maps[1].places[0] = BattlePlace{0, 0, 2, 1};
    tables.maps[1].places[2] = BattlePlace{0, 0, 2, 1};
    const auto problems = findBattleProblems(set, tables);
    EXPECT_EQ(battleProblemLine(set, problems[2]),
              "formation 000: monster 012 (Guard) is cut to 16x8 (its picture is 16x16)");
    EXPECT_EQ(problems.size(), 5u);
    EXPECT_EQ(battleRowsWarning(battleSizeOfRecord(set, 12)),
              "Rows 3-5 do not show in battle: row 2 is empty");
    EXPECT_EQ(battleRowsWarning(battleSizeOfRecord(set, 13)), "");
}

}  // namespace
}  // namespace morvik
