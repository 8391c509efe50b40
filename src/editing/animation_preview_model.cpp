#include "editing/animation_preview_model.h"

#include <algorithm>

#include "imagefile/gif_file.h"

namespace morvik {

std::optional<KeptFrameList> parseKeptFrameList(std::string_view text) {
    KeptFrameList list;
    const std::size_t colon = text.find(':');
    if (colon != std::string_view::npos) {
        std::string_view name = text.substr(0, colon);
        while (!name.empty() && name.front() == ' ')
            name.remove_prefix(1);
        while (!name.empty() && name.back() == ' ')
            name.remove_suffix(1);
        if (name.empty()) return std::nullopt;
        for (const char c : name) {
            if (static_cast<unsigned char>(c) < 0x20) return std::nullopt;
        }
        list.name = std::string(name);
        text.remove_prefix(colon + 1);
    }
    auto frames = parseFrameList(text);
    if (!frames) return std::nullopt;
    list.frames = std::move(*frames);
    return list;
}

std::string keptFrameListText(const KeptFrameList& list) {
    const std::string frames = frameListText(list.frames);
    return list.name.empty() ? frames : list.name + ": " + frames;
}

void keepFrameList(std::vector<std::string>& kept, const KeptFrameList& list) {
    std::erase_if(kept, [&list](const std::string& entry) {
        const auto old = parseKeptFrameList(entry);
        return !old || old->name == list.name;
    });
    kept.push_back(keptFrameListText(list));
    if (kept.size() > kMaxKeptFrameLists)
        kept.erase(kept.begin(), kept.end() - static_cast<std::ptrdiff_t>(kMaxKeptFrameLists));
}

AnimationPreviewModel::AnimationPreviewModel(const CharacterSpriteSet& set)
    : set_(set), frames_(*parseFrameList(kDefaultFrameList)) {}

bool AnimationPreviewModel::setFrameText(std::string_view text) {
    const auto list = parseKeptFrameList(text);
    if (!list) return false;
    frames_ = list->frames;
    return true;
}

void AnimationPreviewModel::setFramesPerSecond(int fps, std::int64_t nowMs) {
    fps = std::clamp(fps, kMinFramesPerSecond, kMaxFramesPerSecond);
    if (fps == fps_) return;
    // The place shown stays: the time played becomes that place's start at
    // the new speed.
    const int position = positionAt(nowMs);
    fps_ = fps;
    played_ = (static_cast<std::int64_t>(position) * 1000 + fps_ - 1) / fps_;
    startedAt_ = nowMs;
}

void AnimationPreviewModel::setScale(int scale) {
    scale_ = std::clamp(scale, kMinAnimationScale, kMaxAnimationScale);
}

void AnimationPreviewModel::play(std::int64_t nowMs) {
    if (playing_) return;
    playing_ = true;
    startedAt_ = nowMs;
}

void AnimationPreviewModel::pause(std::int64_t nowMs) {
    if (!playing_) return;
    played_ = elapsedAt(nowMs);
    playing_ = false;
}

std::int64_t AnimationPreviewModel::elapsedAt(std::int64_t nowMs) const {
    return played_ + (playing_ ? std::max<std::int64_t>(nowMs - startedAt_, 0) : 0);
}

int AnimationPreviewModel::positionAt(std::int64_t nowMs) const {
    return animationPosition(frames_.size(), fps_, elapsedAt(nowMs));
}

int AnimationPreviewModel::frameAt(std::int64_t nowMs) const {
    return frames_.empty() ? 0 : frames_[static_cast<std::size_t>(positionAt(nowMs))];
}

IndexedImage AnimationPreviewModel::pictureAt(std::int64_t nowMs) const {
    return animationFrame(set_, character_, frameAt(nowMs), scale_, background_);
}

ImageStatus AnimationPreviewModel::exportGif(const std::filesystem::path& path) const {
    return writeAnimatedGif(path, animationGifFrames(set_, character_, frames_, scale_),
                            gifDelayCentiseconds(fps_));
}

}  // namespace morvik
