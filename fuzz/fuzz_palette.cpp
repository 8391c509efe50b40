#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <span>
#include <vector>

#include "imagefile/palette_file.h"

namespace {

using morvik::PaletteColour;
using morvik::PaletteFileStatus;
using morvik::PaletteFormat;

struct Written {
    PaletteFormat format;
    const char* name;
};

constexpr std::array<const char*, 4> kEndings = {"f.gpl", "f.pal", "f.act", "f.bin"};
constexpr std::array<Written, 5> kFormats = {{
    {PaletteFormat::Gimp, "w.gpl"},
    {PaletteFormat::Jasc, "w.pal"},
    {PaletteFormat::Riff, "w.pal"},
    {PaletteFormat::Act, "w.act"},
    {PaletteFormat::Raw15, "w.bin"},
}};

// Whatever reads is written in every format and must read back as it was
// (the game's words keep five bits a component).
void expectRoundTrips(const std::vector<PaletteColour>& colours) {
    std::vector<PaletteColour> fiveBits;
    for (const PaletteColour& colour : colours) {
        fiveBits.push_back(morvik::snesToRgb(morvik::rgbToSnes(colour)));
    }
    for (const Written& written : kFormats) {
        const auto bytes = morvik::paletteFileBytes(colours, written.format);
        // Adobe tables and colour words have no signature: colours that spell
        // a whole palette of another format are read as that one. Only a
        // crafted palette does that, and it is not what this target looks for.
        std::vector<PaletteColour> byContent;
        if ((written.format == PaletteFormat::Act || written.format == PaletteFormat::Raw15) &&
            morvik::readPaletteBytes(bytes, "w.none", byContent) == PaletteFileStatus::Ok) {
            continue;
        }
        std::vector<PaletteColour> again;
        if (morvik::readPaletteBytes(bytes, written.name, again) != PaletteFileStatus::Ok) {
            std::abort();
        }
        if (again != (written.format == PaletteFormat::Raw15 ? fiveBits : colours)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto bytes = std::span<const std::uint8_t>(data, size);
    for (const char* ending : kEndings) {
        std::vector<PaletteColour> colours;
        if (morvik::readPaletteBytes(bytes, ending, colours) != PaletteFileStatus::Ok) continue;
        if (colours.empty() || colours.size() > morvik::kMaxPaletteFileColours) std::abort();
        expectRoundTrips(colours);
    }
    return 0;
}
