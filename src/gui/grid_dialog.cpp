#include "gui/grid_dialog.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>

namespace morvik::gui {

GridDialog::GridDialog(Settings& settings, QWidget* mainWindow)
    : QDialog(mainWindow), settings_(settings), model_(settings), mainWindow_(mainWindow) {
    setObjectName("gridDialog");
    setWindowTitle("Change grid settings");
    setFixedSize(266, 141);
    setAttribute(Qt::WA_DeleteOnClose);

    auto* frame = new QGroupBox(this);
    frame->setGeometry(10, 8, 150, 90);
    auto* group = new QButtonGroup(this);
    const char* labels[] = {"Don't show grid", "Show pixel grid", "Show tile grid"};
    for (int mode = 0; mode < 3; ++mode) {
        modes_[mode] = new QRadioButton(labels[mode], frame);
        modes_[mode]->setObjectName(QString("gridMode%1").arg(mode));
        modes_[mode]->setGeometry(8, 8 + 26 * mode, 140, 22);
        group->addButton(modes_[mode], mode);
    }
    connect(group, &QButtonGroup::idClicked, this,
            [this](int mode) { model_.chooseMode(static_cast<GridMode>(mode)); });

    auto* label = new QLabel("Show grid when magnification is at least:", this);
    label->setGeometry(10, 104, 200, 30);
    label->setWordWrap(true);
    minimumText_ = new QLabel(this);
    minimumText_->setObjectName("gridMinimum");
    minimumText_->setGeometry(212, 108, 24, 22);
    auto* up = new QToolButton(this);
    up->setObjectName("gridMinimumUp");
    up->setArrowType(Qt::UpArrow);
    up->setGeometry(238, 104, 18, 15);
    auto* down = new QToolButton(this);
    down->setObjectName("gridMinimumDown");
    down->setArrowType(Qt::DownArrow);
    down->setGeometry(238, 120, 18, 15);
    connect(up, &QToolButton::clicked, this, [this] { changeMinimum(1); });
    connect(down, &QToolButton::clicked, this, [this] { changeMinimum(-1); });

    auto* ok = new QPushButton("OK", this);
    ok->setObjectName("gridOk");
    ok->setDefault(true);
    ok->setGeometry(176, 12, 80, 26);
    auto* cancel = new QPushButton("Cancel", this);
    cancel->setObjectName("gridCancel");
    cancel->setGeometry(176, 44, 80, 26);
    connect(ok, &QPushButton::clicked, this, &GridDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &GridDialog::reject);

    move(mainWindow->pos() + QPoint(200, 200));
    refresh();
    mainWindow->setEnabled(false);
    setEnabled(true);
}

void GridDialog::changeMinimum(int step) {
    model_.setMinimum(model_.minimum() + step);
    refresh();
}

void GridDialog::refresh() {
    minimumText_->setText(QString::fromStdString(model_.minimumText()));
    modes_[model_.checkedButton() - GridDialogModel::kNoGridButton]->setChecked(true);
}

void GridDialog::accept() {
    model_.accept(settings_);
    QDialog::accept();
}

void GridDialog::done(int result) {
    // However the dialog ends, the main window works again.
    mainWindow_->setEnabled(true);
    QDialog::done(result);
}

}  // namespace morvik::gui
