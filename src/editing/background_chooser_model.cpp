#include "editing/background_chooser_model.h"

#include <algorithm>

namespace morvik {

BackgroundChooserModel::BackgroundChooserModel(int selection)
    : selection_(selection >= 0 && selection < kThumbnails ? selection : 0),
      remembered_(selection_),
      position_(std::min(selection_ / kPerRow, kLastPosition)) {}

void BackgroundChooserModel::click(int slot) {
    if (slot < 0 || slot >= kShown) return;
    selection_ = firstShown() + slot;
}

void BackgroundChooserModel::scrollTo(int position) {
    position_ = std::clamp(position, 0, kLastPosition);
}

}  // namespace morvik
