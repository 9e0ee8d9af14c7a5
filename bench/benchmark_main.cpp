// The microbenchmarks' program: Google Benchmark's usual flags (--benchmark_filter=...,
// --benchmark_min_time=...), with the library's trace lines sent to /dev/null and the results
// to standard output. It fails when a benchmark found wrong values.
#include <unistd.h>

#include <ostream>
#include <vector>

#include "benchmarks.h"
#include "quiet_output.h"
#include "regscript.h"

namespace {

class CheckingReporter final : public benchmark::ConsoleReporter {
public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) failed_ = failed_ || run.error_occurred;
        ConsoleReporter::ReportRuns(runs);
    }

    bool failed() const { return failed_; }

private:
    bool failed_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    FILE* results = silence_standard_output();
    if (!results) return 1;
    FileStreamBuffer buffer(results);
    std::ostream output(&buffer);
    CheckingReporter reporter(isatty(fileno(results)) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                      : benchmark::ConsoleReporter::OO_Tabular);
    reporter.SetOutputStream(&output);

    init_registers();
    register_workload_benchmarks();
    register_internal_benchmarks();
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    deinit_registers();
    output.flush();
    return reporter.failed() ? 1 : 0;
}
