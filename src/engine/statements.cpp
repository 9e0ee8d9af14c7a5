#include "statements.h"

#include "numbers.h"
#include "output.h"
#include "scratch.h"
#include "store.h"

int32_t run_result = 0;
int32_t recorded_error_line = 0;

namespace {

void release_statement_memory() {
    scratch_free_all();
    free_retired_variables();
}

}  // namespace

void finish_integer_statement(int32_t value) {
    print_integer_statement(value);
    run_result = value;
    release_statement_memory();
}

void finish_double_statement(double value) {
    print_double_statement(value, double_to_int(value));
    run_result = double_equal(value, 0.0) ? 0 : 1;
    release_statement_memory();
}

void finish_string_statement(const char* text) {
    print_string_statement(text);
    run_result = 0;
    release_statement_memory();
}

void finish_error_statement(int32_t line) { recorded_error_line = line; }

void finish_run() { free_retired_variables(); }
