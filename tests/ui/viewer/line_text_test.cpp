// How the viewer lays a line out: columns, tabs, places between characters, and the text of a
// piece as its whole line decodes it.

#include <QtTest>

#include "ui/viewer/line_text.h"

using sifter::ui::CharactersBefore;
using sifter::ui::ColumnAt;
using sifter::ui::ColumnCount;
using sifter::ui::LineText;
using sifter::ui::NextBoundary;
using sifter::ui::OffsetNear;
using sifter::ui::PreviousBoundary;

namespace {

std::string_view Bytes(const QByteArray& bytes) {
    return {bytes.constData(), static_cast<std::size_t>(bytes.size())};
}

}  // namespace

class LineTextTest final : public QObject {
    Q_OBJECT

private slots:
    void columnsFollowCharactersAndTabStops_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QList<int>>("columnOfEachByte");  // ColumnAt for every offset
        QTest::addColumn<int>("width");
        // The characters before each byte, a tab counting one, as an editor's columns count.
        QTest::addColumn<QList<int>>("charactersBefore");
        QTest::newRow("ASCII") << QByteArray("ab") << QList<int>{0, 1} << 2 << QList<int>{0, 1, 2};
        QTest::newRow("tab from column 0")
            << QByteArray("\tx") << QList<int>{0, 8} << 9 << QList<int>{0, 1, 2};
        QTest::newRow("tab from column 3") << QByteArray("abc\tx") << QList<int>{0, 1, 2, 3, 8} << 9
                                           << QList<int>{0, 1, 2, 3, 4, 5};
        QTest::newRow("tab on a stop")
            << QByteArray("12345678\tx") << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 16} << 17
            << QList<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
        // A two-byte character is one column; both its bytes belong to it.
        QTest::newRow("UTF-8") << QByteArray("\xc3\xa9\tx") << QList<int>{0, 0, 1, 8} << 9
                               << QList<int>{0, 1, 1, 2, 3};
        QTest::newRow("four-byte UTF-8")
            << QByteArray("\xf0\x9f\x98\x80y") << QList<int>{0, 0, 0, 0, 1} << 2
            << QList<int>{0, 1, 1, 1, 1, 2};
        // Not UTF-8: every byte is a Windows-1252 character of its own.
        QTest::newRow("Windows-1252")
            << QByteArray("\xe9\xc3x") << QList<int>{0, 1, 2} << 3 << QList<int>{0, 1, 2, 3};
    }
    void columnsFollowCharactersAndTabStops() {
        QFETCH(QByteArray, line);
        QFETCH(QList<int>, columnOfEachByte);
        QFETCH(int, width);
        QFETCH(QList<int>, charactersBefore);
        for (int i = 0; i <= line.size(); ++i)
            QCOMPARE(CharactersBefore(Bytes(line), static_cast<std::size_t>(i)),
                     charactersBefore[i]);
        for (int i = 0; i < line.size(); ++i)
            QCOMPARE(ColumnAt(Bytes(line), static_cast<std::size_t>(i)), columnOfEachByte[i]);
        QCOMPARE(ColumnAt(Bytes(line), static_cast<std::size_t>(line.size())), width);
        QCOMPARE(ColumnCount(Bytes(line)), width);
    }

    void placesFallBetweenCharacters_data() {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<double>("column");
        QTest::addColumn<int>("near");
        QTest::newRow("left half") << QByteArray("abc") << 1.4 << 1;
        QTest::newRow("right half") << QByteArray("abc") << 1.6 << 2;
        QTest::newRow("past the end") << QByteArray("abc") << 40.0 << 3;
        QTest::newRow("inside a tab, left") << QByteArray("a\tb") << 3.0 << 1;
        QTest::newRow("inside a tab, right") << QByteArray("a\tb") << 6.0 << 2;
        QTest::newRow("after a two-byte character") << QByteArray("\xc3\xa9z") << 0.7 << 2;
    }
    void placesFallBetweenCharacters() {
        QFETCH(QByteArray, line);
        QFETCH(double, column);
        QFETCH(int, near);
        QCOMPARE(OffsetNear(Bytes(line), column), static_cast<std::size_t>(near));
    }

    void arrowKeysStepWholeCharacters() {
        const QByteArray utf8(
            "a\xc3\xa9\xe2\x82\xac"
            "b");  // a é € b
        QCOMPARE(NextBoundary(Bytes(utf8), 1), std::size_t{3});
        QCOMPARE(NextBoundary(Bytes(utf8), 3), std::size_t{6});
        QCOMPARE(PreviousBoundary(Bytes(utf8), 6), std::size_t{3});
        QCOMPARE(PreviousBoundary(Bytes(utf8), 3), std::size_t{1});
        QCOMPARE(PreviousBoundary(Bytes(utf8), 0), std::size_t{0});
        QCOMPARE(NextBoundary(Bytes(utf8), 7), std::size_t{7});
        const QByteArray legacy("\xc3\xa9\xe9");  // not UTF-8 as a whole: three characters
        QCOMPARE(NextBoundary(Bytes(legacy), 0), std::size_t{1});
        QCOMPARE(PreviousBoundary(Bytes(legacy), 2), std::size_t{1});
    }

    void aPieceIsDecodedAsItsWholeLine() {
        // The first two bytes alone would be valid UTF-8; in their line they are two letters.
        const QByteArray legacy("\xc3\xa9 caf\xe9");
        QCOMPARE(LineText(Bytes(legacy), 0, 2), QStringLiteral(u"Ã©"));
        QCOMPARE(LineText(Bytes(legacy), 3, 7), QStringLiteral(u"café"));
        const QByteArray utf8("caf\xc3\xa9 \xe2\x82\xac");
        QCOMPARE(LineText(Bytes(utf8), 3, 5), QStringLiteral(u"é"));
        QCOMPARE(LineText(Bytes(utf8), 6, 99), QStringLiteral(u"€"));
        QCOMPARE(LineText(Bytes(utf8), 4, 4), QString());
    }

    void controlCharactersShowAsTheirPictures() {
        QCOMPARE(sifter::ui::ShownCode(U'\n'), char32_t{0x240A});
        QCOMPARE(sifter::ui::ShownCode(U'\0'), char32_t{0x2400});
        QCOMPARE(sifter::ui::ShownCode(U'\t'), char32_t{U' '});
        QCOMPARE(sifter::ui::ShownCode(0x7F), char32_t{0x2421});
        QCOMPARE(sifter::ui::ShownCode(0x9C), char32_t{0xFFFD});
        QCOMPARE(sifter::ui::ShownCode(U'é'), char32_t{U'é'});
    }
};

QTEST_MAIN(LineTextTest)
#include "line_text_test.moc"
