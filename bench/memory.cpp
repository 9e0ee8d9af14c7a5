// The heap regscript and Lua 5.4 take, counted at malloc (counting_heap.h): the bytes each int
// variable adds to the engine, among 10,000, and the peak while running W2's script (Lua
// compiles its copy and runs it). regscript_compare prints this table after its own.
//
//   regscript_memory
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "counting_heap.h"
#include "quiet_output.h"
#include "regscript.h"
#include "runner.h"
#include "workloads.h"

namespace {

using MakeRunner = std::unique_ptr<WorkloadRunner> (*)(Workload);

struct Engine {
    const char* name;
    MakeRunner make_runner;
};

const Engine engines[] = {{"regscript", make_regscript_runner}, {"Lua 5.4", make_lua_runner}};

// The heap bytes that `make` leaves in use while what it made lives. regscript's store outlives
// its runners: it is emptied first.
template <typename Make>
int64_t growth(Make make) {
    reset_registers();
    int64_t before = heap_bytes_in_use();
    auto made = make();
    return heap_bytes_in_use() - before;
}

// Each engine's runner of W3-10 and W3-10000 holds its state and the harness's names; the
// difference, less the names' own, is what the 9,990 more variables take in the engine.
double bytes_per_variable(MakeRunner make_runner) {
    auto runner_bytes = [make_runner](Workload workload) { return growth([&] { return make_runner(workload); }); };
    auto names_bytes = [](Workload workload) { return growth([&] { return std::make_unique<VariablePairs>(workload); }); };
    int64_t engine_bytes = runner_bytes(Workload::variables_10000) - runner_bytes(Workload::variables_10) -
                           (names_bytes(Workload::variables_10000) - names_bytes(Workload::variables_10));
    auto added = static_cast<double>(store_size(Workload::variables_10000) - store_size(Workload::variables_10));
    return static_cast<double>(engine_bytes) / added;
}

// The most the heap grows in one run of W2 on a fresh runner; -1 when the run gives wrong values.
int64_t long_script_peak(MakeRunner make_runner) {
    std::unique_ptr<WorkloadRunner> runner = make_runner(Workload::long_script);
    int64_t before = heap_bytes_in_use();
    start_heap_peak();
    runner->run(1);
    int64_t peak = heap_peak() - before;
    return runner->check().empty() ? peak : -1;
}

}  // namespace

int main() {
    FILE* out = silence_standard_output();
    if (!out) return 1;
    // Standard output's buffer is the C library's, allocated at its first write: not W2's.
    std::fputs("\n", stdout);
    script_texts(Workload::long_script);
    init_registers();
    bool failed = false;
    std::fprintf(out, "| memory | regscript | Lua 5.4 |\n|---|--:|--:|\n| heap per int variable, among 10,000 |");
    for (const Engine& engine : engines) std::fprintf(out, " %.0f bytes |", bytes_per_variable(engine.make_runner));
    std::fprintf(out, "\n| W2: peak heap growth while running the 3.3 MB script |");
    for (const Engine& engine : engines) {
        int64_t peak = long_script_peak(engine.make_runner);
        failed = failed || peak < 0;
        std::fprintf(out, " %s |", peak < 0 ? "wrong values" : (std::to_string((peak + 512) / 1024) + " KB").c_str());
    }
    std::fprintf(out, "\n\nHeap bytes counted at malloc, calloc, realloc and free (malloc_usable_size), for both "
                      "engines alike.\n");
    deinit_registers();
    return failed ? 1 : 0;
}
