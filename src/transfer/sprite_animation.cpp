#include "transfer/sprite_animation.h"

#include <algorithm>

#include "gfx/render.h"

namespace morvik {

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The number at `at`, which is moved past it; nothing unless it is a frame.
std::optional<int> takeFrameNumber(std::string_view text, std::size_t& at) {
    if (at >= text.size() || !isDigit(text[at])) return std::nullopt;
    int value = 0;
    for (; at < text.size() && isDigit(text[at]); ++at) {
        value = value * 10 + (text[at] - '0');
        if (value >= sprites::kFrameCount) return std::nullopt;
    }
    return value;
}

std::size_t skipSpaces(std::string_view text, std::size_t at) {
    while (at < text.size() && isSpace(text[at]))
        ++at;
    return at;
}

int heldFps(int fps) {
    return std::clamp(fps, kMinFramesPerSecond, kMaxFramesPerSecond);
}

const IndexedImage* characterFrame(const CharacterSpriteSet& set, int character, int frame) {
    if (!isValidCharacter(character) ||
        static_cast<std::size_t>(character) >= set.characters.size()) {
        return nullptr;
    }
    const std::vector<IndexedImage>& frames =
        set.characters[static_cast<std::size_t>(character)].frames;
    if (frame < 0 || static_cast<std::size_t>(frame) >= frames.size()) return nullptr;
    const IndexedImage& image = frames[static_cast<std::size_t>(frame)];
    return image.hasPixels() ? &image : nullptr;
}

// The part of the background behind a frame, at the frame's size: the middle
// of the picture, or the plain colour.
IndexedImage backgroundWindow(const AnimationBackground& background, int width, int height) {
    IndexedImage window;
    if (!window.create(width, height)) return window;
    const IndexedImage* picture = background.picture;
    if (background.plain || picture == nullptr || !picture->hasPixels()) {
        window.setPaletteEntry(0, background.colour, false);
        return window;
    }
    for (int i = 0; i < picture->colourCount(); ++i)
        window.setPaletteEntry(i, picture->paletteEntry(i), false);
    const int left = (picture->width() - width) / 2;
    const int top = (picture->height() - height) / 2;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            window.setPixel(x, y, picture->getPixel(left + x, top + y));
    }
    return window;
}

}  // namespace

std::optional<std::vector<int>> parseFrameList(std::string_view text) {
    std::vector<int> frames;
    std::size_t at = skipSpaces(text, 0);
    if (at == text.size()) return std::nullopt;
    while (true) {
        const std::optional<int> frame = takeFrameNumber(text, at);
        if (!frame) return std::nullopt;
        frames.push_back(*frame);
        const std::size_t end = at;
        at = skipSpaces(text, at);
        if (at == text.size()) return frames;
        // One comma, spaces, or both lead to the next number; after a comma
        // there must be one ("1," and "1,,2" are refused by the next take).
        const bool comma = text[at] == ',';
        if (comma) at = skipSpaces(text, at + 1);
        if (!comma && at == end) return std::nullopt;
    }
}

std::string frameListText(const std::vector<int>& frames) {
    std::string text;
    for (std::size_t i = 0; i < frames.size(); ++i) {
        if (i > 0) text += ", ";
        text += std::to_string(frames[i]);
    }
    return text;
}

int animationPosition(std::size_t count, int fps, std::int64_t elapsedMs) {
    if (count == 0 || elapsedMs <= 0) return 0;
    const auto rate = static_cast<std::uint64_t>(heldFps(fps));
    const auto ms = static_cast<std::uint64_t>(elapsedMs);
    // elapsedMs * fps / 1000, split so that no product can overflow.
    const std::uint64_t shown = ms / 1000 * rate + ms % 1000 * rate / 1000;
    return static_cast<int>(shown % count);
}

int gifDelayCentiseconds(int fps) {
    const int rate = heldFps(fps);
    return std::max(2, (100 + rate / 2) / rate);
}

IndexedImage animationFrame(const CharacterSpriteSet& set, int character, int frame, int scale,
                            const AnimationBackground& background) {
    const IndexedImage* image = characterFrame(set, character, frame);
    if (image == nullptr) return {};
    const IndexedImage window = backgroundWindow(background, image->width(), image->height());
    const IndexedImage scene = drawImage(*image, &window);
    return drawImageMagnified(scene, std::clamp(scale, kMinAnimationScale, kMaxAnimationScale), 0,
                              0);
}

std::vector<IndexedImage> animationGifFrames(const CharacterSpriteSet& set, int character,
                                             const std::vector<int>& frames, int scale) {
    const int held = std::clamp(scale, kMinAnimationScale, kMaxAnimationScale);
    std::vector<IndexedImage> pictures;
    pictures.reserve(frames.size());
    for (const int frame : frames) {
        const IndexedImage* image = characterFrame(set, character, frame);
        if (image == nullptr) return {};
        pictures.push_back(drawImageMagnified(*image, held, 0, 0));
    }
    return pictures;
}

}  // namespace morvik
