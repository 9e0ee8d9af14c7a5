/* A host that offers its scripts functions of its own: an automation host whose scripts move an
 * axis, read sensors and log lines, with every trace line sent to the host's own log instead of
 * standard output. It checks what the scripts give, meets each error a call can meet, and exits
 * 0 when every check passed.
 *
 * The functions use REGSCRIPT_STDCALL, as the header's pointer types do: on 32-bit Windows a
 * function of another calling convention would corrupt the stack. */
#include <regscript.h>
#include <regscript_ext.h>
#include <stdio.h>
#include <string.h>

static int failures = 0;

static void check(int passed, const char *what) {
    printf("%s: %s\n", passed ? "ok" : "FAILED", what);
    if (!passed) ++failures;
}

/* The host's log: everything the runs print, kept instead of written to standard output. */
static char log_text[4096];
static size_t log_length = 0;

static void REGSCRIPT_STDCALL keep_output(const char *text, int32_t length, void *context) {
    size_t room = sizeof log_text - 1 - log_length;
    size_t taken = (size_t)length < room ? (size_t)length : room;
    (void)context;
    memcpy(log_text + log_length, text, taken);
    log_length += taken;
    log_text[log_length] = '\0';
}

/* move_axis(axis, position): moves an axis of the machine, the context; fails for an axis it
 * does not have. Returns the distance moved. */
static double axes[4];

static void REGSCRIPT_STDCALL move_axis(regscript_call *call, void *context) {
    double *axis_positions = context;
    int32_t axis = regscript_argument_int(call, 0);
    double position = regscript_argument_double(call, 1);
    double distance;
    if (axis < 0 || axis >= 4) {
        regscript_fail(call, "move_axis: no such axis");
        return;
    }
    distance = position - axis_positions[axis];
    axis_positions[axis] = position;
    regscript_return_double(call, distance < 0 ? -distance : distance);
}

/* read_sensor(n): a reading that depends on the sensor. */
static void REGSCRIPT_STDCALL read_sensor(regscript_call *call, void *context) {
    (void)context;
    regscript_return_int(call, 100 + regscript_argument_int(call, 0));
}

/* label(text, n): the text with the number after it. */
static void REGSCRIPT_STDCALL label(regscript_call *call, void *context) {
    char text[64];
    (void)context;
    snprintf(text, sizeof text, "%s #%d", regscript_argument_string(call, 0), regscript_argument_int(call, 1));
    regscript_return_string(call, text);
}

/* nested_run(): tries what a host function may not do, a run of its own, and a reset. */
static int32_t nested_outcome, reset_result;

static void REGSCRIPT_STDCALL nested_run(regscript_call *call, void *context) {
    int32_t line;
    (void)context;
    run_parser("1;", &line);
    nested_outcome = regscript_last_outcome();
    reset_result = reset_registers();
    regscript_return_int(call, 7);
}

static int32_t run(const char *script, int32_t *line) {
    log_length = 0;
    log_text[0] = '\0';
    return run_parser(script, line);
}

int main(void) {
    int32_t line, column, result;
    char message[320], text[64];

    init_registers();
    regscript_set_output_function(keep_output, NULL);
    check(regscript_define_function("move_axis", REGSCRIPT_TYPE_DOUBLE, "id", move_axis, axes) == 0, "define move_axis");
    check(regscript_define_function("read_sensor", REGSCRIPT_TYPE_INT, "i", read_sensor, NULL) == 0, "define read_sensor");
    check(regscript_define_function("label", REGSCRIPT_TYPE_STRING, "si", label, NULL) == 0, "define label");
    check(regscript_define_function("nested_run", REGSCRIPT_TYPE_INT, NULL, nested_run, NULL) == 0, "define nested_run");
    check(regscript_define_function("sqrt", REGSCRIPT_TYPE_DOUBLE, "d", move_axis, NULL) == -1, "a built-in's name is refused");
    check(regscript_define_function("int", REGSCRIPT_TYPE_INT, "", read_sensor, NULL) == -1, "a keyword is refused");
    check(regscript_define_function("f", REGSCRIPT_TYPE_INT, "x", read_sensor, NULL) == -1, "an unknown type is refused");

    result = run("double moved;\nmoved = move_axis(1, 10.5) + move_axis(1, 4);\n"
                 "int level;\nlevel = read_sensor(read_sensor(2) - 100);\n"
                 "string name;\nname = label(\"probe\", level);\n",
                 &line);
    check(result == 0 && line == 0, "the script runs");
    check(get_double_variable("moved") == 17.0 && axes[1] == 4.0, "move_axis moved axis 1 and back");
    check(get_int_variable("level") == 102, "nested calls of read_sensor");
    check(get_string_variable("name", text, sizeof text) == 0 && strcmp(text, "probe #102") == 0, "label");
    check(strstr(log_text, "* Double statement result=17.000000\t marlin result=17\n") != NULL,
          "the trace lines went to the host's log");

    run("level = read_sensor(\"2\");", &line);
    regscript_last_error(&line, &column, message, sizeof message);
    check(regscript_last_outcome() == REGSCRIPT_RUN_SYNTAX_ERROR &&
              strcmp(message, "`read_sensor` takes (int); argument 1 is a string") == 0,
          "an argument of the wrong type is a syntax error");
    run("moved = move_axis(1);", &line);
    regscript_last_error(&line, &column, message, sizeof message);
    check(strcmp(message, "`move_axis` takes (int, double); it was given 1 argument") == 0, "a missing argument");
    check(strcmp(log_text, "error: parse error\n") == 0, "the parser's message went to the log");

    result = run("level = 1;\nlevel = read_sensor(0) + move_axis(9, 1.0);\nlevel = 3;", &line);
    regscript_last_error(NULL, NULL, message, sizeof message);
    check(regscript_last_outcome() == REGSCRIPT_RUN_HOST_FAILED && line == 2 && result == 1,
          "a failing function ends the run at its line");
    check(strcmp(message, "move_axis: no such axis") == 0 && get_int_variable("level") == 1,
          "the failing statement had no effect");

    result = run("nested_run();", &line);
    check(result == 7 && nested_outcome == REGSCRIPT_RUN_NESTED && reset_result == -1,
          "no run and no reset inside a host function");

    reset_registers();
    check(run("read_sensor(1);", &line) == 101, "definitions survive reset_registers");
    check(regscript_remove_function("read_sensor") == 0 && regscript_remove_function("read_sensor") == -1,
          "remove a definition");

    regscript_set_output_function(NULL, NULL);
    deinit_registers();
    printf("%d checks failed\n", failures);
    return failures == 0 ? 0 : 1;
}
