#include "soak_world.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "search/run/search_run.h"

namespace sifter::soak {
namespace {

namespace fs = std::filesystem;

// Names a person might give files: both types, letter case mixed, a hidden one, a blank, a
// byte that is not UTF-8, and some of another type.
const std::vector<std::string> kNames = {"a.pas",     "B.PAS",       "c.sc",       "D.Sc",
                                         "main.pas",  ".hidden.pas", "g h.sc",     "\xE9t\xE9.pas",
                                         "notes.txt", "z.sc.bak",    "proc (2).sc"};

// Lines of scripts and sources: matches for the words the soak types ("begin", "proc", "caf\u00e9",
// "\u20ac"), in Windows-1252 and in UTF-8, procedure lines and lines that only look like them.
const std::vector<std::string> kLines = {"begin",
                                         "BEGIN end;",
                                         "proc Begin()",
                                         "endproc ; (end of begin)",
                                         "procedure Foo(x)",
                                         "PROC Bar",
                                         "; see PROC Baz()",
                                         "  x := caf\xE9;",
                                         "  caf\xC3\xA9 := begin",
                                         "  CAF\xC9 \x80 5",
                                         "  price \xE2\x82\xAC 5",
                                         "nothing here",
                                         "",
                                         "\tend."};

std::string Relative(const std::string& top, const std::string& path) {
    return path.size() > top.size() ? path.substr(top.size() + 1) : path;
}

void WriteFile(const std::string& path, const std::string& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return;  // its directory is gone
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    (void)written;
    ::close(fd);
}

std::string SomeLines(Random& random) {
    std::string bytes;
    const int count = random.Below(7);
    // Mostly CR LF; now and then lone LFs, which keep a file on one line, or no final end.
    const char* end = random.Percent(85) ? "\r\n" : "\n";
    for (int i = 0; i < count; ++i) bytes += random.Pick(kLines) + end;
    if (!bytes.empty() && random.Percent(15)) bytes.resize(bytes.size() - 1);
    return bytes;
}

bool IsDirectory(const std::string& path) {
    std::error_code ignored;
    return fs::is_directory(path, ignored);
}

std::string MakeScratch() {
    const char* base = std::getenv("TMPDIR");
    char resolved[PATH_MAX];
    if (::realpath(base != nullptr && *base != '\0' ? base : "/tmp", resolved) == nullptr)
        throw std::runtime_error("soak: no directory for scratch files");
    for (int attempt = 0; attempt < 100; ++attempt) {
        char name[64];
        std::snprintf(name, sizeof name, "/sifter32-soak-%07d-%02d", static_cast<int>(::getpid()),
                      attempt);
        const std::string path = resolved + std::string(name);
        if (::mkdir(path.c_str(), 0700) == 0) return path;
        if (errno != EEXIST) break;
    }
    throw std::runtime_error("soak: cannot make a scratch directory");
}

}  // namespace

SoakWorld::SoakWorld(Random& random) : m_top(MakeScratch()) {
    for (const char* name : {"work", "work/sub", "alt", "mnt", "out"})
        fs::create_directory(Path(name));
    m_directories = {Path("work"), Path("work/sub"), Path("alt"), Path("mnt")};
    for (const std::string& directory : m_directories) Fill(directory, random);
    test::ChangeDirectory(Path("work"));

    const std::string top = Top();
    m_system.listVolumes = [top] {
        using platform::Volume;
        return std::vector<Volume>{{top, "Soak", "ext4", Volume::Kind::Fixed},
                                   {top + "/mnt", "", "vfat", Volume::Kind::Removable},
                                   {top + "/net", "//server/share", "cifs", Volume::Kind::Network}};
    };
    m_system.failSetCurrentDirectory = [top](const std::string& path) {
        return path.rfind(top + "/net", 0) == 0 ? 21 : 0;
    };
    // Relative names are taken from the current directory, which never leaves the scratch
    // directory: the soak and the program's directory chooser only move within it.
    const auto outside = [this](const std::string& name) {
        const std::string path = fs::path(name).lexically_normal().string();
        if (name.empty() || name.front() != '/' || Holds(path)) return false;
        m_refused.push_back(name);
        return true;
    };
    m_system.create = [outside](const std::string& name) -> platform::OpenResult {
        if (outside(name)) return {nullptr, 5};
        return platform::NativeSystem().Create(name);
    };
    m_system.beforeNaming = [outside](const std::string& name) { return outside(name) ? 5 : 0; };
    // The program's settings are kept in the scratch directory too, across its starts.
    ::setenv("XDG_CONFIG_HOME", Path("config").c_str(), 1);
    m_scoped = std::make_unique<platform::ScopedSystem>(m_system);
}

SoakWorld::~SoakWorld() {
    m_scoped.reset();
    std::error_code ignored;
    fs::remove_all(m_top, ignored);
}

void SoakWorld::Fill(const std::string& directory, Random& random) {
    for (int i = 0; i < 4; ++i) WriteFile(directory + "/" + random.Pick(kNames), SomeLines(random));
}

std::string SoakWorld::Change(Random& random) {
    const std::string directory = random.Pick(m_directories);
    const std::string where = Relative(Top(), directory);
    if (!IsDirectory(directory)) {
        // A directory stays gone for a while, then comes back with new files.
        if (random.Percent(60)) return "nothing changes (" + where + " stays gone)";
        fs::create_directories(directory);
        Fill(directory, random);
        return "recreate " + where + " with new files";
    }
    const std::string name = random.Pick(kNames);
    const std::string path = directory + "/" + name;
    std::error_code ignored;
    switch (random.Weighted({40, 15, 15, 4, 6})) {
        case 0: {
            const std::string bytes = SomeLines(random);
            WriteFile(path, bytes);
            return "write " + where + "/" + name + " (" + std::to_string(bytes.size()) + " bytes)";
        }
        case 1:
            fs::remove(path, ignored);
            return "remove " + where + "/" + name;
        case 2:
            if (fs::exists(path, ignored)) WriteFile(path, "");
            return "empty " + where + "/" + name;
        case 3:
            fs::remove_all(directory, ignored);
            return "remove the directory " + where;
        default:
            fs::remove_all(directory, ignored);
            fs::create_directories(directory);
            Fill(directory, random);
            return "remove and recreate the directory " + where;
    }
}

}  // namespace sifter::soak
