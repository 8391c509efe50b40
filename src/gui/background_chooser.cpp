#include "gui/background_chooser.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>

#include "gui/image_convert.h"

namespace morvik::gui {

// One thumbnail; a white one-pixel border marks the selection.
class ThumbnailFrame : public QWidget {
  public:
    ThumbnailFrame(int slot, BackgroundChooser* chooser)
        : QWidget(chooser), slot_(slot), chooser_(chooser) {
        setObjectName(QString("thumbnail%1").arg(slot));
        setFixedSize(128, 128);
    }
    void show(const QImage& picture, bool selected) {
        picture_ = picture;
        selected_ = selected;
        update();
    }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawImage(0, 0, picture_);
        if (selected_) {
            painter.setPen(Qt::white);
            painter.drawRect(0, 0, 127, 127);
        }
    }
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) chooser_->clickFrame(slot_);
    }

  private:
    int slot_;
    BackgroundChooser* chooser_;
    QImage picture_;
    bool selected_ = false;
};

BackgroundChooser::BackgroundChooser(std::uint8_t& selection, const BackgroundPictures& pictures,
                                     std::function<void()> apply, QWidget* mainWindow)
    : QDialog(mainWindow),
      selection_(selection),
      pictures_(pictures),
      apply_(std::move(apply)),
      mainWindow_(mainWindow),
      model_(selection) {
    setObjectName("backgroundChooser");
    setWindowTitle("Change background image");
    setFixedSize(648, 354);
    setAttribute(Qt::WA_DeleteOnClose);
    for (int slot = 0; slot < BackgroundChooserModel::kShown; ++slot) {
        frames_[slot] = new ThumbnailFrame(slot, this);
        frames_[slot]->move(30 + 150 * (slot % 4), slot < 4 ? 24 : 162);
    }
    scrollBar_ = new QScrollBar(Qt::Vertical, this);
    scrollBar_->setObjectName("backgroundScroll");
    scrollBar_->setGeometry(620, 23, 18, 273);
    scrollBar_->setRange(0, BackgroundChooserModel::kLastPosition);
    scrollBar_->setPageStep(2);
    scrollBar_->setValue(model_.position());
    connect(scrollBar_, &QScrollBar::valueChanged, this, [this](int position) {
        model_.scrollTo(position);
        refresh();
    });

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("backgroundOk");
    ok->setDefault(true);
    ok->setGeometry(10, 315, 117, 28);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("backgroundCancel");
    cancel->setGeometry(160, 315, 117, 28);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, [this] {
        model_.cancel();
        selection_ = static_cast<std::uint8_t>(model_.selection());
        reject();
    });

    move(mainWindow->pos() + QPoint(150, 100));
    refresh();
    mainWindow->setEnabled(false);
    setEnabled(true);
}

void BackgroundChooser::clickFrame(int slot) {
    model_.click(slot);
    selection_ = static_cast<std::uint8_t>(model_.selection());
    refresh();
}

void BackgroundChooser::refresh() {
    for (int slot = 0; slot < BackgroundChooserModel::kShown; ++slot) {
        const int thumbnail = model_.firstShown() + slot;
        const bool exists = thumbnail < static_cast<int>(pictures_.thumbnails.size());
        frames_[slot]->show(exists ? toQImage(pictures_.thumbnails[thumbnail]) : QImage(),
                            model_.isSelected(slot));
    }
}

void BackgroundChooser::done(int result) {
    // Only OK rebuilds the pictures; Cancel has put the selection back, the
    // close box and Escape keep it.
    if (result == QDialog::Accepted) apply_();
    mainWindow_->setEnabled(true);
    QDialog::done(result);
}

}  // namespace morvik::gui
