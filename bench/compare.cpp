// The comparison with the peers a host developer would pick instead of regscript: Lua 5.4, which
// compiles and runs a chunk, alone and behind a lock as a host sharing it between threads must
// put it, and muparser, which parses and evaluates an expression, on the same workloads
// (workloads.h). The engines take turns batch by batch for several rounds, so that
// noise on the machine hits them alike, and the table gives each engine's median. Every batch is
// followed by a check of the values the engine holds; a wrong value fails the program. The table
// of the memory regscript and Lua take follows, from regscript_memory (memory.cpp).
//
//   regscript_compare [--quick]     --quick: a short run with few and small batches
#include <time.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "quiet_output.h"
#include "regscript.h"
#include "runner.h"
#include "workloads.h"

namespace {

struct Options {
    int rounds;
    double batch_seconds;
};

// Many short batches: one that another process interrupts runs on cold caches and is slow, and
// the median of many leaves such batches out.
constexpr Options full_run = {31, 0.005};
constexpr Options quick_run = {3, 0.002};

struct Engine {
    const char* name;
    std::unique_ptr<WorkloadRunner> (*make_runner)(Workload);
};

constexpr std::size_t engine_count = 4;
constexpr std::size_t regscript = 0;
constexpr std::size_t lua = 1;
constexpr std::size_t locked_lua = 2;
const std::array<Engine, engine_count> engines = {{
    {"regscript", make_regscript_runner},
    {"Lua 5.4", make_lua_runner},
    {"Lua 5.4 + mutex", make_locked_lua_runner},
    {"muparser", make_muparser_runner},
}};

// The most that regscript's time may be of Lua's and of locked Lua's, and for W4 the least
// throughput; 0: no goal.
struct Goal {
    double most_of_lua;
    double most_of_locked_lua;
    double least_mb_per_second;
};

Goal goal_of(Workload workload) {
    switch (workload) {
        case Workload::one_statement: return {0.15, 0, 0};
        case Workload::five_statements: return {0.25, 0, 0};
        case Workload::long_script: return {0.3, 0, 0};
        case Workload::one_statement_prepared: return {2.0, 0, 0};
        case Workload::long_script_prepared: return {1.5, 0, 0};
        case Workload::one_statement_quiet:
        case Workload::long_script_quiet: return {0.7, 0, 0};
        case Workload::variables_10:
        case Workload::variables_1000:
        case Workload::variables_10000: return {1.0, 0.7, 0};
        case Workload::substitution: return {0.15, 0, 500};
        default: return {0, 0, 0};
    }
}

// One workload's result: each engine's median time per unit, absent where it cannot run it.
struct Row {
    const WorkloadInfo* info;
    std::array<std::optional<double>, engine_count> nanoseconds;
    std::vector<std::string> failures;
};

// The calling thread's CPU time: unlike the wall clock it does not count the time that other
// processes on the machine take the CPU away. On an idle machine the two agree.
double thread_seconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

double seconds_for(WorkloadRunner& runner, std::size_t count) {
    double start = thread_seconds();
    runner.run(count);
    return thread_seconds() - start;
}

// The number of operations that take about `seconds`; the runs that find it warm the engine up.
std::size_t batch_size(WorkloadRunner& runner, double seconds) {
    for (std::size_t count = 1;; count *= 8) {
        double taken = seconds_for(runner, count);
        if (taken >= seconds / 8) {
            return std::max<std::size_t>(1, static_cast<std::size_t>(static_cast<double>(count) * seconds / taken));
        }
    }
}

double median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    std::size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2;
}

struct Contender {
    std::size_t engine;
    std::unique_ptr<WorkloadRunner> runner;
    std::size_t batch;
    std::vector<double> samples;  // nanoseconds per unit
};

Row measure(const WorkloadInfo& info, const Options& options) {
    Row row{&info, {}, {}};
    std::vector<Contender> contenders;
    for (std::size_t engine = 0; engine < engine_count; ++engine) {
        if (auto runner = engines[engine].make_runner(info.workload)) {
            std::size_t batch = batch_size(*runner, options.batch_seconds);
            contenders.push_back({engine, std::move(runner), batch, {}});
        }
    }
    std::array<bool, engine_count> failed{};
    for (int round = 0; round < options.rounds; ++round) {
        for (std::size_t turn = 0; turn < contenders.size(); ++turn) {
            // Each round another engine goes first.
            Contender& contender = contenders[(static_cast<std::size_t>(round) + turn) % contenders.size()];
            double seconds = seconds_for(*contender.runner, contender.batch);
            contender.samples.push_back(seconds * 1e9 /
                                        (static_cast<double>(contender.batch) * info.units_per_operation));
            std::string problem = contender.runner->check();
            if (!problem.empty() && !failed[contender.engine]) {
                failed[contender.engine] = true;
                row.failures.push_back(std::string(info.label) + ", " + engines[contender.engine].name + ": " + problem);
            }
        }
    }
    for (Contender& contender : contenders) row.nanoseconds[contender.engine] = median(contender.samples);
    return row;
}

