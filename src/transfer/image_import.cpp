#include "transfer/image_import.h"

#include <algorithm>

#include "rom/monsters/monster_edit.h"
#include "rom/portraits/portrait_edit.h"
#include "rom/sprites/sprite_edit.h"

namespace morvik {

namespace {

constexpr ImportOptions optionsFor(const MappedPicture& mapped) {
    return {.writePalette = mapped.writePalette, .keepFit = true};
}

std::string numbered(int index, const std::string& name) {
    return name.empty() ? std::to_string(index) : std::to_string(index) + " " + name;
}

}  // namespace

PreparedImport prepareImport(const std::filesystem::path& file, const ImportLimits& limits,
                             const ImportTarget& target, PaletteMode mode) {
    PreparedImport prepared;
    FilePicture picture;
    prepared.status = readFilePicture(picture, file, limits.maxWidth, limits.maxHeight);
    if (prepared.status != ImageStatus::Ok) {
        prepared.message = importFailureMessage(prepared.status, limits);
        return prepared;
    }
    prepared.message = importSizeRefusal(picture.width, picture.height, target);
    if (!prepared.message.empty()) {
        prepared.status = ImageStatus::TooLarge;
        return prepared;
    }
    // The picture as the readers number it, for the renumbering mode.
    IndexedImage renumbered;
    const ImageStatus numbered = readImportImage(renumbered, file, limits);
    prepared.mapped = mapImportColours(picture, renumbered, target, mode);
    prepared.status = prepared.mapped.status;
    if (prepared.mapped.mode == PaletteMode::Renumber && numbered != ImageStatus::Ok) {
        prepared.status = numbered;
    }
    if (prepared.status != ImageStatus::Ok) {
        prepared.message = prepared.mapped.refusal.empty()
                               ? importFailureMessage(prepared.status, limits)
                               : prepared.mapped.refusal;
    }
    return prepared;
}

std::string importSizeRefusal(int width, int height, const ImportTarget& target) {
    if (target.requiredWidth <= 0 ||
        (width == target.requiredWidth && height == target.requiredHeight))
        return {};
    return "Image is " + std::to_string(width) + "x" + std::to_string(height) + ", not the " +
           std::to_string(target.requiredWidth) + "x" + std::to_string(target.requiredHeight) +
           " of a whole sprite sheet (as Export writes it)";
}

ImportTarget monsterImportTarget(const MonsterGraphicsSet& set, int record) {
    ImportTarget target;
    if (!isValidRecord(record)) return target;
    const MonsterRecord& r = set.records[static_cast<std::size_t>(record)];
    for (int k = 0; k < colourCountOf(r.depth); ++k)
        target.colours.push_back(monsterColour(set, r.paletteIndex, k));
    target.maxColours = kMonsterImportMaxColours;
    target.current = r.image;
    return target;
}

ImportTarget portraitImportTarget(const PortraitSet& set, int portrait) {
    ImportTarget target;
    if (!isValidPortrait(portrait)) return target;
    const Portrait& p = set.portraits[static_cast<std::size_t>(portrait)];
    for (int k = 0; k < portraits::kColoursPerPalette; ++k)
        target.colours.push_back(p.image.paletteEntry(k));
    target.maxColours = kPortraitImportMaxColours;
    target.current = p.image;
    return target;
}

ImportTarget characterImportTarget(const CharacterSpriteSet& set, int character) {
    ImportTarget target;
    if (!isValidCharacter(character)) return target;
    // The colours the sprites show: the fixed ones for the character that has them.
    target.current = characterSheet(set, character);
    for (int k = 0; k < sprites::kColoursPerPalette; ++k)
        target.colours.push_back(target.current.paletteEntry(k));
    target.maxColours = kSheetImportMaxColours;
    target.fixedPalette = set.characters[static_cast<std::size_t>(character)].fixedPalette;
    target.requiredWidth = target.current.width();
    target.requiredHeight = target.current.height();
    return target;
}

bool applyMonsterImport(MonsterGraphicsSet& set, int record, const MappedPicture& mapped) {
    return mapped.status == ImageStatus::Ok &&
           importMonsterImage(set, record, mapped.picture, optionsFor(mapped));
}

bool applyPortraitImport(PortraitSet& set, int portrait, const MappedPicture& mapped) {
    return mapped.status == ImageStatus::Ok &&
           importPortrait(set, portrait, mapped.picture, optionsFor(mapped));
}

bool applyCharacterImport(CharacterSpriteSet& set, int character, const MappedPicture& mapped) {
    const ImportTarget target = characterImportTarget(set, character);
    return mapped.status == ImageStatus::Ok &&
           importSizeRefusal(mapped.picture.width(), mapped.picture.height(), target).empty() &&
           importCharacterSheet(set, character, mapped.picture, optionsFor(mapped));
}

std::vector<int> monstersSharingPalette(const MonsterGraphicsSet& set, int record, int colours) {
    std::vector<int> sharers;
    if (!isValidRecord(record)) return sharers;
    const int first = set.records[static_cast<std::size_t>(record)].paletteIndex;
    const int last = first + (colours > monsters::kColoursPerPalette ? 1 : 0);
    for (int i = 0; i < monsters::kRecordCount; ++i) {
        const MonsterRecord& r = set.records[static_cast<std::size_t>(i)];
        const int end = r.paletteIndex + (r.depth == TileDepth::Colours16 ? 1 : 0);
        if (i != record && r.paletteIndex <= last && end >= first) sharers.push_back(i);
    }
    return sharers;
}

std::vector<int> monstersSharingGraphics(const MonsterGraphicsSet& set, int record) {
    std::vector<int> sharers;
    if (!isValidRecord(record)) return sharers;
    const int entry = set.records[static_cast<std::size_t>(record)].entryIndex;
    for (int i = 0; i < monsters::kRecordCount; ++i) {
        if (i != record && set.records[static_cast<std::size_t>(i)].entryIndex == entry)
            sharers.push_back(i);
    }
    return sharers;
}

std::vector<int> portraitsSharingPalette(const PortraitSet& set, int portrait) {
    std::vector<int> sharers;
    if (!isValidPortrait(portrait)) return sharers;
    const int palette = set.portraits[static_cast<std::size_t>(portrait)].paletteIndex;
    for (int i = 0; i < portraits::kPortraitCount; ++i) {
        if (i != portrait && set.portraits[static_cast<std::size_t>(i)].paletteIndex == palette)
            sharers.push_back(i);
    }
    return sharers;
}

std::vector<int> charactersSharingPalette(const CharacterSpriteSet& set, int character) {
    std::vector<int> sharers;
    if (!isValidCharacter(character)) return sharers;
    const CharacterSprites& c = set.characters[static_cast<std::size_t>(character)];
    for (int i = 0; i < sprites::kCharacterCount; ++i) {
        const CharacterSprites& other = set.characters[static_cast<std::size_t>(i)];
        if (i != character && !other.fixedPalette && other.paletteIndex == c.paletteIndex)
            sharers.push_back(i);
    }
    return sharers;
}

std::vector<std::string> monsterImportSharers(const MonsterGraphicsSet& set, int record,
                                              const MappedPicture& mapped) {
    const ImportTarget target = monsterImportTarget(set, record);
    std::vector<int> others;
    if (changesPalette(mapped, target))
        others = monstersSharingPalette(set, record, mapped.picture.colourCount());
    if (changesPicture(mapped, target)) {
        const std::vector<int> drawn = monstersSharingGraphics(set, record);
        others.insert(others.end(), drawn.begin(), drawn.end());
    }
    std::ranges::sort(others);
    others.erase(std::unique(others.begin(), others.end()), others.end());
    std::vector<std::string> names;
    for (const int i : others)
        names.push_back(numbered(i, set.records[static_cast<std::size_t>(i)].name));
    return names;
}

std::vector<std::string> portraitImportSharers(const PortraitSet& set, int portrait,
                                               const MappedPicture& mapped) {
    if (!changesPalette(mapped, portraitImportTarget(set, portrait))) return {};
    return portraitPaletteSharers(set, portrait);
}

std::vector<std::string> characterImportSharers(const CharacterSpriteSet& set, int character,
                                                const MappedPicture& mapped) {
    if (!changesPalette(mapped, characterImportTarget(set, character))) return {};
    return characterPaletteSharers(set, character);
}

std::vector<std::string> monsterPaletteSharers(const MonsterGraphicsSet& set, int record,
                                               int colours) {
    std::vector<std::string> names;
    for (const int i : monstersSharingPalette(set, record, colours))
        names.push_back(numbered(i, set.records[static_cast<std::size_t>(i)].name));
    return names;
}

std::vector<std::string> portraitPaletteSharers(const PortraitSet& set, int portrait) {
    std::vector<std::string> names;
    for (const int i : portraitsSharingPalette(set, portrait))
        names.push_back(numbered(i, portraits::kPortraitNames[static_cast<std::size_t>(i)]));
    return names;
}

std::vector<std::string> characterPaletteSharers(const CharacterSpriteSet& set, int character) {
    std::vector<std::string> names;
    for (const int i : charactersSharingPalette(set, character))
        names.push_back(numbered(i, sprites::kCharacterNames[static_cast<std::size_t>(i)]));
    return names;
}

}  // namespace morvik
