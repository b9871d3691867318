// The options in force in sight: the status bar's second panel names them as the banner does,
// the file type's captions show whole mask lists where the window has room, and the File Masks
// dialog puts the chosen type first, the Pascal project list one click away.

#include <QAction>
#include <QDialog>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QtTest>

#include "search/run/search_run.h"
#include "test_support.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui_test_support.h"

using sifter::test::Find;
using sifter::test::MaskAnswer;
using sifter::ui::TForm1;
namespace names = sifter::ui::names;
using namespace Qt::Literals::StringLiterals;

namespace {

QStringList Latin1(std::initializer_list<const char*> texts) {
    QStringList list;
    for (const char* text : texts) list << QString::fromLatin1(text);
    return list;
}

QString Masks(QDialog& dialog, const char* edit) {
    return Find<QLineEdit>(dialog, edit)->text();
}

// The panel as it reads in full; empty while hidden.
QString InSight(const TForm1& window) {
    const QLabel* panel = window.OptionsPanel();
    return panel->isHidden() ? QString() : panel->toolTip();
}

}  // namespace

class OptionsInSightTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<sifter::test::ScratchDirectory>();
        sifter::test::WriteBytes(*m_dir / "a.pas", "Result\r\n");
        m_window = std::make_unique<TForm1>(std::vector<std::string>{});
    }
    void cleanup() {
        m_window.reset();
        m_dir.reset();
    }

    void theStatusBarNamesTheOptionsInForce_data() {
        QTest::addColumn<QStringList>("items");
        QTest::addColumn<QStringList>("masks");  // of the scripts, of Pascal
        QTest::addColumn<bool>("scriptsChosen");
        QTest::addColumn<QString>("named");
        // One blank before the names, a middle dot between each two.
        const auto named = [](std::initializer_list<const char*> names) {
            QString text;
            for (const char* name : names)
                text += (text.isEmpty() ? u" "_s : u" \u00B7 "_s) + QString::fromLatin1(name);
            return text;
        };
        QTest::newRow("none") << QStringList() << Latin1({"*.sc", "*.pas"}) << false << QString();
        QTest::newRow("every one") << Latin1({names::kIncludeSubdirectories1, names::kWholeWords1,
                                              names::kRegularExpression1})
                                   << Latin1({"*.sc", "*.pas;*.pp;*.inc"}) << false
                                   << named({"Subdirectories", "Whole Words", "Regular Expression",
                                             "Masks *.pas;*.pp;*.inc"});
        QTest::newRow("masks of the other type")
            << QStringList() << Latin1({"*.sc;*.ssl", "*.pas"}) << false << QString();
        QTest::newRow("masks of the type chosen")
            << Latin1({names::kRegularExpression1}) << Latin1({"*.sc;*.ssl", "*.pas"}) << true
            << named({"Regular Expression", "Masks *.sc;*.ssl"});
        QTest::newRow("pascal's own")
            << Latin1({names::kShowRoutines1, names::kSearchInCode1}) << Latin1({"*.sc", "*.pas"})
            << false << named({"Routines", "Search In Comments/Strings"});
        QTest::newRow("pascal's own, scripts chosen")
            << Latin1({names::kShowRoutines1, names::kSearchInStrings1})
            << Latin1({"*.sc", "*.pas"}) << true << QString();
        QTest::newRow("on and off again") << Latin1({names::kWholeWords1, names::kWholeWords1})
                                          << Latin1({"*.sc", "*.pas"}) << true << QString();
    }
    void theStatusBarNamesTheOptionsInForce() {
        QFETCH(QStringList, items);
        QFETCH(QStringList, masks);
        QFETCH(bool, scriptsChosen);
        QFETCH(QString, named);
        m_window->show();
        m_window->resize(1200, m_window->height());
        for (const QString& item : items)
            Find<QAction>(*m_window, item.toLatin1().constData())->trigger();
        {
            MaskAnswer answer([&](QDialog& dialog) {
                Find<QLineEdit>(dialog, names::kScriptMasks)->setText(masks.front());
                Find<QLineEdit>(dialog, names::kPascalMasks)->setText(masks.back());
                Find<QPushButton>(dialog, names::kOKButton)->click();
            });
            Find<QAction>(*m_window, names::kFileMasks1)->trigger();
        }
        if (scriptsChosen) Find<QRadioButton>(*m_window, names::kFileType0)->click();
        QCOMPARE(InSight(*m_window), named);
        // The banner's row names the same options.
        QString row = named;
        row.replace(u" \u00B7 "_s, u", "_s);
        QCOMPARE(QString::fromStdString(sifter::OptionsRow(m_window->Request())),
                 named.isEmpty() ? QString() : QStringLiteral("   Options:") + row);
        // Right of the documented panel, which keeps its place, to the window's edge.
        const QLabel* panel = m_window->OptionsPanel();
        QCOMPARE(m_window->StatusPanel()->geometry().width(), 400);
        QCOMPARE(panel->x(), 402);
        QCOMPARE(panel->x() + panel->width(), m_window->statusBar()->width());
        if (named.isEmpty()) return;
        QTest::qWait(1);
        QCOMPARE(panel->text(), named);
        // A window too narrow cuts the names; the tooltip keeps them whole.
        m_window->resize(520, m_window->height());
        QTest::qWait(1);
        QVERIFY(panel->text().endsWith(QChar(0x2026)));
        QVERIFY(panel->fontMetrics().horizontalAdvance(panel->text()) <=
                panel->contentsRect().width());
        QCOMPARE(panel->toolTip(), named);
    }

    void theFileTypeShowsTheWholeListWhereTheWindowHasRoomForIt() {
        m_window->show();
        const QString many = QStringLiteral("*.pas;*.pp;*.inc;*.dpr;*.lpr;*.dpk");
        QString project;
        {
            MaskAnswer answer([&](QDialog& dialog) {
                // The chosen type's field comes first, and its project list is one click away.
                dialog.layout()->activate();
                QVERIFY(Find<QLineEdit>(dialog, names::kPascalMasks)->y() <
                        Find<QLineEdit>(dialog, names::kScriptMasks)->y());
                Find<QPushButton>(dialog, names::kProjectMasks)->click();
                project = Masks(dialog, names::kPascalMasks);
                Find<QPushButton>(dialog, names::kOKButton)->click();
            });
            Find<QAction>(*m_window, names::kFileMasks1)->trigger();
        }
        QCOMPARE(project, many);
        auto* pascal = Find<QRadioButton>(*m_window, names::kFileType1);
        auto* box = Find<QWidget>(*m_window, names::kFileType);
        const QString whole = QStringLiteral("P&ascal (") + many + QLatin1Char(')');
        QCOMPARE(box->width(), 129);
        QVERIFY(pascal->text().endsWith(QChar(0x2026)));
        m_window->resize(1200, m_window->height());
        QTest::qWait(1);
        QCOMPARE(box->x() + box->width(), m_window->width() - 7);
        QCOMPARE(pascal->text(), whole);
        QCOMPARE(pascal->toolTip(), many);
        QCOMPARE(Find<QRadioButton>(*m_window, names::kFileType0)->text(),
                 QStringLiteral("&Scripts (*.sc)"));
        // Narrow again: cut again, and the box back at its documented width.
        m_window->resize(716, m_window->height());
        QTest::qWait(1);
        QCOMPARE(box->width(), 129);
        QVERIFY(pascal->text().endsWith(QChar(0x2026)));
        // The other type first when it is the one chosen.
        Find<QRadioButton>(*m_window, names::kFileType0)->click();
        MaskAnswer answer([&](QDialog& dialog) {
            dialog.layout()->activate();
            QVERIFY(Find<QLineEdit>(dialog, names::kScriptMasks)->y() <
                    Find<QLineEdit>(dialog, names::kPascalMasks)->y());
            Find<QPushButton>(dialog, names::kCancelButton)->click();
        });
        Find<QAction>(*m_window, names::kFileMasks1)->trigger();
    }

private:
    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
    std::unique_ptr<TForm1> m_window;
};

QTEST_MAIN(OptionsInSightTest)
#include "options_in_sight_test.moc"
