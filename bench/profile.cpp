// Runs one workload on regscript a given number of times, for callgrind: with
// --toggle-collect='*measured_runs*' it counts the instructions of the runs and not those of the
// setup. Prints the number of units (runs, statements, ...) the runs made and their name.
//
//   regscript_profile <label> <operations>      e.g. regscript_profile W2 3
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "quiet_output.h"
#include "regscript.h"
#include "runner.h"
#include "workloads.h"

namespace {

[[gnu::noinline]] void measured_runs(WorkloadRunner& runner, std::size_t operations) { runner.run(operations); }

}  // namespace

int main(int argc, char** argv) {
    Workload workload;
    if (argc != 3 || !workload_by_label(argv[1], &workload) || std::atol(argv[2]) < 1) {
        std::fprintf(stderr, "usage: %s <workload label, e.g. W1a> <operations>\n", argv[0]);
        return 2;
    }
    std::size_t operations = static_cast<std::size_t>(std::atol(argv[2]));
    FILE* out = silence_standard_output();
    if (!out) return 1;
    init_registers();
    std::unique_ptr<WorkloadRunner> runner = make_regscript_runner(workload);
    measured_runs(*runner, operations);
    std::string problem = runner->check();
    runner.reset();
    deinit_registers();
    if (!problem.empty()) {
        std::fprintf(stderr, "wrong values: %s\n", problem.c_str());
        return 1;
    }
    const WorkloadInfo& info = workload_info(workload);
    std::fprintf(out, "%.0f %s\n", static_cast<double>(operations) * info.units_per_operation, info.unit);
    return 0;
}
