#pragma once

#include <array>
#include <filesystem>

#include "gfx/indexed_image.h"
#include "rom/rom_file.h"

namespace morvik {

class EditHistory;
struct StepPlace;

// What the shell asks of an editor page, without knowing what the page edits.
// The GUI's pages implement it; the window system's own event handling takes
// the place of a message procedure.
class EditorPage {
  public:
    virtual ~EditorPage() = default;

    // Image menu commands on the page's current item; the page reports its own errors.
    virtual void clearImage() = 0;
    virtual void exportImage() = 0;
    virtual void flipImage(FlipDirection direction) = 0;
    virtual void importImage() = 0;
    // Creates the page's window, hidden (once, at start-up).
    virtual void createPage() = 0;
    // Prepares the page from the freshly loaded data (once, at the first load).
    virtual void initAfterLoad() = 0;
    // Brings the display in line with the data after a later load.
    virtual void refresh() { invalidatePage(); }
    // The history the page's edits record their steps in: the document's.
    virtual void setHistory(EditHistory&) {}
    // After an undo or redo on this page: shows the step's item with the data
    // that was put back.
    virtual void showStep(const StepPlace&) { refresh(); }
    // After a step that changed every data set, or its undo or redo: shows the
    // page's current item from the data now there.
    virtual void showCurrent() { refresh(); }
    // Puts into the data sets what the page keeps pending (drawn pixels not
    // yet in the graphics they come from), before the sets are read whole.
    virtual void settleEdits() {}
    // Writes the page's data set into the image of the ROM that the document
    // puts on the disk once every page has saved; reports its own errors;
    // false stops the save.
    [[nodiscard]] virtual bool saveToRom(RomFile& rom) = 0;
    virtual void paint() = 0;

    virtual void hidePage() = 0;
    virtual void showPage() = 0;
    // Asks for a repaint of the whole page.
    virtual void invalidatePage() = 0;
};

// The monster page also serves the espers: the shell tells it which set to list.
class MonsterEditorPage : public virtual EditorPage {
  public:
    // Tab 0 lists the monsters, tab 1 the espers; the set's first record is selected.
    virtual void modeChanged(int tab) = 0;
};

inline constexpr int kMonstersTab = 0;
inline constexpr int kEspersTab = 1;
inline constexpr int kPortraitsTab = 2;
inline constexpr int kCharactersTab = 3;

// The three pages, created once for the whole run.
struct EditorPages {
    MonsterEditorPage& monsters;
    EditorPage& portraits;
    EditorPage& characters;

    std::array<EditorPage*, 3> all() const { return {&monsters, &portraits, &characters}; }
    // Tabs 0 and 1 share the monster page; an unknown tab gives it too.
    EditorPage& pageForTab(int tab) const {
        if (tab == kPortraitsTab) return portraits;
        if (tab == kCharactersTab) return characters;
        return monsters;
    }
};

}  // namespace morvik
