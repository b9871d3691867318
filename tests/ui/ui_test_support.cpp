#include "ui_test_support.h"

namespace sifter::test {

MessageRecorder::MessageRecorder() {
    ui::SetMessageHook([this](const ui::Message& message) { m_messages.append(message); });
}

MessageRecorder::~MessageRecorder() {
    ui::SetMessageHook(nullptr);
}

}  // namespace sifter::test
