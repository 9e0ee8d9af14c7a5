/* A host linked with the import library regscript.dll.a, as a C program that includes
 * regscript.h links: every function is found under its decorated name (run_parser@8) and
 * imported under its plain one, and Windows loads regscript.dll when the program starts. Each of
 * the 21 functions is called once. Exits 0 when the results are right. */
#include <stdio.h>
#include <string.h>

#include "regscript.h"

static int failed;

static void check(int ok, const char *what) {
    if (!ok) {
        ++failed;
        printf("FAIL: %s\n", what);
    }
}

int main(void) {
    char name[8], text[8];
    int32_t integer = 0, error_line = -1;
    double number = 0.0;

    init_registers();
    reset_registers();
    set_register_window(NULL);
    check(run_parser("n = 6 * 7;", &error_line) == 42 && error_line == 0, "run_parser");
    check(get_variable_type("n") == REGSCRIPT_INT && get_int_variable("n") == 42, "an integer");
    check(set_int_variable("i", 1) == 0, "set_int_variable");
    check(set_double_variable("d", 0.5) == 0 && get_double_variable("d") == 0.5, "a double");
    check(set_string_variable("s", "abc") == 0 && get_string_variable("s", text, sizeof text) == 0 &&
              strcmp(text, "abc") == 0,
          "a string");
    delete_variable("i");

    check(open_list_variables() == 0, "open_list_variables");
    check(get_next_int_variable(name, sizeof name, &integer) == 0 && integer == 42, "get_next_int_variable");
    get_first_variable();
    check(get_next_double_variable(name, sizeof name, &number) == 0 && number == 0.5, "get_next_double_variable");
    get_first_variable();
    check(get_next_string_variable(name, sizeof name, text, sizeof text) == 0 && strcmp(name, "s") == 0,
          "get_next_string_variable");
    close_list_variables();

    char *substituted = my_parse("[n]");
    check(strcmp(substituted, "42") == 0, "my_parse");
    my_free(substituted);
    deinit_registers();

    printf("import_host: %s\n", failed ? "failed" : "passed");
    return failed ? 1 : 0;
}
