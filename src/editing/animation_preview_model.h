#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "imagefile/image_status.h"
#include "rom/sprites/sprite_set.h"
#include "transfer/sprite_animation.h"

namespace morvik {

// A frame list the user kept under a name, as the settings hold it:
// "Walk down: 0, 1, 0, 2".
struct KeptFrameList {
    std::string name;
    std::vector<int> frames;
    friend bool operator==(const KeptFrameList&, const KeptFrameList&) = default;
};
// Reads "Name: 0, 1, 0, 2" (a name of printable characters without a colon)
// or a bare list, whose name is then empty; nothing for anything else.
std::optional<KeptFrameList> parseKeptFrameList(std::string_view text);
// "Name: 0, 1, 0, 2", or the bare list for an empty name.
std::string keptFrameListText(const KeptFrameList& list);
// Puts the list among the kept ones: one of the same name is replaced, a new
// one comes last; at most kMaxKeptFrameLists are kept (the oldest go).
inline constexpr std::size_t kMaxKeptFrameLists = 16;
void keepFrameList(std::vector<std::string>& kept, const KeptFrameList& list);

// The animation preview of the character sprites without its window: the
// character, the frames it cycles, the speed, the size and what lies behind,
// and play and pause on a clock of milliseconds the window passes in. It reads
// the sprites each time it draws, so it shows edits as they are made.
class AnimationPreviewModel {
  public:
    explicit AnimationPreviewModel(const CharacterSpriteSet& set);

    void setCharacter(int character) { character_ = character; }
    int character() const { return character_; }
    // A list typed by the user ("0, 1, 0, 2", or a kept "Name: ..."): false,
    // and the list stays, when the text is no list of frames 0..39.
    bool setFrameText(std::string_view text);
    const std::vector<int>& frames() const { return frames_; }
    // Held to 1..30 and 1..4. A new speed keeps the frame shown.
    void setFramesPerSecond(int fps, std::int64_t nowMs);
    int framesPerSecond() const { return fps_; }
    void setScale(int scale);
    int scale() const { return scale_; }
    void setBackground(const AnimationBackground& background) { background_ = background; }
    const AnimationBackground& background() const { return background_; }

    void play(std::int64_t nowMs);
    void pause(std::int64_t nowMs);
    bool playing() const { return playing_; }

    // The place in the list shown at nowMs, and its frame number.
    int positionAt(std::int64_t nowMs) const;
    int frameAt(std::int64_t nowMs) const;
    // The picture shown at nowMs: the frame enlarged over the background.
    IndexedImage pictureAt(std::int64_t nowMs) const;
    // The cycle as a looping GIF at the speed and size, colour 0 transparent.
    ImageStatus exportGif(const std::filesystem::path& path) const;

  private:
    std::int64_t elapsedAt(std::int64_t nowMs) const;

    const CharacterSpriteSet& set_;
    int character_ = 0;
    std::vector<int> frames_;
    int fps_ = kDefaultFramesPerSecond;
    int scale_ = 2;
    AnimationBackground background_;
    bool playing_ = false;
    // The time played before the last start, and when that start was.
    std::int64_t played_ = 0;
    std::int64_t startedAt_ = 0;
};

}  // namespace morvik
