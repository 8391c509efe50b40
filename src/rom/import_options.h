#pragma once

namespace morvik {

// How an imported picture goes into an item.
struct ImportOptions {
    // The picture's colours become the item's; otherwise its palette stays.
    bool writePalette = true;
    // The item keeps its size and colour count where the picture fits them;
    // otherwise they follow the picture.
    bool keepFit = false;
};

}  // namespace morvik
