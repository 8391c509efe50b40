#include "transfer/palette_mapping.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

namespace morvik {
namespace {

PaletteColour grey(int level) {
    const auto value = static_cast<std::uint8_t>(level * 8);
    return PaletteColour::fromRgb(value, value, value);
}

// An item of eight colours: grey levels 0, 4, 8, ... 28, and level 8 twice.
ImportTarget eightColours() {
    ImportTarget target;
    for (const int level : {0, 4, 8, 12, 16, 20, 8, 28})
        target.colours.push_back(grey(level));
    return target;
}

FilePicture indexedFile(std::vector<PaletteColour> palette, std::vector<std::uint8_t> indices) {
    FilePicture file;
    file.width = static_cast<int>(indices.size());
    file.height = 1;
    file.indexed = true;
    file.transparentEntries.assign(palette.size(), false);
    file.palette = std::move(palette);
    file.indices = std::move(indices);
    return file;
}

FilePicture truecolourFile(std::vector<PaletteColour> colours) {
    FilePicture file;
    file.width = static_cast<int>(colours.size());
    file.height = 1;
    file.transparent.assign(colours.size(), false);
    file.colours = std::move(colours);
    return file;
}

std::vector<int> pixelsOf(const IndexedImage& picture) {
    return {picture.pixels().begin(), picture.pixels().end()};
}

TEST(PaletteMapping, TheFilesPaletteKeepsItsOrder) {
    // A permuted palette with an unused entry: indices and order stay.
    const std::vector<PaletteColour> palette = {grey(0), grey(30), grey(2), grey(17), grey(9)};
    const FilePicture file = indexedFile(palette, {1, 2, 1, 3, 0});
    const MappedPicture mapped =
        mapImportColours(file, IndexedImage{}, eightColours(), PaletteMode::Automatic);
    EXPECT_EQ(mapped.mode, PaletteMode::File);
    EXPECT_TRUE(mapped.writePalette);
    EXPECT_EQ(pixelsOf(mapped.picture), (std::vector<int>{1, 2, 1, 3, 0}));
    EXPECT_EQ(mapped.picture.colourCount(), 8);  // the item's count, since it fits
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(mapped.picture.paletteEntry(k), palette[static_cast<std::size_t>(k)]) << k;
    EXPECT_EQ(mapped.picture.paletteEntry(6), grey(8));  // past the file's palette: kept
    EXPECT_EQ(mapped.givenColours, (std::vector<bool>{1, 1, 1, 1, 1, 0, 0, 0}));
    EXPECT_TRUE(changesPalette(mapped, eightColours()));
    // The item's own palette written back changes nothing.
    std::vector<PaletteColour> own = eightColours().colours;
    EXPECT_FALSE(changesPalette(mapImportColours(indexedFile(own, {1, 2}), IndexedImage{},
                                                 eightColours(), PaletteMode::File),
                                eightColours()));

    // An index past the item's limit, or a transparent entry other than 0:
    // not the file's palette.
    FilePicture wide = indexedFile(std::vector<PaletteColour>(20, grey(1)), {0, 17});
    EXPECT_FALSE(fileModeApplies(wide, eightColours()));
    FilePicture keyed = indexedFile(palette, {0, 1});
    keyed.transparentEntries[2] = true;
    EXPECT_FALSE(fileModeApplies(keyed, eightColours()));
    keyed.transparentEntries = {true, false, false, false, false};
    EXPECT_TRUE(fileModeApplies(keyed, eightColours()));
    const MappedPicture refused = mapImportColours(truecolourFile({grey(1)}), IndexedImage{},
                                                   eightColours(), PaletteMode::File);
    EXPECT_NE(refused.status, ImageStatus::Ok);
    EXPECT_FALSE(refused.refusal.empty());
}

TEST(PaletteMapping, KeepingThePaletteMapsByColour) {
    ImportTarget target = eightColours();
    // Exact colours, a near one (level 13 is nearest 12), a tie (level 2 lies
    // between 0 and 4: colour 0 is never chosen, so 4) and colour 0's colour.
    const FilePicture file =
        truecolourFile({grey(12), grey(13), grey(28), grey(2), grey(0), grey(8)});
    MappedPicture mapped = mapImportColours(file, IndexedImage{}, target, PaletteMode::Keep);
    EXPECT_FALSE(mapped.writePalette);
    EXPECT_EQ(pixelsOf(mapped.picture), (std::vector<int>{3, 3, 7, 1, 0, 2}));
    EXPECT_EQ(mapped.approximated, 2);
    EXPECT_EQ(mapped.picture.paletteEntry(3), grey(12));  // the item's own colours
    EXPECT_TRUE(std::ranges::none_of(mapped.givenColours, std::identity{}));

    // A colour at two indices: a pixel keeps the one it has now.
    ASSERT_TRUE(target.current.create(6, 1));
    target.current.setPixel(5, 0, 6);
    mapped = mapImportColours(file, IndexedImage{}, target, PaletteMode::Keep);
    EXPECT_EQ(mapped.picture.getPixel(5, 0), 6);

    // Transparency: alpha 0 is colour 0, whatever its colour; then colour 0's
    // colour is an ordinary one.
    FilePicture alpha = truecolourFile({grey(20), grey(0), grey(20)});
    alpha.transparent = {true, false, false};
    mapped = mapImportColours(alpha, IndexedImage{}, eightColours(), PaletteMode::Keep);
    EXPECT_EQ(pixelsOf(mapped.picture), (std::vector<int>{0, 1, 5}));
    // In an indexed file without transparency, its first colour is colour 0.
    const FilePicture indexed = indexedFile({grey(16), grey(16)}, {0, 1});
    mapped = mapImportColours(indexed, IndexedImage{}, eightColours(), PaletteMode::Keep);
    EXPECT_EQ(pixelsOf(mapped.picture), (std::vector<int>{0, 4}));
}

TEST(PaletteMapping, TheAutomaticChoiceAndTheFixedPalette) {
    IndexedImage renumbered;
    ASSERT_TRUE(renumbered.create(2, 1));
    renumbered.setPaletteEntry(1, grey(13), false);
    renumbered.setPixel(1, 0, 1);
    // Every colour is one of the item's: the palette stays, and the colours
    // the file shows are the file's as much as the item's.
    const MappedPicture kept = mapImportColours(truecolourFile({grey(0), grey(12)}), renumbered,
                                                eightColours(), PaletteMode::Automatic);
    EXPECT_EQ(kept.mode, PaletteMode::Keep);
    EXPECT_EQ(kept.givenColours, (std::vector<bool>{0, 0, 0, 1, 0, 0, 0, 0}));
    // A colour the item lacks: renumbered, as the readers number it.
    const MappedPicture renumberedMap = mapImportColours(
        truecolourFile({grey(0), grey(13)}), renumbered, eightColours(), PaletteMode::Automatic);
    EXPECT_EQ(renumberedMap.mode, PaletteMode::Renumber);
    EXPECT_EQ(pixelsOf(renumberedMap.picture), (std::vector<int>{0, 1}));
    EXPECT_EQ(renumberedMap.picture.paletteEntry(1), grey(13));
    EXPECT_EQ(renumberedMap.picture.colourCount(), 8);
    EXPECT_EQ(renumberedMap.givenColours, (std::vector<bool>{1, 1, 0, 0, 0, 0, 0, 0}));
    // Colours the user cannot change are never written, whatever was asked.
    ImportTarget fixed = eightColours();
    fixed.fixedPalette = true;
    const FilePicture file = indexedFile({grey(0), grey(13)}, {0, 1});
    for (const PaletteMode mode :
         {PaletteMode::Automatic, PaletteMode::File, PaletteMode::Renumber}) {
        const MappedPicture mapped = mapImportColours(file, renumbered, fixed, mode);
        EXPECT_FALSE(mapped.writePalette);
        EXPECT_EQ(mapped.mode, PaletteMode::Keep);
        EXPECT_TRUE(std::ranges::none_of(mapped.givenColours, std::identity{}));
    }
}

TEST(PaletteMapping, SharedPaletteLine) {
    EXPECT_EQ(sharedPaletteLine({}), "");
    const std::vector<std::string> two = {"12 Guard", "13 Leafer"};
    EXPECT_EQ(sharedPaletteLine(two), "Also changes: 12 Guard, 13 Leafer");
    std::vector<std::string> many;
    for (int i = 0; i < 11; ++i)
        many.push_back(std::to_string(i));
    EXPECT_EQ(sharedPaletteLine(many), "Also changes: 0, 1, 2, 3, 4, 5, 6, 7 and 3 more");
}

}  // namespace
}  // namespace morvik
