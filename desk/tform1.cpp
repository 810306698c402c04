#include "desk/tform1.h"

#include <algorithm>
#include <utility>

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QSignalBlocker>
#include <QToolButton>

#include "components/document_preview.h"
#include "components/mask_edit.h"
#include "components/message_box.h"
#include "components/qstatus.h"
#include "config/configuration_face.h"
#include "desk/date_entry.h"
#include "desk/desk_icons.h"

namespace {
// The client area at the design size, which the anchors keep their distances from.
constexpr int kDesignClientWidth = 483;
constexpr int kDesignClientHeight = 424;
constexpr QSize kMinimumOuterSize{475, 255};

QLabel* MakeLabel(const QString& text, QWidget* parent, const QString& name) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}
}  // namespace

TForm1::TForm1(DeskServices services)
    : Timer1(this, 500),
      StartTimer(this, 1),
      ButtonRefreshTimer(this, 200),
      DocumentDetectionTimer(this, 500),
      DocumentDetectionTimerTimeout(this, 10000),
      ResetDateTimer(this, 60000),
      AlertTimer(this, 750),
      DoubleClickTimer(this, 300),
      InboxSettleTimer(this, 25, true),
      InboxPollTimer(this, 2000),
      services_(std::move(services)),
      trayRetryTimer_(this, 1000),
      flushTimer_(this, 1000, true) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Tessaryn Sortwell Desk 1.0"));
    setWindowIcon(DeskIcons::program());
    createHeader();
    createBody();
    createTimers();
    createTray();
    resize(kDesignClientWidth, kDesignClientHeight);
    setMinimumSize(kMinimumOuterSize);
}

TForm1::~TForm1() {
    services_.store->FlushRegistry();
}

void TForm1::connectConfiguration(ConfigurationFace* configuration) {
    configuration_ = configuration;
}

