#include "rom/battle/battle_size.h"

namespace morvik {

BattleSize battleSizeOfMold(const Mold& mold, int side) {
    BattleSize size;
    if (side <= 0 || mold.size() < static_cast<std::size_t>(side) * side) return size;
    const auto lastColumnOf = [&](int row) {
        int last = -1;
        for (int column = 0; column < side; ++column) {
            if (mold[static_cast<std::size_t>(row * side + column)] != 0) last = column;
        }
        return last;
    };
    int row = 0;
    for (; row < side; ++row) {
        const int last = lastColumnOf(row);
        if (last < 0) break;
        size.columns = std::max(size.columns, last + 1);
        ++size.rows;
    }
    size.drawable = size.rows > 0;
    if (!size.drawable) return size;
    for (int later = row + 1; later < side; ++later) {
        if (lastColumnOf(later) < 0) continue;
        if (size.firstLostRow < 0) size.firstLostRow = later;
        size.lastLostRow = later;
    }
    if (size.firstLostRow >= 0) size.emptyRow = row;
    return size;
}

BattleSize battleSizeOfRecord(const MonsterGraphicsSet& set, int record) {
    if (!isValidRecord(record)) return {};
    const MonsterRecord& r = set.records[static_cast<std::size_t>(record)];
    const Mold* mold = findMold(set, r.large, r.moldIndex);
    if (mold == nullptr) return {};
    return battleSizeOfMold(*mold, moldSide(r.large));
}

}  // namespace morvik
