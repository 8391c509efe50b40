#include "transfer/change_lines.h"

namespace morvik {

namespace {

// Past this many, the sharers are counted rather than named.
constexpr std::size_t kNamedSharers = 8;

std::string sharerList(const ItemChange& change) {
    std::string text;
    const std::vector<int>& sharers = change.paletteSharers;
    for (std::size_t i = 0; i < sharers.size() && i < kNamedSharers; ++i)
        text += (i == 0 ? "" : ", ") + itemNumber(change.kind, sharers[i]);
    if (sharers.size() > kNamedSharers)
        text += " and " + std::to_string(sharers.size() - kNamedSharers) + " more";
    return text;
}

}  // namespace

std::string changeLine(const ItemChange& change, const ChangeDetail& detail) {
    std::string line =
        std::string(itemKindName(change.kind)) + " " + itemNumber(change.kind, change.index);
    if (!detail.name.empty()) line += " (" + detail.name + ")";
    std::string aspects;
    auto add = [&aspects](const std::string& aspect) {
        aspects += (aspects.empty() ? "" : ", ") + aspect;
    };
    if (change.pixels > 0)
        add(detail.pixelCount ? "pixels " + std::to_string(change.pixels) : "pixels");
    if (change.palette) add("palette");
    if (change.size) add("size");
    if (change.depth) add("depth");
    if (detail.sharers && change.palette && !change.paletteSharers.empty())
        add("shared with " + sharerList(change));
    return line + ": " + aspects;
}

std::string itemsCount(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " item" : " items");
}

}  // namespace morvik
