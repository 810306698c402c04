#include <QLabel>
#include <QSignalSpy>
#include <QTest>

#include "components/document_preview.h"
#include "preview/preview_pdfs.h"
#include "preview/preview_test_files.h"

namespace {

constexpr int kEnoughMs = PreviewClient::kTimeLimitMs + 3000;

}  // namespace

class DocumentPreviewTest : public QObject {
    Q_OBJECT

private slots:
    void aLeftClickAsksToOpenTheDocument() {
        PreviewTestFiles files;
        const QString path = files.write(QStringLiteral("a.pdf"), preview_pdfs::TextPages(2));
        DocumentPreview preview;
        preview.setHelperPath(QStringLiteral(SORTWELL_PREVIEW_HELPER));
        preview.resize(300, 400);
        preview.show();
        QSignalSpy open(&preview, &DocumentPreview::openRequested);
        QTest::mouseClick(&preview, Qt::LeftButton);
        QCOMPARE(open.count(), 0);  // nothing on the desk yet
        preview.showDocument(path);
        QCOMPARE(preview.documentPath(), path);
        QCOMPARE(preview.cursor().shape(), Qt::PointingHandCursor);
        QTest::mouseClick(&preview, Qt::RightButton);
        QCOMPARE(open.count(), 0);
        QTest::mouseClick(&preview, Qt::LeftButton);
        QCOMPARE(open.count(), 1);
        QCOMPARE(open.at(0).at(0).toString(), path);
    }

    void showsThePictureFittedIntoTheFrame() {
        PreviewTestFiles files;
        DocumentPreview preview;
        preview.setHelperPath(QStringLiteral(SORTWELL_PREVIEW_HELPER));
        preview.resize(200, 200);
        preview.show();
        QSignalSpy settled(&preview, &DocumentPreview::settled);
        preview.showDocument(files.write(QStringLiteral("a.pdf"), preview_pdfs::TextPages(2)));
        QVERIFY(settled.wait(kEnoughMs));
        QVERIFY(preview.hasPicture());
        const QLabel* picture = preview.findChild<QLabel*>();
        QVERIFY(picture != nullptr);
        const QSize shown = picture->pixmap().deviceIndependentSize().toSize();
        QVERIFY(shown.width() <= picture->width() && shown.height() <= picture->height());
        QVERIFY(shown.height() > shown.width());
    }

    void clearEmptiesTheDesk() {
        PreviewTestFiles files;
        DocumentPreview preview;
        preview.setHelperPath(QStringLiteral(SORTWELL_PREVIEW_HELPER));
        QSignalSpy settled(&preview, &DocumentPreview::settled);
        preview.showDocument(files.write(QStringLiteral("a.pdf"), preview_pdfs::TextPages(1)));
        QVERIFY(settled.wait(kEnoughMs));
        QVERIFY(preview.hasPicture());
        preview.clear();
        QVERIFY(!preview.hasPicture());
        QCOMPARE(preview.statusText(), QString());
        QCOMPARE(preview.documentPath(), QString());
        // A render under way when the desk empties is dropped.
        preview.showDocument(files.write(QStringLiteral("b.pdf"), preview_pdfs::TextPages(1)));
        preview.clear();
        QVERIFY(!settled.wait(1000));
        QVERIFY(!preview.hasPicture());
    }

    void aNewDocumentReplacesTheOlderPicture() {
        PreviewTestFiles files;
        DocumentPreview preview;
        preview.setHelperPath(QStringLiteral(SORTWELL_PREVIEW_HELPER));
        QSignalSpy settled(&preview, &DocumentPreview::settled);
        preview.showDocument(files.write(QStringLiteral("a.pdf"), preview_pdfs::TextPages(1)));
        preview.showDocument(files.write(QStringLiteral("b.pdf"), preview_pdfs::TextPages(5)));
        QVERIFY(settled.wait(kEnoughMs));
        QCOMPARE(preview.statusText(), QStringLiteral("1 of 5 pages"));
        QVERIFY(!settled.wait(500));
    }
};

QTEST_MAIN(DocumentPreviewTest)
#include "document_preview_test.moc"