// 1234567.8 as "1,234,568".
std::string grouped(double value) {
    std::string digits = std::to_string(std::llround(value));
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

std::string fixed(double value, int decimals) {
    char text[32];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

double megabytes_per_second(const WorkloadInfo& info, double nanoseconds) {
    return static_cast<double>(info.bytes_per_operation) / nanoseconds * 1e3;
}

std::string time_text(const WorkloadInfo& info, std::optional<double> nanoseconds) {
    if (!nanoseconds) return "–";
    std::string text = *nanoseconds < 100        ? fixed(*nanoseconds, 1) + " ns"
                       : *nanoseconds < 100000   ? grouped(*nanoseconds) + " ns"
                                                 : grouped(*nanoseconds / 1000) + " µs";
    if (info.bytes_per_operation > 0) text += " (" + grouped(megabytes_per_second(info, *nanoseconds)) + " MB/s)";
    return text;
}

std::string goal_text(const Goal& goal) {
    if (goal.most_of_lua <= 0) return "–";
    std::string text = "≤ " + fixed(goal.most_of_lua, 2);
    if (goal.most_of_locked_lua > 0) text += ", ≤ " + fixed(goal.most_of_locked_lua, 2) + " locked";
    if (goal.least_mb_per_second > 0) text += ", ≥ " + grouped(goal.least_mb_per_second) + " MB/s";
    return text;
}

// regscript's time over the engine's; absent when the engine cannot run the workload.
std::optional<double> ratio_to(const Row& row, std::size_t engine) {
    if (!row.nanoseconds[engine]) return std::nullopt;
    return *row.nanoseconds[regscript] / *row.nanoseconds[engine];
}

std::string ratio_text(std::optional<double> ratio) { return ratio ? fixed(*ratio, 2) : "–"; }

const char* verdict(const Row& row, const Goal& goal) {
    if (!row.failures.empty()) return "wrong values";
    if (goal.most_of_lua <= 0) return "–";
    bool met = *ratio_to(row, lua) <= goal.most_of_lua &&
               (goal.most_of_locked_lua <= 0 || *ratio_to(row, locked_lua) <= goal.most_of_locked_lua) &&
               megabytes_per_second(*row.info, *row.nanoseconds[regscript]) >= goal.least_mb_per_second;
    return met ? "yes" : "no";
}

void print_row(FILE* out, const Row& row) {
    const WorkloadInfo& info = *row.info;
    std::fprintf(out, "| %s %s, per %s |", info.label, info.description, info.unit);
    for (const std::optional<double>& nanoseconds : row.nanoseconds) {
        std::fprintf(out, " %s |", time_text(info, nanoseconds).c_str());
    }
    Goal goal = goal_of(info.workload);
    std::fprintf(out, " %s | %s | %s | %s |\n", ratio_text(ratio_to(row, lua)).c_str(),
                 ratio_text(ratio_to(row, locked_lua)).c_str(), goal_text(goal).c_str(), verdict(row, goal));
}

void print_table(FILE* out, const std::vector<Row>& rows, const Options& options, double load) {
    std::fprintf(out, "| workload | regscript | Lua 5.4 | Lua 5.4 + mutex | muparser | regscript / Lua | "
                      "regscript / locked Lua | goal | met |\n");
    std::fprintf(out, "|---|--:|--:|--:|--:|--:|--:|---|---|\n");
    for (const Row& row : rows) print_row(out, row);
    std::fprintf(out, "\nMedians of %d rounds in which the engines take turns, batches of about %s ms of thread "
                      "CPU time; %u cores, load average %.1f.\n",
                 options.rounds, fixed(options.batch_seconds * 1000, 0).c_str(), std::thread::hardware_concurrency(),
                 load);
    std::fprintf(out, "regscript prints a trace line for every statement (to /dev/null here); Lua and muparser "
                      "print nothing.\n");
    std::fprintf(out, "Lua 5.4 + mutex: every host call takes a recursive lock with a wait bounded at 1000 ms, as "
                      "regscript's calls do; locked: the goal against it.\n");
    std::fprintf(out, "W1b-num: W1b without format and strlen, which muparser cannot run; muparser keeps every "
                      "variable as a double.\n");
    std::fprintf(out, "W2: Lua's copy of the script has no declarations (99,975 statements); both times are the "
                      "script's divided by 100,000.\n");
    std::fprintf(out, "-prep: the text handed over once and run again: regscript's prepared script, Lua's compiled "
                      "chunk, muparser's parsed expression; -quiet: regscript's output off.\n");
}

// Copies regscript_memory's table to `out`; false when it fails or cannot be run.
bool print_memory_table(FILE* out) {
    FILE* table = popen(REGSCRIPT_MEMORY_PROGRAM, "r");
    if (!table) return false;
    char chunk[4096];
    for (std::size_t length; (length = std::fread(chunk, 1, sizeof chunk, table)) > 0;) std::fwrite(chunk, 1, length, out);
    return pclose(table) == 0;
}

// The system's load average over the last minute: how busy the machine was while measuring.
double load_average() {
    double load = 0;
    getloadavg(&load, 1);
    return load;
}

}  // namespace

int main(int argc, char** argv) {
    Options options = full_run;
    if (argc == 2 && std::strcmp(argv[1], "--quick") == 0) {
        options = quick_run;
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: %s [--quick]\n", argv[0]);
        return 2;
    }
    FILE* out = silence_standard_output();
    if (!out) return 1;
    init_registers();
    std::vector<Row> rows;
    for (const WorkloadInfo& info : all_workloads()) rows.push_back(measure(info, options));
    deinit_registers();

    print_table(out, rows, options, load_average());
    std::fputs("\n", out);
    std::fflush(out);
    bool failed = !print_memory_table(out);
    if (failed) std::fprintf(stderr, "%s failed\n", REGSCRIPT_MEMORY_PROGRAM);
    for (const Row& row : rows) {
        for (const std::string& failure : row.failures) std::fprintf(stderr, "wrong values: %s\n", failure.c_str());
        failed = failed || !row.failures.empty();
    }
    return failed ? 1 : 0;
}
