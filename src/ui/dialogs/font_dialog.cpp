// FontDialog1. Qt's own font dialog offers no colour, so the program has a small one of its
// own: face, style, size, the two effects and one of the sixteen classic colours.

#include "ui/dialogs/dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFontComboBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QLabel>
#include <QPixmap>
#include <QVBoxLayout>
#include <array>
#include <cstdlib>

#include "ui/conventions.h"
#include "ui/object_names.h"

namespace sifter::ui {
namespace {

struct NamedColour {
    const char* name;
    QRgb rgb;
};

constexpr std::array<NamedColour, 16> kColours{{
    {"Black", qRgb(0, 0, 0)},
    {"Maroon", qRgb(128, 0, 0)},
    {"Green", qRgb(0, 128, 0)},
    {"Olive", qRgb(128, 128, 0)},
    {"Navy", qRgb(0, 0, 128)},
    {"Purple", qRgb(128, 0, 128)},
    {"Teal", qRgb(0, 128, 128)},
    {"Gray", qRgb(128, 128, 128)},
    {"Silver", qRgb(192, 192, 192)},
    {"Red", qRgb(255, 0, 0)},
    {"Lime", qRgb(0, 255, 0)},
    {"Yellow", qRgb(255, 255, 0)},
    {"Blue", qRgb(0, 0, 255)},
    {"Fuchsia", qRgb(255, 0, 255)},
    {"Aqua", qRgb(0, 255, 255)},
    {"White", qRgb(255, 255, 255)},
}};

FontDialogHook& Hook() {
    static FontDialogHook hook;
    return hook;
}

QIcon Swatch(const QColor& colour) {
    QPixmap swatch(16, 12);
    swatch.fill(colour);
    return QIcon(swatch);
}

// The size the dialog shows, in points. A font set in pixels is converted at 96 per inch, the
// resolution its pixel sizes were chosen for, and shown rounded as the classic dialog does.
QString SizeText(const QFont& font) {
    if (font.pointSizeF() > 0) return QString::number(font.pointSizeF(), 'g', 4);
    return QString::number(qRound(font.pixelSize() * 72.0 / 96.0));
}

// The face's style that comes closest to a weight and slant.
QString ClosestStyle(const QString& family, int weight, bool italic) {
    QString best;
    int bestDistance = 0;
    for (const QString& style : QFontDatabase::styles(family)) {
        const int distance = std::abs(QFontDatabase::weight(family, style) - weight) +
                             (QFontDatabase::italic(family, style) == italic ? 0 : 10000);
        if (best.isEmpty() || distance < bestDistance) {
            best = style;
            bestDistance = distance;
        }
    }
    return best;
}

class FontDialog final : public QDialog {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FontDialog)

public:
    FontDialog(QWidget* parent, const FontChoice& current) : QDialog(parent), m_current(current) {
        setWindowTitle(QStringLiteral("Font"));
        setFont(DialogFont());
        m_face->setObjectName(names::kFontFace);
        m_face->setFontFilters(QFontComboBox::AllFonts);
        m_face->setCurrentFont(current.font);
        m_style->setObjectName(names::kFontStyle);
        FillStyles(current.font.weight(), current.font.italic());
        m_presetStyle = m_style->currentText();
        m_size->setObjectName(names::kFontSize);
        m_size->setEditable(true);
        for (int size : QFontDatabase::standardSizes()) m_size->addItem(QString::number(size));
        // Any size QFont can hold; the dialog sets no limit of its own.
        m_size->setValidator(new QDoubleValidator(1, 1638, 2, m_size));
        m_presetSize = SizeText(current.font);
        m_size->setCurrentText(m_presetSize);
        m_strikeOut->setObjectName(names::kStrikeOut);
        m_strikeOut->setChecked(current.font.strikeOut());
        m_underline->setObjectName(names::kUnderline);
        m_underline->setChecked(current.font.underline());
        m_colour->setObjectName(names::kFontColour);
        for (const NamedColour& named : kColours)
            m_colour->addItem(Swatch(QColor(named.rgb)), QString::fromLatin1(named.name),
                              QColor(named.rgb));
        int colourIndex = m_colour->findData(QColor(current.colour.rgb()));
        if (colourIndex < 0) {
            // A colour of the system's that is none of the sixteen stays choosable.
            m_colour->addItem(Swatch(current.colour), QStringLiteral("Custom"), current.colour);
            colourIndex = m_colour->count() - 1;
        }
        m_colour->setCurrentIndex(colourIndex);
        m_sample->setMinimumSize(240, 60);
        m_sample->setAlignment(Qt::AlignCenter);

        auto* form = new QFormLayout;
        form->addRow(QStringLiteral("&Font:"), m_face);
        form->addRow(QStringLiteral("Font st&yle:"), m_style);
        form->addRow(QStringLiteral("&Size:"), m_size);
        form->addRow(m_strikeOut);
        form->addRow(m_underline);
        form->addRow(QStringLiteral("&Color:"), m_colour);
        form->addRow(QStringLiteral("Sample:"), m_sample);
        auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
        auto* column = new QVBoxLayout(this);
        column->addLayout(form);
        column->addWidget(buttons);

        connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
        connect(m_face, &QFontComboBox::currentFontChanged, this, [this] {
            // A new face keeps the weight and slant chosen so far: those of the style the list
            // still shows, which is the last face's and may not be a style of the new one.
            const QString style = m_style->currentText();
            if (QFontDatabase::styles(m_styleFamily).contains(style))
                FillStyles(QFontDatabase::weight(m_styleFamily, style),
                           QFontDatabase::italic(m_styleFamily, style));
            else
                FillStyles(m_current.font.weight(), m_current.font.italic());
        });
        for (QComboBox* box : {m_style, m_colour})
            connect(box, &QComboBox::currentIndexChanged, this, [this] { ShowSample(); });
        connect(m_size, &QComboBox::currentTextChanged, this, [this] { ShowSample(); });
        for (QCheckBox* box : {m_strikeOut, m_underline})
            connect(box, &QCheckBox::toggled, this, [this] { ShowSample(); });
        ShowSample();
    }

