// Times the desk's preview of one PDF against the helper alone and against pdftoppm, and
// measures what showing a preview costs the desk's memory.
//   preview_timing make JPEG WIDTH HEIGHT PAGES OUT.pdf   wraps a scan's JPEG into a PDF
//   preview_timing time HELPER FILE RUNS                  medians in ms, one line per way
//   preview_timing rss HELPER [FILE]                      VmRSS in KiB of a desk-like window
#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

#include "components/document_preview.h"
#include "preview/preview_pdfs.h"

namespace {

constexpr int kBoxWidth = 420;
constexpr int kBoxHeight = 594;
constexpr int kEnoughMs = 20'000;

double MedianMs(int runs, const std::function<bool()>& once) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer clock;
        clock.start();
        if (!once()) {
            return -1;
        }
        times.push_back(clock.nsecsElapsed() / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

bool RunQuietly(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    const bool ended = process.waitForFinished(kEnoughMs);
    process.readAllStandardOutput();
    return ended && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A window of the desk's shape: the preview in a column of the desk's size.
struct DeskLikeWindow {
    QWidget window;
    DocumentPreview* preview = new DocumentPreview(&window);

    explicit DeskLikeWindow(const QString& helper) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(preview);
        preview->setHelperPath(helper);
        window.resize(kBoxWidth + 20, kBoxHeight + 60);
        window.show();
        QTest::qWait(50);
    }

    bool showAndPaint(const QString& file) {
        QSignalSpy settled(preview, &DocumentPreview::settled);
        preview->showDocument(file);
        if (!settled.wait(kEnoughMs) || !preview->hasPicture()) {
            return false;
        }
        preview->repaint();
        return true;
    }
};

int Make(const QStringList& args) {
    QFile jpeg(args.at(2));
    QFile out(args.at(6));
    if (!jpeg.open(QIODevice::ReadOnly) || !out.open(QIODevice::WriteOnly)) {
        std::fprintf(stderr, "cannot open the JPEG or the PDF\n");
        return 1;
    }
    const QSize pixels(args.at(3).toInt(), args.at(4).toInt());
    const QByteArray pdf = preview_pdfs::JpegPages(jpeg.readAll(), pixels, args.at(5).toInt());
    return out.write(pdf) == pdf.size() ? 0 : 1;
}

int Time(const QStringList& args) {
    const QString helper = args.at(2);
    const QString file = args.at(3);
    const int runs = args.at(4).toInt();
    const QString box[] = {QString::number(kBoxWidth), QString::number(kBoxHeight)};
    QTemporaryDir scratch;
    const QString png = scratch.filePath(QStringLiteral("page"));
    DeskLikeWindow desk(helper);
    const double onScreen = MedianMs(runs, [&] { return desk.showAndPaint(file); });
    const double alone = MedianMs(runs, [&] { return RunQuietly(helper, {file, box[0], box[1]}); });
    const auto pdftoppm = [&](const QString& side) {
        return MedianMs(runs, [&] {
            return RunQuietly(QStringLiteral("pdftoppm"),
                              {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"),
                               QStringLiteral("1"), QStringLiteral("-scale-to"), side,
                               QStringLiteral("-png"), file, png});
        });
    };
    const double floor420 = pdftoppm(QStringLiteral("420"));
    const double floor594 = pdftoppm(QStringLiteral("594"));
    if (onScreen < 0 || alone < 0 || floor420 < 0 || floor594 < 0) {
        std::fprintf(stderr, "a run failed\n");
        return 1;
    }
    std::printf("request-to-screen %.1f ms\nhelper-alone %.1f ms\n", onScreen, alone);
    std::printf("pdftoppm-420 %.1f ms\npdftoppm-594 %.1f ms\n", floor420, floor594);
    std::printf("ratio-screen/pdftoppm-420 %.2f\nratio-helper/pdftoppm-420 %.2f\n",
                onScreen / floor420, alone / floor420);
    return 0;
}

long VmRssKib() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

int Rss(const QStringList& args) {
    DeskLikeWindow desk(args.at(2));
    if (args.size() > 3 && !desk.showAndPaint(args.at(3))) {
        std::fprintf(stderr, "no picture\n");
        return 1;
    }
    QTest::qWait(500);
    std::printf("%ld\n", VmRssKib());
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString mode = args.value(1);
    if (mode == QStringLiteral("make") && args.size() == 7) {
        return Make(args);
    }
    if (mode == QStringLiteral("time") && args.size() == 5) {
        return Time(args);
    }
    if (mode == QStringLiteral("rss") && (args.size() == 3 || args.size() == 4)) {
        return Rss(args);
    }
    std::fprintf(stderr, "usage: see the top of preview_timing.cpp\n");
    return 2;
}
