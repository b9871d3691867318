#pragma once
// Helpers for the window tests and the soak: controls found by their object names, and message
// boxes and dialogs answered without a person.

#include <QDialog>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>
#include <string>

#include "search/run/result_rows.h"
#include "ui/dialogs/dialogs.h"
#include "ui/messages.h"

namespace sifter::test {

[[noreturn]] void NoChildNamed(const QObject& parent, const char* name);

// The child of `parent` of type T named `name` (see ui/object_names.h). A control that is not
// there stops the program, so that no check goes on with a null pointer.
template <typename T>
T* Find(const QObject& parent, const char* name) {
    T* child = parent.findChild<T*>(QString::fromLatin1(name));
    if (child == nullptr) NoChildNamed(parent, name);
    return child;
}

// Takes every message box while it lives, so none ever opens.
class MessageRecorder final {
public:
    MessageRecorder();
    ~MessageRecorder();
    MessageRecorder(const MessageRecorder&) = delete;
    MessageRecorder& operator=(const MessageRecorder&) = delete;

    const QList<ui::Message>& messages() const { return m_messages; }
    void clear() { m_messages.clear(); }

private:
    QList<ui::Message> m_messages;
};

// Works the File Masks dialog as `answer` says while it lives.
class MaskAnswer final {
public:
    explicit MaskAnswer(std::function<void(QDialog&)> answer) {
        ui::SetMaskDialogHook(std::move(answer));
    }
    ~MaskAnswer() { ui::SetMaskDialogHook(nullptr); }
    MaskAnswer(const MaskAnswer&) = delete;
    MaskAnswer& operator=(const MaskAnswer&) = delete;
};

// The bytes a save of `rows` writes: each row followed by CR LF.
std::string SavedBytes(const ResultRows& rows);

}  // namespace sifter::test
