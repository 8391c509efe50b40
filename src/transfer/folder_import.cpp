#include "transfer/folder_import.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <system_error>
#include <tuple>

#include "rom/file_path.h"
#include "rom/monsters/monster_save.h"
#include "rom/portraits/portrait_edit.h"
#include "rom/sprites/sprite_edit.h"
#include "transfer/change_lines.h"
#include "transfer/image_import.h"

namespace morvik {

namespace {

namespace fs = std::filesystem;

constexpr std::array<ItemKind, 3> kImportedKinds = {ItemKind::Monster, ItemKind::Portrait,
                                                    ItemKind::Character};
// Longer runs of digits name no item of any kind.
constexpr std::size_t kMaxNumberLength = 6;
constexpr std::size_t kEndingLength = 4;  // ".png"

struct FolderFile {
    ItemKind kind = ItemKind::Monster;
    int index = 0;
    fs::path path;
};

// A colour a file gives its item, by its place in the kind's palette table.
struct GivenColour {
    int place = 0;
    SnesColour colour;
};

// A file read and tried alone on the sets as they are.
struct TriedFile {
    FolderFile file;
    MappedPicture mapped;
    ItemPicture intended;            // the item as this file alone makes it
    ItemChange change;               // what this file alone changes
    std::vector<GivenColour> given;  // in the order of their places
};

void refuse(FolderImportPlan& plan, const fs::path& file, std::string message) {
    plan.refusals.push_back({file, std::move(message)});
}

std::optional<int> numberNamed(const std::string& stem) {
    if (stem.empty() || stem.size() > kMaxNumberLength ||
        !std::ranges::all_of(stem, [](char c) { return c >= '0' && c <= '9'; })) {
        return std::nullopt;
    }
    int number = 0;
    std::from_chars(stem.data(), stem.data() + stem.size(), number);
    return number;
}

const ImportLimits& limitsOf(ItemKind kind) {
    return kind == ItemKind::Monster    ? kMonsterImportLimits
           : kind == ItemKind::Portrait ? kPortraitImportLimits
                                        : kCharacterImportLimits;
}

ImportTarget targetOf(const DataSets& sets, ItemKind kind, int index) {
    return kind == ItemKind::Monster    ? monsterImportTarget(sets.monsters, index)
           : kind == ItemKind::Portrait ? portraitImportTarget(sets.portraits, index)
                                        : characterImportTarget(sets.characters, index);
}

bool applyTo(DataSets& sets, ItemKind kind, int index, const MappedPicture& mapped) {
    return kind == ItemKind::Monster    ? applyMonsterImport(sets.monsters, index, mapped)
           : kind == ItemKind::Portrait ? applyPortraitImport(sets.portraits, index, mapped)
                                        : applyCharacterImport(sets.characters, index, mapped);
}

// Brings every picture of the kind up to date with the graphics and palettes
// the imports changed, as a save does.
void refreshKind(DataSets& sets, ItemKind kind) {
    if (kind == ItemKind::Monster) {
        refreshAllMonsterImages(sets.monsters);
    } else if (kind == ItemKind::Portrait) {
        refreshAllPortraitColours(sets.portraits);
    } else {
        refreshAllCharacterColours(sets.characters);
    }
}

void restoreKind(DataSets& sets, const DataSets& from, ItemKind kind) {
    if (kind == ItemKind::Monster) {
        sets.monsters = from.monsters;
    } else if (kind == ItemKind::Portrait) {
        sets.portraits = from.portraits;
    } else {
        sets.characters = from.characters;
    }
}

// The pictures in one kind's folder; a number past the kind's items is refused,
// anything else not named as an export names its files is ignored.
void listKindFolder(const fs::path& folder, ItemKind kind, std::vector<FolderFile>& files,
                    FolderImportPlan& plan) {
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        const fs::path& path = it->path();
        const std::string name = pathToUtf8(path.filename());
        std::error_code typeError;
        const auto number = name.size() > kEndingLength
                                ? numberNamed(name.substr(0, name.size() - kEndingLength))
                                : std::nullopt;
        if (!number || !fileTypeOfPath(name) || !it->is_regular_file(typeError)) {
            plan.ignored.push_back(path);
        } else if (*number >= itemCount(kind)) {
            refuse(plan, path,
                   std::string("names no ") + itemKindName(kind) + " (they are " +
                       itemNumber(kind, 0) + " to " + itemNumber(kind, itemCount(kind) - 1) + ")");
        } else {
            files.push_back({kind, *number, path});
        }
    }
    if (error) refuse(plan, folder, "cannot read the folder: " + error.message());
}

// Every picture of the folder, by item; a second file for an item is refused.
std::vector<FolderFile> listPictures(const fs::path& dir, FolderImportPlan& plan) {
    std::vector<FolderFile> files;
    bool anyFolder = false;
    for (const ItemKind kind : kImportedKinds) {
        const fs::path folder = dir / itemFolderName(kind);
        std::error_code error;
        if (!fs::is_directory(folder, error)) continue;
        anyFolder = true;
        listKindFolder(folder, kind, files, plan);
    }
    if (!anyFolder) refuse(plan, dir, "no monsters, portraits or characters folder in it");
    std::ranges::sort(files, [](const FolderFile& a, const FolderFile& b) {
        return std::tie(a.kind, a.index, a.path) < std::tie(b.kind, b.index, b.path);
    });
    std::vector<FolderFile> unique;
    for (FolderFile& file : files) {
        if (!unique.empty() && unique.back().kind == file.kind &&
            unique.back().index == file.index) {
            refuse(plan, file.path,
                   std::string("another file names ") + itemKindName(file.kind) + " " +
                       itemNumber(file.kind, file.index) +
                       " too: " + pathToUtf8(unique.back().path.filename()));
        } else {
            unique.push_back(std::move(file));
        }
    }
    return unique;
}

// Where the item's colour 0 lies in its kind's palette table.
int paletteStart(const DataSets& sets, ItemKind kind, int index) {
    const auto at = static_cast<std::size_t>(index);
    return kind == ItemKind::Monster
               ? sets.monsters.records[at].paletteIndex * monsters::kColoursPerPalette
           : kind == ItemKind::Portrait
               ? sets.portraits.portraits[at].paletteIndex * portraits::kColoursPerPalette
               : sets.characters.characters[at].paletteIndex * sprites::kColoursPerPalette;
}

std::vector<GivenColour> givenColours(const DataSets& sets, const FolderFile& file,
                                      const MappedPicture& mapped) {
    std::vector<GivenColour> given;
    const int start = paletteStart(sets, file.kind, file.index);
    for (std::size_t k = 0; k < mapped.givenColours.size(); ++k) {
        if (!mapped.givenColours[k]) continue;
        const PaletteColour colour = mapped.picture.paletteEntry(static_cast<int>(k));
        given.push_back({start + static_cast<int>(k), rgbToSnes(colour)});
    }
    return given;
}

// Reads every file and tries it alone on the sets as they are, with what it
// changes there.
std::vector<TriedFile> tryFiles(const DataSets& sets, const std::vector<FolderFile>& files,
                                PaletteMode mode, FolderImportPlan& plan) {
    std::vector<TriedFile> tried;
    DataSets trial = sets;
    for (const FolderFile& file : files) {
        const ImportTarget target = targetOf(sets, file.kind, file.index);
        PreparedImport prepared = prepareImport(file.path, limitsOf(file.kind), target, mode);
        if (prepared.status != ImageStatus::Ok) {
            refuse(plan, file.path, prepared.message);
            continue;
        }
        MappedPicture& mapped = prepared.mapped;
        std::vector<GivenColour> given = givenColours(sets, file, mapped);
        mapped.writePalette = changesPalette(mapped, target);
        if (!applyTo(trial, file.kind, file.index, mapped)) {
            refuse(plan, file.path, "cannot import it");
            continue;
        }
        ItemPicture intended = itemPicture(trial, file.kind, file.index);
        ItemChange change = compareItems(itemPicture(sets, file.kind, file.index), intended);
        if (change.any()) restoreKind(trial, sets, file.kind);
        tried.push_back({file, std::move(mapped), std::move(intended), change, std::move(given)});
    }
    return tried;
}

bool changesDrawing(const ItemChange& change) {
    return change.pixels > 0 || change.size || change.depth;
}

// Whether two items show the same graphics (monsters may share them).
bool sharesGraphics(const DataSets& sets, ItemKind kind, int a, int b) {
    return kind == ItemKind::Monster &&
           sets.monsters.records[static_cast<std::size_t>(a)].entryIndex ==
               sets.monsters.records[static_cast<std::size_t>(b)].entryIndex;
}

bool drawsOtherwise(const DataSets& sets, const TriedFile& a, const TriedFile& b) {
    return sharesGraphics(sets, a.file.kind, a.file.index, b.file.index) &&
           changesDrawing(compareItems(a.intended, b.intended));
}

// Whether the two files give one place of the palette table different colours.
bool colouredOtherwise(const TriedFile& a, const TriedFile& b) {
    if (a.given.empty() || b.given.empty() || a.given.back().place < b.given.front().place ||
        b.given.back().place < a.given.front().place) {
        return false;
    }
    return std::ranges::any_of(a.given, [&](const GivenColour& mine) {
        return std::ranges::any_of(b.given, [&](const GivenColour& theirs) {
            return theirs.place == mine.place && !(theirs.colour == mine.colour);
        });
    });
}

// The names of the other files of the item's kind that `differs` picks.
template <typename Differs>
std::string filesThat(const std::vector<TriedFile>& tried, const TriedFile& item, Differs differs) {
    std::string names;
    for (const TriedFile& other : tried) {
        if (&other == &item || other.file.kind != item.file.kind || !differs(item, other)) continue;
        names += (names.empty() ? "" : ", ") + pathToUtf8(other.file.path.filename());
    }
    return names;
}

// Refuses every file that another file contradicts: shared graphics drawn, or
// a shared palette coloured, two ways. Either would win by the order of the
// files, and the next import of the same folder would bring the other back,
// so a file that shows its item as it is counts as much as a changed one.
void refuseDisagreements(const DataSets& sets, const std::vector<TriedFile>& tried,
                         FolderImportPlan& plan) {
    for (const TriedFile& item : tried) {
        const std::string drawers = filesThat(
            tried, item, [&](const auto& a, const auto& b) { return drawsOtherwise(sets, a, b); });
        if (!drawers.empty()) {
            refuse(plan, item.file.path,
                   "its graphics are shared with " + drawers + ", which draws them otherwise");
            continue;
        }
        const std::string colourers = filesThat(tried, item, colouredOtherwise);
        if (!colourers.empty()) {
            refuse(plan, item.file.path,
                   "its palette is shared with " + colourers + ", which gives it other colours");
        }
    }
}

}  // namespace

