#pragma once

#include <QFrame>
#include <QPixmap>
#include <QString>

#include "components/event_timer.h"
#include "components/preview_client.h"
#include "platform/document_files.h"

class QLabel;

// The first page of the document on the desk, fitted into the frame, with the page count or
// the reason there is no picture under it. A left click asks for the document in a viewer.
// The picture comes from a separate helper program, so a hostile file costs only its preview.
class DocumentPreview : public QFrame {
    Q_OBJECT

public:
    // How long a file that was written during a render must keep still before the next try.
    static constexpr int kQuietMs = 500;

    explicit DocumentPreview(QWidget* parent = nullptr);

    void setHelperPath(const QString& path);
    QString helperPath() const;

    // Starts (or restarts) the preview of the file at `path`.
    void showDocument(const QString& path);
    // The empty desk: nothing shown, a running render is stopped.
    void clear();

    QString statusText() const;
    bool hasPicture() const;
    QString documentPath() const;

signals:
    void openRequested(const QString& path);
    // A picture or a final message is shown.
    void settled();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void startRender();
    void takeResult(const PreviewResult& result);
    void waitForQuiet();
    void checkQuiet();
    void showPicture(const PreviewResult& result);
    void showFinalMessage(const QString& text);
    void showFittedPicture();
    QSize pictureSize() const;

    PreviewClient client_;
    QLabel* picture_;
    QLabel* status_;
    EventTimer quietTimer_;
    QString path_;
    QPixmap page_;  // the page as rendered, before fitting into a smaller frame
    sortwell::platform::DocumentStat before_;
};
