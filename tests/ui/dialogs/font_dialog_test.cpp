// FontDialog1 as a person meets it: preset from the list's font and colour, and giving back
// exactly what was changed.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>
#include <QTimer>
#include <functional>

#include "ui/conventions.h"
#include "ui/dialogs/dialogs.h"
#include "ui/object_names.h"
#include "ui_test_support.h"

using sifter::test::Find;
using sifter::ui::FontChoice;
namespace names = sifter::ui::names;

namespace {

// Runs `answer` on the dialog once it is up, then returns what ChooseFont gave back.
std::optional<FontChoice> Answered(const FontChoice& current,
                                   const std::function<void(QDialog&)>& answer) {
    bool answered = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog != nullptr);
        answered = true;
        answer(*dialog);
        // A check that failed half-way must not leave the dialog waiting for a person.
        if (dialog->isVisible()) dialog->reject();
    });
    const auto chosen = sifter::ui::ChooseFont(nullptr, current);
    if (!answered) QTest::qFail("the font dialog never came up", __FILE__, __LINE__);
    return chosen;
}

}  // namespace

class FontDialogTest final : public QObject {
    Q_OBJECT

private slots:
    void presetFromTheCurrentChoice();
    void changedEffectsAndColourComeBack();
    void cancelGivesNothing();
    void aNewFaceKeepsAStyleItNamesOtherwise();
};

void FontDialogTest::presetFromTheCurrentChoice() {
    QFont font(QStringLiteral("Liberation Mono"));
    font.setPointSize(14);
    // A weight the face has no style for: the dialog shows the closest, and keeps the weight
    // itself unless the user picks another style.
    font.setWeight(QFont::DemiBold);
    font.setStrikeOut(true);
    font.setUnderline(true);
    const auto chosen = Answered({font, QColor(0, 0, 128)}, [](QDialog& dialog) {
        QCOMPARE(Find<QComboBox>(dialog, names::kFontFace)->currentText(),
                 QStringLiteral("Liberation Mono"));
        const QString style = Find<QComboBox>(dialog, names::kFontStyle)->currentText();
        QCOMPARE(QFontDatabase::weight(QStringLiteral("Liberation Mono"), style), int(QFont::Bold));
        QVERIFY(!QFontDatabase::italic(QStringLiteral("Liberation Mono"), style));
        QCOMPARE(Find<QComboBox>(dialog, names::kFontSize)->currentText(), QStringLiteral("14"));
        QVERIFY(Find<QCheckBox>(dialog, names::kStrikeOut)->isChecked());
        QVERIFY(Find<QCheckBox>(dialog, names::kUnderline)->isChecked());
        QCOMPARE(Find<QComboBox>(dialog, names::kFontColour)->currentText(),
                 QStringLiteral("Navy"));
        dialog.accept();
    });
    QVERIFY(chosen.has_value());
    // Nothing was touched, so nothing changed.
    QCOMPARE(chosen->font, font);
    QCOMPARE(chosen->colour, QColor(0, 0, 128));
}

void FontDialogTest::changedEffectsAndColourComeBack() {
    // The list's own font: set in pixels, and a colour that is one of the sixteen.
    const QFont font = sifter::ui::DialogFont();
    const auto chosen = Answered({font, QColor(0, 0, 0)}, [](QDialog& dialog) {
        QCOMPARE(Find<QComboBox>(dialog, names::kFontSize)->currentText(), QStringLiteral("8"));
        Find<QCheckBox>(dialog, names::kUnderline)->setChecked(true);
        auto* colour = Find<QComboBox>(dialog, names::kFontColour);
        colour->setCurrentIndex(colour->findText(QStringLiteral("Maroon")));
        dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok)->click();
    });
    QVERIFY(chosen.has_value());
    QCOMPARE(chosen->font.family(), font.family());
    QCOMPARE(chosen->font.pixelSize(), 11);
    QVERIFY(chosen->font.underline());
    QVERIFY(!chosen->font.strikeOut());
    QCOMPARE(chosen->colour, QColor(128, 0, 0));
}

void FontDialogTest::cancelGivesNothing() {
    const auto chosen = Answered({sifter::ui::DialogFont(), QColor(0, 0, 0)}, [](QDialog& dialog) {
        Find<QCheckBox>(dialog, names::kUnderline)->setChecked(true);
        dialog.reject();
    });
    QVERIFY(!chosen.has_value());
}

void FontDialogTest::aNewFaceKeepsAStyleItNamesOtherwise() {
    // One face calls a style "Regular", another has the same weight and slant as "Book": while
    // the style list still belongs to the first face, the second must not be asked for the
    // first one's style, which it does not know.
    const QString from = QStringLiteral("Liberation Sans");
    QString fromStyle;
    QString to;
    for (const QString& style : QFontDatabase::styles(from)) {
        const int weight = QFontDatabase::weight(from, style);
        const bool italic = QFontDatabase::italic(from, style);
        for (const QString& family : QFontDatabase::families()) {
            if (!to.isEmpty() || QFontDatabase::styles(family).contains(style)) continue;
            for (const QString& other : QFontDatabase::styles(family))
                if (QFontDatabase::weight(family, other) == weight &&
                    QFontDatabase::italic(family, other) == italic) {
                    fromStyle = style;
                    to = family;
                }
        }
    }
    if (to.isEmpty())
        QSKIP("no two faces here name a style of the same weight and slant differently");
    QTest::failOnWarning(QRegularExpression(QStringLiteral("^QFont")));

    const int weight = QFontDatabase::weight(from, fromStyle);
    const bool italic = QFontDatabase::italic(from, fromStyle);
    QFont font(from);
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(italic);
    const auto chosen = Answered({font, QColor(0, 0, 0)}, [&](QDialog& dialog) {
        QCOMPARE(Find<QComboBox>(dialog, names::kFontStyle)->currentText(), fromStyle);
        Find<QFontComboBox>(dialog, names::kFontFace)->setCurrentFont(QFont(to));
        const QString style = Find<QComboBox>(dialog, names::kFontStyle)->currentText();
        QCOMPARE(QFontDatabase::weight(to, style), weight);
        QCOMPARE(QFontDatabase::italic(to, style), italic);
        dialog.accept();
    });
    QVERIFY(chosen.has_value());
    QCOMPARE(chosen->font.family(), to);
    QCOMPARE(int(chosen->font.weight()), weight);
    QCOMPARE(chosen->font.italic(), italic);
}

QTEST_MAIN(FontDialogTest)
#include "font_dialog_test.moc"
