// What a user of the window waits for: a keystroke in the search box of a directory of
// 10,000 Pascal files (each keystroke reads the directory twice when the mask changes, once
// otherwise), and the memory a million result rows take. Runs under the offscreen platform.
//   window_bench [FILES] [KEYSTROKES]

#include <malloc.h>
#include <unistd.h>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ui/main/main_window.h"
#include "ui/pictures.h"
#include "ui/results/result_list.h"

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

}  // namespace

int main(int argc, char** argv) {
    if (std::getenv("QT_QPA_PLATFORM") == nullptr) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const int files = argc > 1 ? std::atoi(argv[1]) : 10000;
    const int keystrokes = argc > 2 ? std::atoi(argv[2]) : 41;
    QApplication application(argc, argv);

    char pattern[] = "/tmp/sifter32-window-XXXXXX";
    const std::string directory = ::mkdtemp(pattern);
    for (int i = 0; i < files; ++i)
        std::ofstream(directory + "/Unit" + std::to_string(i * 7919 % 100003) + ".pas");
    if (::chdir(directory.c_str()) != 0) return 1;

    sifter::ui::TForm1 window({});
    window.show();
    QApplication::processEvents();
    QLineEdit* edit = window.Edit1();
    std::vector<double> typing;
    for (int i = 0; i < keystrokes; ++i) {
        const auto start = std::chrono::steady_clock::now();
        if (i % 2 == 0)
            Type(edit, Qt::Key_B, QStringLiteral("b"));
        else
            Type(edit, Qt::Key_Backspace, QString());
        typing.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
    }
    std::printf("keystroke in a directory of %d files: median %.2f ms, worst %.2f ms (listed %d)\n",
                files, Median(typing), *std::max_element(typing.begin(), typing.end()),
                window.FList().Count());

    // Memory: the rows' own bytes against what the process grows by holding them in the list.
    constexpr int kRows = 1000000;
    const double before = AllocatedBytes();
    sifter::ResultRows rows;
    std::size_t bytes = 0;
    for (int i = 0; i < kRows; ++i) {
        const std::string text = "[" + std::to_string(i) + "]   counter := counter + step;";
        bytes += text.size();
        rows.AddRow(text, sifter::EntryIcon::Blank);
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
    return 0;
}
