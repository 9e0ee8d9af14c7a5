// One workload as one engine performs it, behind one interface, so that the microbenchmarks and
// the comparison measure every engine the same way.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

#include "workloads.h"

// Constructing a runner prepares its engine (a fresh state, the workload's variables and setup)
// outside any measurement; run() is what gets measured.
class WorkloadRunner {
public:
    WorkloadRunner() = default;
    WorkloadRunner(const WorkloadRunner&) = delete;
    WorkloadRunner& operator=(const WorkloadRunner&) = delete;
    virtual ~WorkloadRunner() = default;

    // Performs `count` operations of the workload.
    virtual void run(std::size_t count) = 0;

    // "" when the engine holds every value that all operations so far should have produced,
    // otherwise what is wrong.
    virtual std::string check() = 0;
};

// Null when the engine cannot run the workload. regscript keeps one store per process, so only
// one of its runners may exist at a time; Lua and muparser runners each have their own state.
std::unique_ptr<WorkloadRunner> make_regscript_runner(Workload workload);
std::unique_ptr<WorkloadRunner> make_lua_runner(Workload workload);
// Lua with a lock around every host call, as a host that shares its state between threads.
std::unique_ptr<WorkloadRunner> make_locked_lua_runner(Workload workload);
std::unique_ptr<WorkloadRunner> make_muparser_runner(Workload workload);
