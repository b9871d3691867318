#pragma once
// The walk of directory_walk.h with its directories listed on several threads at once: the
// same files in the same order, the same directories noted as not read, at the same places.
//
// Every thread takes the next directory from one shared stack, lists it, and puts its
// subdirectories back on the stack, the first on top, so that the threads stay close to the
// place the walk's order has reached. As soon as a directory is listed and every directory
// before it in the order is too, its files join the names: what a thread listed ahead waits
// in the tree until then. Nothing is listed twice. The names are the file set's whole list, so
// what waits ahead is never more than part of what the set will hold, plus one small node per
// directory found and not yet listed.

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/platform.h"
#include "search/files/directory_walk.h"

namespace sifter {

class ParallelWalk final {
public:
    // As DirectoryWalk; `workers` threads list directories beside the one that calls Finish.
    ParallelWalk(platform::SystemApi& system, std::string root, WalkRules rules,
                 std::int32_t workers);
    // Stops the workers and waits for them.
    ~ParallelWalk();
    ParallelWalk(const ParallelWalk&) = delete;
    ParallelWalk& operator=(const ParallelWalk&) = delete;

    // `system` must be safe on several threads at once. Only running out of memory is thrown,
    // on the calling thread whichever thread met it; a walked directory that cannot be listed
    // ends the walk (TopError).
    //
    // Lists the walked directory on the calling thread.
    void Start();
    // Whether every directory is listed, or the walk was stopped by a failure Finish throws.
    bool Done();
    // Lists one directory on the calling thread alone, when one waits. The workers are left
    // out: a walk spread over a window's events is dropped at every key typed, and it would
    // wait for them to come back.
    void Step();
    // Lists what is left, on the calling thread too, and waits for the workers: the names are
    // complete.
    void Finish();

    // What the walk found, once Finish has returned.
    std::vector<std::string>& Names() { return m_names; }
    std::vector<UnreadableDirectory>& Unreadable() { return m_unreadable; }
    std::int32_t TopError() const { return m_topError; }
    bool ShortReadIsEnd() const { return m_shortReadIsEnd; }

private:
    struct Node {
        std::string relative;
        bool listed = false;
        bool taken = false;  // its files are among the names
        std::int32_t error = 0;
        std::vector<std::string> files;
        std::vector<std::unique_ptr<Node>> children;
        std::size_t nextChild = 0;
    };

    // Lists directories until none is left or the walk is stopped.
    void Work();
    // Under the lock, which it lets go while it lists: the next directory of the stack, if any.
    void ListOne(std::unique_lock<std::mutex>& lock);
    // On the calling thread, once, when there is more to list than the walked directory.
    void StartWorkers();
    // Under the lock: moves into the names what the order has reached.
    void TakeReady();

    platform::SystemApi& m_system;
    const std::string m_root;
    const WalkRules m_rules;
    const std::int32_t m_workerCount;
    bool m_started = false;         // the calling thread's own
    bool m_workersStarted = false;  // the same

    std::mutex m_mutex;
    std::condition_variable m_wake;
    Node m_top;
    std::vector<Node*> m_stack;   // directories found and not yet taken to list, next last
    std::vector<Node*> m_cursor;  // the path of the order's place, from the top
    int m_listing = 0;            // directories being listed now
    bool m_stop = false;
    std::exception_ptr m_failure;
    std::vector<std::thread> m_workers;

    std::vector<std::string> m_names;
    std::vector<UnreadableDirectory> m_unreadable;
    std::int32_t m_topError = 0;
    // Every file listed so far is one the system may read without asking past its end.
    bool m_shortReadIsEnd = true;
};

}  // namespace sifter
