#pragma once

#include <string>

#include "transfer/rom_diff.h"

namespace morvik {

// How much a line about a changed item says.
struct ChangeDetail {
    std::string name;         // the item's name, said in brackets when not empty
    bool pixelCount = false;  // "pixels 37" rather than "pixels"
    bool sharers = false;     // ", shared with 07, 11" after a palette change
};

// "monster 012: pixels, palette", or with the detail
// "monster 012 (Guard): pixels 37, palette, shared with 013, 014".
std::string changeLine(const ItemChange& change, const ChangeDetail& detail);

// "1 item" or "17 items".
std::string itemsCount(std::size_t count);

}  // namespace morvik