std::string itemFileName(ItemKind kind, int index, ImageFileType type) {
    return itemNumber(kind, index) + "." + fileTypeExtension(type);
}

FolderImportPlan planFolderImport(const DataSets& sets, const std::filesystem::path& dir,
                                  PaletteMode mode) {
    FolderImportPlan plan;
    const std::vector<FolderFile> files = listPictures(dir, plan);
    const std::vector<TriedFile> tried = tryFiles(sets, files, mode, plan);
    plan.result = sets;
    std::array<bool, kImportedKinds.size()> touched{};
    for (const TriedFile& item : tried) {
        if (!item.change.any()) continue;
        if (!applyTo(plan.result, item.file.kind, item.file.index, item.mapped))
            refuse(plan, item.file.path, "cannot import it");
        touched[static_cast<std::size_t>(item.file.kind)] = true;
    }
    for (const ItemKind kind : kImportedKinds) {
        if (touched[static_cast<std::size_t>(kind)]) refreshKind(plan.result, kind);
    }
    refuseDisagreements(sets, tried, plan);
    std::ranges::sort(plan.refusals, {}, &FolderRefusal::file);
    plan.changes = diffDataSets(sets, plan.result);
    int total = 0;
    for (const ItemKind kind : kImportedKinds)
        total += itemCount(kind);
    plan.unchanged = total - static_cast<int>(plan.changes.size());
    return plan;
}

