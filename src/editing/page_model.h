#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "document/edit_history.h"
#include "editing/page_view.h"
#include "gfx/colour.h"
#include "gfx/indexed_image.h"
#include "gfx/paint_tools.h"
#include "gfx/pixel_selection.h"
#include "transfer/image_import.h"

namespace morvik {

// The name of a flip's step: "Flip Horizontal" or "Flip Vertical".
const char* flipStepName(FlipDirection direction);

// What the three editor pages share, without a window: the selected colour
// with its enable rule, the drawing tools, the colour sliders and
// "Transparent". A page derives from it and supplies the picture, its colours
// and how a pixel or colour is stored. Every change of data reports to the
// change notifier (the document's changed mark).
class PageModel {
  public:
    virtual ~PageModel() = default;

    void setChangeNotifier(std::function<void()> notify) { changed_ = std::move(notify); }
    void markChanged() { changed_(); }
    // The history every edit of the page records its step in (none: no steps).
    void setHistory(EditHistory* history) { history_ = history; }

    // Where the page's current item is, for the steps it records.
    virtual StepPlace place() const = 0;
    // After an undo or redo: shows the step's item, its pictures brought in
    // line with the data that was put back.
    virtual void showStep(const StepPlace& place) = 0;

    // The picture the magnified view shows and the tools work on.
    virtual const IndexedImage& picture() const = 0;
    // The colours of the palette strip (8 or 16), in index order.
    virtual std::vector<PaletteColour> stripColours() const = 0;

    int currentColour() const { return currentColour_; }
    EditTool tool() const { return tool_; }
    // Drops a line or rectangle being dragged; another tool also the selection.
    void setTool(EditTool tool);

    // The enable rule: the sliders and "Transparent" work only on a colour other
    // than 0, and the box shows colour 0 as the transparent one.
    virtual bool colourEditable() const { return currentColour_ != 0; }
    virtual bool transparentChecked() const { return currentColour_ == 0; }

    // Selects a colour of the strip; an index outside it selects colour 0.
    void selectColour(int index);
    // A click at column x of the strip; false when it hits no cell.
    bool clickStrip(int x);

    // The left button goes down over the view at an image point. `visible` is
    // the part of the picture the view shows: the pen, eraser, picker, line and
    // rectangle never reach past it; a fill reaches the whole picture. `shift`
    // is Shift held: the fill then replaces the colour everywhere. The
    // selection tool starts to move the selection when the point lies in it,
    // and otherwise drops it and starts to drag a new one.
    void pressTool(ImagePoint point, ImageRect visible = ImageRect::unbounded(),
                   bool shift = false);
    // The pointer moves with the button held: the pen and eraser cover every
    // visible pixel between the last point and this one, the picker picks here,
    // the line and rectangle move their free end (the line snapped to 0, 45 or
    // 90 degrees with Shift, the rectangle filled). A stroke that leaves the
    // view goes on where the pointer comes back.
    void dragTool(ImagePoint point, ImageRect visible = ImageRect::unbounded(), bool shift = false);
    // The button comes up: the stroke, line or rectangle is one step of the
    // history. Shift held now snaps the line or fills the rectangle.
    void releaseTool(bool shift = false);
    // The pixels the line or rectangle being dragged would write, for the view
    // to show over the picture; none otherwise. Nothing is written before the
    // button comes up.
    const std::vector<PixelWrite>& previewWrites() const { return preview_; }
    // The picker clicked on the 1:1 preview: takes the colour there.
    virtual void pickFromPreview(ImagePoint point);

    // The selection tool's commands. From its first move (or flip) to its
    // drop, a selection's moves are one step, "Move Selection" (after a
    // paste, part of the "Paste" step); each writes the picture at once, so
    // what the view shows is what a save stores. A selection lives on the item
    // it was made on and only while nothing else changed the picture.
    bool hasSelection() const;
    bool selectionFloating() const { return hasSelection() && selection_.floating(); }
    // The rectangle the view outlines: the one being dragged, or the selection.
    std::optional<ImageRect> selectionOutline() const;
    // Ctrl+A: the whole picture.
    void selectAll();
    // Escape, Return, a click outside: the pixels stay where they are.
    void dropSelection();
    // The arrow keys. False when there is no selection.
    bool moveSelection(int dx, int dy);
    // Image > Flip with a selection: mirrors its pixels in place.
    bool flipSelection(FlipDirection direction);
    // Delete: the selected pixels become colour 0.
    bool eraseSelection();
    // Ctrl+C: keeps the selected pixels for a paste.
    bool copySelection();
    bool hasCopiedPixels() const { return !copied_.empty(); }
    // Ctrl+V: the kept pixels float at `at` (the view's top-left pixel) as
    // the new selection, to be moved and placed.
    bool pasteSelection(ImagePoint at);

