// Rebuilding the grid of target buttons: every save, load, name pick, resize and restore ends
// in one, and each rebuild reads every icon file again, so it must stay well below a frame.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFrame>
#include <QImage>
#include <QTemporaryDir>

#include "windows/desk_fixture.h"

namespace {

std::map<std::string, std::string> ButtonsWithIcons(const QTemporaryDir& folder, int count) {
    std::map<std::string, std::string> stored{{"columns", "5"}};
    QImage face(32, 32, QImage::Format_ARGB32);
    for (int i = 0; i < count; ++i) {
        face.fill(QColor::fromHsv((i * 7) % 360, 200, 200));
        const QString path = folder.filePath(QStringLiteral("target%1.ico").arg(i));
        face.save(path, "ICO");
        const std::string n = std::to_string(i);
        stored["icon" + n] = path.toStdString();
        stored["caption" + n] = "Target " + n;
        stored["folder" + n] = "/archive/%YEAR/%TAG/" + n;
        stored["hide" + n] = "";
    }
    return stored;
}

void BM_RefreshButtonsWithIcons(benchmark::State& state) {
    const QTemporaryDir folder;
    sortwell::test::DeskFixture desk(ButtonsWithIcons(folder, static_cast<int>(state.range(0))));
    desk.start();
    desk.form1->resize(900, 700);
    for (auto _ : state) {
        desk.form1->RefreshButtons();
    }
    state.counters["buttons"] = static_cast<double>(desk.form1->Panel1->children().size());
}
BENCHMARK(BM_RefreshButtonsWithIcons)->Arg(12)->Arg(50)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
