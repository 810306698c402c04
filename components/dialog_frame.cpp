#include "components/dialog_frame.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

void LayOutDialog(QWidget* dialog, QLayout* content, std::initializer_list<QPushButton*> buttons) {
    auto* divider = new QFrame(dialog);
    divider->setFrameShape(QFrame::HLine);
    divider->setFrameShadow(QFrame::Sunken);
    auto* row = new QHBoxLayout;
    row->addStretch(1);
    for (QPushButton* button : buttons) {
        row->addWidget(button);
    }
    auto* layout = new QVBoxLayout(dialog);
    layout->addLayout(content, 1);
    layout->addWidget(divider);
    layout->addLayout(row);
}

void KeepTextWhole(QPushButton* button) {
    const QStyle* style = button->style();
    QString text = button->text();
    text.remove(QLatin1Char('&'));
    button->setMinimumWidth(button->fontMetrics().horizontalAdvance(text) +
                            style->pixelMetric(QStyle::PM_ButtonMargin, nullptr, button) +
                            2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, button));
}
