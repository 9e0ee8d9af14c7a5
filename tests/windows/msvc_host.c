/* A host as the Microsoft toolchain builds it: compiled for the *-pc-windows-msvc target and
 * linked with regscript.lib, which must declare the __stdcall functions under their decorated
 * names (_run_parser@8) and import the DLL's plain ones. No C runtime is linked, so the program
 * compares texts itself and tells its result as its exit status: 0, or the number of the first
 * check that failed. */
#include "regscript.h"

/* The linker looks for this symbol in every program that uses floating point; the C runtime,
 * which is not linked here, would define it. */
int _fltused;

static int same_text(const char *a, const char *b) {
    while (*a && *a == *b) ++a, ++b;
    return *a == *b;
}

int host_main(void);
int host_main(void) {
    char name[8], text[8];
    int32_t integer = 0, error_line = -1;
    double number = 0.0;
    int check = 0;

#define CHECK(condition) do { ++check; if (!(condition)) return check; } while (0)
    CHECK(init_registers() == 0);
    set_register_window(0);
    CHECK(run_parser("n = 6 * 7;\nn = ;", &error_line) == 42 && error_line == 2);
    CHECK(get_variable_type("n") == REGSCRIPT_INT && get_int_variable("n") == 42);
    CHECK(set_double_variable("d", 0.5) == 0 && get_double_variable("d") == 0.5);
    CHECK(set_string_variable("s", "abc") == 0 && get_string_variable("s", text, sizeof text) == 0 &&
          same_text(text, "abc"));
    CHECK(set_int_variable("i", 1) == 0);
    delete_variable("i");
    CHECK(open_list_variables() == 0);
    CHECK(get_next_int_variable(name, sizeof name, &integer) == 0 && same_text(name, "n") && integer == 42);
    CHECK(get_first_variable() == 0 && get_next_double_variable(name, sizeof name, &number) == 0 && number == 0.5);
    get_first_variable();
    CHECK(get_next_string_variable(name, sizeof name, text, sizeof text) == 0 && same_text(text, "abc"));
    CHECK(close_list_variables() == 0);
    char *substituted = my_parse("[n] [s]");
    CHECK(same_text(substituted, "42 abc"));
    my_free(substituted);
    CHECK(reset_registers() == 0 && get_variable_type("n") == -1);
    CHECK(deinit_registers() == 0);
#undef CHECK
    return 0;
}
