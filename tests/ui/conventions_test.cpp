// The conventions every window follows: how row bytes are shown, the font, the hourglass.

#include <QApplication>
#include <QFontInfo>
#include <QtTest>

#include "ui/conventions.h"

class ConventionsTest final : public QObject {
    Q_OBJECT

private slots:
    void rowBytesAreShownAsUtf8WhenValidElseAsWindows1252_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("plain ASCII")
            << QByteArray("[12] while x < 10") << QStringLiteral("[12] while x < 10");
        QTest::newRow("valid UTF-8")
            << QByteArray("caf\xc3\xa9 \xe2\x82\xac") << QStringLiteral(u"café €");
        QTest::newRow("one Latin-1 byte") << QByteArray("caf\xe9") << QStringLiteral(u"café");
        QTest::newRow("Windows-1252 range")
            << QByteArray("\x80\x85\x99\x9f") << QStringLiteral(u"€…™Ÿ");
        QTest::newRow("holes of that range") << QByteArray("\x81\x8d\x8f\x90\x9d")
                                             << QStringLiteral(u"\u0081\u008d\u008f\u0090\u009d");
        // One bad byte makes the whole row Windows-1252, the valid pair included.
        QTest::newRow("mixed") << QByteArray("\xc3\xa9\xe9") << QStringLiteral(u"Ã©é");
        QTest::newRow("overlong form") << QByteArray("\xc0\x80") << QStringLiteral(u"À€");
        QTest::newRow("surrogate") << QByteArray("\xed\xa0\x80") << QStringLiteral(u"í\u00a0€");
        QTest::newRow("cut sequence") << QByteArray("ab\xe2\x82") << QStringLiteral(u"abâ‚");
        QTest::newRow("NUL kept") << QByteArray("a\0b", 3)
                                  << QString(QStringLiteral("a") + QChar(0) + QStringLiteral("b"));
    }
    void rowBytesAreShownAsUtf8WhenValidElseAsWindows1252() {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        QCOMPARE(sifter::ui::DisplayText(
                     std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))),
                 shown);
    }

    void typedTextReachesTheEngineAsUtf8() {
        QCOMPARE(sifter::ui::EngineBytes(QStringLiteral(u"Bégin €")),
                 std::string("B\xc3\xa9gin \xe2\x82\xac"));
    }

    void theDialogFontIsElevenPixelsOfLiberationSans() {
        const QFont font = sifter::ui::DialogFont();
        QCOMPARE(font.pixelSize(), 11);
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("Liberation Sans"));
    }

    void theHourglassComesOffTheCursorStackItWentOn() {
        QApplication::setOverrideCursor(Qt::IBeamCursor);
        {
            sifter::ui::WaitCursor busy;
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
            sifter::ui::SetWaitCursor(true);
            sifter::ui::SetWaitCursor(false);
            QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        }
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::IBeamCursor);
        QApplication::restoreOverrideCursor();
        QVERIFY(QApplication::overrideCursor() == nullptr);
    }
};

QTEST_MAIN(ConventionsTest)
#include "conventions_test.moc"
