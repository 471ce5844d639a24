// The main window opening a matrix file and showing it, and saving it again:
// a file of N species and N sites in which every field, names and headings
// included, is "1", so every field is a stored cell ((N + 1) x (N + 2) of
// them). Each measurement runs in a child process of its own that starts the
// program's window from nothing, so the peak memory it reports belongs to
// that one operation: the highest resident size during the operation less
// the resident size just before it, a stored cell at a time.

#include "app/frmMain.h"
#include "platform/FileDialog.h"
#include "platform/MessageBox.h"

#include <QApplication>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <malloc.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct Figures {
    double seconds = 0;
    double peakBytes = 0;
    bool ok = false;
};

// A figure from /proc/self/status ("VmRSS", "VmHWM"), in bytes.
double statusBytes(const char* field) {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return 0;
    char line[256];
    double bytes = 0;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status)) {
        if (std::strncmp(line, field, length) == 0 && line[length] == ':') {
            bytes = std::strtod(line + length + 1, nullptr) * 1024.0;
            break;
        }
    }
    std::fclose(status);
    return bytes;
}

// Starts the peak resident size afresh from the present size.
void resetPeak() {
    if (std::FILE* clear = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", clear);
        std::fclose(clear);
    }
}

std::string writeOnesFile(const std::string& folder, int n) {
    const std::string path = folder + "/ones" + std::to_string(n) + ".txt";
    std::string line;
    for (int k = 0; k < n + 2; ++k)
        line += k == 0 ? "1" : " 1";
    line += "\r\n";
    std::ofstream out(path, std::ios::binary);
    for (int i = 0; i <= n; ++i)
        out << line;
    out << "\r\n";
    return path;
}

enum class Operation { Open, Save };

// In a child: the window as the program starts it, then (for a save) the
// file opened untimed, then the operation measured.
Figures measureInChild(Operation operation, const std::string& file, const std::string& saveAs) {
    int channel[2];
    if (pipe(channel) != 0)
        return {};
    const pid_t child = fork();
    if (child == 0) {
        close(channel[0]);
        qputenv("QT_QPA_PLATFORM", "offscreen");
        int argc = 1;
        char name[] = "MatrixFileBench";
        char* argv[] = {name, nullptr};
        QApplication app(argc, argv);
        platform::setMessageHandler(
            [](const QString&, platform::MessageButtons, const QString&) { return platform::MessageAnswer::OK; });
        QString answer = QString::fromStdString(file);
        platform::setFileDialogHandler([&answer](const platform::FileDialogRequest&) { return answer; });
        Figures figures;
        {
            frmMain window;
            window.Form_Load();
            QApplication::processEvents();
            if (operation == Operation::Save) {
                window.mnuFileOpen_Click();
                QApplication::processEvents();
                answer = QString::fromStdString(saveAs);
            }
            // Memory that the window freed before goes back to the system, so
            // the operation's peak is not hidden in it.
            malloc_trim(0);
            resetPeak();
            const double idle = statusBytes("VmRSS");
            const auto start = std::chrono::steady_clock::now();
            if (operation == Operation::Open)
                window.mnuFileOpen_Click();
            else
                window.mnuFileSave_Click();
            QApplication::processEvents(); // the window shows the result
            const auto stop = std::chrono::steady_clock::now();
            figures.seconds = std::chrono::duration<double>(stop - start).count();
            figures.peakBytes = statusBytes("VmHWM") - idle;
            figures.ok = true;
        }
        const ssize_t written = write(channel[1], &figures, sizeof figures);
        _exit(written == sizeof figures ? 0 : 1);
    }
    close(channel[1]);
    Figures figures;
    if (child < 0 || read(channel[0], &figures, sizeof figures) != sizeof figures)
        figures.ok = false;
    close(channel[0]);
    if (child > 0)
        waitpid(child, nullptr, 0);
    return figures;
}

void measure(benchmark::State& state, Operation operation) {
    const int n = static_cast<int>(state.range(0));
    QTemporaryDir folder;
    const std::string file = writeOnesFile(folder.path().toStdString(), n);
    const std::string saveAs = folder.path().toStdString() + "/saved";
    const double cells = double(n + 1) * double(n + 2);
    double peak = 0;
    double seconds = 0;
    for (auto _ : state) {
        const Figures figures = measureInChild(operation, file, saveAs);
        if (!figures.ok) {
            state.SkipWithError("the measuring child failed");
            return;
        }
        state.SetIterationTime(figures.seconds);
        seconds += figures.seconds;
        peak = std::max(peak, figures.peakBytes);
    }
    state.counters["cells"] = cells;
    state.counters["ns_per_cell"] = seconds * 1e9 / double(state.iterations()) / cells;
    state.counters["peak_bytes_per_cell"] = peak / cells;
}

void BM_OpenAndShow(benchmark::State& state) { measure(state, Operation::Open); }
void BM_Save(benchmark::State& state) { measure(state, Operation::Save); }

} // namespace

BENCHMARK(BM_OpenAndShow)->Arg(1000)->Arg(2000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Save)->Arg(1000)->Arg(2000)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);
