// What the platform layer does the same way on every system.

#include "platform/platform.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "platform/path_rules.h"

namespace sifter::platform {
namespace {

SystemApi* g_current = nullptr;

}  // namespace

SystemApi& System() {
    return g_current != nullptr ? *g_current : NativeSystem();
}

ScopedSystem::ScopedSystem(SystemApi& replacement) : m_previous(g_current) {
    g_current = &replacement;
}

ScopedSystem::~ScopedSystem() {
    g_current = m_previous;
}

std::string PathInDirectory(const std::string& directory, const std::string& name) {
    return Paths().Join(directory, name);
}

SettingsPlace SettingsPlaceIn(const std::function<const char*(const char*)>& variable,
                              const PathRules& rules) {
    const auto value = [&variable](const char* name) {
        const char* found = variable(name);
        return std::string(found != nullptr ? found : "");
    };
    SettingsPlace place;
    if (rules.style() == PathRules::Style::Windows) {
        place.base = value("APPDATA");
        if (place.base.empty()) return {};
        place.directory = rules.Join(place.base, "Sifter32");
        place.file = rules.Join(place.directory, "sifter32.ini");
        return place;
    }
    place.base = value("XDG_CONFIG_HOME");
    if (place.base.empty() || place.base.front() != '/') {
        const std::string home = value("HOME");
        if (home.empty()) return {};
        place.base = rules.Join(home, ".config");
    }
    place.directory = rules.Join(place.base, "sifter32");
    place.file = rules.Join(place.directory, "sifter32.conf");
    return place;
}

SettingsPlace SettingsLocation() {
    return SettingsPlaceIn([](const char* name) { return std::getenv(name); }, Paths());
}

bool IsExistingDirectory(const std::string& path) {
    return !path.empty() && System().ResolveType(path) == EntryType::Directory;
}

bool IsExistingFile(const std::string& path) {
    const EntryType type = path.empty() ? EntryType::Unknown : System().ResolveType(path);
    return type == EntryType::Regular || type == EntryType::Other;
}

void StartSpreadThreads(std::vector<std::thread>& threads, std::int32_t count,
                        const std::function<void()>& work) {
    threads.reserve(threads.size() + static_cast<std::size_t>(std::max(count, 0)));
    try {
        for (std::int32_t i = 0; i < count; ++i) {
            threads.emplace_back(work);
            SpreadThread(threads.back());
        }
    } catch (const std::system_error&) {
        // The system gives no more threads.
    }
}

}  // namespace sifter::platform