void TForm1::createHeader() {
    Panel2 = new QFrame(this);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setFrameShape(QFrame::Panel);
    Panel2->setFrameShadow(QFrame::Sunken);

    Label7 = MakeLabel(QStringLiteral("Date:        /  "), Panel2, QStringLiteral("Label7"));
    Label7->setGeometry(8, 10, 80, 17);
    MaskEdit1 = new TMaskEdit(QStringLiteral("99;_"), Panel2);
    MaskEdit1->setObjectName(QStringLiteral("MaskEdit1"));
    MaskEdit1->setGeometry(44, 6, 28, 23);
    MaskEdit2 = new TMaskEdit(QStringLiteral("0000;_"), Panel2);
    MaskEdit2->setLeaveRule(
        [](const QString& typed, bool edited) {
            return sortwell::desk::MayLeaveYearField(typed.toStdString(), edited);
        },
        QString::fromUtf8(sortwell::desk::kInvalidInputMessage.data(),
                          static_cast<qsizetype>(sortwell::desk::kInvalidInputMessage.size())));
    MaskEdit2->setObjectName(QStringLiteral("MaskEdit2"));
    MaskEdit2->setGeometry(88, 6, 46, 23);
    ComboBox1 = new QComboBox(Panel2);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(142, 6, 80, 23);
    ComboBox1->setVisible(false);

    Label1 = MakeLabel(QStringLiteral("Tag: "), Panel2, QStringLiteral("Label1"));
    Label1->setGeometry(8, 40, 34, 17);
    Edit1 = new QLineEdit(Panel2);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(44, 36, 150, 23);
    Label4 = MakeLabel(QStringLiteral("<<<"), Panel2, QStringLiteral("Label4"));
    Label4->setGeometry(198, 40, 24, 17);
    Label4->setStyleSheet(QStringLiteral("color: rgb(255, 0, 0); font-weight: bold;"));
    Label4->setVisible(false);
    SpeedButton1 = new QToolButton(Panel2);
    SpeedButton1->setObjectName(QStringLiteral("SpeedButton1"));
    SpeedButton1->setText(QStringLiteral("&Dismiss"));
    SpeedButton1->setToolTip(QStringLiteral("Dismiss the current document and delete it."));
    SpeedButton1->setFocusPolicy(Qt::NoFocus);
    SpeedButton1->setGeometry(44, 66, 90, 25);
    WaitingLabel = MakeLabel(QString(), Panel2, QStringLiteral("WaitingLabel"));
    WaitingLabel->setStyleSheet(QStringLiteral("color: grey;"));
    WaitingLabel->setGeometry(140, 70, 84, 17);
    WaitingLabel->setVisible(false);

    // The right-hand area of the header: the program's picture, name, version and link.
    auto* about = new QWidget(Panel2);
    about->setObjectName(QStringLiteral("AboutArea"));
    about->setGeometry(225, 2, 243, 93);
    Image1 = new QLabel(about);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setPixmap(DeskIcons::program().pixmap(32, 32));
    Image1->setGeometry(8, 8, 32, 32);
    Label2 = MakeLabel(QStringLiteral("Tessaryn Sortwell Desk"), about, QStringLiteral("Label2"));
    Label2->setStyleSheet(QStringLiteral("color: navy; font-weight: bold;"));
    Label2->setGeometry(48, 8, 190, 17);
    Label8 = MakeLabel(QStringLiteral("Version 1.0"), about, QStringLiteral("Label8"));
    Label8->setGeometry(48, 28, 190, 17);
    Label10 = new QLabel(about);
    Label10->setObjectName(QStringLiteral("Label10"));
    Label10->setGeometry(48, 48, 190, 17);

    setTabOrder(Edit1, MaskEdit1);
    setTabOrder(MaskEdit1, MaskEdit2);
    setTabOrder(MaskEdit2, ComboBox1);

    connect(SpeedButton1, &QToolButton::clicked, this, &TForm1::SpeedButton1Click);
    connect(Edit1, &QLineEdit::textChanged, this, &TForm1::Edit1Change);
    connect(ComboBox1, &QComboBox::activated, this, &TForm1::ComboBox1Change);
    connect(MaskEdit1, &QLineEdit::textChanged, this, &TForm1::updateTargetHints);
    connect(MaskEdit2, &QLineEdit::textChanged, this, &TForm1::updateTargetHints);
    Edit1->installEventFilter(this);
    MaskEdit1->installEventFilter(this);
    MaskEdit2->installEventFilter(this);
}

