#include "document/edit_history.h"

namespace morvik {

void EditHistory::begin(const std::string& name, StepPlace place, const std::string& mergeKey) {
    commit();
    const bool first = present_ == nullptr;
    SnapshotTaken taken = takeSnapshot(sets_, present_);
    // A step that goes on is only one whose data nothing else touched since.
    reopened_ = mergeable_ && !mergeKey.empty() && position_ == steps_.size() && !steps_.empty() &&
                steps_.back().mergeKey == mergeKey && taken.snapshot == present_;
    open_ = reopened_ ? steps_.back() : Step{name,           place,   mergeKey,
                                             taken.snapshot, nullptr, first ? 0 : taken.newBytes};
    present_ = std::move(taken.snapshot);
}

void EditHistory::commit() {
    if (!open_) return;
    Step step = std::move(*open_);
    open_.reset();
    SnapshotTaken taken = takeSnapshot(sets_, present_);
    present_ = std::move(taken.snapshot);
    step.bytes += taken.newBytes;
    step.after = present_;
    if (reopened_) {
        bytes_ += taken.newBytes;
        steps_.back() = std::move(step);
    } else if (step.after != step.before) {
        push(std::move(step));
    } else {
        return;  // nothing changed: nothing to take back
    }
    keepWithinLimits();
    changed();
}

void EditHistory::push(Step step) {
    dropRedoBranch();
    bytes_ += step.bytes;
    mergeable_ = !step.mergeKey.empty();
    steps_.push_back(std::move(step));
    position_ = steps_.size();
}

std::optional<StepPlace> EditHistory::undo() {
    commit();
    mergeable_ = false;
    if (position_ == 0) return std::nullopt;
    const Step& step = steps_[--position_];
    restoreSnapshot(sets_, *step.before);
    present_ = step.before;
    changed();
    return step.place;
}

std::optional<StepPlace> EditHistory::redo() {
    commit();
    mergeable_ = false;
    if (position_ == steps_.size()) return std::nullopt;
    const Step& step = steps_[position_++];
    restoreSnapshot(sets_, *step.after);
    present_ = step.after;
    changed();
    return step.place;
}

std::string EditHistory::undoName() const {
    if (open_) return open_->name;
    return position_ > 0 ? steps_[position_ - 1].name : std::string();
}

std::string EditHistory::redoName() const {
    return canRedo() ? steps_[position_].name : std::string();
}

void EditHistory::clear(bool clean) {
    steps_.clear();
    open_.reset();
    position_ = 0;
    clean_ = clean ? std::optional<std::size_t>(0) : std::nullopt;
    present_ = nullptr;
    bytes_ = 0;
    mergeable_ = false;
    changed();
}

void EditHistory::markClean() {
    commit();
    clean_ = position_;
    mergeable_ = false;
    changed();
}

void EditHistory::setLimits(std::size_t steps, std::size_t bytes) {
    maxSteps_ = steps;
    maxBytes_ = bytes;
    keepWithinLimits();
}

void EditHistory::dropRedoBranch() {
    if (clean_ && *clean_ > position_) clean_.reset();  // that state can no longer be reached
    while (steps_.size() > position_) {
        bytes_ -= steps_.back().bytes;
        steps_.pop_back();
    }
}

void EditHistory::keepWithinLimits() {
    std::size_t dropped = 0;
    // The newest step always stays, however large.
    while (steps_.size() - dropped > 1 && position_ > dropped &&
           (steps_.size() - dropped > maxSteps_ || bytes_ > maxBytes_)) {
        bytes_ -= steps_[dropped].bytes;
        ++dropped;
    }
    if (dropped == 0) return;
    steps_.erase(steps_.begin(), steps_.begin() + static_cast<std::ptrdiff_t>(dropped));
    position_ -= dropped;
    if (clean_) {
        if (*clean_ < dropped)
            clean_.reset();
        else
            *clean_ -= dropped;
    }
}

}  // namespace morvik
