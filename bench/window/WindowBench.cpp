// The window's speed, each measure against a baseline taken in the same run:
//  - start-up: from starting the program to its main window shown, against a
//    bare Qt program showing an empty window;
//  - open: a page of 100,000 contacts opened through the window's open command
//    (list filled and drawn), against reading the file's bytes with stdio;
//  - save: the same list saved through the save command (page built, written,
//    flushed to the disk, renamed), against writing the same bytes with stdio.
// Runs on Qt's offscreen platform unless QT_QPA_PLATFORM says otherwise.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include <QApplication>
#include <QListView>
#include <QProcess>
#include <QTest>
#include <QWidget>

#include "BenchData.h"
#include "window/FicheliaApplication.h"
#include "window/MainWindow.h"
#include "window/AboutDialog.h"
#include "commands/qt/QtDesktop.h"
#include "commands/qt/QtDialogs.h"
#include "commands/qt/QtFiles.h"
#include "directory/DirectoryList.h"
#include "platform/NameCollator.h"

namespace {

using fichelia::AboutDialog;
using fichelia::MainWindow;
using Clock = std::chrono::steady_clock;

std::map<std::string, std::vector<double>>& timings() {
    static std::map<std::string, std::vector<double>> seconds;
    return seconds;
}

void record(benchmark::State& state, const char* name, Clock::time_point start) {
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    state.SetIterationTime(seconds);
    timings()[name].push_back(seconds);
}

double median(std::vector<double> values) {
    if (values.empty()) {
        return 0;
    }
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// ---------------------------------------------------------------------------
// Start-up, in a child process of this program

// What start-up does before the event loop: the application, its French
// texts, the main window and the hidden About dialog; then the window shows.
int runWindowChild(int argc, char** argv) {
    fichelia::FicheliaApplication application(argc, argv);
    application.loadFrenchTranslation();
    fichelia::QtDialogs dialogs;
    fichelia::QtFiles files;
    fichelia::QtDesktop desktop;
    MainWindow mainWindow(dialogs, files, desktop,
                          std::make_unique<fichelia::DirectoryList>(fichelia::NameCollator::fromEnvironment()));
    dialogs.setOwner(&mainWindow);
    AboutDialog about(&mainWindow);
    mainWindow.setAboutDialog(&about);
    mainWindow.show();
    const bool shown = QTest::qWaitForWindowExposed(&mainWindow);
    std::puts(shown ? "shown" : "not shown");
    return shown ? 0 : 1;
}

int runBaselineChild(int argc, char** argv) {
    QApplication application(argc, argv);
    QWidget window;
    window.resize(598, 545);
    window.show();
    const bool shown = QTest::qWaitForWindowExposed(&window);
    std::puts(shown ? "shown" : "not shown");
    return shown ? 0 : 1;
}

void startChild(benchmark::State& state, const char* name, const char* mode) {
    for (auto _ : state) {
        const auto start = Clock::now();
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QString::fromLatin1(mode)});
        if (!child.waitForReadyRead(30000) || !child.readAll().startsWith("shown")) {
            state.SkipWithError("the child's window did not show");
            break;
        }
        record(state, name, start);
        child.waitForFinished(30000);
    }
}

void Startup_Window(benchmark::State& state) { startChild(state, "Startup_Window", "--child-window"); }
void Startup_Baseline_BareQtWindow(benchmark::State& state) {
    startChild(state, "Startup_Baseline_BareQtWindow", "--child-baseline");
}

// ---------------------------------------------------------------------------
// Open and save, in this process

// The dialogs answer with a set file; the files and the desktop are the real ones.
class AnsweringDialogs final : public fichelia::Dialogs {
public:
    QString answer;
    void showMessage(const QString& text) override { std::fprintf(stderr, "message: %s\n", qPrintable(text)); }
    void showReport(const QString& summary, const QString& details) override {
        std::fprintf(stderr, "report: %s\n%s\n", qPrintable(summary), qPrintable(details));
    }
    void showError(const QString& message) override { std::fprintf(stderr, "error: %s\n", qPrintable(message)); }
    bool confirm(const QString&) override { return true; }
    bool ask(const QString&) override { return true; }
    std::optional<fichelia::FileChoice> chooseFileToOpen(const QString&, const QStringList&, int) override {
        return fichelia::FileChoice{answer, 1};
    }
    std::optional<fichelia::FileChoice> chooseFileToSave(const QString&, const QStringList&, int) override {
        return fichelia::FileChoice{answer, 1};
    }
    void setBusy(bool busy) override { m_real.setBusy(busy); }

private:
    fichelia::QtDialogs m_real;
};

struct Window {
    AnsweringDialogs dialogs;
    fichelia::QtFiles files;
    fichelia::QtDesktop desktop;
    MainWindow form{dialogs, files, desktop,
                    std::make_unique<fichelia::DirectoryList>(fichelia::NameCollator::fromEnvironment())};
    Window() {
        form.show();
        (void)QTest::qWaitForWindowExposed(&form);
    }
};

