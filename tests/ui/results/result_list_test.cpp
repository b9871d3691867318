// The result list at work: its model, deleting rows, the keys, the context menu and the
// panel that keeps it to whole rows.

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include "result_list_support.h"
#include "ui/object_names.h"
#include "ui/pictures.h"
#include "ui/results/result_model.h"
#include "ui_test_support.h"

using sifter::EntryIcon;
using sifter::test::MakeRows;
using sifter::test::RowTable;
using sifter::test::RowTexts;
using sifter::test::SelectedRows;
using sifter::test::ShownList;
using sifter::ui::ResultList;
using sifter::ui::RowView;
using Texts = std::vector<std::string>;

Q_DECLARE_METATYPE(std::vector<int>)
Q_DECLARE_METATYPE(Texts)

using sifter::test::Find;
namespace names = sifter::ui::names;

namespace {

constexpr int kRow = ResultList::kRowHeight;

RowTable TenRows() {
    RowTable rows;
    for (int i = 0; i < 10; ++i)
        rows.emplace_back("row " + std::to_string(i),
                          i == 0 ? EntryIcon::Banner : EntryIcon::Blank);
    return rows;
}

void Select(ResultList& list, const std::vector<int>& rows) {
    list.selectionModel()->clearSelection();
    for (int row : rows)
        list.selectionModel()->select(list.Model().index(row), QItemSelectionModel::Select);
}

QPoint RowCentre(int row) {
    return {40, row * kRow + kRow / 2};
}

}  // namespace

class ResultListTest final : public QObject {
    Q_OBJECT

private slots:
    void modelFollowsItsRows();
    void deleteRemovesTheSelectedRows_data();
    void deleteRemovesTheSelectedRows();
    void deleteWithNothingSelectedOnlySaysSo();
    void ctrlZPutsBackWhatTheLastDeletionsRemoved_data();
    void ctrlZPutsBackWhatTheLastDeletionsRemoved();
    void emptiedListKeepsFocusInTheFirstRowsPlace();
    void enterAndEscapeAreHandedOn_data();
    void enterAndEscapeAreHandedOn();
    void rightButtonReleaseOpensTheMenu();
    void panelKeepsWholeRows_data();
    void panelKeepsWholeRows();
};

void ResultListTest::modelFollowsItsRows() {
    sifter::ui::ResultModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto pictures = std::make_shared<const sifter::ui::EntryPictures>();
    model.SetRows(MakeRows({{"Banner ", EntryIcon::Banner},
                            {"caf\xE9", EntryIcon::Blank},
                            {" a.sc", EntryIcon::File}}),
                  pictures);
    QCOMPARE(model.rowCount(), 3);
    QCOMPARE(model.data(model.index(1)).toString(), QStringLiteral("caf\u00E9"));
    const auto view =
        model.data(model.index(2), sifter::ui::ResultModel::kRowRole).value<RowView>();
    QCOMPARE(std::string(view.text), std::string(" a.sc"));
    QCOMPARE(view.icon, EntryIcon::File);
    QCOMPARE(view.pictures, pictures.get());
    QVERIFY(!model.data(model.index(3)).isValid());
    QVERIFY(!model.data(model.index(-1)).isValid());
    QCOMPARE(model.rowCount(model.index(0)), 0);

    model.RemoveRows({true, false, true});
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(model.data(model.index(0)).toString(), QStringLiteral("caf\u00E9"));

    model.SetRows(MakeRows(TenRows()), pictures);
    QItemSelection selection(model.index(2), model.index(4));
    selection.select(model.index(9), model.index(9));
    selection.select(model.index(0), model.index(0));
    model.RemoveRows(selection);
    QCOMPARE(RowTexts(model.Rows()), (Texts{"row 1", "row 5", "row 6", "row 7", "row 8"}));
    model.Clear();
    QCOMPARE(model.rowCount(), 0);
    QVERIFY(!model.data(model.index(0), sifter::ui::ResultModel::kRowRole).isValid());
}

