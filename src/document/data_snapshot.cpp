#include "document/data_snapshot.h"

#include <algorithm>
#include <utility>

namespace morvik {

namespace {

// Elements per shared run: single items where an item is large, longer runs of
// small values so that a snapshot holds few pointers.
constexpr std::size_t kColourRun = 64;
constexpr std::size_t kMoldRun = 16;
constexpr std::size_t kFrameMapRun = 256;

template <class T>
std::size_t footprint(const T&) {
    return sizeof(T);
}
std::size_t footprint(const IndexedImage& image) {
    return sizeof(image) + static_cast<std::size_t>(image.width()) * image.height();
}
std::size_t footprint(const GraphicsEntry& entry) {
    return sizeof(entry) + entry.data.size();
}
std::size_t footprint(const MonsterRecord& record) {
    return sizeof(record) + record.name.size() + footprint(record.image);
}
std::size_t footprint(const Mold& mold) {
    return sizeof(mold) + mold.size();
}
std::size_t footprint(const Portrait& portrait) {
    return sizeof(portrait) + footprint(portrait.image) + portrait.tiles.size();
}
std::size_t footprint(const CharacterSprites& character) {
    std::size_t bytes = sizeof(character) + character.tiles.size() * sizeof(TilePixels);
    for (const IndexedImage& frame : character.frames)
        bytes += footprint(frame);
    return bytes;
}

// Builds the runs of `live`, sharing each run equal to the earlier one's.
template <class T>
SharedRuns<T> share(const std::vector<T>& live, const SharedRuns<T>* earlier, std::size_t runLength,
                    std::size_t& bytes) {
    SharedRuns<T> result;
    result.size = live.size();
    result.runs.reserve((live.size() + runLength - 1) / runLength);
    for (std::size_t first = 0, run = 0; first < live.size(); first += runLength, ++run) {
        const auto from = live.begin() + static_cast<std::ptrdiff_t>(first);
        const auto to =
            live.begin() + static_cast<std::ptrdiff_t>(std::min(first + runLength, live.size()));
        if (earlier != nullptr && run < earlier->runs.size() &&
            std::equal(from, to, earlier->runs[run]->begin(), earlier->runs[run]->end())) {
            result.runs.push_back(earlier->runs[run]);
            continue;
        }
        auto copy = std::make_shared<const std::vector<T>>(from, to);
        for (const T& item : *copy)
            bytes += footprint(item);
        result.runs.push_back(std::move(copy));
    }
    return result;
}

template <class T>
bool sameRuns(const SharedRuns<T>& a, const SharedRuns<T>& b) {
    return a.size == b.size && a.runs == b.runs;
}

template <class T>
void restoreRuns(std::vector<T>& live, const SharedRuns<T>& stored) {
    live.resize(stored.size);
    std::size_t at = 0;
    for (const auto& run : stored.runs) {
        for (const T& item : *run) {
            if (!(live[at] == item)) live[at] = item;
            ++at;
        }
    }
}

// Moves every record's picture out into `images` (and back with the same call).
void swapImages(std::vector<MonsterRecord>& records, std::vector<IndexedImage>& images) {
    images.resize(records.size());
    for (std::size_t i = 0; i < records.size(); ++i)
        std::swap(records[i].image, images[i]);
}

MonsterSnapshot shareMonsters(MonsterGraphicsSet& set, const MonsterSnapshot* earlier,
                              std::size_t& bytes) {
    MonsterSnapshot result;
    result.palettes =
        share(set.monsterPalettes, earlier ? &earlier->palettes : nullptr, kColourRun, bytes);
    result.entries = share(set.entries, earlier ? &earlier->entries : nullptr, 1, bytes);
    std::vector<IndexedImage> images;
    swapImages(set.records, images);
    result.records = share(set.records, earlier ? &earlier->records : nullptr, 1, bytes);
    result.images = share(images, earlier ? &earlier->images : nullptr, 1, bytes);
    swapImages(set.records, images);
    result.smallMolds =
        share(set.smallMolds, earlier ? &earlier->smallMolds : nullptr, kMoldRun, bytes);
    result.largeMolds =
        share(set.largeMolds, earlier ? &earlier->largeMolds : nullptr, kMoldRun, bytes);
    result.entryCount = set.entryCount;
    result.layout = set.layout;
    result.moldStarts = {set.smallMoldStart, set.largeMoldStart};
    return result;
}

bool sameMonsters(const MonsterSnapshot& a, const MonsterSnapshot& b) {
    return sameRuns(a.palettes, b.palettes) && sameRuns(a.entries, b.entries) &&
           sameRuns(a.records, b.records) && sameRuns(a.images, b.images) &&
           sameRuns(a.smallMolds, b.smallMolds) && sameRuns(a.largeMolds, b.largeMolds) &&
           a.entryCount == b.entryCount && a.layout == b.layout && a.moldStarts == b.moldStarts;
}

void restoreMonsters(MonsterGraphicsSet& set, const MonsterSnapshot& stored) {
    restoreRuns(set.monsterPalettes, stored.palettes);
    restoreRuns(set.entries, stored.entries);
    std::vector<IndexedImage> images;
    swapImages(set.records, images);
    restoreRuns(set.records, stored.records);
    restoreRuns(images, stored.images);
    swapImages(set.records, images);
    restoreRuns(set.smallMolds, stored.smallMolds);
    restoreRuns(set.largeMolds, stored.largeMolds);
    set.entryCount = stored.entryCount;
    set.layout = stored.layout;
    set.smallMoldStart = stored.moldStarts[0];
    set.largeMoldStart = stored.moldStarts[1];
}

}  // namespace

SnapshotTaken takeSnapshot(DataSets& sets, const std::shared_ptr<const DataSnapshot>& earlier) {
    const DataSnapshot* before = earlier.get();
    SnapshotTaken taken;
    auto snapshot = std::make_shared<DataSnapshot>();
    std::size_t& bytes = taken.newBytes;
    snapshot->monsters = shareMonsters(sets.monsters, before ? &before->monsters : nullptr, bytes);

    const PortraitSnapshot* portraits = before ? &before->portraits : nullptr;
    snapshot->portraits.palettes =
        share(sets.portraits.portraitPalettes, portraits ? &portraits->palettes : nullptr,
              kColourRun, bytes);
    snapshot->portraits.portraits =
        share(sets.portraits.portraits, portraits ? &portraits->portraits : nullptr, 1, bytes);

    const CharacterSnapshot* characters = before ? &before->characters : nullptr;
    snapshot->characters.frameTileMap =
        share(sets.characters.frameTileMap, characters ? &characters->frameTileMap : nullptr,
              kFrameMapRun, bytes);
    snapshot->characters.palettes =
        share(sets.characters.spritePalettes, characters ? &characters->palettes : nullptr,
              kColourRun, bytes);
    snapshot->characters.characters =
        share(sets.characters.characters, characters ? &characters->characters : nullptr, 1, bytes);

    if (before != nullptr && bytes == 0 && sameMonsters(snapshot->monsters, before->monsters) &&
        sameRuns(snapshot->portraits.palettes, before->portraits.palettes) &&
        sameRuns(snapshot->portraits.portraits, before->portraits.portraits) &&
        sameRuns(snapshot->characters.frameTileMap, before->characters.frameTileMap) &&
        sameRuns(snapshot->characters.palettes, before->characters.palettes) &&
        sameRuns(snapshot->characters.characters, before->characters.characters)) {
        taken.snapshot = earlier;
        return taken;
    }
    bytes += sizeof(DataSnapshot);
    taken.snapshot = std::move(snapshot);
    return taken;
}

void restoreSnapshot(DataSets& sets, const DataSnapshot& snapshot) {
    restoreMonsters(sets.monsters, snapshot.monsters);
    restoreRuns(sets.portraits.portraitPalettes, snapshot.portraits.palettes);
    restoreRuns(sets.portraits.portraits, snapshot.portraits.portraits);
    restoreRuns(sets.characters.frameTileMap, snapshot.characters.frameTileMap);
    restoreRuns(sets.characters.spritePalettes, snapshot.characters.palettes);
    restoreRuns(sets.characters.characters, snapshot.characters.characters);
}

}  // namespace morvik