namespace {

// The lines, after the first `maxLines` of them a count of the others.
template <typename Item, typename Line>
std::string listLines(const std::vector<Item>& items, std::size_t maxLines, Line line) {
    std::string text;
    for (std::size_t i = 0; i < items.size() && i < maxLines; ++i)
        text += "\n" + line(items[i]);
    if (items.size() > maxLines)
        text += "\n... and " + std::to_string(items.size() - maxLines) + " more";
    return text;
}

}  // namespace

std::string folderImportSummary(const FolderImportPlan& plan, std::size_t maxLines) {
    return itemsCount(plan.changes.size()) + " will change, " + std::to_string(plan.unchanged) +
           " stay as they are.\n" + listLines(plan.changes, maxLines, [](const ItemChange& change) {
               return changeLine(change, {});
           });
}

std::string folderRefusalSummary(const FolderImportPlan& plan, std::size_t maxLines) {
    const std::size_t count = plan.refusals.size();
    return "Nothing was imported: " + std::to_string(count) + (count == 1 ? " file" : " files") +
           " refused.\n" + listLines(plan.refusals, maxLines, [](const FolderRefusal& refusal) {
               return pathToUtf8(refusal.file) + ": " + refusal.message;
           });
}

bool applyFolderImport(DataSets& sets, FolderImportPlan&& plan) {
    if (!plan.refusals.empty()) return false;
    sets = std::move(plan.result);
    return true;
}

}  // namespace morvik
