#include "ui/messages.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <new>

#include "search/io_error.h"
#include "ui/conventions.h"

namespace sifter::ui {

const char* const kApplicationTitle = "Sifter32";

namespace {

MessageHook& Hook() {
    static MessageHook hook;
    return hook;
}

QuestionHook& Questions() {
    static QuestionHook hook;
    return hook;
}

// Centred on the screen rather than on a window; it wraps long texts at half the screen's
// width by itself.
void Centre(QMessageBox& box) {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        box.adjustSize();
        box.move(screen->availableGeometry().center() - box.rect().center());
    }
}

void Show(MessageKind kind, const QString& caption, const QString& text) {
    if (Hook()) {
        Hook()(Message{kind, caption, text});
        return;
    }
    QMessageBox box;
    box.setWindowTitle(caption);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    box.setFont(DialogFont());
    switch (kind) {
        case MessageKind::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case MessageKind::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case MessageKind::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case MessageKind::Plain:
        case MessageKind::Question:
            box.setIcon(QMessageBox::NoIcon);
            break;
    }
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    box.setDefaultButton(ok);
    box.setEscapeButton(static_cast<QAbstractButton*>(ok));
    Centre(box);
    box.exec();
}

}  // namespace

void ShowInformation(const QString& text) {
    Show(MessageKind::Information, QStringLiteral("Information"), text);
}

void ShowWarning(const QString& text) {
    Show(MessageKind::Warning, QStringLiteral("Warning"), text);
}

void ShowPlain(const QString& text) {
    Show(MessageKind::Plain, QString::fromLatin1(kApplicationTitle), text);
}

void ShowError(const QString& message) {
    const std::string bytes = message.toStdString();
    Show(MessageKind::Error, QString::fromLatin1(kApplicationTitle),
         DisplayText(ErrorBoxText(bytes)));
}

void SetMessageHook(MessageHook hook) {
    Hook() = std::move(hook);
}

bool AskYesNo(const QString& text) {
    const Message question{MessageKind::Question, QString::fromLatin1(kApplicationTitle), text};
    if (Questions()) return Questions()(question);
    if (Hook()) {
        Hook()(question);
        return true;
    }
    QMessageBox box;
    box.setWindowTitle(question.caption);
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    box.setFont(DialogFont());
    box.setIcon(QMessageBox::Question);
    QPushButton* yes = box.addButton(QMessageBox::Yes);
    QPushButton* no = box.addButton(QMessageBox::No);
    box.setDefaultButton(yes);
    box.setEscapeButton(static_cast<QAbstractButton*>(no));
    Centre(box);
    box.exec();
    return box.clickedButton() == yes;
}

void SetQuestionHook(QuestionHook hook) {
    Questions() = std::move(hook);
}

void Guarded(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const sifter::Exception& error) {
        ShowError(DisplayText(error.what()));
    } catch (const std::bad_alloc&) {
        ShowError(QStringLiteral("Out of memory"));
    } catch (const std::exception& error) {
        ShowError(DisplayText(error.what()));
    }
}

}  // namespace sifter::ui
