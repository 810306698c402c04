#include "components/notice.h"

#include <QFont>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kScreenMargin = 16;

QLabel* PlainLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    // Texts carry window titles and file names; markup in them must show as typed.
    label->setTextFormat(Qt::PlainText);
    label->setWordWrap(true);
    label->setFocusPolicy(Qt::NoFocus);
    return label;
}

}  // namespace

Notice::Notice(QWidget* parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus),
      title_(PlainLabel(this)),
      text_(PlainLabel(this)),
      close_(new QToolButton(this)),
      action_(new QToolButton(this)),
      hideTimer_(this, kShowMs, true) {
    setObjectName(QStringLiteral("Notice"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_QuitOnClose, false);
    setFocusPolicy(Qt::NoFocus);
    setAutoFillBackground(true);
    // Without a window frame the note needs its own edge to stand out from what lies below.
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setFixedWidth(kWidth);

    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    close_->setText(QStringLiteral("\u00d7"));
    close_->setToolTip(QStringLiteral("Close"));
    close_->setAutoRaise(true);
    close_->setFocusPolicy(Qt::NoFocus);

    auto* top = new QHBoxLayout;
    top->addWidget(title_, 1);
    top->addWidget(close_, 0, Qt::AlignTop);
    action_->setFocusPolicy(Qt::NoFocus);
    action_->setVisible(false);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(text_);
    layout->addWidget(action_, 0, Qt::AlignRight);

    connect(close_, &QToolButton::clicked, this, &Notice::dismiss);
    connect(action_, &QToolButton::clicked, this, &Notice::chooseAction);
    connect(&hideTimer_, &EventTimer::timeout, this, &Notice::dismiss);
}

void Notice::say(const QString& title, const QString& text) {
    say(title, text, QString());
}

void Notice::say(const QString& title, const QString& text, const QString& action) {
    action_->setText(action);
    action_->setVisible(!action.isEmpty());
    title_->setText(title);
    text_->setText(text);
    placeAtBottomRight();
    show();
    hideTimer_.restart();
}

QString Notice::title() const {
    return title_->text();
}

QString Notice::text() const {
    return text_->text();
}

QString Notice::action() const {
    return action_->isHidden() ? QString() : action_->text();
}

void Notice::chooseAction() {
    if (action().isEmpty()) {
        return;
    }
    dismiss();
    emit actionChosen();
}

void Notice::dismiss() {
    hideTimer_.setEnabled(false);
    hide();
}

void Notice::placeAtBottomRight() {
    const int wrapped = heightForWidth(kWidth);
    resize(kWidth, wrapped > 0 ? wrapped : sizeHint().height());
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    move(area.right() - kScreenMargin - width(), area.bottom() - kScreenMargin - height());
}
