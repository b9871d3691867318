// What the platform layer does the same way on every system.

#include "platform/platform.h"

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

bool IsExistingDirectory(const std::string& path) {
    return !path.empty() && System().ResolveType(path) == EntryType::Directory;
}

bool IsExistingFile(const std::string& path) {
    const EntryType type = path.empty() ? EntryType::Unknown : System().ResolveType(path);
    return type == EntryType::Regular || type == EntryType::Other;
}

}  // namespace sifter::platform
