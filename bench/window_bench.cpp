// What a user of the window waits for: a keystroke in the search box of a directory of
// 10,000 Pascal files (each keystroke reads the directory twice when the mask changes, once
// otherwise), the same with Include Subdirectories over a tree of 10,000 directories and
// 100,000 files, whose walk goes on between the events, and the memory a million result rows
// take. Runs under the offscreen platform.
//   window_bench [FILES] [KEYSTROKES] [DIRECTORIES]

#include <malloc.h>
#include <unistd.h>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/pictures.h"
#include "ui/results/result_list.h"

namespace names = sifter::ui::names;

namespace {

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Bytes the allocator has handed out and not taken back; unlike the resident size it drops
// when a block is freed.
double AllocatedBytes() {
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

void Type(QWidget* target, Qt::Key key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Keystrokes typed and taken back in turn, each followed by one pass of the events as a user's
// next key would wait for; the medians and worst cases of both, in milliseconds.
struct Typing {
    std::vector<double> keys, passes;
};

Typing TypeAndErase(QLineEdit* edit, int keystrokes) {
    Typing typing;
    for (int i = 0; i < keystrokes; ++i) {
        auto start = std::chrono::steady_clock::now();
        if (i % 2 == 0)
            Type(edit, Qt::Key_B, QStringLiteral("b"));
        else
            Type(edit, Qt::Key_Backspace, QString());
        typing.keys.push_back(MillisecondsSince(start));
        start = std::chrono::steady_clock::now();
        QApplication::processEvents();
        typing.passes.push_back(MillisecondsSince(start));
    }
    return typing;
}

// Include Subdirectories over DIRECTORIES directories of ten files each, a hundred to a
// directory below the top: what a key costs while the walk goes on between the events, and
// how long the walk takes to the end after the last key.
void TreeKeystrokes(int directories, int keystrokes) {
    char pattern[] = "/tmp/sifter32-tree-XXXXXX";
    const std::string top = ::mkdtemp(pattern);
    for (int d = 0; d < directories; ++d) {
        const std::string directory =
            top + "/g" + std::to_string(d / 100) + "/d" + std::to_string(d % 100);
        std::filesystem::create_directories(directory);
        for (int f = 0; f < 10; ++f) std::ofstream(directory + "/u" + std::to_string(f) + ".pas");
    }
    if (::chdir(top.c_str()) != 0) return;
    sifter::ui::TForm1 window({});
    window.show();
    QApplication::processEvents();
    auto* subdirectories =
        window.findChild<QAction*>(QString::fromLatin1(names::kIncludeSubdirectories1));
    auto* walk = window.findChild<QTimer*>(QString::fromLatin1(names::kWalkTimer));
    if (subdirectories == nullptr || walk == nullptr) return;
    subdirectories->trigger();
    const Typing typing = TypeAndErase(window.Edit1(), keystrokes);
    const auto start = std::chrono::steady_clock::now();
    while (walk->isActive()) QApplication::processEvents();
    const double rest = MillisecondsSince(start);
    std::printf(
        "keystroke, subdirectories on, %d directories: median %.2f ms, worst %.2f ms; an event "
        "pass while the tree is walked: median %.2f ms, worst %.2f ms; the walk's end %.0f ms "
        "after the last key (listed %d)\n",
        directories, Median(typing.keys), *std::max_element(typing.keys.begin(), typing.keys.end()),
        Median(typing.passes), *std::max_element(typing.passes.begin(), typing.passes.end()), rest,
        window.FList().Count());
    std::filesystem::remove_all(top);
}

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int keystrokes = argc > 2 ? std::atoi(argv[2]) : 41;
    const int directories = argc > 3 ? std::atoi(argv[3]) : 10000;
    QApplication application(argc, argv);

    char pattern[] = "/tmp/sifter32-window-XXXXXX";
    const std::string directory = ::mkdtemp(pattern);
    for (int i = 0; i < files; ++i)
        std::ofstream(directory + "/Unit" + std::to_string(i * 7919 % 100003) + ".pas");
    if (::chdir(directory.c_str()) != 0) return 1;

    sifter::ui::TForm1 window({});
    window.show();
    QApplication::processEvents();
    const Typing typing = TypeAndErase(window.Edit1(), keystrokes);
    std::printf("keystroke in a directory of %d files: median %.2f ms, worst %.2f ms (listed %d)\n",
                files, Median(typing.keys),
                *std::max_element(typing.keys.begin(), typing.keys.end()), window.FList().Count());

    // Memory: the rows' own bytes against what the process grows by holding them in the list.
    constexpr int kRows = 1000000;
    const double before = AllocatedBytes();
    sifter::ResultRows rows;
    std::size_t bytes = 0;
    for (int i = 0; i < kRows; ++i) {
        const std::string text = "[" + std::to_string(i) + "]   counter := counter + step;";
        bytes += text.size();
        rows.AddRow(text, sifter::RowKind::Heading);
    }
    window.ListBox1()->SetRows(std::move(rows),
                               std::make_shared<const sifter::ui::EntryPictures>());
    window.ListBox1()->show();
    window.ListBox1()->setEnabled(true);
    window.ListBox1()->SelectFirstRow();
    window.ListBox1()->repaint();
    const double after = AllocatedBytes();
    // Everything the rows cost, growth of the stores included, over the bytes of the rows.
    std::printf("1,000,000 rows of %.1f bytes on average cost %.1f bytes each beyond their bytes\n",
                static_cast<double>(bytes) / kRows,
                (after - before) / kRows - static_cast<double>(bytes) / kRows);
    std::filesystem::remove_all(directory);
    if (directories > 0) TreeKeystrokes(directories, keystrokes);
    return 0;
}
