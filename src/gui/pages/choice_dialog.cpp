#include "gui/pages/choice_dialog.h"

#include <QPushButton>
#include <QRadioButton>
#include <algorithm>

#include "gui/pages/page_controls.h"

namespace morvik::gui {

ChoiceDialog::ChoiceDialog(const QString& caption, const std::vector<QString>& choices,
                           QWidget* mainWindow)
    : QDialog(mainWindow), mainWindow_(mainWindow) {
    setObjectName("choiceDialog");
    setWindowTitle(caption);
    setFixedSize(dialogRect(0, 0, 186, 63).size());
    constexpr std::array<int, 3> kRows = {7, 25, 44};
    count_ = std::min(choices.size(), options_.size());
    for (std::size_t i = 0; i < options_.size(); ++i) {
        options_[i] = new QRadioButton(this);
        options_[i]->setObjectName(QString("choice%1").arg(i));
        options_[i]->setGeometry(dialogRect(7, kRows[i], 122, 12));
        options_[i]->setVisible(i < count_);
        if (i < count_) options_[i]->setText(choices[i]);
    }
    options_[0]->setChecked(true);
    ok_ = new QPushButton("OK", this);
    ok_->setObjectName("choiceOk");
    ok_->setDefault(true);
    ok_->setGeometry(dialogRect(129, 7, 50, 14));
    cancel_ = new QPushButton("Cancel", this);
    cancel_->setObjectName("choiceCancel");
    cancel_->setGeometry(dialogRect(129, 24, 50, 14));
    connect(ok_, &QPushButton::clicked, this, &ChoiceDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &ChoiceDialog::reject);
    move(mainWindow->pos() + QPoint(150, 100));
}

int ChoiceDialog::ask() {
    mainWindow_->setEnabled(false);
    setEnabled(true);
    exec();
    return choice_;
}

void ChoiceDialog::accept() {
    for (std::size_t i = 0; i < options_.size(); ++i)
        if (i < count_ && options_[i]->isChecked()) choice_ = static_cast<int>(i);
    QDialog::accept();
}

void ChoiceDialog::done(int result) {
    if (result != QDialog::Accepted) choice_ = -1;
    mainWindow_->setEnabled(true);
    QDialog::done(result);
}

}  // namespace morvik::gui
