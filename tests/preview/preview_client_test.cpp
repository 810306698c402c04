#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include "components/preview_client.h"
#include "preview/preview_pdfs.h"
#include "preview/preview_test_files.h"

namespace {

constexpr int kEnoughMs = PreviewClient::kTimeLimitMs + 3000;

// A helper that never answers, to stand for a file that takes for ever to render.
QString StuckHelper(PreviewTestFiles& files) {
    const QString path = files.write(QStringLiteral("stuck-helper"), "#!/bin/sh\nexec sleep 60\n");
    QFile::setPermissions(path, QFile::ReadOwner | QFile::ExeOwner);
    return path;
}

PreviewResult OnlyResult(const QSignalSpy& finished) {
    return finished.count() == 1 ? finished.at(0).at(0).value<PreviewResult>() : PreviewResult{};
}

}  // namespace

class PreviewClientTest : public QObject {
    Q_OBJECT

private slots:
    void findsTheHelperBesideTheProgram() {
        QCOMPARE(PreviewClient::defaultHelperPath(),
                 QCoreApplication::applicationDirPath() + QStringLiteral("/sortwell-preview"));
    }

    void givesUpOnAHelperThatTakesTooLong() {
        PreviewTestFiles files;
        PreviewClient client;
        client.setHelperPath(StuckHelper(files));
        QSignalSpy finished(&client, &PreviewClient::finished);
        QElapsedTimer clock;
        clock.start();
        client.request(files.write(QStringLiteral("a.pdf"), preview_pdfs::TextPages(1)),
                       QSize(100, 100));
        QVERIFY(finished.wait(kEnoughMs));
        QVERIFY(clock.elapsed() >= PreviewClient::kTimeLimitMs);
        QCOMPARE(OnlyResult(finished).problem, QStringLiteral("rendering took longer than 5 s"));
        QVERIFY(!client.isRunning());
    }

    void saysWhenTheHelperCannotBeStarted() {
        PreviewTestFiles files;
        PreviewClient client;
        client.setHelperPath(files.path(QStringLiteral("no-such-helper")));
        QSignalSpy finished(&client, &PreviewClient::finished);
        client.request(files.write(QStringLiteral("a.pdf"), preview_pdfs::TextPages(1)),
                       QSize(100, 100));
        QVERIFY(finished.wait(kEnoughMs));
        const PreviewResult result = OnlyResult(finished);
        QVERIFY2(
            result.problem.startsWith(QStringLiteral("the preview program could not be started: ")),
            qPrintable(result.problem));
        QVERIFY(result.image.isNull());
    }

    void aNewerRequestReplacesTheOlder() {
        PreviewTestFiles files;
        const QString one = files.write(QStringLiteral("one.pdf"), preview_pdfs::TextPages(1));
        const QString four = files.write(QStringLiteral("four.pdf"), preview_pdfs::TextPages(4));
        PreviewClient client;
        client.setHelperPath(QStringLiteral(SORTWELL_PREVIEW_HELPER));
        QSignalSpy finished(&client, &PreviewClient::finished);
        client.request(one, QSize(100, 100));
        client.request(four, QSize(100, 100));
        QVERIFY(finished.wait(kEnoughMs));
        QTest::qWait(300);
        const PreviewResult result = OnlyResult(finished);
        QCOMPARE(result.path, four);
        QCOMPARE(result.pages, 4);
    }

    void aCancelledRequestIsNeverReported() {
        PreviewTestFiles files;
        PreviewClient client;
        client.setHelperPath(QStringLiteral(SORTWELL_PREVIEW_HELPER));
        QSignalSpy finished(&client, &PreviewClient::finished);
        client.request(files.write(QStringLiteral("a.pdf"), preview_pdfs::TextPages(1)),
                       QSize(100, 100));
        QVERIFY(client.isRunning());
        client.cancel();
        QVERIFY(!client.isRunning());
        QVERIFY(!finished.wait(1000));
    }
};

QTEST_MAIN(PreviewClientTest)
#include "preview_client_test.moc"
