#include "ui/dialogs/about_box.h"

#include <QFrame>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>

#include "ui/conventions.h"
#include "ui/object_names.h"
#include "ui/pictures.h"

namespace sifter::ui {
namespace {

TAboutBox::AnswerHook& Hook() {
    static TAboutBox::AnswerHook hook;
    return hook;
}

QLabel* AddLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    label->move(x, y);
    label->adjustSize();
    return label;
}

}  // namespace

TAboutBox::TAboutBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(names::kAboutBox);
    setWindowTitle(QStringLiteral("About"));
    setFont(DialogFont());
    setFixedSize(298, 213);

    // A raised bevel inside a lowered one.
    auto* outer = new QFrame(this);
    outer->setObjectName(names::kPanel1);
    outer->setGeometry(8, 8, 281, 161);
    outer->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    auto* panel = new QFrame(outer);
    panel->setGeometry(1, 1, 279, 159);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);

    auto* icon = new QLabel(panel);
    icon->setObjectName(names::kProgramIcon);
    icon->setGeometry(7, 7, 53, 53);
    icon->setScaledContents(true);
    icon->setPixmap(QPixmap::fromImage(ProgramIconImage()));

    AddLabel(panel, names::kProductName, QStringLiteral("Nexor32.exe"), 87, 15);
    AddLabel(panel, names::kVersion, QStringLiteral("Version: 1.4"), 87, 41);
    AddLabel(panel, names::kLabel1, QStringLiteral("Written by the Sifter32 developers."), 7, 92);
    AddLabel(panel, names::kLabel2, QStringLiteral("Comments, suggestions, feedback to:"), 7, 120);
    AddLabel(panel, names::kLabel3, QStringLiteral("dev@sifter32.invalid"), 7, 135);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(names::kOKButton);
    ok->setGeometry(111, 180, 75, 25);
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

void TAboutBox::ShowModal() {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    if (Hook()) {
        Hook()(*this);
        return;
    }
    exec();
}

void TAboutBox::keyPressEvent(QKeyEvent* event) {
    // The box has no cancel button, so Escape leaves it up: only OK, Enter and the title bar's
    // close box end it.
    if (event->matches(QKeySequence::Cancel)) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void TAboutBox::SetAnswerHook(AnswerHook hook) {
    Hook() = std::move(hook);
}

}  // namespace sifter::ui
