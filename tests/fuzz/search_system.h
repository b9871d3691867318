#pragma once
// What the search fuzz target serves its search from: scripted files read ahead as the real
// system reads them, in a tree of the input's shape below /fuzz.

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "forwarding_system.h"
#include "fuzz_support.h"

namespace sifter::fuzz {

struct FileScript {
    std::vector<std::int32_t> aheads;
    std::vector<ReadStep> steps;
    std::string bytes;
};

// What the real system layer does over the script: a read that finds nothing held asks for the
// next read-ahead size and holds what the request did not take. Held bytes are padded.
class AheadReader final {
public:
    explicit AheadReader(const FileScript& file)
        : m_script(file.bytes, file.steps), m_aheads(file.aheads) {}

    platform::ReadResult Read(char* buffer, std::int32_t size) {
        if (m_at == m_end) {
            const std::int32_t most = m_aheads[m_calls++ % m_aheads.size()];
            m_held.assign(static_cast<std::size_t>(most) + platform::OsFile::kHeldPadding, '\r');
            const platform::ReadResult got = m_script.Read(m_held.data(), most);
            m_at = m_end = 0;
            if (got.error != 0 || got.count == 0) return got;
            m_end = static_cast<std::size_t>(got.count);
        }
        const std::size_t n = std::min(static_cast<std::size_t>(size), m_end - m_at);
        std::memcpy(buffer, m_held.data() + m_at, n);
        m_at += n;
        return {static_cast<std::int32_t>(n), 0};
    }

    std::string_view TakeHeld() {
        const std::string_view held(m_held.data() + m_at, m_end - m_at);
        m_at = m_end;
        return held;
    }

private:
    ReadScript m_script;
    std::vector<std::int32_t> m_aheads;
    std::size_t m_calls = 0;
    std::string m_held;
    std::size_t m_at = 0;
    std::size_t m_end = 0;
};

class AheadFile final : public platform::OsFile {
public:
    explicit AheadFile(const FileScript& file) : m_reader(file) {}
    platform::ReadResult Read(char* buffer, std::int32_t size) override {
        // A file read whole (a search of Pascal's structure reads a matching file again) asks
        // for more at a time; its script still decides what each read gives.
        if (size != 128 && size < 4096) Fail("a read asked for %d bytes", static_cast<int>(size));
        return m_reader.Read(buffer, size);
    }
    std::string_view TakeHeld() override { return m_reader.TakeHeld(); }
    std::int32_t Write(const char*, std::int32_t) override {
        Fail("a file opened for reading was written");
    }
    platform::KindResult Kind() override { return {}; }
    std::int32_t Release() override { return 0; }

private:
    AheadReader m_reader;
};

// The scripted files f0.sc, f1.sc and so on, each in the directory `places` gives it below
// /fuzz ("" or "d1/d2/"); with `unlisted`, every directory also holds "zz", which cannot be
// listed (access denied). Its calls come from every thread of the search and of the walk, and
// only read the scripts.
class SearchSystem final : public test::ForwardingSystem {
public:
    SearchSystem(const std::vector<FileScript>& files, std::vector<std::string> places,
                 bool unlisted)
        : m_files(files), m_places(std::move(places)), m_unlisted(unlisted) {}
    platform::OpenResult OpenRead(const std::string& name) override {
        const std::size_t index =
            static_cast<std::size_t>(std::stoi(name.substr(name.rfind('/') + 2)));
        return {std::make_unique<AheadFile>(m_files.at(index)), 0};
    }
    platform::OpenResult Create(const std::string&) override { Fail("the search created a file"); }
    std::int32_t ListDirectory(
        const std::string& path,
        const std::function<void(const platform::DirEntry&)>& each) override {
        const std::string below = path.size() > 6 ? path.substr(6) + "/" : std::string();
        if (below.ends_with("zz/")) return platform::kAccessDenied;
        for (std::size_t i = 0; i < m_files.size(); ++i) {
            if (m_places[i] == below)
                each({"f" + std::to_string(i) + ".sc", platform::EntryType::Regular});
            // The directory a file opened below the one before it.
            if (m_places[i].size() > below.size() && m_places[i].starts_with(below) &&
                m_places[i].find('/', below.size()) + 1 == m_places[i].size() &&
                (i == 0 || m_places[i - 1] == below))
                each({m_places[i].substr(below.size(), m_places[i].size() - below.size() - 1),
                      platform::EntryType::Directory});
        }
        if (m_unlisted) each({"zz", platform::EntryType::Directory});
        return 0;
    }
    platform::EntryType ResolveType(const std::string&) override {
        return platform::EntryType::Regular;
    }
    platform::PathResult CurrentDirectory() override { return {"/fuzz", 0}; }
    platform::PathResult FullPath(const std::string& path) override {
        return {path.starts_with('/') ? path : "/fuzz/" + path, 0};
    }
    std::int32_t SetCurrentDirectory(const std::string&) override { return 0; }

private:
    const std::vector<FileScript>& m_files;
    const std::vector<std::string> m_places;
    const bool m_unlisted;
};

}  // namespace sifter::fuzz
