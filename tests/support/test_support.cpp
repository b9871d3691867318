#include "test_support.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "platform/path_rules.h"
#include "search/lines/line_file.h"

namespace sifter {

namespace {

// Bytes in quotes, escaped where they are not printable.
void PrintBytes(std::string_view bytes, std::ostream* out) {
    *out << '"';
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte >= 32 && byte < 127 && byte != '\\') {
            *out << c;
        } else {
            static const char kHex[] = "0123456789ABCDEF";
            *out << "\\x" << kHex[byte >> 4] << kHex[byte & 15];
        }
    }
    *out << '"';
}

}  // namespace

void PrintTo(const ResultEntry& entry, std::ostream* out) {
    static const char* const kIcons[] = {"Banner", "File", "Procedure", "Blank"};
    *out << kIcons[static_cast<int>(entry.icon)] << ' ';
    PrintBytes(entry.text, out);
}

}  // namespace sifter

namespace sifter::test {

std::string TempDir::operator/(std::string_view name) const {
    return m_path + platform::Paths().Separator() + std::string(name);
}

void WriteBytes(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> ReadAllLines(LineFile& file) {
    std::vector<std::string> lines;
    while (!file.AtEnd()) {
        lines.push_back(file.ReadLine());
        file.SkipLineEnd();
    }
    return lines;
}

const std::vector<LineRuleCase>& LineRuleCases() {
    using namespace std::string_literals;
    const std::string far(70000, 'x');  // past the first 64 KiB read
    static const std::vector<LineRuleCase> cases = {
        // CR files: CR or CR LF ends a line, a lone LF is data.
        {"", {}},
        {"alpha\r\nbeta\r\n", {"alpha", "beta"}},
        {"alpha\r\n\r\n", {"alpha", ""}},
        {"alpha\r\nbeta", {"alpha", "beta"}},
        {"alpha\rbeta\r", {"alpha", "beta"}},
        {"alpha\r\r\nbeta", {"alpha", "", "beta"}},
        {"\r\n", {""}},
        {"\r", {""}},
        {"alpha\r\n\r", {"alpha", ""}},
        {"alpha\rbeta\ngamma\r\n", {"alpha", "beta\ngamma"}},
        {"alpha\r\n\nbeta\r", {"alpha", "\nbeta"}},
        {"a\0b\tc\xE9\r\n"s, {"a\0b\tc\xE9"s}},
        {std::string(127, 'x') + "\r\nnext", {std::string(127, 'x'), "next"}},
        {std::string(128, 'x') + "\r\n", {std::string(128, 'x')}},
        {std::string(300, 'y') + "\r" + std::string(200, 'z'),
         {std::string(300, 'y'), std::string(200, 'z')}},
        {far + "\r\nB\nC\r", {far, "B\nC"}},
        // LF files: every LF ends a line, a CR right before it belongs to the line end, any
        // other CR is data.
        {"alpha\nbeta\n", {"alpha", "beta"}},
        {"alpha\n\rbeta", {"alpha", "\rbeta"}},
        {"alpha\n\r", {"alpha", "\r"}},
        {"alpha\nbeta\r\ngamma\r", {"alpha", "beta", "gamma\r"}},
        {"alpha\nb\re\rta\r\r\n", {"alpha", "b\re\rta\r"}},
        {"alpha\nbeta\r\x1Agamma\n", {"alpha", "beta\r"}},
        {"alpha\n" + std::string(121, 'x') + "\r\nbeta", {"alpha", std::string(121, 'x'), "beta"}},
        {std::string(127, 'x') + "\n\r\n", {std::string(127, 'x'), ""}},
        {far + "\nB\rC\r\n", {far, "B\rC"}},
        // Ctrl-Z ends the data, before any line end too; line ends alone.
        {"alpha\x1A"
         "beta\r\ngamma",
         {"alpha"}},
        {"alpha\x1A"
         "beta\ngamma",
         {"alpha"}},
        {"alpha\r\n\x1A"
         "beta",
         {"alpha"}},
        {"\x1A"
         "alpha\r\n",
         {}},
        {"one\r\ntw\x1Ao\r\nthree\r\n", {"one", "tw"}},
        {"\n\n\n", {"", "", ""}},
        {"\n\r\n\r\r\n", {"", "", "\r"}},
        {"\r\r\n\n\r", {"", "", "\n"}},
    };
    return cases;
}

void PrintTo(const LineRuleCase& c, std::ostream* out) {
    PrintBytes(std::string_view(c.bytes).substr(0, 80), out);
    if (c.bytes.size() > 80) *out << "... (" << c.bytes.size() << " bytes)";
}

FakeFile::FakeFile(Script script, std::shared_ptr<FileLog> log,
                   std::unique_ptr<platform::OsFile> inner)
    : m_script(std::move(script)), m_log(std::move(log)), m_inner(std::move(inner)) {}

FakeFile::~FakeFile() {
    m_log->destroyed = true;
}

platform::ReadResult FakeFile::Read(char* buffer, std::int32_t size) {
    if (!m_script.aheads.empty()) return ReadAhead(buffer, size);
    const int call = m_log->reads++;
    const auto& failing = m_script.failingReads;
    if (std::find(failing.begin(), failing.end(), call) != failing.end())
        return {0, m_script.readError};
    if (!m_script.chunks.empty())
        size = std::min(size,
                        m_script.chunks[static_cast<std::size_t>(call) % m_script.chunks.size()]);
    if (m_inner) return m_inner->Read(buffer, size);
    const std::size_t n = std::min(static_cast<std::size_t>(size), m_script.data.size() - m_served);
    std::copy_n(m_script.data.data() + m_served, n, buffer);
    m_served += n;
    return {static_cast<std::int32_t>(n), 0};
}

platform::ReadResult FakeFile::ReadAhead(char* buffer, std::int32_t size) {
    if (m_heldAt == m_heldEnd) {
        const int call = m_log->reads++;
        const auto& failing = m_script.failingReads;
        if (std::find(failing.begin(), failing.end(), call) != failing.end())
            return {0, m_script.readError};
        const auto most = static_cast<std::size_t>(
            m_script.aheads[static_cast<std::size_t>(call) % m_script.aheads.size()]);
        const std::size_t n = std::min(most, m_script.data.size() - m_served);
        m_held.assign(m_script.data, m_served, n);
        m_held.resize(n + platform::OsFile::kHeldPadding, '\x1a');
        m_served += n;
        m_heldAt = 0;
        m_heldEnd = n;
        if (n == 0) return {0, 0};
    }
    const std::size_t n = std::min(static_cast<std::size_t>(size), m_heldEnd - m_heldAt);
    std::copy_n(m_held.data() + m_heldAt, n, buffer);
    m_heldAt += n;
    return {static_cast<std::int32_t>(n), 0};
}

std::string_view FakeFile::TakeHeld() {
    const std::string_view held(m_held.data() + m_heldAt, m_heldEnd - m_heldAt);
    m_heldAt = m_heldEnd;
    return held;
}

std::int32_t FakeFile::Write(const char* data, std::int32_t size) {
    if (m_log->writeCalls++ == m_script.failingWrite) return m_script.writeError;
    m_log->writes.emplace_back(data, static_cast<std::size_t>(size));
    return m_inner ? m_inner->Write(data, size) : 0;
}

platform::KindResult FakeFile::Kind() {
    if (m_script.kind) return *m_script.kind;
    return m_inner ? m_inner->Kind() : platform::KindResult{};
}

std::int32_t FakeFile::Release() {
    m_log->released = true;
    const std::int32_t inner = m_inner ? m_inner->Release() : 0;
    return m_script.releaseError != 0 ? m_script.releaseError : inner;
}

platform::OpenResult FakeSystem::OpenRead(const std::string& name) {
    return openRead ? openRead(name) : Inner().OpenRead(name);
}

platform::OpenResult FakeSystem::Create(const std::string& name) {
    return create ? create(name) : Inner().Create(name);
}

std::int32_t FakeSystem::MakeDirectory(const std::string& path) {
    const std::int32_t error = beforeNaming ? beforeNaming(path) : 0;
    return error != 0 ? error : Inner().MakeDirectory(path);
}

std::int32_t FakeSystem::Rename(const std::string& from, const std::string& to) {
    const std::int32_t error = beforeNaming ? beforeNaming(to) : 0;
    return error != 0 ? error : Inner().Rename(from, to);
}

std::int32_t FakeSystem::ListDirectory(const std::string& path,
                                       const std::function<void(const platform::DirEntry&)>& each) {
    ++listings;
    if (beforeListing) {
        if (const std::int32_t error = beforeListing(path); error != 0) return error;
    }
    if (!arrangeListing) return Inner().ListDirectory(path, each);
    std::vector<Listed> entries;
    const std::int32_t result = Inner().ListDirectory(path, [&](const platform::DirEntry& entry) {
        entries.push_back({std::string(entry.name), entry.type, entry.hidden});
    });
    arrangeListing(entries);
    for (const Listed& entry : entries)
        each(platform::DirEntry{entry.name, entry.type, entry.hidden});
    return result;
}

std::int32_t FakeSystem::SetCurrentDirectory(const std::string& path) {
    if (failSetCurrentDirectory) {
        if (const std::int32_t error = failSetCurrentDirectory(path); error != 0) return error;
    }
    const std::int32_t error = Inner().SetCurrentDirectory(path);
    if (error == 0) directoriesEntered.push_back(path);
    return error;
}

std::vector<platform::Volume> FakeSystem::ListVolumes() {
    ++volumeListings;
    return listVolumes ? listVolumes() : Inner().ListVolumes();
}

}  // namespace sifter::test
