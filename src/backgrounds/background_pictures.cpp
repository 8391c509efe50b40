#include "backgrounds/background_pictures.h"

#include <algorithm>

#include "backgrounds/background_layout.h"
#include "backgrounds/decorative_pictures.h"

namespace morvik {

int battleBackgroundOfThumbnail(int thumbnail) {
    constexpr int kFirst = kBlueThumbnail + 1;  // thumbnails 7..55: backgrounds 0..48
    if (thumbnail >= kFirst && thumbnail <= kFirst + 48) return thumbnail - kFirst;
    if (thumbnail > kFirst + 48 && thumbnail < kThumbnailCount) return thumbnail - kFirst + 2;
    return -1;  // backgrounds 49 and 50 are not offered
}

namespace {

// A battle background's thumbnail window, as drawImageMagnified draws it at
// magnification 1 without a background: the picture's colours, and colour 0
// for a pixel past them or outside the picture.
IndexedImage thumbnailWindow(const IndexedImage& source) {
    IndexedImage thumbnail;
    [[maybe_unused]] const bool created = thumbnail.create(kThumbnailSide, kThumbnailSide);
    const int colours = source.colourCount();
    for (int k = 0; k < colours; ++k)
        thumbnail.setPaletteEntry(k, source.paletteEntry(k), false);
    const int columns = std::clamp(source.width() - kThumbnailWindowX, 0, kThumbnailSide);
    const int rows =
        columns == 0 ? 0 : std::clamp(source.height() - kThumbnailWindowY, 0, kThumbnailSide);
    for (int y = 0; y < rows; ++y) {
        const auto from = source.pixels().subspan(
            static_cast<std::size_t>(y + kThumbnailWindowY) * source.width() + kThumbnailWindowX,
            static_cast<std::size_t>(columns));
        const auto to = thumbnail.pixels().subspan(static_cast<std::size_t>(y) * kThumbnailSide);
        std::transform(from.begin(), from.end(), to.begin(), [colours](std::uint8_t pixel) {
            return pixel < colours ? pixel : std::uint8_t{0};
        });
    }
    return thumbnail;
}

}  // namespace

std::vector<IndexedImage> buildThumbnails(const std::vector<BattleBackground>& battleBackgrounds) {
    std::vector<IndexedImage> thumbnails;
    thumbnails.reserve(kThumbnailCount);
    for (int n = 0; n < kDecorativePictureCount; ++n)
        thumbnails.push_back(decorativePicture(n));
    IndexedImage plain;
    [[maybe_unused]] const bool created = plain.create(kThumbnailSide, kThumbnailSide);
    thumbnails.push_back(plain);
    plain.setPaletteEntry(0, kBlueThumbnailColour, false);
    thumbnails.push_back(plain);
    for (int t = kBlueThumbnail + 1; t < kThumbnailCount; ++t) {
        const int n = battleBackgroundOfThumbnail(t);
        const IndexedImage empty;
        const IndexedImage& source =
            n < static_cast<int>(battleBackgrounds.size()) ? battleBackgrounds[n].picture : empty;
        thumbnails.push_back(thumbnailWindow(source));
    }
    return thumbnails;
}

void buildCurrentBackground(BackgroundPictures& pictures, int selection) {
    if (selection < 0 || selection >= static_cast<int>(pictures.thumbnails.size())) selection = 0;
    if (pictures.thumbnails.empty()) return;
    [[maybe_unused]] const bool captured =
        pictures.background128.captureFrom(pictures.thumbnails[selection]);
    const IndexedImage& small = pictures.background128;
    IndexedImage& large = pictures.background256;
    if (!large.create(2 * small.width(), 2 * small.height())) return;
    // Taking the colours pixel by pixel would meet them in the same order as
    // the capture did, so the palette is the same and indices copy across.
    for (int k = 0; k < small.colourCount(); ++k) {
        large.setPaletteEntry(k, small.paletteEntry(k), false);
    }
    const auto from = small.pixels();
    const auto to = large.pixels();
    const auto width = static_cast<std::size_t>(large.width());
    for (std::size_t y = 0; y < static_cast<std::size_t>(large.height()); ++y) {
        for (std::size_t x = 0; x < width; ++x)
            to[y * width + x] = from[(y / 2) * static_cast<std::size_t>(small.width()) + x / 2];
    }
}

void applyBackground(BackgroundPictures& pictures, int selection,
                     const std::filesystem::path& romPath) {
    RomFile rom;
    if (!pictures.backgroundsLoaded) (void)rom.open(romPath, RomFile::Access::ReadOnly);
    applyBackground(pictures, selection, rom);
}

void applyBackground(BackgroundPictures& pictures, int selection, const RomFile& rom) {
    if (!pictures.backgroundsLoaded) {
        // A ROM whose backgrounds cannot be read still gets its thumbnails,
        // blank where the battle backgrounds would be; they are not tried again.
        if (!rom.isOpen() ||
            loadBattleBackgrounds(pictures.battleBackgrounds, rom) != RomLoadResult::Loaded) {
            pictures.battleBackgrounds.clear();
        }
        pictures.thumbnails = buildThumbnails(pictures.battleBackgrounds);
        pictures.backgroundsLoaded = true;
    }
    buildCurrentBackground(pictures, selection);
}

}  // namespace morvik
