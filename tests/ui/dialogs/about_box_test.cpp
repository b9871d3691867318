// The About box: its texts and places, and that the main window's command shows it.

#include <QAction>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "test_support.h"
#include "ui/dialogs/about_box.h"
#include "ui/main/main_window.h"
#include "ui/object_names.h"
#include "ui/program.h"
#include "ui_test_support.h"

using sifter::test::Find;
namespace names = sifter::ui::names;

class AboutBoxTest final : public QObject {
    Q_OBJECT

private slots:
    void showsTheNameVersionAndContactWhereTheyBelong_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");  // empty: any text of our own
        QTest::addColumn<QPoint>("place");  // in the panel's coordinates
        QTest::newRow("product") << QString::fromLatin1(names::kProductName)
                                 << QStringLiteral("Nexor32.exe") << QPoint(88, 16);
        QTest::newRow("version") << QString::fromLatin1(names::kVersion)
                                 << QStringLiteral("Version: 1.4") << QPoint(88, 42);
        QTest::newRow("notice") << QString::fromLatin1(names::kLabel1) << QString()
                                << QPoint(8, 93);
        QTest::newRow("feedback") << QString::fromLatin1(names::kLabel2)
                                  << QStringLiteral("Comments, suggestions, feedback to:")
                                  << QPoint(8, 121);
        QTest::newRow("contact") << QString::fromLatin1(names::kLabel3) << QString()
                                 << QPoint(8, 136);
    }
    void showsTheNameVersionAndContactWhereTheyBelong() {
        QFETCH(QString, name);
        QFETCH(QString, text);
        QFETCH(QPoint, place);
        sifter::ui::TAboutBox box;
        QCOMPARE(box.windowTitle(), QStringLiteral("About"));
        QCOMPARE(box.size(), QSize(298, 213));
        const auto* panel = Find<QWidget>(box, names::kPanel1);
        QCOMPARE(panel->geometry(), QRect(8, 8, 281, 161));
        const auto* label = box.findChild<QLabel*>(name);
        QVERIFY(label != nullptr);
        if (!text.isEmpty())
            QCOMPARE(label->text(), text);
        else
            QVERIFY(label->text().size() > 5);
        QCOMPARE(label->mapTo(panel, QPoint(0, 0)), place);
        // Nothing is cut: the text fits inside the panel.
        QVERIFY(label->mapTo(panel, QPoint(label->width(), 0)).x() <= panel->width());
    }

    void theIconIsTheProgramsAndOkClosesTheBox() {
        sifter::ui::TAboutBox box;
        const auto* icon = Find<QLabel>(box, names::kProgramIcon);
        QCOMPARE(icon->size(), QSize(53, 53));
        QVERIFY(!icon->pixmap().isNull());
        auto* ok = Find<QPushButton>(box, names::kOKButton);
        QCOMPARE(ok->geometry(), QRect(111, 180, 75, 25));
        QVERIFY(ok->isDefault());
        box.show();
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(!box.isVisible());
        QCOMPARE(box.result(), int(QDialog::Accepted));
    }

    void onlyOkEnterAndTheCloseBoxEndIt_data() {
        QTest::addColumn<QString>("way");
        QTest::addColumn<bool>("closes");
        QTest::newRow("Escape") << QStringLiteral("Escape") << false;
        QTest::newRow("Enter") << QStringLiteral("Enter") << true;
        QTest::newRow("keypad Enter") << QStringLiteral("keypad Enter") << true;
        QTest::newRow("OK") << QStringLiteral("OK") << true;
        QTest::newRow("close box") << QStringLiteral("close box") << true;
    }
    void onlyOkEnterAndTheCloseBoxEndIt() {
        QFETCH(QString, way);
        QFETCH(bool, closes);
        sifter::ui::TAboutBox box;
        auto* ok = Find<QPushButton>(box, names::kOKButton);
        box.show();
        // Keys go where a person's would: to the button, which leaves the ones it does not
        // use to the box.
        if (way == QLatin1String("Escape")) QTest::keyClick(ok, Qt::Key_Escape);
        if (way == QLatin1String("Enter")) QTest::keyClick(ok, Qt::Key_Return);
        if (way == QLatin1String("keypad Enter"))
            QTest::keyClick(ok, Qt::Key_Enter, Qt::KeypadModifier);
        if (way == QLatin1String("OK")) QTest::mouseClick(ok, Qt::LeftButton);
        if (way == QLatin1String("close box")) box.close();
        QCOMPARE(box.isVisible(), !closes);
    }

    void theHelpMenuShowsTheBox() {
        const sifter::test::ScratchDirectory dir;
        sifter::ui::Program program({});
        int shown = 0;
        sifter::ui::TAboutBox::SetAnswerHook(
            [&](sifter::ui::TAboutBox& box) { shown += &box == &program.AboutBox() ? 1 : 100; });
        Find<QAction>(program.Form1(), names::kAbout1)->trigger();
        sifter::ui::TAboutBox::SetAnswerHook(nullptr);
        QCOMPARE(shown, 1);
    }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
