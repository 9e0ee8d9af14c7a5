// The microbenchmarks, registered by the program's main after it has silenced standard output.
#pragma once

#include <benchmark/benchmark.h>

#include "workloads.h"

// The workloads through the exported functions, named "workload/<label>".
void register_workload_benchmarks();
// Hot internals through the engine headers, and the floors they are compared with.
void register_internal_benchmarks();

// Adds what the workload's times are also wanted in: time per statement for W2 (an operation is
// a whole script) and bytes per second for W4.
void report_units(benchmark::State& state, Workload workload);
