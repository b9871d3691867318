#pragma once
// The real system with one chosen call made to fail: which kind of call, which occurrence of
// it, which code, and for reads and writes after how many bytes of the file. Everything else
// goes to the real files, so a test sees exactly what a failing disk would leave behind.
//
// Header only: the engine tests and the window tests both use it, and each links its own set
// of support sources.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "forwarding_system.h"
#include "platform/platform.h"

namespace sifter::test {

enum class Call {
    OpenRead,
    Create,
    Read,
    Write,
    Kind,
    Release,
    SetCurrentDirectory,
    ListDirectory,
    MakeDirectory,
    Rename  // named by the file it replaces
};

struct Fault {
    static constexpr int kForever = -1;

    Call call = Call::Read;
    int occurrence = 1;      // the first call of that kind that fails, counted from 1
    int times = 1;           // how many such calls fail in a row from then on, or kForever
    std::int32_t error = 5;  // the code as the platform hands it up (MapSystemError of an errno)
    // Reads and writes: only a call that would carry the file past this many bytes counts, so
    // the bytes before it reach the real file (or the reader) untouched. Listings: the number
    // of entries delivered before the listing fails.
    std::int64_t after = 0;
    // When set, only calls on this name count: the whole name or its last path component; for
    // reads, writes, kinds and releases the name the file was opened with.
    std::string name;
    // Runs when the fault fires, before its code is returned: the world changing under the
    // program (a file removed or cut short) at a chosen moment. With `error` 0 the call then
    // goes on to the real system as if nothing had happened.
    std::function<void()> action;
};

class FaultySystem final : public ForwardingSystem {
public:
    // Without a fault it is the real system; `Inject` arms one and starts counting afresh.
    FaultySystem() = default;
    explicit FaultySystem(Fault fault) { Inject(std::move(fault)); }
    void Inject(Fault fault) {
        m_fault = std::move(fault);
        m_armed = true;
        m_seen = 0;
        m_fired = 0;
    }
    void Disarm() { m_armed = false; }

    // Since the fault was injected: how many calls it has fired at, and how many calls of its
    // kind (and name) there have been.
    int fired() const { return m_fired; }
    int seen() const { return m_seen; }

    platform::OpenResult OpenRead(const std::string& name) override {
        if (Fires(Call::OpenRead, name)) return {nullptr, m_fault.error};
        return Wrap(name, Inner().OpenRead(name));
    }
    platform::OpenResult Create(const std::string& name) override {
        if (Fires(Call::Create, name)) return {nullptr, m_fault.error};
        return Wrap(name, Inner().Create(name));
    }
    std::int32_t ListDirectory(
        const std::string& path,
        const std::function<void(const platform::DirEntry&)>& each) override {
        // The fault is weighed once the listing has delivered `after` entries, or at its end
        // when there are fewer.
        bool weighed = false;
        bool fails = false;
        const auto weigh = [&] {
            if (weighed) return;
            weighed = true;
            fails = Fires(Call::ListDirectory, path);
        };
        std::int64_t delivered = 0;
        const std::int32_t result =
            Inner().ListDirectory(path, [&](const platform::DirEntry& entry) {
                if (delivered++ == m_fault.after) weigh();
                if (!fails) each(entry);
            });
        weigh();
        return fails ? m_fault.error : result;
    }
    std::int32_t SetCurrentDirectory(const std::string& path) override {
        if (Fires(Call::SetCurrentDirectory, path)) return m_fault.error;
        return Inner().SetCurrentDirectory(path);
    }
    std::int32_t MakeDirectory(const std::string& path) override {
        if (Fires(Call::MakeDirectory, path)) return m_fault.error;
        return Inner().MakeDirectory(path);
    }
    std::int32_t Rename(const std::string& from, const std::string& to) override {
        if (Fires(Call::Rename, to)) return m_fault.error;
        return Inner().Rename(from, to);
    }

private:
    // True when this call of kind `call` is one the fault makes fail; counts the call.
    bool Fires(Call call, const std::string& name) {
        if (!m_armed || call != m_fault.call || !Names(name)) return false;
        const int seen = ++m_seen;
        if (seen < m_fault.occurrence) return false;
        if (m_fault.times != Fault::kForever && seen >= m_fault.occurrence + m_fault.times)
            return false;
        ++m_fired;
        if (m_fault.action) m_fault.action();
        return m_fault.error != 0;
    }
    const Fault& fault() const { return m_fault; }

    bool Names(const std::string& name) const {
        const std::string& wanted = m_fault.name;
        if (wanted.empty() || name == wanted) return true;
        return name.size() > wanted.size() && name.ends_with(wanted) &&
               name[name.size() - wanted.size() - 1] == '/';
    }

    class File final : public platform::OsFile {
    public:
        File(FaultySystem& system, std::string name, std::unique_ptr<platform::OsFile> inner)
            : m_system(system), m_name(std::move(name)), m_inner(std::move(inner)) {}

        platform::ReadResult Read(char* buffer, std::int32_t size) override {
            // Bytes a failed call held back come first: the failure lost nothing of the file.
            std::int32_t n;
            const bool fresh = m_held.empty();
            if (fresh) {
                const platform::ReadResult got = m_inner->Read(buffer, size);
                if (got.error != 0 || got.count == 0) return got;
                n = got.count;
            } else {
                n = std::min<std::int32_t>(size, static_cast<std::int32_t>(m_held.size()));
                std::memcpy(buffer, m_held.data(), static_cast<std::size_t>(n));
            }
            if (m_delivered + n > m_system.fault().after && m_system.Fires(Call::Read, m_name)) {
                if (fresh) m_held.assign(buffer, static_cast<std::size_t>(n));
                return {0, m_system.fault().error};
            }
            if (!fresh) m_held.erase(0, static_cast<std::size_t>(n));
            m_delivered += n;
            return {n, 0};
        }
        std::int32_t Write(const char* data, std::int32_t size) override {
            if (m_written + size > m_system.fault().after && m_system.Fires(Call::Write, m_name))
                return m_system.fault().error;
            const std::int32_t error = m_inner->Write(data, size);
            if (error == 0) m_written += size;
            return error;
        }
        platform::KindResult Kind() override {
            if (m_system.Fires(Call::Kind, m_name))
                return {platform::HandleKind::Other, m_system.fault().error};
            return m_inner->Kind();
        }
        std::int32_t Release() override {
            // The descriptor goes either way, as on Linux a failed close still releases it.
            const std::int32_t real = m_inner->Release();
            return m_system.Fires(Call::Release, m_name) ? m_system.fault().error : real;
        }

    private:
        FaultySystem& m_system;
        const std::string m_name;
        std::unique_ptr<platform::OsFile> m_inner;
        std::string m_held;
        std::int64_t m_delivered = 0;
        std::int64_t m_written = 0;
    };

    platform::OpenResult Wrap(const std::string& name, platform::OpenResult opened) {
        if (opened.file) opened.file = std::make_unique<File>(*this, name, std::move(opened.file));
        return opened;
    }

    Fault m_fault;
    bool m_armed = false;
    int m_seen = 0;
    int m_fired = 0;
};

}  // namespace sifter::test
