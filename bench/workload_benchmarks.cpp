// One iteration is one operation of the workload through regscript's exported functions, the
// same runner that the comparison with Lua and muparser times.
#include <memory>
#include <string>

#include "benchmarks.h"
#include "runner.h"

namespace {

void run_workload(benchmark::State& state, Workload workload) {
    std::unique_ptr<WorkloadRunner> runner = make_regscript_runner(workload);
    for (auto _ : state) runner->run(1);
    report_units(state, workload);
    if (std::string problem = runner->check(); !problem.empty()) state.SkipWithError(problem.c_str());
}

benchmark::TimeUnit readable_unit(Workload workload) {
    switch (workload) {
        case Workload::long_script:
        case Workload::long_script_prepared:
        case Workload::long_script_quiet: return benchmark::kMillisecond;
        case Workload::substitution: return benchmark::kMicrosecond;
        default: return benchmark::kNanosecond;
    }
}

}  // namespace

void report_units(benchmark::State& state, Workload workload) {
    const WorkloadInfo& info = workload_info(workload);
    if (info.units_per_operation > 1) {
        state.counters[std::string("per_") + info.unit] = benchmark::Counter(
            info.units_per_operation, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
    }
    if (info.bytes_per_operation > 0) {
        state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(info.bytes_per_operation));
    }
}

void register_workload_benchmarks() {
    for (const WorkloadInfo& info : all_workloads()) {
        Workload workload = info.workload;
        benchmark::RegisterBenchmark((std::string("workload/") + info.label).c_str(),
                                     [workload](benchmark::State& state) { run_workload(state, workload); })
            ->Unit(readable_unit(workload));
    }
}