void TForm1::createBody() {
    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::Panel);
    Panel1->setFrameShadow(QFrame::Sunken);
    CheckBox1 = new QCheckBox(QStringLiteral("Active (start minimized)"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    Label3 = MakeLabel(QStringLiteral("* marked targets do not need a tag."), this,
                       QStringLiteral("Label3"));
    Label3->setStyleSheet(QStringLiteral("color: grey;"));
    Label3->setWordWrap(true);
    Button1 = new QPushButton(QStringLiteral("Show Configuration ..."), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    UndoButton = new QPushButton(QStringLiteral("&Undo"), this);
    UndoButton->setObjectName(QStringLiteral("UndoButton"));
    UndoButton->setFocusPolicy(Qt::NoFocus);
    UndoButton->setEnabled(false);
    // Ctrl+Z reaches the desk from every field and also with the button greyed, to say why
    // nothing can be taken back.
    auto* undoKey = new QShortcut(QKeySequence::Undo, this);
    undoKey->setObjectName(QStringLiteral("UndoShortcut"));
    connect(undoKey, &QShortcut::activated, this, &TForm1::UndoLastFiling);
    QStatus1 = new TQStatus(this);
    QStatus1->setObjectName(QStringLiteral("QStatus1"));
    ProblemLine = MakeLabel(QString(), this, QStringLiteral("ProblemLine"));
    ProblemLine->setWordWrap(true);
    ProblemLine->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ProblemLine->setStyleSheet(
        QStringLiteral("QLabel { color: rgb(128, 0, 0); background-color: rgb(255, 235, 235);"
                       " border: 1px solid rgb(200, 120, 120); padding: 3px; }"));
    ProblemLine->setVisible(false);
    Preview = new DocumentPreview(this);
    Preview->setObjectName(QStringLiteral("Preview"));
    Preview->setVisible(false);
    connect(Preview, &DocumentPreview::openRequested, this,
            [this](const QString& path) { services_.openUrl(QUrl::fromLocalFile(path)); });
    GridHint = MakeLabel(QString(), Panel1, QStringLiteral("GridHint"));
    GridHint->setWordWrap(true);
    GridHint->setAlignment(Qt::AlignCenter);
    GridHint->setStyleSheet(QStringLiteral("color: grey;"));
    GridHint->setVisible(false);

    // Code that sets the box runs the handler too, whenever the state changes.
    connect(CheckBox1, &QCheckBox::toggled, this, &TForm1::CheckBox1Click);
    connect(Button1, &QPushButton::clicked, this, &TForm1::Button1Click);
    connect(UndoButton, &QPushButton::clicked, this, &TForm1::UndoButtonClick);
}

void TForm1::createTimers() {
    ButtonRefreshTimer.setEnabled(false);
    connect(&Timer1, &EventTimer::timeout, this, &TForm1::Timer1Timer);
    connect(&StartTimer, &EventTimer::timeout, this, &TForm1::StartTimerTimer);
    connect(&ButtonRefreshTimer, &EventTimer::timeout, this, &TForm1::ButtonRefreshTimerTimer);
    connect(&DocumentDetectionTimer, &EventTimer::timeout, this,
            &TForm1::DocumentDetectionTimerTimer);
    connect(&DocumentDetectionTimerTimeout, &EventTimer::timeout, this,
            &TForm1::DocumentDetectionTimerTimeoutTimer);
    connect(&ResetDateTimer, &EventTimer::timeout, this, &TForm1::ResetDateTimerTimer);
    connect(&AlertTimer, &EventTimer::timeout, this, &TForm1::AlertTimerTimer);
    connect(&DoubleClickTimer, &EventTimer::timeout, this, &TForm1::DoubleClickTimerTimer);
    connect(&InboxSettleTimer, &EventTimer::timeout, this, &TForm1::InboxSettleTimerTimer);
    connect(&InboxPollTimer, &EventTimer::timeout, this, &TForm1::InboxPollTimerTimer);
    connect(&flushTimer_, &EventTimer::timeout, this, [this] { services_.store->FlushRegistry(); });
    Timer1.setEnabled(true);
    StartTimer.setEnabled(true);
    ResetDateTimer.setEnabled(true);
}

void TForm1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOutControls();
    FormResize();
}

void TForm1::layOutControls() {
    const int w = width();
    const int h = height();
    Panel2->setGeometry(8, 4, w - (kDesignClientWidth - 470), 97);
    Panel2->findChild<QWidget*>(QStringLiteral("AboutArea"))->move(Panel2->width() - 245, 2);
    const int bodyWidth = w - (kDesignClientWidth - 470);
    const int bodyHeight = h - (kDesignClientHeight - 268);
    const int besideWidth = previewWidth(bodyWidth, bodyHeight);
    if (besideWidth > 0) {
        Preview->setGeometry(8 + bodyWidth - besideWidth, 104, besideWidth, bodyHeight);
    }
    const int panelWidth = besideWidth > 0 ? bodyWidth - besideWidth - kPreviewGap : bodyWidth;
    int panelHeight = bodyHeight;
    if (ProblemLine->isVisible()) {
        // The reason of a failure takes the room it needs below the grid.
        const int lineHeight = std::min(ProblemLine->heightForWidth(panelWidth), panelHeight / 2);
        panelHeight -= lineHeight + 4;
        ProblemLine->setGeometry(8, 104 + panelHeight + 4, panelWidth, lineHeight);
    }
    Panel1->setGeometry(8, 104, panelWidth, panelHeight);
    GridHint->setGeometry(12, 12, std::max(0, panelWidth - 24), std::max(0, panelHeight - 24));
    // The bottom row keeps its anchors; the note between the box and the button gives way
    // when a large font leaves it too little room.
    const int checkWidth = CheckBox1->sizeHint().width();
    CheckBox1->setGeometry(8, h - (kDesignClientHeight - 379), checkWidth, 25);
    const int buttonWidth = std::max(113, Button1->sizeHint().width());
    Button1->setGeometry(w - 5 - buttonWidth, h - (kDesignClientHeight - 377), buttonWidth, 25);
    const int undoWidth = std::max(64, UndoButton->sizeHint().width());
    UndoButton->setGeometry(Button1->x() - 6 - undoWidth, Button1->y(), undoWidth, 25);
    const int noteLeft = 8 + checkWidth + 6;
    const int noteWidth = std::max(0, UndoButton->x() - 6 - noteLeft);
    // Two short lines when one does not fit, never a cut sentence.
    const int noteHeight = std::max(17, Label3->heightForWidth(noteWidth));
    Label3->setGeometry(noteLeft, h - (kDesignClientHeight - 379) + (25 - noteHeight) / 2,
                        noteWidth, noteHeight);
    QStatus1->setGeometry(0, h - TQStatus::kHeight, w, TQStatus::kHeight);
}

void TForm1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    applyMinimumSize();
    if (!centredOnce_) {
        centredOnce_ = true;
        centreOnScreen();
    }
    if (!event->spontaneous()) {
        FormShow();
    }
}

