#include "search/files/parallel_walk.h"

#include <algorithm>
#include <utility>

namespace sifter {

ParallelWalk::ParallelWalk(platform::SystemApi& system, std::string root, WalkRules rules,
                           std::int32_t workers)
    : m_system(system),
      m_root(std::move(root)),
      m_rules(std::move(rules)),
      m_workerCount(m_rules.subdirectories ? std::max(workers, 0) : 0),
      m_stack{&m_top},
      m_cursor{&m_top} {}

ParallelWalk::~ParallelWalk() {
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    for (std::thread& worker : m_workers) worker.join();
}

void ParallelWalk::Start() {
    if (m_started) return;
    m_started = true;
    std::unique_lock<std::mutex> lock(m_mutex);
    ListOne(lock);
}

bool ParallelWalk::Done() {
    const std::lock_guard<std::mutex> lock(m_mutex);
    return m_failure || (m_stack.empty() && m_listing == 0);
}

void ParallelWalk::Step() {
    Start();
    std::unique_lock<std::mutex> lock(m_mutex);
    ListOne(lock);
}

void ParallelWalk::Finish() {
    Start();
    StartWorkers();
    Work();
    {
        // The walk is over, or stopped by a failure: the workers return.
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
    }
    m_wake.notify_all();
    for (std::thread& worker : m_workers) worker.join();
    m_workers.clear();
    if (m_failure) std::rethrow_exception(m_failure);
}

void ParallelWalk::StartWorkers() {
    // Once, and only when there is more than the walked directory to list: the workers cost
    // nothing to a directory without subdirectories, nor to a walk given up after its start.
    if (m_workersStarted) return;
    m_workersStarted = true;
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stack.empty() || m_failure) return;
    }
    // When the system gives no more threads, the walk goes on with those it has.
    platform::StartSpreadThreads(m_workers, m_workerCount, [this] { Work(); });
}

void ParallelWalk::Work() {
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return m_stop || !m_stack.empty() || m_listing == 0; });
        if (m_stop || m_stack.empty()) return;
        ListOne(lock);
    }
}

void ParallelWalk::ListOne(std::unique_lock<std::mutex>& lock) {
    if (m_stop || m_stack.empty()) return;
    Node* node = m_stack.back();
    m_stack.pop_back();
    ++m_listing;
    lock.unlock();
    WalkedDirectory listed;
    std::vector<std::unique_ptr<Node>> children;
    try {
        listed = ListWalkedDirectory(m_system, m_root, node->relative, m_rules);
        children.reserve(listed.directories.size());
        for (std::string& name : listed.directories) {
            children.push_back(std::make_unique<Node>());
            children.back()->relative = std::move(name);
        }
    } catch (...) {
        lock.lock();
        --m_listing;
        if (!m_failure) m_failure = std::current_exception();
        m_stop = true;
        m_wake.notify_all();
        return;
    }
    lock.lock();
    --m_listing;
    node->listed = true;
    node->error = listed.error;
    node->files = std::move(listed.files);
    m_shortReadIsEnd = m_shortReadIsEnd && listed.shortReadIsEnd;
    node->children = std::move(children);
    // The first subdirectory is listed next: the stack takes them from the last.
    for (auto it = node->children.rbegin(); it != node->children.rend(); ++it)
        m_stack.push_back(it->get());
    TakeReady();
    if (m_stack.size() > 1 || (m_stack.empty() && m_listing == 0)) m_wake.notify_all();
}

void ParallelWalk::TakeReady() {
    while (!m_cursor.empty()) {
        Node* node = m_cursor.back();
        if (!node->listed) return;
        if (!node->taken) {
            node->taken = true;
            if (node == &m_top && node->error != 0) {
                m_topError = node->error;
            } else if (node->error != 0) {
                m_unreadable.push_back(
                    {node->relative, node->error, static_cast<std::int32_t>(m_names.size())});
            }
            for (std::string& name : node->files) m_names.push_back(std::move(name));
            std::vector<std::string>().swap(node->files);
        }
        if (node->nextChild < node->children.size()) {
            m_cursor.push_back(node->children[node->nextChild++].get());
            continue;
        }
        // The node's whole subtree is among the names now: no thread holds any of it.
        node->children.clear();
        m_cursor.pop_back();
    }
}

}  // namespace sifter