// Made on first use, gone before the application object.
std::unique_ptr<Window>& sharedWindow() {
    static std::unique_ptr<Window> shared;
    return shared;
}

Window& window() {
    if (!sharedWindow()) {
        sharedWindow() = std::make_unique<Window>();
    }
    return *sharedWindow();
}

const fichelia::bench::BenchData& data() { return fichelia::bench::benchData(); }

void Open_Window(benchmark::State& state) {
    Window& w = window();
    w.dialogs.answer = QString::fromStdString(data().pagePath);
    for (auto _ : state) {
        w.form.directory().removeAll();
        QApplication::processEvents();
        const auto start = Clock::now();
        w.form.open();
        w.form.contactList->repaint(); // the list filled and drawn
        QApplication::processEvents();
        record(state, "Open_Window", start);
        if (w.form.directory().count() != data().list->count()) {
            state.SkipWithError("the page did not open whole");
            break;
        }
    }
}

void Open_Baseline_StdioRead(benchmark::State& state) {
    std::vector<char> buffer(data().page.size() + 1);
    for (auto _ : state) {
        const auto start = Clock::now();
        std::FILE* file = std::fopen(data().pagePath.c_str(), "rb");
        const std::size_t read = std::fread(buffer.data(), 1, buffer.size(), file);
        std::fclose(file);
        record(state, "Open_Baseline_StdioRead", start);
        benchmark::DoNotOptimize(read);
    }
}

std::string savePath() { return data().pagePath + ".saved.html"; }

void Save_Window(benchmark::State& state) {
    Window& w = window();
    if (w.form.directory().count() != data().list->count()) {
        w.dialogs.answer = QString::fromStdString(data().pagePath);
        w.form.open();
    }
    w.dialogs.answer = QString::fromStdString(savePath());
    for (auto _ : state) {
        const auto start = Clock::now();
        w.form.save();
        record(state, "Save_Window", start);
    }
}

void Save_Baseline_StdioWrite(benchmark::State& state) {
    const std::string path = savePath() + ".plain";
    for (auto _ : state) {
        const auto start = Clock::now();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(data().page.data(), 1, data().page.size(), file);
        std::fclose(file);
        record(state, "Save_Baseline_StdioWrite", start);
    }
    std::remove(path.c_str());
}

void Save_Baseline_StdioWriteAndSync(benchmark::State& state) {
    const std::string path = savePath() + ".plain";
    for (auto _ : state) {
        const auto start = Clock::now();
        std::FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(data().page.data(), 1, data().page.size(), file);
        std::fflush(file);
        ::fsync(::fileno(file));
        std::fclose(file);
        record(state, "Save_Baseline_StdioWriteAndSync", start);
    }
    std::remove(path.c_str());
}

BENCHMARK(Startup_Window)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK(Startup_Baseline_BareQtWindow)->UseManualTime()->Iterations(15)->Unit(benchmark::kMillisecond);
BENCHMARK(Open_Window)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);
BENCHMARK(Open_Baseline_StdioRead)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);
BENCHMARK(Save_Window)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);
BENCHMARK(Save_Baseline_StdioWrite)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);
BENCHMARK(Save_Baseline_StdioWriteAndSync)->UseManualTime()->Iterations(7)->Unit(benchmark::kMillisecond);

void printSummary() {
    const auto ms = [](const char* name) { return 1000 * median(timings()[name]); };
    const auto line = [&](const char* what, const char* measure, const char* baseline, double targetRatio,
                          double targetMs) {
        const double m = ms(measure);
        const double b = ms(baseline);
        if (m == 0 || b == 0) {
            return;
        }
        const bool met = (targetRatio == 0 || m / b <= targetRatio) && (targetMs == 0 || m <= targetMs);
        std::printf("%-10s %9.1f ms   %-33s %8.1f ms   ratio %6.2fx   %s\n", what, m, baseline, b, m / b,
                    targetRatio == 0 && targetMs == 0 ? "" : met ? "target met" : "target MISSED");
    };
    std::printf("\nMedians (the same run's baselines):\n");
    line("start-up", "Startup_Window", "Startup_Baseline_BareQtWindow", 0, 500);
    line("open", "Open_Window", "Open_Baseline_StdioRead", 6, 500);
    line("save", "Save_Window", "Save_Baseline_StdioWrite", 4, 0);
    line("save", "Save_Window", "Save_Baseline_StdioWriteAndSync", 0, 0);
    std::printf("Targets: start-up under 500 ms; open under 500 ms and 6x the read; save under 4x the write.\n");
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    if (argc > 1 && std::string(argv[1]) == "--child-window") {
        return runWindowChild(argc, argv);
    }
    if (argc > 1 && std::string(argv[1]) == "--child-baseline") {
        return runBaselineChild(argc, argv);
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    sharedWindow().reset();
    printSummary();
    std::fflush(stdout);
    std::remove(savePath().c_str());
    return 0;
}
