#include <QBuffer>
#include <QImage>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTest>

#include "components/document_preview.h"
#include "preview/preview_pdfs.h"
#include "preview/preview_test_files.h"

namespace {

// The helper's own time limit plus a retry after the quiet time, with room for a slow machine.
constexpr int kEnoughMs = PreviewClient::kTimeLimitMs + 3000;

struct Outcome {
    bool settled = false;
    bool picture = false;
    QString status;
};

Outcome Preview(const QString& path) {
    DocumentPreview preview;
    preview.setHelperPath(QStringLiteral(SORTWELL_PREVIEW_HELPER));
    QSignalSpy settled(&preview, &DocumentPreview::settled);
    preview.showDocument(path);
    Outcome outcome;
    outcome.settled = settled.wait(kEnoughMs);
    outcome.picture = preview.hasPicture();
    outcome.status = preview.statusText();
    return outcome;
}

PreviewResult Render(const QString& path, QSize box) {
    PreviewClient client;
    client.setHelperPath(QStringLiteral(SORTWELL_PREVIEW_HELPER));
    QSignalSpy finished(&client, &PreviewClient::finished);
    client.request(path, box);
    if (!finished.wait(kEnoughMs)) {
        return {};
    }
    return finished.at(0).at(0).value<PreviewResult>();
}

QByteArray JpegBytes() {
    QImage image(64, 48, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG");
    return bytes;
}

QString Encrypted(PreviewTestFiles& files) {
    const QString qpdf = QStandardPaths::findExecutable(QStringLiteral("qpdf"));
    const QString plain = files.write(QStringLiteral("plain.pdf"), preview_pdfs::TextPages(1));
    const QString locked = files.path(QStringLiteral("locked.pdf"));
    QProcess run;
    run.start(qpdf, {QStringLiteral("--encrypt"), QStringLiteral("user-secret"),
                     QStringLiteral("owner-secret"), QStringLiteral("256"), QStringLiteral("--"),
                     plain, locked});
    if (qpdf.isEmpty() || !run.waitForFinished(10'000) || run.exitCode() != 0) {
        return {};
    }
    QFile file(locked);
    const bool aged = file.open(QIODevice::ReadWrite) &&
                      file.setFileTime(QDateTime::currentDateTime().addSecs(-60),
                                       QFileDevice::FileModificationTime);
    return aged ? locked : QString();
}

}  // namespace

class PreviewHelperTest : public QObject {
    Q_OBJECT

private slots:
    void showsTheFirstPageAndCountsThePages() {
        PreviewTestFiles files;
        const Outcome three =
            Preview(files.write(QStringLiteral("three.pdf"), preview_pdfs::TextPages(3)));
        QVERIFY(three.settled);
        QVERIFY(three.picture);
        QCOMPARE(three.status, QStringLiteral("1 of 3 pages"));
        const Outcome one =
            Preview(files.write(QStringLiteral("one.pdf"), preview_pdfs::TextPages(1)));
        QCOMPARE(one.status, QStringLiteral("1 of 1 page"));
    }

    void fitsThePageIntoTheBoxKeepingItsProportions() {
        PreviewTestFiles files;
        const PreviewResult a4 = Render(
            files.write(QStringLiteral("a4.pdf"), preview_pdfs::TextPages(2)), QSize(300, 300));
        QVERIFY2(a4.ok(), qPrintable(a4.problem));
        QCOMPARE(a4.image.height(), 300);
        QCOMPARE(a4.image.width(), qRound(300 * 595.0 / 842.0));
        // Text was drawn: the page is not all one colour.
        QVERIFY(a4.image.pixel(0, 0) != a4.image.pixel(a4.image.width() / 3, 40) ||
                a4.image.pixel(a4.image.width() / 4, 35) != a4.image.pixel(0, 0));
    }

    void drawsAHugePageSmall() {
        PreviewTestFiles files;
        const PreviewResult huge =
            Render(files.write(QStringLiteral("huge.pdf"), preview_pdfs::SquarePage(20'000)),
                   QSize(420, 594));
        QVERIFY2(huge.ok(), qPrintable(huge.problem));
        QCOMPARE(huge.image.size(), QSize(420, 420));
        QCOMPARE(QColor(huge.image.pixel(210, 210)), QColor(Qt::blue));
    }

    void namesWhyThereIsNoPicture_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("status");
        const QByteArray good = preview_pdfs::TextPages(3);
        QTest::newRow("truncated")
            << "cut.pdf" << good.left(good.size() / 2) << "No preview: the file is damaged";
        QTest::newRow("jpeg") << "photo.pdf" << JpegBytes() << "No preview: it is not a PDF";
        QTest::newRow("empty") << "empty.pdf" << QByteArray() << "No preview: the file is empty";
    }

    void namesWhyThereIsNoPicture() {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, status);
        PreviewTestFiles files;
        const Outcome outcome = Preview(files.write(name, bytes));
        QVERIFY(outcome.settled);
        QVERIFY(!outcome.picture);
        QCOMPARE(outcome.status, status);
    }

    void saysAnEncryptedFileIsEncrypted() {
        PreviewTestFiles files;
        const QString locked = Encrypted(files);
        QVERIFY2(!locked.isEmpty(), "qpdf, which tools/install-deps.sh installs, must encrypt");
        const Outcome outcome = Preview(locked);
        QVERIFY(outcome.settled);
        QCOMPARE(outcome.status, QStringLiteral("No preview: the file is encrypted"));
    }

    void survivesAPageTreeThatLoops() {
        PreviewTestFiles files;
        const Outcome outcome =
            Preview(files.write(QStringLiteral("loop.pdf"), preview_pdfs::LoopingPageTree()));
        QVERIFY(outcome.settled);
        QVERIFY2(outcome.picture ? outcome.status.startsWith(QStringLiteral("1 of "))
                                 : outcome.status.startsWith(QStringLiteral("No preview: ")),
                 qPrintable(outcome.status));
    }

    void waitsForAFileStillBeingWritten() {
        PreviewTestFiles files;
        const QByteArray whole = preview_pdfs::TextPages(3);
        const QString path = files.write(QStringLiteral("growing.pdf"), whole.left(9), false);
        DocumentPreview preview;
        preview.setHelperPath(QStringLiteral(SORTWELL_PREVIEW_HELPER));
        QSignalSpy settled(&preview, &DocumentPreview::settled);
        preview.showDocument(path);
        QTRY_COMPARE_WITH_TIMEOUT(preview.statusText(),
                                  QStringLiteral("The scanner is still writing ..."), kEnoughMs);
        QFile file(path);
        QVERIFY(file.open(QIODevice::Append));
        for (qsizetype written = 9; written < whole.size(); written += 200) {
            file.write(whole.mid(written, 200));
            file.flush();
            QTest::qWait(50);
            QCOMPARE(settled.count(), 0);
        }
        file.close();
        QVERIFY(settled.wait(kEnoughMs));
        QVERIFY(preview.hasPicture());
        QCOMPARE(preview.statusText(), QStringLiteral("1 of 3 pages"));
    }
};

QTEST_MAIN(PreviewHelperTest)
#include "preview_helper_test.moc"
