#include "gui/pages/page_controls.h"

#include <QMouseEvent>
#include <QPainter>
#include <QToolButton>
#include <algorithm>

namespace morvik::gui {

QRect dialogRect(int x, int y, int width, int height) {
    // Whole pixels, rounded down: the view, 171 units wide, is the 256 pixels
    // of its picture.
    const auto across = [](int units) { return units * 3 / 2; };
    const auto down = [](int units) { return units * 13 / 8; };
    return {across(x), down(y), across(width), down(height)};
}

PictureView::PictureView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void PictureView::setPicture(QImage picture) {
    picture_ = std::move(picture);
    update();
}

void PictureView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // Pictures are pixel art: scaled for the screen, each pixel stays a crisp block.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (!picture_.isNull()) painter.drawImage(QPoint(0, 0), picture_);
}

void PictureView::mousePressEvent(QMouseEvent* event) {
    modifiers_ = event->modifiers();
    if (event->button() == Qt::LeftButton) pressed(event->position().toPoint());
}

void PictureView::mouseMoveEvent(QMouseEvent* event) {
    modifiers_ = event->modifiers();
    if (event->buttons() & Qt::LeftButton) dragged(event->position().toPoint());
    hovered(event->position().toPoint());
}

void PictureView::leaveEvent(QEvent*) {
    left();
}

void PictureView::mouseReleaseEvent(QMouseEvent* event) {
    modifiers_ = event->modifiers();
    if (event->button() == Qt::LeftButton) released();
}

void PictureView::mouseDoubleClickEvent(QMouseEvent* event) {
    modifiers_ = event->modifiers();
    if (event->button() == Qt::LeftButton) doubleClicked(event->position().toPoint());
}

void PictureView::wheelEvent(QWheelEvent* event) {
    constexpr int kNotch = 120;
    wheelRest_ += event->angleDelta().y();
    const int steps = wheelRest_ / kNotch;
    wheelRest_ -= steps * kNotch;
    if (steps != 0) wheeled(steps, event->modifiers(), event->position().toPoint());
    event->accept();
}

ToolButton::ToolButton(const QString& normal, const QString& pressed, QWidget* parent)
    : QAbstractButton(parent), normal_(normal), pressed_(pressed) {
    setFocusPolicy(Qt::NoFocus);
}

void ToolButton::setCurrent(bool current) {
    if (current == current_) return;
    current_ = current;
    update();
}

void ToolButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(QPoint(0, 0), current_ ? pressed_ : normal_);
}

UpDown::UpDown(QWidget* parent) : QWidget(parent) {
    up_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_ = new QToolButton(this);
    down_->setArrowType(Qt::DownArrow);
    connect(up_, &QToolButton::clicked, this, [this] { step(1); });
    connect(down_, &QToolButton::clicked, this, [this] { step(-1); });
}

void UpDown::setRange(int minimum, int maximum) {
    minimum_ = minimum;
    maximum_ = std::max(minimum, maximum);
    value_ = std::clamp(value_, minimum_, maximum_);
}

void UpDown::setValue(int value) {
    value_ = std::clamp(value, minimum_, maximum_);
}

void UpDown::step(int delta) {
    setValue(value_ + delta);
    // Every press is reported, even one at the end of the range: the page repaints.
    changed();
}

void UpDown::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

}  // namespace morvik::gui
