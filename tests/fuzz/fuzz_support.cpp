#include "fuzz_support.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "search/lines/line_file.h"

namespace sifter::fuzz {

void Fail(const char* format, ...) {
    std::va_list arguments;
    va_start(arguments, format);
    std::fputs("DIFFERENCE: ", stderr);
    std::vfprintf(stderr, format, arguments);
    std::fputc('\n', stderr);
    va_end(arguments);
    std::abort();
}

ReadScript::ReadScript(std::string_view data, std::vector<ReadStep> steps)
    : m_data(data), m_steps(std::move(steps)) {}

platform::ReadResult ReadScript::Read(char* buffer, std::int32_t size) {
    const int call = m_calls++;
    std::int32_t most = size;
    if (!m_steps.empty()) {
        const ReadStep& step = m_steps[static_cast<std::size_t>(call) % m_steps.size()];
        if (step.error != 0) return {0, step.error};
        most = std::min(most, step.most);
    }
    const std::size_t n = std::min(static_cast<std::size_t>(most), m_data.size() - m_served);
    std::memcpy(buffer, m_data.data() + m_served, n);
    m_served += n;
    return {static_cast<std::int32_t>(n), 0};
}

namespace {

void CheckRequest(std::int32_t size) {
    if (size != LineFile::kBufferSize) Fail("a read asked for %d bytes", static_cast<int>(size));
}

// Reads go to the script; nothing else is expected of the file.
class ScriptedFile final : public platform::OsFile {
public:
    ScriptedFile(ReadScript& script, int& reads) : m_script(script), m_reads(reads) {}
    platform::ReadResult Read(char* buffer, std::int32_t size) override {
        CheckRequest(size);
        ++m_reads;
        return m_script.Read(buffer, size);
    }
    std::int32_t Write(const char*, std::int32_t) override {
        Fail("a file opened for reading was written");
    }
    platform::KindResult Kind() override { return {}; }
    std::int32_t Release() override { return 0; }

private:
    ReadScript& m_script;
    int& m_reads;
};

// A real file whose read calls are counted on their way through.
class CountedFile final : public platform::OsFile {
public:
    CountedFile(std::unique_ptr<platform::OsFile> inner, int& reads)
        : m_inner(std::move(inner)), m_reads(reads) {}
    platform::ReadResult Read(char* buffer, std::int32_t size) override {
        CheckRequest(size);
        ++m_reads;
        return m_inner->Read(buffer, size);
    }
    std::int32_t Write(const char* data, std::int32_t size) override {
        return m_inner->Write(data, size);
    }
    platform::KindResult Kind() override { return m_inner->Kind(); }
    std::int32_t Release() override { return m_inner->Release(); }

private:
    std::unique_ptr<platform::OsFile> m_inner;
    int& m_reads;
};

}  // namespace

platform::OpenResult FuzzSystem::OpenRead(const std::string& name) {
    if (m_script != nullptr) return {std::make_unique<ScriptedFile>(*m_script, m_reads), 0};
    platform::OpenResult opened = Inner().OpenRead(name);
    if (opened.file) opened.file = std::make_unique<CountedFile>(std::move(opened.file), m_reads);
    return opened;
}

}  // namespace sifter::fuzz