void TForm1::centreOnScreen() {
    const QScreen* screen = this->screen();
    if (screen == nullptr) {
        return;
    }
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void TForm1::showProblem(const QString& text) {
    ProblemLine->setText(text);
    ProblemLine->setToolTip(text);
    if (!ProblemLine->isVisible()) {
        ProblemLine->setVisible(true);
        layOutControls();
        PostponedRefreshButtons();
    }
}

void TForm1::clearProblem() {
    if (ProblemLine->isVisible()) {
        ProblemLine->setVisible(false);
        ProblemLine->clear();
        layOutControls();
        PostponedRefreshButtons();
    }
}

void TForm1::notify(const QString& text) {
    configuration_->notify(QStringLiteral("Tessaryn Sortwell"), text);
}

void TForm1::applyMinimumSize() {
    // Qt's limits are for the client area; the window's limits count the frame as well.
    const QSize frame = frameGeometry().size() - geometry().size();
    setMinimumSize(kMinimumOuterSize - frame);
}

void TForm1::FormShow() {
    tagConfirmed = false;
    RefreshButtons();
    Edit1->setText(QString::fromStdString(services_.store->Pop("lasttag")));
    Edit1->selectAll();
    Edit1->setFocus();
}

void TForm1::StartTimerTimer() {
    StartTimer.setEnabled(false);
    ResetDate();
    Load();
    offerUndo();
    updateTagSuggestions();
    applyStoredSize();
    if (CheckBox1->isChecked()) {
        MinimizeToTray();
    }
    removeLeftoverTemporaries();
    Detection(true);
    startupDone = true;
    if (configuration_->watchInput()) {
        // Documents found at start-up wait for the user to open the desk.
        startInbox(inTray);
    }
    for (const std::string& path : std::exchange(handedOverEarly_, {})) {
        PresentHandedOver(path);
    }
    if (std::exchange(undoWhenStarted_, false)) {
        UndoLastFiling();
    }
}

void TForm1::applyStoredSize() {
    // A stored size that is no number is ignored; the start must go on to detection.
    const QSize frame = frameGeometry().size() - geometry().size();
    bool ok = false;
    const int storedWidth = QString::fromStdString(services_.store->Pop("width")).toInt(&ok);
    if (ok) {
        resize(storedWidth - frame.width(), height());
    }
    const int storedHeight = QString::fromStdString(services_.store->Pop("height")).toInt(&ok);
    if (ok) {
        resize(width(), storedHeight - frame.height());
    }
}

void TForm1::removeLeftoverTemporaries() {
    const QString folder = inputFolder();
    if (!folder.isEmpty() && services_.files->folderExists(folder.toStdString())) {
        reportOnce(services_.files->removeLeftoverTemporaries(folder.toStdString()));
    }
}

void TForm1::FormResize() {
    if (!startupDone) {
        return;
    }
    const QSize outer = frameGeometry().size();
    services_.store->Push("width", std::to_string(outer.width()));
    services_.store->Push("height", std::to_string(outer.height()));
    writeStore(sortwell::platform::FlushTiming::Soon);
    PostponedRefreshButtons();
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (FormCloseQuery()) {
        event->accept();
    } else {
        event->ignore();
    }
}

bool TForm1::FormCloseQuery() {
    if (exitRequested) {
        return true;
    }
    // Closing puts the desk away: the next waiting document comes when it is opened again.
    holdUntilOpened_ = true;
    SpeedButton1Click();
    if (!currentDocument.empty()) {
        holdUntilOpened_ = false;  // not dismissed: it stays in view with the reason
    }
    return false;
}

void TForm1::CheckBox1Click() {
    if (CheckBox1->isChecked()) {
        configuration_->Run();
        Enable1->setEnabled(false);
        Disable1->setEnabled(true);
    } else {
        DocumentDetectionTimer.setEnabled(false);
        configuration_->AbortRun();
        Enable1->setEnabled(true);
        Disable1->setEnabled(false);
    }
    Save();
}

void TForm1::Button1Click() {
    Timer1.setEnabled(false);
    CheckBox1->setEnabled(false);
    configuration_->showModal();
    Timer1.setEnabled(true);
    CheckBox1->setEnabled(true);
}

void TForm1::Timer1Timer() {
    configuration_->refreshWindowList();
}

QString TForm1::inputFolder() const {
    return configuration_->inputFolder();
}

bool TForm1::isActive() const {
    return CheckBox1->isChecked();
}

void TForm1::setActive(bool active) {
    CheckBox1->setChecked(active);
}

void TForm1::stopActive() {
    {
        const QSignalBlocker blocker(CheckBox1);
        CheckBox1->setChecked(false);
    }
    DocumentDetectionTimer.setEnabled(false);
    Enable1->setEnabled(true);
    Disable1->setEnabled(false);
    // The stored settings as they are, with only the switch changed.
    if (!store().LoadFromRegistry()) {
        reportOnce(store().LastError());
        return;
    }
    store().PushBool("active", false);
    writeStore(sortwell::platform::FlushTiming::Now);
}

void TForm1::setDetectionTimers(bool on) {
    DocumentDetectionTimerTimeout.setEnabled(on);
    DocumentDetectionTimer.setEnabled(on);
}

void TForm1::setWindowListTimer(bool on) {
    Timer1.setEnabled(on);
}

void TForm1::setRunnerStatus(const QString& text) {
    QStatus1->setPanelText(1, text);
}

void TForm1::writeStore(sortwell::platform::FlushTiming timing) {
    if (!services_.store->SaveToRegistry(timing)) {
        reportOnce(services_.store->LastError());
    }
    if (timing == sortwell::platform::FlushTiming::Soon) {
        scheduleFlush();
    }
}

void TForm1::scheduleFlush() {
    flushTimer_.setEnabled(true);
}

void TForm1::reportOnce(const std::string& problem) {
    // The same failure at every keystroke or save would bury the window in messages.
    if (problem.empty() || problem == lastReported_) {
        return;
    }
    lastReported_ = problem;
    MessageBox::warning(this, QStringLiteral("Tessaryn Sortwell"), QString::fromStdString(problem));
}
