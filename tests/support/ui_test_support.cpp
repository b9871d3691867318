#include "ui_test_support.h"

namespace sifter::test {

void NoChildNamed(const QObject& parent, const char* name) {
    qFatal("%s has no child %s", qPrintable(parent.objectName()), name);
}

MessageRecorder::MessageRecorder() {
    ui::SetMessageHook([this](const ui::Message& message) { m_messages.append(message); });
}

MessageRecorder::~MessageRecorder() {
    ui::SetMessageHook(nullptr);
}

std::string SavedBytes(const ResultRows& rows) {
    std::string bytes;
    for (std::size_t i = 0; i < rows.size(); ++i) bytes.append(rows.Text(i)).append("\r\n");
    return bytes;
}

}  // namespace sifter::test
