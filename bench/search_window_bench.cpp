// What a user of the window waits for after F2: from the key to the list shown with its rows,
// the progress window showing every file in turn and its closing pause of 200 ms included.
// Runs under the offscreen platform, in the directory given, on its Pascal sources; with
// --project MASKS, on the whole tree (Include Subdirectories) with those masks. With
// --only-matched the rounds take turns without and with "Only Files with Matches", and both
// are told.
//   search_window_bench DIRECTORY TEXT [ROUNDS] [--project MASKS] [--only-matched]

#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "ui/dialogs/dialogs.h"
#include "ui/dialogs/progress_window.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/results/result_list.h"

namespace {

namespace names = sifter::ui::names;

QAction* Item(sifter::ui::TForm1& window, const char* name) {
    return window.findChild<QAction*>(QString::fromLatin1(name));
}

void ChooseMasks(sifter::ui::TForm1& window, const char* masks) {
    sifter::ui::SetMaskDialogHook([masks](QDialog& dialog) {
        dialog.findChild<QLineEdit*>(QString::fromLatin1(names::kPascalMasks))
            ->setText(QString::fromLocal8Bit(masks));
        dialog.findChild<QPushButton*>(QString::fromLatin1(names::kOKButton))->click();
    });
    Item(window, names::kFileMasks1)->trigger();
    sifter::ui::SetMaskDialogHook(nullptr);
}

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<const char*> positional;
    const char* masks = nullptr;
    bool compare = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--project") == 0 && i + 1 < argc)
            masks = argv[++i];
        else if (std::strcmp(argv[i], "--only-matched") == 0)
            compare = true;
        else
            positional.push_back(argv[i]);
    }
    if (positional.size() < 2) {
        std::fprintf(stderr,
                     "usage: search_window_bench DIRECTORY TEXT [ROUNDS] [--project MASKS] "
                     "[--only-matched]\n");
        return 2;
    }
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int rounds = positional.size() > 2 ? std::atoi(positional[2]) : 11;
    if (::chdir(positional[0]) != 0) {
        std::perror(positional[0]);
        return 1;
    }
    QApplication application(argc, argv);
    sifter::ui::TForm1 window({});
    sifter::ui::TForm2 progress;
    window.SetProgressWindow(&progress);
    window.show();
    QApplication::processEvents();
    if (masks != nullptr) {
        Item(window, names::kIncludeSubdirectories1)->trigger();
        ChooseMasks(window, masks);
    }
    window.Edit1()->setText(QString::fromLocal8Bit(positional[1]));

    // Without, and (when compared) with only the files with matches, taking turns.
    std::vector<double> times[2];
    int rows[2] = {0, 0};
    QAction* onlyMatched = Item(window, names::kOnlyFilesWithMatches1);
    for (int i = 0; i < rounds * (compare ? 2 : 1); ++i) {
        const int turn = compare ? i % 2 : 0;
        if (onlyMatched->isChecked() != (turn == 1)) onlyMatched->trigger();
        // The file set the option read again is there before the key, as after typing.
        window.FList();
        QApplication::processEvents();
        const auto start = std::chrono::steady_clock::now();
        // What F2 runs; the list is on screen once the events it left are handled.
        window.pbSifterClick();
        QApplication::processEvents();
        times[turn].push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        rows[turn] = window.ListBox1()->RowCount();
        if (!window.ListBox1()->isVisible()) {
            std::fprintf(stderr, "search_window_bench: the list is not shown\n");
            return 1;
        }
    }
    for (int turn = 0; turn < (compare ? 2 : 1); ++turn) {
        const double median = Median(times[turn]);
        std::printf(
            "window%s, F2 to the list shown, '%s' in %d files: median %.1f ms (%.1f ms without "
            "the 200 ms pause), %d rows\n",
            turn == 1 ? " (Only Files with Matches)" : "", positional[1], window.FList().Count(),
            median, median - 200.0, rows[turn]);
    }
    return 0;
}
