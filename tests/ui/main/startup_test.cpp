// The program's start: the command line read through the real windows, and the search /A asks for.

#include <QLineEdit>
#include <QtTest>

#include "test_support.h"
#include "ui/main/main_window.h"
#include "ui/program.h"
#include "ui/results/result_list.h"
#include "ui_test_support.h"

class StartupTest final : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_dir = std::make_unique<sifter::test::ScratchDirectory>();
        std::filesystem::create_directory(*m_dir / "work");
        std::filesystem::create_directory(*m_dir / "src");
        sifter::test::WriteBytes(*m_dir / "work/w.pas", "begin\r\nbegin end\r\n");
        sifter::test::WriteBytes(*m_dir / "src/s.pas", "x\r\nbegin\r\n");
        sifter::test::WriteBytes(*m_dir / "top.pas", "two  words\r\nbegin\r\n");
    }
    void cleanup() { m_dir.reset(); }

    void theCommandLineSetsDirectoryTextAndAutomaticSearch_data() {
        QTest::addColumn<QStringList>("parameters");
        QTest::addColumn<QString>("directory");  // relative to the test's directory
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("automatic");
        QTest::addColumn<int>("rows");  // after the automatic search, or 0
        const QString work = QStringLiteral("work");
        QTest::newRow("none") << QStringList{} << QString() << QString() << false << 0;
        QTest::newRow("directory") << QStringList{work} << work << QString() << false << 0;
        QTest::newRow("directory and words")
            << QStringList{work, QStringLiteral("begin"), QStringLiteral("end")} << work
            << QStringLiteral("begin end") << false << 0;
        QTest::newRow("directory, word, /a")
            << QStringList{work, QStringLiteral("begin"), QStringLiteral("/a")} << work
            << QStringLiteral("begin") << true << 3 + 3 + 2;
        QTest::newRow("words only") << QStringList{QStringLiteral("begin"), QStringLiteral("end")}
                                    << QString() << QStringLiteral("begin end") << false << 0;
        QTest::newRow("word, -A") << QStringList{QStringLiteral("begin"), QStringLiteral("-A")}
                                  << QString() << QStringLiteral("begin") << true << 3 + 3 + 1;
        QTest::newRow("/A alone") << QStringList{QStringLiteral("/A")} << QString() << QString()
                                  << false << 0;
        QTest::newRow("directory, /A")
            << QStringList{work, QStringLiteral("/A")} << work << QString() << false << 0;
        QTest::newRow("quoted two blanks, /A")
            << QStringList{QStringLiteral("two  words"), QStringLiteral("/A")} << QString()
            << QStringLiteral("two  words") << true << 3 + 3 + 1;
        QTest::newRow("flag not last")
            << QStringList{QStringLiteral("foo"), QStringLiteral("/A"), QStringLiteral("bar")}
            << QString() << QStringLiteral("foo /A bar") << false << 0;
        QTest::newRow("a word naming a subdirectory")
            << QStringList{QStringLiteral("src"), QStringLiteral("begin"), QStringLiteral("/A")}
            << QStringLiteral("src") << QStringLiteral("begin") << true << 3 + 3 + 1;
    }
    void theCommandLineSetsDirectoryTextAndAutomaticSearch() {
        QFETCH(QStringList, parameters);
        QFETCH(QString, directory);
        QFETCH(QString, text);
        QFETCH(bool, automatic);
        QFETCH(int, rows);
        sifter::test::MessageRecorder messages;
        std::vector<std::string> arguments;
        for (const QString& parameter : parameters) arguments.push_back(parameter.toStdString());
        sifter::ui::Program program(arguments);
        sifter::ui::TForm1& window = program.Form1();
        const std::string expected =
            directory.isEmpty() ? m_dir->path() : *m_dir / directory.toStdString();
        QCOMPARE(window.FList().Directory(), expected);
        QVERIFY(window.windowTitle().endsWith(QString::fromStdString(expected)));
        QCOMPARE(window.Edit1()->text(), text);
        QCOMPARE(window.AutoSearch, automatic);
        program.RunAutoSearch();
        QVERIFY(!window.AutoSearch);
        QCOMPARE(window.ListBox1()->RowCount(), rows);
        QVERIFY(messages.messages().isEmpty());
    }

    void anAutomaticSearchOverNoFilesShowsItsMessage() {
        sifter::test::MessageRecorder messages;
        std::filesystem::create_directory(*m_dir / "empty");
        sifter::ui::Program program({*m_dir / "empty", "begin", "/A"});
        program.RunAutoSearch();
        QCOMPARE(messages.messages().size(), 1);
        QCOMPARE(messages.messages().front().text, QStringLiteral(" No .pas files in ") +
                                                       QString::fromStdString(*m_dir / "empty") +
                                                       QLatin1Char('.'));
        QCOMPARE(program.Form1().ListBox1()->RowCount(), 0);
    }

private:
    std::unique_ptr<sifter::test::ScratchDirectory> m_dir;
};

QTEST_MAIN(StartupTest)
#include "startup_test.moc"
