#pragma once

#include <QAbstractButton>
#include <QImage>
#include <QPixmap>
#include <QRect>
#include <QWidget>
#include <functional>

class QToolButton;

namespace morvik::gui {

// The pages are laid out in the dialog units of an 8-point font: 1.5 pixels
// across and 1.625 down per unit.
QRect dialogRect(int x, int y, int width, int height);

// A control the page draws itself: it shows a picture at its top-left corner
// and reports left-button presses and drags in its own coordinates.
class PictureView : public QWidget {
    Q_OBJECT

  public:
    explicit PictureView(QWidget* parent);

    void setPicture(QImage picture);
    const QImage& picture() const { return picture_; }

    std::function<void(QPoint)> pressed = [](QPoint) {};
    std::function<void(QPoint)> dragged = [](QPoint) {};
    std::function<void()> released = [] {};
    std::function<void(QPoint)> doubleClicked = [](QPoint) {};
    // The pointer over the control, button held or not (with mouse tracking on),
    // and the pointer gone from it.
    std::function<void(QPoint)> hovered = [](QPoint) {};
    std::function<void()> left = [] {};
    // The wheel turned over the control at a point: steps of one notch, up positive.
    std::function<void(int, Qt::KeyboardModifiers, QPoint)> wheeled = [](int, Qt::KeyboardModifiers,
                                                                         QPoint) {};
    // The keys (Shift, Alt) held at the last press, move or release.
    Qt::KeyboardModifiers modifiers() const { return modifiers_; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

  private:
    QImage picture_;
    int wheelRest_ = 0;  // what a fine-grained wheel turned short of a notch
    Qt::KeyboardModifiers modifiers_;
};

// A tool button drawn from two pictures: the pressed one while its tool is
// the current tool.
class ToolButton : public QAbstractButton {
    Q_OBJECT

  public:
    ToolButton(const QString& normal, const QString& pressed, QWidget* parent);

    void setCurrent(bool current);
    bool isCurrent() const { return current_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QPixmap normal_;
    QPixmap pressed_;
    bool current_ = false;
};

// An up-down control without a buddy: two arrow buttons that step a value
// within its range.
class UpDown : public QWidget {
    Q_OBJECT

  public:
    explicit UpDown(QWidget* parent);

    void setRange(int minimum, int maximum);
    // Held to the range; reports no change.
    void setValue(int value);
    int value() const { return value_; }
    // One step up (+1) or down (-1), as the arrows do.
    void step(int delta);

    QToolButton* upButton() const { return up_; }
    QToolButton* downButton() const { return down_; }

    std::function<void()> changed = [] {};

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    QToolButton* up_ = nullptr;
    QToolButton* down_ = nullptr;
    int minimum_ = 0;
    int maximum_ = 100;
    int value_ = 0;
};

}  // namespace morvik::gui
