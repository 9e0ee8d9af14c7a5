// Hot internals through the engine headers: the scanner and find_variable (under the store lock,
// as a run holds it), the trace lines every statement prints and the store lock every host call
// takes. Beside them the floors that no implementation goes below: a plain recursive mutex, and a
// loop that merely looks at every byte of a text.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "benchmarks.h"
#include "output.h"
#include "regscript.h"
#include "scanner.h"
#include "store.h"
#include "store_lock.h"

namespace {

// W2's script cut into tokens, without parsing or running it.
void scan_long_script(benchmark::State& state) {
    const std::string& text = script_texts(Workload::long_script).regscript;
    reset_registers();
    StoreLockScope lock;
    std::size_t tokens = 0;
    SemanticValue value;
    for (auto _ : state) {
        if (!scanner_open_text(text.c_str())) break;
        while (next_token(&value) != 0) ++tokens;
        scanner_close_text();
    }
    benchmark::DoNotOptimize(tokens);
    report_units(state, Workload::long_script);
}

// Lookups by name in a store of W3's variables, each name in turn.
void find_variables(benchmark::State& state, Workload pairs_workload) {
    VariablePairs pairs(pairs_workload);
    const std::vector<std::string>& names = pairs.names();
    reset_registers();
    StoreLockScope lock;
    for (const std::string& name : names) create_variable(name, INT_VAR);
    std::size_t next = 0;
    std::size_t missing = 0;
    for (auto _ : state) {
        Variable* variable = find_variable(names[next]);
        benchmark::DoNotOptimize(variable);
        missing += variable == nullptr;
        if (++next == names.size()) next = 0;
    }
    if (missing != 0) state.SkipWithError("find_variable missed a variable of the store");
}

void print_integer_lines(benchmark::State& state) {
    int32_t value = 0;
    for (auto _ : state) print_integer_statement(value++);
}

void print_double_lines(benchmark::State& state) {
    int32_t value = 0;
    for (auto _ : state) {
        print_double_statement(static_cast<double>(value) * 0.75, value);
        ++value;
    }
}

void print_string_lines(benchmark::State& state) {
    for (auto _ : state) print_string_statement("12345");
}

// Each call of a W3 pair takes and releases the store lock: the library's lock, and a plain
// recursive mutex as the floor.
void store_lock_twice(benchmark::State& state) {
    for (auto _ : state) {
        store_lock_wait();
        store_lock_release();
        store_lock_wait();
        store_lock_release();
    }
}

void recursive_mutex_twice(benchmark::State& state) {
    std::recursive_mutex mutex;
    for (auto _ : state) {
        mutex.lock();
        mutex.unlock();
        mutex.lock();
        mutex.unlock();
    }
}

// Looks at every byte up to the NUL, one at a time, counting lines: the least a scanner does.
std::size_t count_lines(const char* text) {
    std::size_t lines = 0;
    for (; *text; ++text) lines += *text == '\n';
    return lines;
}

void byte_loop(benchmark::State& state, const std::string& text, Workload workload) {
    std::size_t lines = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(text.data());
        lines += count_lines(text.c_str());
    }
    benchmark::DoNotOptimize(lines);
    report_units(state, workload);
}

}  // namespace

void register_internal_benchmarks() {
    benchmark::RegisterBenchmark("internal/scanner/W2", scan_long_script)->Unit(benchmark::kMillisecond);
    for (Workload workload : {Workload::variables_10, Workload::variables_1000, Workload::variables_10000}) {
        std::string name = std::string("internal/find_variable/") + workload_info(workload).label;
        benchmark::RegisterBenchmark(name.c_str(), find_variables, workload);
    }
    benchmark::RegisterBenchmark("internal/trace_line/integer", print_integer_lines);
    benchmark::RegisterBenchmark("internal/trace_line/double", print_double_lines);
    benchmark::RegisterBenchmark("internal/trace_line/string", print_string_lines);
    benchmark::RegisterBenchmark("internal/store_lock_twice", store_lock_twice);
    benchmark::RegisterBenchmark("floor/recursive_mutex_twice", recursive_mutex_twice);
    benchmark::RegisterBenchmark("floor/byte_loop/W2", byte_loop,
                                 std::cref(script_texts(Workload::long_script).regscript), Workload::long_script)
        ->Unit(benchmark::kMicrosecond);
    benchmark::RegisterBenchmark("floor/byte_loop/W4", byte_loop, std::cref(substitution_texts().text),
                                 Workload::substitution)
        ->Unit(benchmark::kMicrosecond);
}
