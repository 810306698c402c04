#include "components/document_preview.h"

#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>
#include <chrono>

#include "desk/preview_reply.h"
#include "platform/linux/posix_document_files.h"

namespace desk = sortwell::desk;
namespace platform = sortwell::platform;

namespace {

// The size asked for before the frame has been laid out: an A4 page in the desk's column.
constexpr QSize kUnlaidSize(420, 594);

platform::DocumentStat Look(const QString& path) {
    platform::linux_host::PosixDocumentFiles files;
    return files.statDocument(path.toStdString());
}

bool SameLook(const platform::DocumentStat& a, const platform::DocumentStat& b) {
    return a.stat == b.stat && a.problem == b.problem;
}

// An empty frame looks broken; a word says the desk simply has nothing to show.
const QString kNoDocumentText = QStringLiteral("No document on the desk");

}  // namespace

DocumentPreview::DocumentPreview(QWidget* parent)
    : QFrame(parent),
      picture_(new QLabel(this)),
      status_(new QLabel(this)),
      quietTimer_(this, kQuietMs, true) {
    setFrameShape(QFrame::StyledPanel);
    setCursor(Qt::PointingHandCursor);
    picture_->setAlignment(Qt::AlignCenter);
    picture_->setMinimumSize(1, 1);
    picture_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    picture_->setWordWrap(true);
    picture_->setStyleSheet(QStringLiteral("color: grey;"));
    picture_->setText(kNoDocumentText);
    status_->setAlignment(Qt::AlignCenter);
    status_->setTextFormat(Qt::PlainText);
    status_->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture_, 1);
    layout->addWidget(status_);
    connect(&client_, &PreviewClient::finished, this, &DocumentPreview::takeResult);
    connect(&quietTimer_, &EventTimer::timeout, this, &DocumentPreview::checkQuiet);
}

void DocumentPreview::setHelperPath(const QString& path) {
    client_.setHelperPath(path);
}

QString DocumentPreview::helperPath() const {
    return client_.helperPath();
}

void DocumentPreview::showDocument(const QString& path) {
    clear();
    path_ = path;
    startRender();
}

void DocumentPreview::clear() {
    client_.cancel();
    quietTimer_.setEnabled(false);
    path_.clear();
    picture_->setText(kNoDocumentText);
    page_ = QPixmap();
    status_->clear();
}

QString DocumentPreview::statusText() const {
    return status_->text();
}

bool DocumentPreview::hasPicture() const {
    return !page_.isNull();
}

QString DocumentPreview::documentPath() const {
    return path_;
}

void DocumentPreview::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !path_.isEmpty()) {
        emit openRequested(path_);
    }
    QFrame::mousePressEvent(event);
}

void DocumentPreview::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    showFittedPicture();
}

void DocumentPreview::startRender() {
    before_ = Look(path_);
    client_.request(path_, pictureSize());
}

void DocumentPreview::takeResult(const PreviewResult& result) {
    const platform::DocumentStat after = Look(path_);
    const desk::PreviewVerdict verdict =
        desk::JudgePreview(result.ok(), before_, after, std::chrono::system_clock::now(),
                           std::chrono::milliseconds(kQuietMs));
    if (verdict == desk::PreviewVerdict::WaitAndRetry) {
        before_ = after;
        waitForQuiet();
    } else if (result.ok()) {
        showPicture(result);
    } else {
        showFinalMessage(QString::fromStdString(desk::NoPreviewText(result.problem.toStdString())));
    }
}

void DocumentPreview::waitForQuiet() {
    picture_->clear();
    page_ = QPixmap();
    status_->setText(QString::fromUtf8(desk::kPreviewWritingText));
    quietTimer_.restart();
}

void DocumentPreview::checkQuiet() {
    const platform::DocumentStat now = Look(path_);
    if (!SameLook(now, before_)) {
        before_ = now;
        quietTimer_.restart();
        return;
    }
    startRender();
}

void DocumentPreview::showPicture(const PreviewResult& result) {
    page_ = QPixmap::fromImage(result.image);
    page_.setDevicePixelRatio(devicePixelRatioF());
    showFittedPicture();
    status_->setText(QString::fromStdString(desk::PageCountText(result.pages)));
    emit settled();
}

void DocumentPreview::showFinalMessage(const QString& text) {
    picture_->clear();
    page_ = QPixmap();
    status_->setText(text);
    emit settled();
}

void DocumentPreview::showFittedPicture() {
    if (page_.isNull()) {
        return;
    }
    // The label shares the rendered page's pixels unless the frame is smaller than the page.
    const QSize room = picture_->contentsRect().size() * devicePixelRatioF();
    const bool fits = page_.width() <= room.width() && page_.height() <= room.height();
    if (fits) {
        picture_->setPixmap(page_);
        return;
    }
    QPixmap shown = page_.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    shown.setDevicePixelRatio(devicePixelRatioF());
    picture_->setPixmap(shown);
}

QSize DocumentPreview::pictureSize() const {
    if (!isVisible()) {
        return kUnlaidSize;
    }
    const QSize room = picture_->contentsRect().size() * devicePixelRatioF();
    return room.isEmpty() ? kUnlaidSize : room;
}
