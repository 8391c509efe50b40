#include "rom/battle/battle_check.h"

#include <algorithm>
#include <cstdio>

namespace morvik {

using namespace battle;

FormationView viewFormation(const MonsterGraphicsSet& set, const BattleTables& tables,
                            int formation) {
    FormationView view;
    view.formation = formation;
    if (formation < 0 || formation >= static_cast<int>(tables.formations.size())) return view;
    const Formation& f = tables.formations[static_cast<std::size_t>(formation)];
    std::vector<int> asked;
    for (int s = 0; s < kSlotCount; ++s) {
        const FormationSlot& slot = f.monsters[static_cast<std::size_t>(s)];
        SlotView v;
        v.slot = s;
        v.monster = slot.monster;
        v.present = slot.present;
        v.x = slot.x;
        v.y = slot.y;
        if (v.holdsRecord()) {
            const MonsterRecord& record = set.records[static_cast<std::size_t>(v.monster)];
            v.place = slotPlace(tables, f, s);
            v.size = battleSizeOfRecord(set, v.monster);
            v.palette = record.paletteIndex;
            // Every slot that holds a monster loads its palette, shown or not:
            // first come, first served.
            if (std::find(asked.begin(), asked.end(), v.palette) == asked.end())
                asked.push_back(v.palette);
            if (std::find(view.palettes.begin(), view.palettes.end(), v.palette) ==
                    view.palettes.end() &&
                view.palettes.size() < kLoadedPalettes) {
                view.palettes.push_back(v.palette);
            }
            if (v.place) {
                v.drawnColumns = std::min(v.size.columns, v.place->width);
                v.drawnRows = std::min(v.size.rows, v.place->height);
                v.garbled = v.size.columns > v.place->width;
                v.cut = v.size.rows > v.place->height;
            }
        }
        view.seats.push_back(v);
    }
    view.paletteCount = static_cast<int>(asked.size());
    for (SlotView& v : view.seats) {
        if (!v.holdsRecord()) continue;
        const auto loaded = std::find(view.palettes.begin(), view.palettes.end(), v.palette);
        v.loadedIndex =
            loaded == view.palettes.end() ? 0 : static_cast<int>(loaded - view.palettes.begin());
        v.shownPalette = view.palettes[static_cast<std::size_t>(v.loadedIndex)];
    }
    return view;
}

namespace {

void addRecordProblems(const MonsterGraphicsSet& set, std::vector<BattleProblem>& problems) {
    for (int record = 0; record < monsters::kRecordCount; ++record) {
        const BattleSize size = battleSizeOfRecord(set, record);
        BattleProblem problem;
        problem.monster = record;
        if (!size.drawable) {
            problem.kind = BattleProblemKind::FirstRow;
        } else if (size.losesRows()) {
            problem.kind = BattleProblemKind::Rows;
            problem.emptyRow = size.emptyRow;
            problem.firstLostRow = size.firstLostRow;
            problem.lastLostRow = size.lastLostRow;
        } else {
            continue;
        }
        problems.push_back(problem);
    }
}

bool sameProblem(const BattleProblem& a, const BattleProblem& b) {
    return a.kind == b.kind && a.monster == b.monster && a.pictureWidth == b.pictureWidth &&
           a.pictureHeight == b.pictureHeight && a.width == b.width && a.height == b.height &&
           a.shownPalette == b.shownPalette;
}

void addFormationProblems(const FormationView& view, std::vector<BattleProblem>& problems) {
    const std::size_t first = problems.size();
    const auto add = [&](const BattleProblem& problem) {
        const bool merged =
            std::any_of(problems.begin() + static_cast<std::ptrdiff_t>(first), problems.end(),
                        [&](const auto& p) { return sameProblem(p, problem); });
        if (!merged) problems.push_back(problem);
    };
    for (const SlotView& v : view.seats) {
        if (!v.shown()) continue;
        BattleProblem problem;
        problem.monster = v.monster;
        problem.formation = view.formation;
        problem.pictureWidth = v.size.columns * kCellPixels;
        problem.pictureHeight = v.size.rows * kCellPixels;
        if (v.garbled) {
            problem.kind = BattleProblemKind::Garbled;
            problem.width = v.place->width * kCellPixels;
            problem.height = v.place->height * kCellPixels;
            add(problem);
        } else if (v.cut) {
            problem.kind = BattleProblemKind::Cut;
            problem.width = v.drawnColumns * kCellPixels;
            problem.height = v.drawnRows * kCellPixels;
            add(problem);
        }
    }
    for (const SlotView& v : view.seats) {
        if (!v.shown() || v.shownPalette == v.palette) continue;
        BattleProblem problem;
        problem.kind = BattleProblemKind::Palette;
        problem.monster = v.monster;
        problem.formation = view.formation;
        problem.paletteCount = view.paletteCount;
        problem.shownPalette = v.shownPalette;
        problem.ownPalette = v.palette;
        add(problem);
    }
}

std::string formatted(const char* format, auto... values) {
    char text[160];
    std::snprintf(text, sizeof text, format, values...);
    return text;
}

std::string rowRange(int first, int last) {
    return first == last ? formatted("row %d does not show", first)
                         : formatted("rows %d-%d do not show", first, last);
}

}  // namespace

std::vector<BattleProblem> findBattleProblems(const MonsterGraphicsSet& set,
                                              const BattleTables& tables) {
    std::vector<BattleProblem> problems;
    addRecordProblems(set, problems);
    for (int f = 0; f < static_cast<int>(tables.formations.size()); ++f)
        addFormationProblems(viewFormation(set, tables, f), problems);
    return problems;
}

const char* battleProblemKindName(BattleProblemKind kind) {
    switch (kind) {
        case BattleProblemKind::Rows:
            return "rows";
        case BattleProblemKind::FirstRow:
            return "first-row";
        case BattleProblemKind::Cut:
            return "cut";
        case BattleProblemKind::Garbled:
            return "garbled";
        case BattleProblemKind::Palette:
            return "palette";
    }
    return "rows";
}

std::string monsterLabel(const MonsterGraphicsSet& set, int monster) {
    std::string label = formatted("monster %03d", monster);
    if (monster >= 0 && monster < monsters::kRecordCount) {
        const std::string& name = set.records[static_cast<std::size_t>(monster)].name;
        if (!name.empty()) label += " (" + name + ")";
    }
    return label;
}

std::string battleProblemLine(const MonsterGraphicsSet& set, const BattleProblem& p) {
    const std::string who = monsterLabel(set, p.monster);
    const std::string where = p.formation >= 0 ? formatted("formation %03d: ", p.formation) : "";
    switch (p.kind) {
        case BattleProblemKind::Rows:
            return who + ": " + rowRange(p.firstLostRow, p.lastLostRow) +
                   formatted(" in battle: row %d of its mold is empty", p.emptyRow);
        case BattleProblemKind::FirstRow:
            return who + ": the game cannot draw it: the first row of its mold is empty";
        case BattleProblemKind::Cut:
            return where + who +
                   formatted(" is cut to %dx%d (its picture is %dx%d)", p.width, p.height,
                             p.pictureWidth, p.pictureHeight);
        case BattleProblemKind::Garbled:
            return where + who +
                   formatted(" is wider than its place (%dx%d in %dx%d): the game garbles it",
                             p.pictureWidth, p.pictureHeight, p.width, p.height);
        case BattleProblemKind::Palette:
            return where +
                   formatted("%d palettes, the game loads %d: ", p.paletteCount, kLoadedPalettes) +
                   who + formatted(" shows palette %d instead of %d", p.shownPalette, p.ownPalette);
    }
    return who;
}

std::string battleRowsWarning(const BattleSize& size) {
    if (!size.drawable) return "The game cannot draw it: the first row of its mold is empty";
    if (!size.losesRows()) return "";
    std::string text = rowRange(size.firstLostRow, size.lastLostRow) +
                       formatted(" in battle: row %d is empty", size.emptyRow);
    text[0] = 'R';
    return text;
}

}  // namespace morvik
