#pragma once
// A system that hands every call on to another one, the real system unless it is given
// another: the base of the tests' fakes, each of which overrides only the calls it scripts.

#include <functional>
#include <string>
#include <vector>

#include "platform/platform.h"

namespace sifter::test {

class ForwardingSystem : public platform::SystemApi {
public:
    explicit ForwardingSystem(platform::SystemApi& inner = platform::NativeSystem())
        : m_inner(&inner) {}

    platform::OpenResult OpenRead(const std::string& name) override {
        return m_inner->OpenRead(name);
    }
    platform::OpenResult Create(const std::string& name) override { return m_inner->Create(name); }
    std::int32_t ListDirectory(
        const std::string& path,
        const std::function<void(const platform::DirEntry&)>& each) override {
        return m_inner->ListDirectory(path, each);
    }
    platform::EntryType ResolveType(const std::string& path) override {
        return m_inner->ResolveType(path);
    }
    void AdviseWillRead(const std::string& name) override { m_inner->AdviseWillRead(name); }
    platform::PathResult CurrentDirectory() override { return m_inner->CurrentDirectory(); }
    std::int32_t SetCurrentDirectory(const std::string& path) override {
        return m_inner->SetCurrentDirectory(path);
    }
    platform::PathResult FullPath(const std::string& path) override {
        return m_inner->FullPath(path);
    }
    std::vector<platform::Volume> ListVolumes() override { return m_inner->ListVolumes(); }
    std::int32_t MakeDirectory(const std::string& path) override {
        return m_inner->MakeDirectory(path);
    }
    std::int32_t Rename(const std::string& from, const std::string& to) override {
        return m_inner->Rename(from, to);
    }
    std::int32_t RemoveFile(const std::string& name) override { return m_inner->RemoveFile(name); }

protected:
    platform::SystemApi& Inner() const { return *m_inner; }

private:
    platform::SystemApi* m_inner;
};

}  // namespace sifter::test
