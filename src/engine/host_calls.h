// Calls of the host's functions from scripts. A call opens when its name and `(` are read; each
// argument is checked against the function's parameter as it is reduced, so that a mismatch is
// found where it stands; the function runs when the call's `)` is reduced. Calls nest:
// `f(g(1), 2)` opens f, then g, runs g and passes its result to f.
#pragma once

#include <cstdint>

#include "values.h"
#include "host_function.h"

struct RunState;

struct regscript_call {
    const Variable* function;  // its record, typed by its result
    int32_t argument_count;    // passed so far
    SemanticValue arguments[max_host_parameters];  // typed as the parameters
    SemanticValue result;      // zero until the host returns a value; a text is a scratch copy
    bool failed;
    int32_t line;  // of the function's name
    int32_t column;
    int32_t counted_line;  // the same line as the run's error line counts it
};

// The grammar's side. After a failed allocation these do nothing: the run is ending.
void open_call(const Variable* function);
// False when the function takes no argument of this type here (a double parameter also takes an
// integer); `run`'s diagnostic then says so, and the statement is a syntax error.
bool pass_int_argument(RunState& run, int32_t value);
bool pass_double_argument(RunState& run, double value);
bool pass_string_argument(RunState& run, char* text);
// False when arguments are missing, noted as by the pass functions.
bool arguments_complete(RunState& run);
// Runs the function of the innermost open call; false when it failed, which ends the run.
bool call_host_function();
// The result of the innermost call, which it closes. A function that returned nothing gives
// 0, 0.0 or "".
int32_t int_call_result();
double double_call_result();
char* string_call_result();
// Forgets every open call and frees their room; at the end of a run.
void close_all_calls();

// The host's side: the call whose function runs now, on the run's thread; null when none does.
regscript_call* call_in_progress();
