// A search through the window with its progress window up: the time for a directory of many
// tiny files (where the label changes far faster than a screen can show), and how long the
// label of a large file waits to be painted after the file's read has begun.
//   progress_bench [TINY_FILES] [LARGE_FILE_MB] [ROUNDS]

#include <time.h>
#include <unistd.h>
#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"

namespace {

using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration span) {
    return std::chrono::duration<double, std::milli>(span).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Notes when the label was painted with a text that ends in a given name.
class PaintClock final : public QObject {
public:
    explicit PaintClock(QString name) : m_name(std::move(name)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !m_painted) {
            const auto* label = static_cast<QLabel*>(watched);
            if (label->text().endsWith(m_name)) m_painted = Clock::now();
        }
        return false;
    }
    std::optional<Clock::time_point> m_painted;

private:
    QString m_name;
};

// Processor time of the whole process: on a machine shared with other work it moves far less
// than the time on the wall.
double CpuMilliseconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

struct Timing {
    double wall = 0;
    double cpu = 0;
};

Timing TimeSearch(sifter::ui::TForm1& window) {
    const auto start = Clock::now();
    const double cpuStart = CpuMilliseconds();
    window.pbSifterClick();
    return {Milliseconds(Clock::now() - start), CpuMilliseconds() - cpuStart};
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int tinyFiles = argc > 1 ? std::atoi(argv[1]) : 100000;
    const int largeMegabytes = argc > 2 ? std::atoi(argv[2]) : 64;
    const int rounds = argc > 3 ? std::atoi(argv[3]) : 5;
    QApplication application(argc, argv);

    char pattern[] = "/tmp/sifter32-progress-XXXXXX";
    const std::string root = ::mkdtemp(pattern);
    const std::string tiny = root + "/tiny";
    const std::string large = root + "/large";
    std::filesystem::create_directories(tiny);
    std::filesystem::create_directories(large);
    for (int i = 0; i < tinyFiles; ++i)
        std::ofstream(tiny + "/u" + std::to_string(i) + ".pas") << "unit u;\r\nbegin\r\n";
    std::ofstream(large + "/a.pas") << "begin\r\n";
    {
        std::ofstream big(large + "/b.pas", std::ios::binary);
        const std::string line = "    counter := counter + step; { no match on this line }\r\n";
        for (std::size_t written = 0; written < std::size_t(largeMegabytes) << 20;
             written += line.size())
            big << line;
    }

    sifter::ui::TForm2 progress;
    for (const std::string& directory : {tiny, large}) {
        if (::chdir(directory.c_str()) != 0) return 1;
        sifter::ui::TForm1 window({});
        window.SetProgressWindow(&progress);
        window.show();
        window.Edit1()->setText(QStringLiteral("begin"));
        QApplication::processEvents();
        std::vector<double> times, cpuTimes, waits;
        for (int round = 0; round < rounds; ++round) {
            // The tiny file's label is painted as the large file's read begins.
            PaintClock first(QStringLiteral(" in a.pas"));
            PaintClock largeLabel(QStringLiteral(" in b.pas"));
            progress.SetLabel(QString());
            progress.Label()->installEventFilter(&first);
            progress.Label()->installEventFilter(&largeLabel);
            const Timing timing = TimeSearch(window);
            times.push_back(timing.wall);
            cpuTimes.push_back(timing.cpu);
            progress.Label()->removeEventFilter(&largeLabel);
            progress.Label()->removeEventFilter(&first);
            if (first.m_painted && largeLabel.m_painted)
                waits.push_back(Milliseconds(*largeLabel.m_painted - *first.m_painted));
        }
        if (directory == tiny) {
            // Each search ends with the pause of 200 ms before the window closes.
            std::printf(
                "search of %d tiny files with the progress window: median %.1f ms without the "
                "closing pause of 200 ms, %.1f ms of processor time\n",
                tinyFiles, Median(times) - 200.0, Median(cpuTimes));
        } else {
            std::printf(
                "search of a %d MB file after a tiny one: median %.1f ms; its label was painted a "
                "median %.1f ms after the tiny file's\n",
                largeMegabytes, Median(times) - 200.0, waits.empty() ? -1.0 : Median(waits));
        }
    }
    std::filesystem::remove_all(root);
    return 0;
}
