// The proof that a prepared script runs exactly as its text: the differential test and its fuzz
// target both run a script through run_parser and through a prepared script from the same start
// and compare everything a host can observe of the runs.
#pragma once

#include <functional>
#include <string>

// How a harness brings the library to the start and watches a run.
struct RunHarness {
    std::function<void()> start;  // a store in the same state every time
    // Calls `run` and returns what it wrote to standard output.
    std::function<std::string(const std::function<void()>& run)> captured_output;
    std::function<int()> notifications_taken;  // the notifications posted since the last call
};

// "" when a prepared `script` runs as its text by run_parser, from the harness's start, on its
// first run, on a reused run, and on a reused run after the host gave each of the script's names
// another type; and in four runs in a row from the start, the host retyping the names before the
// last: the runs that compile the script and run its code. Otherwise the first run that
// differs, with both records.
std::string prepared_run_difference(const RunHarness& harness, const char* script);
