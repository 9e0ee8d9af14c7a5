/* Stores a variable, runs a script that uses it and expands a text: the installed header and
 * library work for a program built outside this project. */
#include <regscript.h>
#include <stdio.h>
#include <string.h>

int main(void) {
    int32_t error_line = -1;
    int ok;
    char *text;

    init_registers();
    set_int_variable("n", 6);
    ok = run_parser("n = n * 7;", &error_line) == 42 && error_line == 0;
    text = my_parse("n is [n]");
    ok = ok && strcmp(text, "n is 42") == 0;
    my_free(text);
    deinit_registers();
    puts(ok ? "consumer: ok" : "consumer: FAILED");
    return ok ? 0 : 1;
}
