#include "transfer/palette_mapping.h"

#include <algorithm>
#include <limits>

namespace morvik {

namespace {

// Colours as the game stores them: five bits a component.
bool sameColour(PaletteColour a, PaletteColour b) {
    return a.red >> 3 == b.red >> 3 && a.green >> 3 == b.green >> 3 && a.blue >> 3 == b.blue >> 3;
}

int distance(PaletteColour a, PaletteColour b) {
    const auto square = [](int x, int y) { return (x - y) * (x - y); };
    return square(a.red >> 3, b.red >> 3) + square(a.green >> 3, b.green >> 3) +
           square(a.blue >> 3, b.blue >> 3);
}

std::size_t pixelCount(const FilePicture& file) {
    return static_cast<std::size_t>(file.width) * static_cast<std::size_t>(file.height);
}

// One pixel of the file: its colour and whether it is transparent.
struct FilePixel {
    PaletteColour colour;
    bool transparent = false;
    int index = -1;  // the file's palette index, for indexed files
};

FilePixel pixelAt(const FilePicture& file, std::size_t i) {
    FilePixel pixel;
    if (file.indexed) {
        pixel.index = i < file.indices.size() ? file.indices[i] : 0;
        const auto entry = static_cast<std::size_t>(pixel.index);
        if (entry < file.palette.size()) pixel.colour = file.palette[entry];
        pixel.transparent =
            entry < file.transparentEntries.size() && file.transparentEntries[entry];
    } else {
        if (i < file.colours.size()) pixel.colour = file.colours[i];
        pixel.transparent = i < file.transparent.size() && file.transparent[i];
    }
    return pixel;
}

bool hasTransparency(const FilePicture& file) {
    const auto& marks = file.indexed ? file.transparentEntries : file.transparent;
    return std::find(marks.begin(), marks.end(), true) != marks.end();
}

// An image of the file's size whose palette is the given colours.
IndexedImage blankPicture(const FilePicture& file, std::span<const PaletteColour> colours) {
    IndexedImage picture;
    if (!picture.create(std::max(file.width, 1), std::max(file.height, 1))) return picture;
    for (std::size_t k = 0; k < colours.size(); ++k)
        picture.setPaletteEntry(static_cast<int>(k), colours[k], false);
    return picture;
}

// The item's index for an opaque colour: the pixel's current index when that
// holds the colour, else the lowest that does, else the nearest.
int indexFor(PaletteColour colour, const ImportTarget& target, int current, bool& exact) {
    const int count = static_cast<int>(target.colours.size());
    exact = true;
    if (current > 0 && current < count && sameColour(target.colours[current], colour)) {
        return current;
    }
    int nearest = 1;
    int best = std::numeric_limits<int>::max();
    for (int k = 1; k < count; ++k) {
        const int d = distance(target.colours[k], colour);
        if (d == 0) return k;
        if (d < best) {
            best = d;
            nearest = k;
        }
    }
    exact = false;
    return nearest;
}

MappedPicture keepColours(const FilePicture& file, const ImportTarget& target) {
    MappedPicture mapped;
    mapped.mode = PaletteMode::Keep;
    mapped.writePalette = false;
    mapped.picture = blankPicture(file, target.colours);
    if (target.colours.empty()) return mapped;
    // Without transparency in the file, colour 0 is the file's first colour
    // (indexed) or the item's colour 0 (truecolour).
    const bool transparency = hasTransparency(file);
    for (int y = 0; y < file.height; ++y) {
        for (int x = 0; x < file.width; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * file.width + x;
            const FilePixel pixel = pixelAt(file, i);
            const bool zero = transparency   ? pixel.transparent
                              : file.indexed ? pixel.index == 0
                                             : sameColour(pixel.colour, target.colours[0]);
            if (zero) continue;
            const bool known = target.current.contains(x, y);
            bool exact = true;
            const int index =
                indexFor(pixel.colour, target, known ? target.current.getPixel(x, y) : -1, exact);
            if (!exact) ++mapped.approximated;
            mapped.picture.setPixel(x, y, static_cast<std::uint8_t>(index));
        }
    }
    return mapped;
}

// The colour count the item ends up with: its own when `needed` fits it,
// else its most.
int colourCountFor(int needed, const ImportTarget& target) {
    const int current = static_cast<int>(target.colours.size());
    return needed <= current ? current : target.maxColours;
}

MappedPicture fileColours(const FilePicture& file, const ImportTarget& target) {
    MappedPicture mapped;
    mapped.mode = PaletteMode::File;
    const int used =
        file.indices.empty() ? 1 : *std::max_element(file.indices.begin(), file.indices.end()) + 1;
    const int count = colourCountFor(used, target);
    // Entries past the file's palette keep the item's colours.
    std::vector<PaletteColour> colours(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        const auto entry = static_cast<std::size_t>(k);
        colours[entry] = entry < file.palette.size()     ? file.palette[entry]
                         : entry < target.colours.size() ? target.colours[entry]
                                                         : PaletteColour{};
    }
    mapped.picture = blankPicture(file, colours);
    mapped.givenColours.assign(static_cast<std::size_t>(count), false);
    for (std::size_t k = 0; k < mapped.givenColours.size() && k < file.palette.size(); ++k)
        mapped.givenColours[k] = true;
    const std::size_t pixels = std::min(pixelCount(file), file.indices.size());
    std::copy_n(file.indices.begin(), pixels, mapped.picture.pixels().begin());
    return mapped;
}

MappedPicture renumberedColours(const IndexedImage& renumbered, const ImportTarget& target) {
    MappedPicture mapped;
    mapped.mode = PaletteMode::Renumber;
    if (renumbered.colourCount() > target.maxColours) {
        mapped.status = ImageStatus::TooManyColours;
        return mapped;
    }
    mapped.picture = renumbered;
    // Colours the picture does not have keep their values.
    const int count = colourCountFor(renumbered.colourCount(), target);
    mapped.givenColours.assign(static_cast<std::size_t>(count), false);
    std::fill_n(mapped.givenColours.begin(), renumbered.colourCount(), true);
    for (int k = renumbered.colourCount(); k < count; ++k) {
        const auto entry = static_cast<std::size_t>(k);
        mapped.picture.setPaletteEntry(
            k, entry < target.colours.size() ? target.colours[entry] : PaletteColour{}, false);
    }
    return mapped;
}

}  // namespace

std::optional<PaletteMode> paletteModeNamed(const std::string& name) {
    if (name == "file") return PaletteMode::File;
    if (name == "keep") return PaletteMode::Keep;
    if (name == "renumber") return PaletteMode::Renumber;
    return std::nullopt;
}

const char* paletteModeName(PaletteMode mode) {
    switch (mode) {
        case PaletteMode::File:
            return "file";
        case PaletteMode::Keep:
            return "keep";
        case PaletteMode::Renumber:
            return "renumber";
        case PaletteMode::Automatic:
            break;
    }
    return "automatic";
}

bool changesPalette(const MappedPicture& mapped, const ImportTarget& target) {
    if (!mapped.writePalette) return false;
    const int count = mapped.picture.colourCount();
    if (count != static_cast<int>(target.colours.size())) return true;
    for (int k = 0; k < count; ++k) {
        if (!sameColour(mapped.picture.paletteEntry(k),
                        target.colours[static_cast<std::size_t>(k)]))
            return true;
    }
    return false;
}

bool changesPicture(const MappedPicture& mapped, const ImportTarget& target) {
    const IndexedImage& picture = mapped.picture;
    const IndexedImage& current = target.current;
    if (picture.colourCount() != static_cast<int>(target.colours.size()) ||
        picture.width() > current.width() || picture.height() > current.height()) {
        return true;
    }
    for (int y = 0; y < current.height(); ++y) {
        for (int x = 0; x < current.width(); ++x) {
            if (picture.getPixel(x, y) != current.getPixel(x, y)) return true;
        }
    }
    return false;
}

bool fileModeApplies(const FilePicture& file, const ImportTarget& target) {
    if (!file.indexed || pixelCount(file) != file.indices.size()) return false;
    for (std::size_t k = 1; k < file.transparentEntries.size(); ++k) {
        if (file.transparentEntries[k]) return false;
    }
    return std::all_of(file.indices.begin(), file.indices.end(), [&](std::uint8_t index) {
        return index < target.maxColours && index < file.palette.size();
    });
}

MappedPicture mapImportColours(const FilePicture& file, const IndexedImage& renumbered,
                               const ImportTarget& target, PaletteMode mode) {
    // Colours the user cannot change are never written.
    if (target.fixedPalette) return keepColours(file, target);
    if (mode == PaletteMode::Automatic) {
        if (fileModeApplies(file, target)) return fileColours(file, target);
        MappedPicture kept = keepColours(file, target);
        if (kept.approximated == 0) {
            // Every colour is the item's own: the ones shown are the file's too.
            kept.givenColours.assign(target.colours.size(), false);
            for (const std::uint8_t index : kept.picture.pixels()) {
                if (index > 0 && index < kept.givenColours.size()) kept.givenColours[index] = true;
            }
            return kept;
        }
        return renumberedColours(renumbered, target);
    }
    if (mode == PaletteMode::File) {
        if (fileModeApplies(file, target)) return fileColours(file, target);
        MappedPicture refused;
        refused.mode = PaletteMode::File;
        refused.status = ImageStatus::TooManyColours;
        refused.refusal = "The file's palette cannot be used: " +
                          std::string(file.indexed ? "it has more colours than the item, or a "
                                                     "transparent colour other than the first"
                                                   : "the file has no palette");
        return refused;
    }
    if (mode == PaletteMode::Keep) return keepColours(file, target);
    return renumberedColours(renumbered, target);
}

std::string sharedPaletteLine(std::span<const std::string> others) {
    if (others.empty()) return {};
    constexpr std::size_t kNamed = 8;
    std::string line = "Also changes: ";
    for (std::size_t i = 0; i < std::min(others.size(), kNamed); ++i) {
        if (i > 0) line += ", ";
        line += others[i];
    }
    if (others.size() > kNamed) line += " and " + std::to_string(others.size() - kNamed) + " more";
    return line;
}

}  // namespace morvik
