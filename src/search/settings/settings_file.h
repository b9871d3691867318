#pragma once
// The window program's one settings file (platform::SettingsLocation): read whole once at the
// start, written whole only when what is kept changed, as a new file renamed over the old one,
// so that a failed write leaves the old file as it was.

#include <optional>
#include <string>

#include "platform/platform.h"
#include "search/settings/kept_settings.h"

namespace sifter {

class SettingsFile final {
public:
    // An empty place keeps nothing: every call then answers as for a missing file.
    explicit SettingsFile(platform::SettingsPlace place,
                          platform::SystemApi& system = platform::System());

    const std::string& Path() const { return m_place.file; }

    struct Loaded {
        KeptSettings settings;  // the defaults unless the file was taken
        // Why the defaults stand in for a file there is, in words for the user; empty when the
        // file was taken or there was none.
        std::string note;
    };
    // A file that could not be read is never written over in this run: its settings may be
    // whole. A damaged one is, at the first change.
    Loaded Load();

    // Writes `settings` unless the file holds them already (the defaults when there is none).
    // Empty, or a note for the user why they were not kept.
    std::string Save(const KeptSettings& settings);

private:
    std::string Write(const std::string& bytes);

    platform::SettingsPlace m_place;
    platform::SystemApi* m_system;
    // What the file holds as far as this run knows; nothing when it must not be written.
    std::optional<KeptSettings> m_held = KeptSettings();
};

}  // namespace sifter
