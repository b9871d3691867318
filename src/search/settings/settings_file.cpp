#include "search/settings/settings_file.h"

#include <utility>

#include "search/io_error.h"

namespace sifter {
namespace {

// A settings file is a few kilobytes; one far larger is no file of ours.
constexpr std::size_t kMostBytes = 1 << 20;
constexpr std::int32_t kChunk = 64 * 1024;

const char* const kNotRead = "Settings not read from ";
const char* const kDamaged = "Settings damaged in ";
const char* const kDefaultsInUse = "; the defaults are in use";
const char* const kNotKept = "Settings not kept in ";
const char* const kTooLarge = "larger than a settings file can be";
const char* const kNewSuffix = ".new";

struct Reading {
    std::string bytes;
    std::int32_t error = 0;
    bool tooLarge = false;
};

Reading ReadWhole(platform::SystemApi& system, const std::string& path) {
    Reading reading;
    platform::OpenResult opened = system.OpenRead(path);
    if (!opened.file) {
        reading.error = opened.error;
        return reading;
    }
    std::string chunk(kChunk, '\0');
    for (;;) {
        const platform::ReadResult read = opened.file->Read(chunk.data(), kChunk);
        if (read.error != 0) reading.error = read.error;
        if (read.error != 0 || read.count == 0) break;
        reading.bytes.append(chunk.data(), static_cast<std::size_t>(read.count));
        if (reading.bytes.size() > kMostBytes) {
            reading.tooLarge = true;
            break;
        }
    }
    opened.file->Release();
    return reading;
}

}  // namespace

SettingsFile::SettingsFile(platform::SettingsPlace place, platform::SystemApi& system)
    : m_place(std::move(place)), m_system(&system) {}

SettingsFile::Loaded SettingsFile::Load() {
    if (m_place.empty()) return {};
    const Reading reading = ReadWhole(*m_system, m_place.file);
    if (reading.error == platform::kFileNotFound || reading.error == platform::kPathNotFound) {
        m_held = KeptSettings();
        return {};
    }
    if (reading.error != 0) {
        m_held.reset();
        return {{},
                kNotRead + m_place.file + ": " + IoErrorMessage(reading.error) + kDefaultsInUse};
    }
    // A damaged file is replaced by the first change: the defaults are what it held.
    m_held = KeptSettings();
    if (reading.tooLarge) return {{}, kDamaged + m_place.file + ": " + kTooLarge + kDefaultsInUse};
    SettingsReading taken = ReadSettingsText(reading.bytes);
    if (!taken.ok()) return {{}, kDamaged + m_place.file + ", " + taken.problem + kDefaultsInUse};
    m_held = taken.settings;
    return {std::move(taken.settings), {}};
}

std::string SettingsFile::Save(const KeptSettings& settings) {
    if (m_place.empty() || !m_held || *m_held == settings) return {};
    const std::string note = Write(SettingsText(settings));
    if (note.empty()) m_held = settings;
    return note;
}

std::string SettingsFile::Write(const std::string& bytes) {
    const auto failed = [this](std::int32_t error) {
        return kNotKept + m_place.file + ": " + IoErrorMessage(error);
    };
    // Made the first time; an existing directory answers with an error that the open below
    // does not give.
    const auto exists = [this](const std::string& path) {
        return m_system->ResolveType(path) == platform::EntryType::Directory;
    };
    if (!exists(m_place.directory)) {
        if (!exists(m_place.base)) m_system->MakeDirectory(m_place.base);
        if (const std::int32_t error = m_system->MakeDirectory(m_place.directory); error != 0)
            return failed(error);
    }
    const std::string fresh = m_place.file + kNewSuffix;
    platform::OpenResult created = m_system->Create(fresh);
    if (!created.file) return failed(created.error);
    std::int32_t error = created.file->Write(bytes.data(), static_cast<std::int32_t>(bytes.size()));
    const std::int32_t released = created.file->Release();
    if (error == 0) error = released;
    if (error == 0) error = m_system->Rename(fresh, m_place.file);
    if (error == 0) return {};
    m_system->RemoveFile(fresh);
    return failed(error);
}

}  // namespace sifter