void ResultListTest::deleteRemovesTheSelectedRows_data() {
    QTest::addColumn<std::vector<int>>("selected");
    QTest::addColumn<int>("current");
    QTest::addColumn<Texts>("left");
    QTest::addColumn<int>("currentAfter");
    QTest::newRow("one in the middle")
        << std::vector<int>{4} << 4
        << Texts{"row 0", "row 1", "row 2", "row 3", "row 5", "row 6", "row 7", "row 8", "row 9"}
        << 4;
    QTest::newRow("scattered") << std::vector<int>{0, 2, 3, 9} << 3
                               << Texts{"row 1", "row 4", "row 5", "row 6", "row 7", "row 8"} << 1;
    QTest::newRow("the last rows")
        << std::vector<int>{7, 8, 9} << 9
        << Texts{"row 0", "row 1", "row 2", "row 3", "row 4", "row 5", "row 6"} << 6;
    QTest::newRow("all") << std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9} << 0 << Texts{} << -1;
}

void ResultListTest::deleteRemovesTheSelectedRows() {
    QFETCH(std::vector<int>, selected);
    QFETCH(int, current);
    QFETCH(Texts, left);
    QFETCH(int, currentAfter);
    sifter::test::MessageRecorder messages;
    auto list = ShownList(TenRows());
    QVERIFY(list);
    list->selectionModel()->setCurrentIndex(list->Model().index(current),
                                            QItemSelectionModel::NoUpdate);
    Select(*list, selected);
    QSignalSpy resets(&list->Model(), &QAbstractItemModel::modelReset);
    QTest::keyClick(list.get(), Qt::Key_Delete);
    QCOMPARE(RowTexts(list->Model().Rows()), left);
    QCOMPARE(resets.count(), 1);
    QCOMPARE(SelectedRows(*list), std::vector<int>{});
    QCOMPARE(list->currentIndex().row(), currentAfter);
    QVERIFY(list->isEnabled());
    QVERIFY(messages.messages().isEmpty());
}

void ResultListTest::deleteWithNothingSelectedOnlySaysSo() {
    sifter::test::MessageRecorder messages;
    auto list = ShownList(TenRows());
    QVERIFY(list);
    Select(*list, {3});
    QTest::keyClick(list.get(), Qt::Key_Delete);
    const Texts before = RowTexts(list->Model().Rows());
    QCOMPARE(before.size(), std::size_t{9});
    // A second Delete finds nothing selected.
    QTest::keyClick(list.get(), Qt::Key_Delete);
    QCOMPARE(RowTexts(list->Model().Rows()), before);
    QCOMPARE(messages.messages().size(), 1);
    const sifter::ui::Message& message = messages.messages().front();
    QCOMPARE(message.kind, sifter::ui::MessageKind::Plain);
    QCOMPARE(message.caption, QStringLiteral("Sifter32"));
    QCOMPARE(message.text, QStringLiteral(" Nothing selected. "));
}

using Deletions = std::vector<std::vector<int>>;
Q_DECLARE_METATYPE(Deletions)

void ResultListTest::ctrlZPutsBackWhatTheLastDeletionsRemoved_data() {
    QTest::addColumn<Deletions>("deletions");  // the rows selected for each Delete, in turn
    QTest::addColumn<QString>("between");      // "search" or "clear" after the deletions
    QTest::addColumn<int>("undos");
    QTest::addColumn<Texts>("rows");
    QTest::addColumn<std::vector<int>>("selected");
    // The Ctrl+Z that found no deletion left asks the window for the list before this one.
    QTest::addColumn<int>("earlierAsked");
    // Rows are still missing from the list as it was set.
    QTest::addColumn<bool>("trimmed");
    const Texts all = RowTexts(MakeRows(TenRows()));
    QTest::newRow("one deletion") << Deletions{{2, 3, 7}} << QString() << 1 << all
                                  << std::vector<int>{2, 3, 7} << 0 << false;
    // After the first deletion "row 5" is row 4.
    QTest::newRow("two deletions, the last undone")
        << Deletions{{1}, {0, 4}} << QString() << 1
        << Texts{"row 0", "row 2", "row 3", "row 4", "row 5", "row 6", "row 7", "row 8", "row 9"}
        << std::vector<int>{0, 4} << 0 << true;
    QTest::newRow("two deletions, both undone")
        << Deletions{{1}, {0, 4}} << QString() << 2 << all << std::vector<int>{1} << 0 << false;
    QTest::newRow("every row") << Deletions{{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}} << QString() << 1 << all
                               << std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9} << 0 << false;
    QTest::newRow("every row in three steps, all undone")
        << Deletions{{9}, {0, 1, 2}, {0, 1, 2, 3, 4, 5}} << QString() << 3 << all
        << std::vector<int>{9} << 0 << false;
    QTest::newRow("more undos than deletions")
        << Deletions{{5}} << QString() << 3 << all << std::vector<int>{5} << 2 << false;
    QTest::newRow("after a new search") << Deletions{{5}, {0}} << QStringLiteral("search") << 1
                                        << all << std::vector<int>{} << 1 << false;
    QTest::newRow("after a chosen directory") << Deletions{{5}} << QStringLiteral("clear") << 1
                                              << Texts{} << std::vector<int>{} << 1 << false;
}

