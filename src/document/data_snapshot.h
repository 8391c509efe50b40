#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "rom/data_sets.h"

namespace morvik {

// A vector kept as runs of elements that several snapshots share while they
// stay unchanged: taking a snapshot after an edit copies only the runs the edit
// touched.
template <class T>
struct SharedRuns {
    std::vector<std::shared_ptr<const std::vector<T>>> runs;
    std::size_t size = 0;
};

struct MonsterSnapshot {
    SharedRuns<PaletteColour> palettes;
    SharedRuns<GraphicsEntry> entries;
    // The records without their pictures, and the pictures apart, so that a
    // change of a record's numbers (a save renumbers them) copies no pixels.
    SharedRuns<MonsterRecord> records;
    SharedRuns<IndexedImage> images;
    SharedRuns<Mold> smallMolds;
    SharedRuns<Mold> largeMolds;
    int entryCount = -1;
    monsters::MonsterLayout layout;
    // Where the small and the large mold table start (they go with the tables).
    std::array<std::uint32_t, 2> moldStarts{};
};

struct PortraitSnapshot {
    SharedRuns<PaletteColour> palettes;
    SharedRuns<Portrait> portraits;
};

struct CharacterSnapshot {
    SharedRuns<std::uint16_t> frameTileMap;
    SharedRuns<PaletteColour> palettes;
    SharedRuns<CharacterSprites> characters;
};

// The three data sets at one moment, sharing every unchanged part with the
// snapshot it was taken after.
struct DataSnapshot {
    MonsterSnapshot monsters;
    PortraitSnapshot portraits;
    CharacterSnapshot characters;
};

struct SnapshotTaken {
    std::shared_ptr<const DataSnapshot> snapshot;
    // Bytes of the parts copied for it (not shared with the earlier one).
    std::size_t newBytes = 0;
};

// Takes the sets as they are now. With an earlier snapshot, every part equal to
// its part there is shared, and when nothing differs that snapshot itself is
// returned (newBytes 0). The sets are only looked at: the pictures leave their
// records for the moment of the comparison and come back.
SnapshotTaken takeSnapshot(DataSets& sets, const std::shared_ptr<const DataSnapshot>& earlier);

// Puts the sets back exactly as the snapshot holds them, assigning only what differs.
void restoreSnapshot(DataSets& sets, const DataSnapshot& snapshot);

}  // namespace morvik