    FontChoice Choice() const {
        QFont font = m_current.font;
        const QString family = m_face->currentFont().family();
        const QString style = m_style->currentText();
        // What the user left alone stays exactly as it was, units and all.
        if (family != m_current.font.family() || style != m_presetStyle) {
            font.setFamily(family);
            font.setStyleName(QString());
            // A face that lists no styles keeps the weight and slant as they were.
            if (QFontDatabase::styles(family).contains(style)) {
                font.setWeight(static_cast<QFont::Weight>(QFontDatabase::weight(family, style)));
                font.setItalic(QFontDatabase::italic(family, style));
            }
        }
        bool isNumber = false;
        const double size = m_size->currentText().toDouble(&isNumber);
        if (isNumber && size > 0 && m_size->currentText() != m_presetSize) font.setPointSizeF(size);
        font.setStrikeOut(m_strikeOut->isChecked());
        font.setUnderline(m_underline->isChecked());
        return {font, m_colour->currentData().value<QColor>()};
    }

private:
    void FillStyles(int weight, bool italic) {
        const QString family = m_face->currentFont().family();
        m_styleFamily = family;
        const QSignalBlocker quiet(m_style);
        m_style->clear();
        m_style->addItems(QFontDatabase::styles(family));
        m_style->setCurrentText(ClosestStyle(family, weight, italic));
        ShowSample();
    }

    void ShowSample() {
        const FontChoice choice = Choice();
        m_sample->setFont(choice.font);
        QPalette colours = m_sample->palette();
        colours.setColor(QPalette::WindowText, choice.colour);
        m_sample->setPalette(colours);
    }

    FontChoice m_current;
    QString m_presetStyle;
    QString m_styleFamily;  // the face whose styles the style list holds
    QString m_presetSize;
    QFontComboBox* m_face = new QFontComboBox(this);
    QComboBox* m_style = new QComboBox(this);
    QComboBox* m_size = new QComboBox(this);
    QCheckBox* m_strikeOut = new QCheckBox(QStringLiteral("Stri&keout"), this);
    QCheckBox* m_underline = new QCheckBox(QStringLiteral("&Underline"), this);
    QComboBox* m_colour = new QComboBox(this);
    QLabel* m_sample = new QLabel(QStringLiteral("AaBbYyZz"), this);
};

}  // namespace

std::optional<FontChoice> ChooseFont(QWidget* parent, const FontChoice& current) {
    if (Hook()) return Hook()(current);
    FontDialog dialog(parent, current);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return dialog.Choice();
}

void SetFontDialogHook(FontDialogHook hook) {
    Hook() = std::move(hook);
}

}  // namespace sifter::ui

#include "font_dialog.moc"