void ResultListTest::ctrlZPutsBackWhatTheLastDeletionsRemoved() {
    QFETCH(Deletions, deletions);
    QFETCH(QString, between);
    QFETCH(int, undos);
    QFETCH(Texts, rows);
    QFETCH(std::vector<int>, selected);
    QFETCH(int, earlierAsked);
    QFETCH(bool, trimmed);
    sifter::test::MessageRecorder messages;
    auto list = ShownList(TenRows(), {360, 48});
    QVERIFY(list);
    QSignalSpy earlier(list.get(), &ResultList::EarlierListRequested);
    for (const std::vector<int>& rowsToDelete : deletions) {
        Select(*list, rowsToDelete);
        QTest::keyClick(list.get(), Qt::Key_Delete);
    }
    if (between == QLatin1String("search"))
        list->SetRows(MakeRows(TenRows()), std::make_shared<const sifter::ui::EntryPictures>());
    if (between == QLatin1String("clear")) list->Clear();
    for (int i = 0; i < undos; ++i) QTest::keyClick(list.get(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(RowTexts(list->Model().Rows()), rows);
    QCOMPARE(SelectedRows(*list), selected);
    QCOMPARE(earlier.count(), earlierAsked);
    QCOMPARE(list->Model().Trimmed(), trimmed);
    // The first row put back is current, and scrolled into the three rows shown.
    QCOMPARE(list->currentIndex().row(), selected.empty() ? -1 : selected.front());
    if (!selected.empty())
        QVERIFY(list->viewport()->rect().contains(list->visualRect(list->currentIndex())));
    QVERIFY(messages.messages().isEmpty());
    // Ctrl+Z with another modifier is no undo.
    const sifter::ResultRows& model = list->Model().Rows();
    const std::size_t before = model.size();
    QTest::keyClick(list.get(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(model.size(), before);
}

void ResultListTest::emptiedListKeepsFocusInTheFirstRowsPlace() {
    sifter::test::MessageRecorder messages;
    auto list = ShownList(TenRows());
    QVERIFY(list);
    list->activateWindow();
    list->setFocus();
    QVERIFY(QTest::qWaitForWindowActive(list.get()));
    QTRY_VERIFY(list->hasFocus());
    list->selectAll();
    QTest::keyClick(list.get(), Qt::Key_Delete);
    QCOMPARE(list->RowCount(), 0);
    QVERIFY(list->isEnabled());
    QVERIFY(list->hasFocus());

    QImage painted = sifter::test::PaintedRows(*list);
    const QRgb base = list->palette().color(QPalette::Active, QPalette::Base).rgb();
    const auto onlyBase = std::vector<QRgb>{base};
    // A dotted frame around the first row's place, background inside it and below it.
    QCOMPARE(sifter::test::ColoursIn(painted, QRect(1, 1, painted.width() - 2, kRow - 2)),
             onlyBase);
    QCOMPARE(
        sifter::test::ColoursIn(painted, QRect(0, kRow, painted.width(), painted.height() - kRow)),
        onlyBase);
    for (const QRect& edge :
         {QRect(0, 0, painted.width(), 1), QRect(0, kRow - 1, painted.width(), 1),
          QRect(0, 0, 1, kRow), QRect(painted.width() - 1, 0, 1, kRow)}) {
        const auto colours = sifter::test::ColoursIn(painted, edge);
        QCOMPARE(colours.size(), std::size_t{2});
        QVERIFY(painted.pixel(edge.left(), edge.top()) !=
                painted.pixel(edge.left() + (edge.width() > 1), edge.top() + (edge.height() > 1)));
    }
    list->clearFocus();
    painted = sifter::test::PaintedRows(*list);
    QCOMPARE(sifter::test::ColoursIn(painted, painted.rect()), onlyBase);
}

void ResultListTest::enterAndEscapeAreHandedOn_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("search");
    QTest::newRow("Enter") << int(Qt::Key_Return) << true;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << false;
}

void ResultListTest::enterAndEscapeAreHandedOn() {
    QFETCH(int, key);
    QFETCH(bool, search);
    auto list = ShownList(TenRows());
    QVERIFY(list);
    Select(*list, {2});
    QSignalSpy searches(list.get(), &ResultList::SearchRequested);
    QSignalSpy closes(list.get(), &ResultList::CloseRequested);
    QTest::keyClick(list.get(), Qt::Key(key));
    QCOMPARE(searches.count(), search ? 1 : 0);
    QCOMPARE(closes.count(), search ? 0 : 1);
    QCOMPARE(list->RowCount(), 10);
}

void ResultListTest::rightButtonReleaseOpensTheMenu() {
    sifter::test::MessageRecorder messages;
    auto list = ShownList(TenRows());
    QVERIFY(list);
    Select(*list, {2, 3});
    QWidget* viewport = list->viewport();
    QTest::mousePress(viewport, Qt::RightButton, {}, RowCentre(6));
    QVERIFY(QApplication::activePopupWidget() == nullptr);
    QCOMPARE(SelectedRows(*list), (std::vector<int>{2, 3}));
    QTest::mouseRelease(viewport, Qt::RightButton, {}, RowCentre(6));
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu != nullptr);
    QCOMPARE(menu, list->PopupMenu());
    QCOMPARE(menu->objectName(), QStringLiteral("PopupMenu1"));
    QCOMPARE(SelectedRows(*list), (std::vector<int>{2, 3}));
    QSignalSpy fontRequests(list.get(), &ResultList::FontRequested);
    Find<QAction>(*menu, names::kResultsFont2)->trigger();
    QCOMPARE(fontRequests.count(), 1);
    Find<QAction>(*menu, names::kDeleteSelected1)->trigger();
    menu->close();
    QCOMPARE(RowTexts(list->Model().Rows()),
             (Texts{"row 0", "row 1", "row 4", "row 5", "row 6", "row 7", "row 8", "row 9"}));

    // A disabled list has no menu.
    list->setEnabled(false);
    QTest::mouseRelease(viewport, Qt::RightButton, {}, RowCentre(1));
    QVERIFY(QApplication::activePopupWidget() == nullptr);
}

void ResultListTest::panelKeepsWholeRows_data() {
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("listHeight");
    // The panel's bevel takes one pixel on each side.
    QTest::newRow("a row and a bit") << 2 + 16 + 5 << 16;
    QTest::newRow("exactly ten rows") << 2 + 160 << 160;
    QTest::newRow("just short of ten") << 2 + 159 << 144;
    QTest::newRow("less than a row") << 2 + 15 << 0;
}

void ResultListTest::panelKeepsWholeRows() {
    QFETCH(int, height);
    QFETCH(int, listHeight);
    sifter::ui::ResultPanel panel;
    panel.resize(300, height);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QCOMPARE(panel.List()->geometry(), QRect(1, 1, 298, listHeight));
    const QImage painted = panel.grab().toImage().convertToFormat(QImage::Format_RGB32);
    // The strip under the list shows the panel's white.
    if (height - 1 - (1 + listHeight) > 0)
        QCOMPARE(sifter::test::ColoursIn(painted,
                                         QRect(1, 1 + listHeight, 298, height - 2 - listHeight)),
                 std::vector<QRgb>{qRgb(255, 255, 255)});
}

QTEST_MAIN(ResultListTest)
#include "result_list_test.moc"
