#pragma once
// Helpers for the window tests: message boxes and dialogs answered without a person.

#include <QList>
#include <QString>
#include <string>

#include "search/run/result_rows.h"
#include "ui/messages.h"

namespace sifter::test {

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

// The bytes a save of `rows` writes: each row followed by CR LF.
std::string SavedBytes(const ResultRows& rows);

}  // namespace sifter::test
