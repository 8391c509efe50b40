#include "backgrounds/decorative_pictures.h"

#include <array>
#include <cstdint>

#include "backgrounds/background_pictures.h"

namespace morvik {

namespace {

constexpr int kGlyphWidth = 5;
constexpr int kGlyphHeight = 7;

struct Glyph {
    char character;
    std::array<std::uint8_t, kGlyphHeight> rows;  // bit 4 is the leftmost column
};

constexpr std::array<Glyph, 8> kFont = {{
    {'M', {0x11, 0x1B, 0x15, 0x15, 0x11, 0x11, 0x11}},
    {'o', {0x00, 0x00, 0x0E, 0x11, 0x11, 0x11, 0x0E}},
    {'r', {0x00, 0x00, 0x16, 0x19, 0x10, 0x10, 0x10}},
    {'v', {0x00, 0x00, 0x11, 0x11, 0x11, 0x0A, 0x04}},
    {'i', {0x04, 0x00, 0x0C, 0x04, 0x04, 0x04, 0x0E}},
    {'k', {0x10, 0x10, 0x12, 0x14, 0x18, 0x14, 0x12}},
    {'2', {0x0E, 0x11, 0x01, 0x02, 0x04, 0x08, 0x1F}},
    {'.', {0x00, 0x00, 0x00, 0x00, 0x00, 0x0C, 0x0C}},
}};

const Glyph* findGlyph(char c) {
    for (const Glyph& glyph : kFont) {
        if (glyph.character == c) return &glyph;
    }
    return nullptr;
}

void fillBlock(IndexedImage& image, int left, int top, int scale, PaletteColour colour) {
    for (int y = top; y < top + scale; ++y) {
        for (int x = left; x < left + scale; ++x) {
            if (image.contains(x, y)) image.setPixelColour(x, y, colour);
        }
    }
}

void drawGlyphs(IndexedImage& image, std::string_view text, int left, int top, int scale,
                PaletteColour colour) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const Glyph* glyph = findGlyph(text[i]);
        if (glyph == nullptr) continue;
        const int glyphLeft = left + static_cast<int>(i) * (kGlyphWidth + 1) * scale;
        for (int row = 0; row < kGlyphHeight; ++row) {
            for (int column = 0; column < kGlyphWidth; ++column) {
                if (glyph->rows[row] & (0x10 >> column)) {
                    fillBlock(image, glyphLeft + column * scale, top + row * scale, scale, colour);
                }
            }
        }
    }
}

std::uint8_t mix(int from, int to, int step, int steps) {
    return static_cast<std::uint8_t>(from + (to - from) * step / steps);
}

PaletteColour blend(PaletteColour a, PaletteColour b, int step, int steps) {
    return PaletteColour::fromRgb(mix(a.red, b.red, step, steps),
                                  mix(a.green, b.green, step, steps),
                                  mix(a.blue, b.blue, step, steps));
}

using Shader = PaletteColour (*)(int x, int y);

IndexedImage shade(Shader shader) {
    IndexedImage image;
    if (!image.create(kThumbnailSide, kThumbnailSide)) return image;
    // Neighbouring pixels mostly share a colour: its index is looked up once
    // per run, as setPixelColour would (a full palette takes no pixel).
    PaletteColour last;
    int index = -1;
    for (int y = 0; y < kThumbnailSide; ++y) {
        for (int x = 0; x < kThumbnailSide; ++x) {
            const PaletteColour colour = shader(x, y);
            if (index < 0 || colour != last || image.colourCount() >= kPaletteSize) {
                index = image.findOrAddColour(colour);
                last = colour;
            }
            if (index != kPaletteFull) image.setPixel(x, y, static_cast<std::uint8_t>(index));
        }
    }
    return image;
}

// Deep blue night falling into teal, in 32 bands.
PaletteColour twilight(int, int y) {
    return blend(PaletteColour::fromRgb(16, 24, 72), PaletteColour::fromRgb(40, 160, 152), y / 4,
                 31);
}

// A soft stone texture of offset bricks.
PaletteColour masonry(int x, int y) {
    const int row = y / 16;
    const int column = (x + (row % 2) * 12) / 24;
    const bool mortar = y % 16 == 0 || (x + (row % 2) * 12) % 24 == 0;
    if (mortar) return PaletteColour::fromRgb(72, 64, 56);
    const int tone = (row * 7 + column * 13) % 5;
    return PaletteColour::fromRgb(static_cast<std::uint8_t>(136 + tone * 12),
                                  static_cast<std::uint8_t>(128 + tone * 10),
                                  static_cast<std::uint8_t>(112 + tone * 8));
}

// A sunset glowing out from below the centre.
PaletteColour sunset(int x, int y) {
    const int dx = x - 64;
    const int dy = y - 112;
    const int distance = (dx * dx + dy * dy) / 256;  // 0..~100
    const int step = distance > 48 ? 48 : distance;
    return blend(PaletteColour::fromRgb(248, 200, 96), PaletteColour::fromRgb(88, 24, 104), step,
                 48);
}

// Rolling green waves.
PaletteColour meadow(int x, int y) {
    static constexpr std::array<int, 16> kWave = {0, 2,  4,  5,  6,  5,  4,  2,
                                                  0, -2, -4, -5, -6, -5, -4, -2};
    const int band = (y + kWave[(x / 4) % 16]) / 12;
    return blend(PaletteColour::fromRgb(32, 96, 40), PaletteColour::fromRgb(168, 216, 112),
                 band % 6, 5);
}

// A dark sky sprinkled with stars.
PaletteColour starfield(int x, int y) {
    const unsigned hash =
        static_cast<unsigned>(x) * 73856093u ^ static_cast<unsigned>(y) * 19349663u;
    if (hash % 97 == 0) return PaletteColour::fromRgb(248, 248, 216);
    return blend(PaletteColour::fromRgb(8, 8, 24), PaletteColour::fromRgb(48, 24, 80), y / 8, 15);
}

void letter(IndexedImage& image, int top) {
    const int scale = 3;
    const int left = (kThumbnailSide - pixelTextWidth("Morvik", scale)) / 2;
    drawPixelText(image, "Morvik", left, top, scale, PaletteColour::fromRgb(248, 248, 248),
                  PaletteColour::fromRgb(24, 16, 32));
}

}  // namespace

int pixelTextWidth(std::string_view text, int scale) {
    if (text.empty()) return 0;
    return (static_cast<int>(text.size()) * (kGlyphWidth + 1) - 1) * scale;
}

void drawPixelText(IndexedImage& image, std::string_view text, int left, int top, int scale,
                   PaletteColour colour, PaletteColour shadow) {
    drawGlyphs(image, text, left + scale, top + scale, scale, shadow);
    drawGlyphs(image, text, left, top, scale, colour);
}

IndexedImage decorativePicture(int n) {
    static constexpr std::array<Shader, kDecorativePictureCount> kShaders = {
        twilight, masonry, sunset, meadow, starfield};
    if (n < 0 || n >= kDecorativePictureCount) return IndexedImage{};
    IndexedImage image = shade(kShaders[n]);
    if (n == 0) letter(image, 53);
    if (n == 2) letter(image, 30);
    if (n == 4) letter(image, 53);
    return image;
}

}  // namespace morvik
