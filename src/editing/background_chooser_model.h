#pragma once

namespace morvik {

// What the "Change background image" dialog holds while it is open: the
// selection (the `background` setting), the one to restore on Cancel, and the
// scroll position; eight of the sixty thumbnails show at a time, four a row.
class BackgroundChooserModel {
  public:
    static constexpr int kThumbnails = 60;
    static constexpr int kShown = 8;
    static constexpr int kPerRow = 4;
    static constexpr int kLastPosition = 13;  // rows 13 and 14: thumbnails 52..59

    explicit BackgroundChooserModel(int selection);

    int selection() const { return selection_; }
    int remembered() const { return remembered_; }
    int position() const { return position_; }
    int firstShown() const { return position_ * kPerRow; }
    // Whether the frame at slot 0..7 shows the selection (it gets a white border).
    bool isSelected(int slot) const { return firstShown() + slot == selection_; }

    void click(int slot);
    void scrollLines(int lines) { scrollTo(position_ + lines); }
    void scrollPages(int pages) { scrollTo(position_ + 2 * pages); }
    void scrollTo(int position);
    // Cancel: the selection goes back to what it was when the dialog opened.
    void cancel() { selection_ = remembered_; }

  private:
    int selection_;
    int remembered_;
    int position_;
};

}  // namespace morvik