    // A slider moved: stores value x 8 in the channel of the current colour.
    // Nothing happens while the sliders are disabled.
    void setChannel(ColourChannel channel, int sliderValue);
    // The hex field or the colour dialog: stores the colour in the current one
    // as the game keeps it (asStored), as one step. Nothing happens while the
    // sliders are disabled.
    void setColour(PaletteColour colour);
    // Palette > Import Palette: the colours of a palette file into the item's
    // palette as the game keeps them, the first 8 or 16 (fewer leave the rest
    // as they were), colour 0 too, as one step. False when the palette cannot
    // change (a character's fixed colours); nothing changes then.
    bool importPalette(std::span<const PaletteColour> colours);
    virtual bool paletteEditable() const { return true; }
    // "Transparent": the current colour and colour 0 change places, in the
    // picture and its palette; colour 0 is selected. Nothing happens while
    // the box is disabled.
    void makeTransparent();

    // Imports into the current item: what the mapping of the colours needs
    // to know, and the mapped picture put in.
    virtual ImportTarget importTarget() const = 0;
    virtual void importMapped(const MappedPicture& mapped) = 0;
    // The other items whose colours change with the current item's palette
    // (when it has `colours` colours).
    virtual std::vector<std::string> paletteSharers(int colours) const = 0;
    std::vector<std::string> paletteSharers() const {
        return paletteSharers(static_cast<int>(stripColours().size()));
    }
    // The other items an import of `mapped` changes with the current one: by
    // the palette it changes, and by the graphics it redraws where items
    // share them.
    virtual std::vector<std::string> importSharers(const MappedPicture& mapped) const = 0;

  protected:
    // One step of the history around an edit: opened when made, closed when it
    // goes out of scope. Every edit of the data goes through one.
    class [[nodiscard]] EditStep {
      public:
        EditStep(PageModel& page, const char* name, const std::string& mergeKey = {});
        ~EditStep();
        EditStep(const EditStep&) = delete;
        EditStep& operator=(const EditStep&) = delete;

      private:
        PageModel& page_;
    };

    // After the item, its colour count or its palette changed: a selected
    // colour the strip no longer has falls back to colour 0.
    void keepColourInRange() { selectColour(currentColour_); }
    // Sets a pixel that lies inside the picture, with the page's follow-up.
    virtual void drawPixel(int x, int y, std::uint8_t index) = 0;
    // After the pixels of one mouse event are drawn.
    virtual void finishStroke() {}
    // Sets many pixels inside the picture at once, with the page's follow-up
    // done once (a monster's mold).
    virtual void drawPixels(const std::vector<PixelWrite>& writes);
    virtual void storeColour(int index, PaletteColour colour) = 0;
    virtual void swapWithTransparent(int index) = 0;

  private:
    void applyAt(ImagePoint point);
    void pickAt(ImagePoint point);
    void fillAt(ImagePoint point, bool shift);
    // The line or rectangle from the anchor to `point`, as it would be drawn.
    void updateShape(ImagePoint point, bool shift);
    // Writes the pixels of a paint tool that change the picture, as one step.
    void applyTool(const char* name, const std::vector<PixelWrite>& writes,
                   const std::string& mergeKey = {});
    // The selection, dropped first when it is stale: made on another item, or
    // its picture changed by something else.
    PixelSelection& freshSelection();
    std::string selectionKey() const { return "selection " + std::to_string(selectionSerial_); }
    void pressSelect(ImagePoint point);

    void beginStep(const char* name, const std::string& mergeKey = {});
    void commitStep();

    std::function<void()> changed_ = [] {};
    EditHistory* history_ = nullptr;
    int currentColour_ = 0;
    EditTool tool_ = EditTool::Pen;
    ImagePoint last_;
    // Where the line or rectangle being dragged began, and its free end.
    ImagePoint anchor_;
    ImagePoint end_;
    bool shaping_ = false;
    std::vector<PixelWrite> preview_;
    ImageRect visible_ = ImageRect::unbounded();
    bool stroking_ = false;
    PixelSelection selection_;
    // The item the selection was made on.
    StepPlace selectionPlace_;
    // Counts the selections made: each one's moves merge into one step.
    int selectionSerial_ = 0;
    bool banding_ = false;
    bool movingSelection_ = false;
    PixelBlock copied_;
};

}  // namespace morvik
