#pragma once
// Rows are bytes end to end; only for showing them are they turned into text: bytes that are
// valid UTF-8 are shown as UTF-8, anything else as Windows-1252.

#include <QString>
#include <string>
#include <string_view>

namespace sifter::ui {

QString DisplayText(std::string_view bytes);

// Bytes of a text the user typed or chose (search text, file names), for the engine.
std::string EngineBytes(const QString& text);

}  // namespace sifter::ui
