#pragma once
// Every message box of the program, and the guard that turns an error leaving a handler into
// the default error box. Tests answer the boxes through a hook, so none of them ever blocks.

#include <QString>
#include <functional>

class QWidget;

namespace sifter::ui {

extern const char* const kApplicationTitle;  // "Sifter32"

enum class MessageKind {
    Information,  // caption "Information", information icon
    Warning,      // caption "Warning", warning icon
    Plain,        // caption "Sifter32", no icon
    Error,        // the default error box: caption "Sifter32", stop icon
    Question,     // caption "Sifter32", question icon, "Yes" and "No"
};

struct Message {
    MessageKind kind;
    QString caption;
    QString text;
};

// Centred on the screen, wrapped to at most half its width, one "OK" button that is both the
// default and the cancel button.
void ShowInformation(const QString& text);
void ShowWarning(const QString& text);
void ShowPlain(const QString& text);
// The error's message with a full stop appended when its last character sorts after ".".
void ShowError(const QString& message);

// While set, boxes go to the hook instead of the screen.
using MessageHook = std::function<void(const Message&)>;
void SetMessageHook(MessageHook hook);

// The one box with two buttons: centred and wrapped as the others, "Yes" the default button and
// "No" the cancel button. True for Yes.
bool AskYesNo(const QString& text);
// While set, questions go to the hook, which answers them. Without one, a message hook that is
// set takes the question as a box of its own, and the default, Yes, is the answer.
using QuestionHook = std::function<bool(const Message&)>;
void SetQuestionHook(QuestionHook hook);

// Runs a handler; an error that leaves it ends it and is shown by the default error box. No
// exception ever reaches the event loop.
void Guarded(const std::function<void()>& handler);

}  // namespace sifter::ui
