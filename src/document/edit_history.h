#pragma once

#include <cstddef>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "document/data_snapshot.h"

namespace morvik {

// Where a step was made: the tab of its page, the item (record, portrait or
// character) and, on the character page, the sprite shown.
struct StepPlace {
    int tab = 0;
    int item = 0;
    int sprite = 0;
    // The step changed the data of every page (a folder import): all of them
    // show it, and the tab stays as it is.
    bool allPages = false;

    friend bool operator==(const StepPlace&, const StepPlace&) = default;
};

// The undo history of the open ROM. An edit operation opens a step before it
// changes the data and closes it after; the step keeps the data sets as they
// were on both sides, sharing every part that did not change with the steps
// around it, so a step costs what it changed. Undo and redo put the sets back
// exactly, whatever happened to them in between (a save that reloads them, a
// page that refreshes a picture from its graphics).
class EditHistory {
  public:
    static constexpr std::size_t kMaxSteps = 200;
    static constexpr std::size_t kMaxBytes = std::size_t{32} << 20;

    explicit EditHistory(DataSets& sets) : sets_(sets) {}
    EditHistory(const EditHistory&) = delete;
    EditHistory& operator=(const EditHistory&) = delete;

    // Opens a step named `name` (a step still open is closed first) and drops
    // the steps that were undone. A step with the same non-empty merge key as
    // the last one, with nothing else done in between, goes on as that step.
    void begin(const std::string& name, StepPlace place, const std::string& mergeKey = {});
    // Closes the open step: the sets as they are now are what redo brings back.
    // A step that changed nothing is not kept.
    void commit();
    bool stepOpen() const { return open_.has_value(); }

    // Put the sets back as they were before the last step / after the next
    // one; the place of that step, or nothing when there is none.
    std::optional<StepPlace> undo();
    std::optional<StepPlace> redo();
    bool canUndo() const { return open_ || position_ > 0; }
    bool canRedo() const { return !open_ && position_ < steps_.size(); }
    // The names of the steps undo and redo would take; empty when none.
    std::string undoName() const;
    std::string redoName() const;

    // A ROM was opened: no steps, and the sets as they are now are clean, or
    // (recovered edits not yet saved) not.
    void clear(bool clean = true);
    // The sets were saved: the present step is the clean one.
    void markClean();
    // True when the steps done are those of the last open or save.
    bool isClean() const { return !open_ && clean_ == position_; }

    std::size_t stepCount() const { return steps_.size(); }
    std::size_t bytes() const { return bytes_; }
    // Tests lower the limits; the oldest steps go first when one is passed.
    void setLimits(std::size_t steps, std::size_t bytes);
    // Called after every change of what undo and redo would do.
    void setListener(std::function<void()> listener) { listener_ = std::move(listener); }

  private:
    struct Step {
        std::string name;
        StepPlace place;
        std::string mergeKey;
        std::shared_ptr<const DataSnapshot> before;
        std::shared_ptr<const DataSnapshot> after;
        std::size_t bytes = 0;
    };

    void push(Step step);
    void dropRedoBranch();
    void keepWithinLimits();
    void changed() {
        if (listener_) listener_();
    }

    DataSets& sets_;
    std::vector<Step> steps_;
    // Steps done; the steps from here on were undone.
    std::size_t position_ = 0;
    std::optional<std::size_t> clean_ = 0;
    // The sets as the history last saw them at `position_`.
    std::shared_ptr<const DataSnapshot> present_;
    std::size_t bytes_ = 0;
    std::size_t maxSteps_ = kMaxSteps;
    std::size_t maxBytes_ = kMaxBytes;
    std::optional<Step> open_;
    // The open step goes on as the last one (a merge).
    bool reopened_ = false;
    bool mergeable_ = false;
    std::function<void()> listener_;
};

}  // namespace morvik
