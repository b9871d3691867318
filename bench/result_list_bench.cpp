// How fast the result list takes, deletes and paints a million rows, under the offscreen
// platform.
//   result_list_bench [ROWS] [ROUNDS]

#include <malloc.h>
#include <QApplication>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QScrollBar>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/messages.h"
#include "ui/pictures.h"
#include "ui/results/result_list.h"
#include "ui/results/result_model.h"

namespace {

using sifter::ResultRows;
using sifter::RowKind;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Milliseconds(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

// Rows shaped like a search of many files: headings, procedure rows and match rows, each
// leading to its file and line as a search's rows do.
ResultRows SearchLikeRows(int count) {
    ResultRows rows;
    rows.AddRow("Sifter32 Text Search ", RowKind::Banner);
    std::int32_t file = -1;
    for (int i = 1; i < count; ++i) {
        const std::string number = std::to_string(i);
        if (i % 50 == 1) {
            rows.AddFile("/home/user/sources/unit" + number + ".sc");
            rows.AddRow(" unit" + number + ".sc - 1 of 9", RowKind::File, {++file, 1});
        } else if (i % 10 == 0) {
            rows.AddRow(" proc Handler" + number + "(x, y)", RowKind::Procedure, {file, i});
        } else {
            rows.AddRow("[" + number + "]   while counter < limit do counter := counter + step;",
                        RowKind::Match, {file, i});
        }
    }
    return rows;
}

// Bytes the program has taken from the heap and not given back, large blocks included.
std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// Counts the list's paints, so that a figure can be trusted to include one.
class PaintCounter final : public QObject {
public:
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++count;
        return false;
    }
};

PaintCounter& Paints() {
    static PaintCounter counter;
    return counter;
}

void Report(const std::string& what, double milliseconds) {
    std::printf("%-42s median %8.2f ms\n", (what + ":").c_str(), milliseconds);
}

void Paint(sifter::ui::ResultList& list) {
    const int before = Paints().count;
    list.viewport()->repaint();
    if (Paints().count == before) std::fprintf(stderr, "the list did not paint\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::atoi(argv[1]) : 1'000'000;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 7;
    sifter::ui::SetMessageHook([](const sifter::ui::Message&) {});

    const auto pictures = std::make_shared<const sifter::ui::EntryPictures>();
    const ResultRows rows = SearchLikeRows(count);
    std::size_t rowBytes = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) rowBytes += rows.Text(i).size();
    sifter::ui::ResultList list;
    list.resize(700, 480);
    list.setEnabled(true);
    list.show();
    list.viewport()->installEventFilter(&Paints());
    QApplication::processEvents();

    // What a list of these rows costs beyond their bytes: the rows as the list keeps them (a
    // copy, trimmed as the list trims it), the files they lead to, and whatever the view keeps
    // per row once it has laid them out and painted. The search's own copy is counted out.
    double bytesPerRow = 0;
    {
        const std::size_t heapWithRows = HeapInUse();
        list.SetRows(ResultRows(rows), pictures);
        QApplication::processEvents();
        Paint(list);
        const std::size_t listed = HeapInUse() - heapWithRows;
        bytesPerRow = (static_cast<double>(listed) - static_cast<double>(rowBytes)) / count;
    }

    std::vector<double> fill, deleteScattered, deleteBlock, scrollPaint, typeAhead;
    for (int round = 0; round < rounds; ++round) {
        list.Clear();
        ResultRows copy = rows;  // the copy is the search's work, not the list's
        fill.push_back(Milliseconds([&] {
            list.SetRows(std::move(copy), pictures);
            list.SelectFirstRow();
            QApplication::processEvents();  // the view lays its rows out from the event loop
            Paint(list);
        }));

        // Every other row: half a million separate ranges, the worst a selection can be.
        QItemSelection everyOther;
        for (int row = 1; row < count; row += 2)
            everyOther.select(list.Model().index(row), list.Model().index(row));
        list.selectionModel()->select(everyOther, QItemSelectionModel::ClearAndSelect);
        deleteScattered.push_back(Milliseconds([&] {
            list.DeleteItems();
            QApplication::processEvents();
            Paint(list);
        }));

        list.SetRows(ResultRows(rows), pictures);
        list.selectionModel()->select(QItemSelection(list.Model().index(count / 4),
                                                     list.Model().index(count / 4 + count / 2 - 1)),
                                      QItemSelectionModel::ClearAndSelect);
        deleteBlock.push_back(Milliseconds([&] {
            list.DeleteItems();
            QApplication::processEvents();
            Paint(list);
        }));

        list.SetRows(ResultRows(rows), pictures);
        QApplication::processEvents();
        for (int jump = 0; jump < 20; ++jump) {
            const int row =
                static_cast<int>((static_cast<long long>(jump) * 7919 * 104729) % count);
            scrollPaint.push_back(Milliseconds([&] {
                list.verticalScrollBar()->setValue(row);
                Paint(list);
            }));
        }
        // The view looks through every row's text for one that starts with the letter.
        typeAhead.push_back(Milliseconds([&] { list.keyboardSearch(QStringLiteral("z")); }));
    }

    // Ten megabytes in one row, three ways: no parentheses (the procedure test stops early),
    // source text with its parentheses at the very end, and blanks all through it (the worst
    // case for the procedure test that decides the indent).
    std::string source;
    while (source.size() < 10'000'000)
        source += "while counter < limit do counter := counter + step; ";
    const std::vector<std::pair<const char*, std::string>> hugeRows{
        {"10 MB of letters", std::string(10'000'000, 'M')},
        {"10 MB of source text", source + "()"},
        {"10 MB of blanks", std::string(10'000'000, ' ') + "()"}};
    std::vector<double> hugeRowPaint;
    for (const auto& [name, text] : hugeRows) {
        ResultRows huge;
        huge.AddRow(text, RowKind::Heading);
        list.SetRows(std::move(huge), pictures);
        QApplication::processEvents();
        std::vector<double> times;
        for (int round = 0; round < rounds; ++round)
            times.push_back(Milliseconds([&] { Paint(list); }));
        hugeRowPaint.push_back(Median(times));
    }

    std::printf("rows: %d, rounds: %d, visible rows: %d\n", count, rounds,
                list.viewport()->height() / 16);
    std::printf("%-42s %8.2f bytes per row beyond its bytes\n",
                "memory of the listed rows:", bytesPerRow);
    Report("SetRows + select + first paint", Median(fill));
    Report("DeleteItems, every other row + paint", Median(deleteScattered));
    Report("DeleteItems, one block of half + paint", Median(deleteBlock));
    Report("scroll to a far row + paint", Median(scrollPaint));
    Report("type a letter that starts no row", Median(typeAhead));
    for (std::size_t i = 0; i < hugeRows.size(); ++i)
        Report(std::string("paint a row of ") + hugeRows[i].first, hugeRowPaint[i]);
    return 0;
}
