// How fast the line viewer opens a large file at its last line and pages through it, and what
// the file costs in memory, under the offscreen platform.
//   viewer_bench [LINES] [ROUNDS] [DIRECTORY]
// The file (51-byte lines: 204 MB for the default 4 million) is written into DIRECTORY (default
// /tmp) with CR LF line ends, and beside it the same lines with LF, and both are removed at the
// end; the two are read and opened in turn. Opening reads a file from the page cache after the
// first round.

#include <sys/stat.h>
#include <unistd.h>
#include <QApplication>
#include <QKeyEvent>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "search/lines/line_index.h"
#include "search/pattern/line_matcher.h"
#include "ui/messages.h"
#include "ui/viewer/line_view.h"
#include "ui/viewer/line_viewer.h"

namespace {

double Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

double Percentile(std::vector<double> values, double share) {
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1,
                           static_cast<std::size_t>(share * static_cast<double>(values.size())))];
}

// Lines of source text, 49 bytes and `lineEnd` each; every tenth holds the search text.
bool WriteFile(const std::string& path, long lines, const char* lineEnd) {
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) return false;
    char line[64];
    for (long i = 0; i < lines; ++i) {
        const char* text =
            i % 10 == 0 ? "counter := counter + step;" : "while counter < limit do    ";
        std::snprintf(line, sizeof line, "  %08ld %-38.38s%s", i + 1, text, lineEnd);
        std::fputs(line, file);
    }
    return std::fclose(file) == 0;
}

void Report(const char* what, double milliseconds) {
    std::printf("%-46s %9.2f ms\n", what, milliseconds);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const long lines = argc > 1 ? std::atol(argv[1]) : 4'000'000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    const std::string directory = argc > 3 ? argv[3] : "/tmp";
    sifter::ui::SetMessageHook([](const sifter::ui::Message& message) {
        std::fprintf(stderr, "message: %s\n", qPrintable(message.text));
    });
    const std::string path =
        directory + "/sifter32-viewer-bench-" + std::to_string(::getpid()) + ".pas";
    const std::string lfPath =
        directory + "/sifter32-viewer-bench-" + std::to_string(::getpid()) + "-lf.pas";
    if (!WriteFile(path, lines, "\r\n") || !WriteFile(lfPath, lines, "\n")) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }

    // The files alone: read and indexed.
    std::vector<double> reads, lfReads;
    std::size_t memory = 0, size = 0;
    std::int64_t counted = 0, lfCounted = 0;  // lines the viewer found
    const auto read = [&](const std::string& file, std::int64_t& found) {
        const sifter::LineIndexResult result = sifter::LineIndex::Read(file);
        found = result.lines ? result.lines->LineCount() : 0;
        return result.lines ? result.lines->MemoryUse() : 0;
    };
    for (int round = 0; round < rounds; ++round) {
        reads.push_back(Milliseconds([&] { memory = read(path, counted); }));
        lfReads.push_back(Milliseconds([&] { read(lfPath, lfCounted); }));
    }
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) size = static_cast<std::size_t>(info.st_size);

    // What a double-click costs: the file read, the window shown at the last line, painted.
    sifter::ui::LineViewer viewer;
    std::vector<double> opens, lfOpens;
    bool lfAtLastLine = true;
    const auto open = [&](const std::string& file) {
        viewer.hide();
        QApplication::processEvents();
        return Milliseconds([&] {
            sifter::ui::Guarded([&] { viewer.Open(file, lines, sifter::LineMatcher("step", {})); });
            QApplication::processEvents();
            viewer.View()->viewport()->repaint();
        });
    };
    for (int round = 0; round < rounds; ++round) {
        lfOpens.push_back(open(lfPath));
        lfAtLastLine = lfAtLastLine && viewer.View()->Caret().line == lines - 1;
        opens.push_back(open(path));
    }
    std::remove(lfPath.c_str());
    sifter::ui::LineView& view = *viewer.View();
    const bool atLastLine = view.Caret().line == lines - 1;

    // Page Down a thousand times from the top, each followed by a paint.
    view.SetSelection({}, {});
    QApplication::processEvents();
    std::vector<double> pages;
    for (int i = 0; i < 1000; ++i) {
        pages.push_back(Milliseconds([&] {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_PageDown, Qt::NoModifier);
            QApplication::sendEvent(&view, &press);
            view.viewport()->repaint();
        }));
    }
    // F3 from the last line round to the first match, and a search through every line for a
    // text that is nowhere.
    view.SetSelection({lines - 1, 0}, {lines - 1, 0});
    const double wrap = Milliseconds([&] { view.GoToMatch(true); });
    viewer.Open(path, 1, sifter::LineMatcher("nowhere", {.caseSensitive = true}));
    const double none = Milliseconds([&] { view.GoToMatch(true); });
    std::remove(path.c_str());

    std::printf("file: %ld lines (%lld found), %.1f MB, %d rounds, %d lines in sight\n", lines,
                static_cast<long long>(counted), static_cast<double>(size) / 1e6, rounds,
                view.VisibleLines());
    std::printf("the same lines with LF: %lld found\n", static_cast<long long>(lfCounted));
    Report("read and index the file (median)", Percentile(reads, 0.5));
    Report("read and index, LF (median)", Percentile(lfReads, 0.5));
    Report("open at the last line and paint (median)", Percentile(opens, 0.5));
    Report("open at the last line and paint, LF (median)", Percentile(lfOpens, 0.5));
    Report("open at the last line and paint (slowest)", Percentile(opens, 1.0));
    std::printf("%-46s %9s\n", "opened at the last line",
                atLastLine && lfAtLastLine ? "yes" : "NO");
    Report("Page Down + paint, median of 1000", Percentile(pages, 0.5));
    Report("Page Down + paint, 99th percentile", Percentile(pages, 0.99));
    Report("Page Down + paint, slowest", Percentile(pages, 1.0));
    Report("F3 from the last line round to line 1", wrap);
    Report("F3 through every line, no match", none);
    std::printf("%-46s %9zu bytes = size + %.2f bytes per line\n",
                "memory of the file in the viewer", memory,
                static_cast<double>(memory - size) / static_cast<double>(lines));
    return atLastLine && lfAtLastLine && lfCounted == counted ? 0 : 1;
}
