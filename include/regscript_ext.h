/*
 * regscript extensions: what a host can learn and choose beyond the 21 functions of regscript.h,
 * which these leave exactly as they are. C, exported beside them, with the same calling
 * conventions and the same strncpy rule for texts handed out.
 *
 * The last run is the calling thread's: every run_parser or regscript_run_prepared call, also one
 * whose lock wait failed, replaces the calling thread's record of its last run, and the functions below read that record
 * without waiting for the lock. Runs of other threads never change it, so a thread can always
 * read what its own run did. A thread that has run nothing reads REGSCRIPT_RUN_NONE.
 */
#ifndef REGSCRIPT_EXT_H
#define REGSCRIPT_EXT_H

#include <stdint.h>

#include "regscript.h"

/* How the calling thread's last run ended. */
#define REGSCRIPT_RUN_NONE -1                   /* no run on this thread yet */
#define REGSCRIPT_RUN_COMPLETED 0               /* every statement ran */
#define REGSCRIPT_RUN_SYNTAX_ERROR 1            /* a syntax error ended the run; error line > 0 */
#define REGSCRIPT_RUN_ENDED_INSIDE_STATEMENT 2  /* the script ended before a statement's ';' */
#define REGSCRIPT_RUN_STACK_OVERFLOW 3          /* a statement nested too deeply */
#define REGSCRIPT_RUN_OUT_OF_MEMORY 4           /* memory ran out; the run stopped */
#define REGSCRIPT_RUN_LOCK_NOT_OBTAINED 5       /* the lock wait failed; nothing ran */
#define REGSCRIPT_RUN_HOST_FAILED 6             /* a host function failed; the run stopped */
#define REGSCRIPT_RUN_NESTED 7                  /* called from inside a host function; nothing ran */

/* The types of a host function's result, the host numbers of get_variable_type. */
#define REGSCRIPT_TYPE_INT 1
#define REGSCRIPT_TYPE_DOUBLE 2
#define REGSCRIPT_TYPE_STRING 3

#ifdef __cplusplus
extern "C" {
#endif

/* The library's version, e.g. "0.1.0": a static text that the host must not free. */
REGSCRIPT_API const char *REGSCRIPT_CDECL regscript_version(void);

/* One of the REGSCRIPT_RUN_ codes above for the calling thread's last run. */
REGSCRIPT_API int32_t REGSCRIPT_CDECL regscript_last_outcome(void);

/* The error of the calling thread's last run (a syntax error, also one at the end of the script,
 * or a statement nested too deeply): *line and *column (the byte within the line, from 1) where
 * it was found, and its message for the script's author, e.g.
 *   "`y` is an integer variable and `2.5` is a double; to store doubles in it, declare it
 *    first: `double y;`"
 * Copies the message into `message` by the strncpy rule and returns 0; with a NULL message or a
 * size below 1 it returns the message's length instead. Returns -1 when the last run had no
 * such error; *line and *column are then 0 and a given buffer holds an empty text.
 * NULL line or column pointers are not written. */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL regscript_last_error(int32_t *line, int32_t *column, char *message,
                                                              int32_t size);

/* Where the statement with the syntax error ended: the line and column of its closing ';', after
 * which the script was no longer read. A host that checks a whole script runs the text after it
 * next. Returns 0; -1, with 0 in both, when the last run did not end at such a ';'. */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL regscript_last_error_end(int32_t *line, int32_t *column);

/* The number of warnings of the calling thread's last run: text that ran, but probably not as
 * its author meant (bytes that begin no token and are printed, a string quote without its end,
 * "5." or ".5", CR LF line ends, a byte-order mark, an assignment that is the left operand of
 * `and` or `or`). */
REGSCRIPT_API int32_t REGSCRIPT_CDECL regscript_last_warning_count(void);

/* Warning `index` (from 0) of the calling thread's last run, as regscript_last_error gives the
 * error: where, and the message by the strncpy rule; the message's length for a NULL message or
 * a size below 1; -1 for an index that the run has no warning for. The first 16 warnings of a
 * run are kept; the count goes on. */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL regscript_last_warning(int32_t index, int32_t *line, int32_t *column,
                                                                char *message, int32_t size);

/* Whether runs write to standard output: 1 (the start) writes their trace lines, parser messages
 * and echoed bytes as ever; 0 writes nothing there, for hosts whose standard output is not to be
 * touched. Results, error lines, diagnostics and variables are the same either way.
 * Process-wide; a run in progress on another thread may see the change part of the way through.
 * Does not wait for the lock. */
REGSCRIPT_API void REGSCRIPT_STDCALL regscript_set_output(int32_t enabled);

/* Host functions: functions that scripts call like the built-in ones, e.g. `move_axis(3, 10.5)`.
 *
 * A function is called on the run's thread, while the run holds the lock, each time its call is
 * evaluated: `call` describes that one call and is valid only until the function returns. The
 * function reads its arguments and sets its result through the accessors below; one that sets
 * none returns 0, 0.0 or "". It must return normally: no exception, longjmp or thread exit may
 * leave it.
 *
 * Inside a host function the variable functions work (the lock is recursive), with these rules:
 * delete_variable lets the statement in progress finish with the deleted variable unchanged, as
 * a script's own `delete` does; reset_registers, regscript_define_function and
 * regscript_remove_function refuse (-1); run_parser starts no run and returns 0 with
 * REGSCRIPT_RUN_NESTED; deinit_registers lets the run finish on the store it began with. */
typedef struct regscript_call regscript_call;
typedef void(REGSCRIPT_STDCALL *regscript_function)(regscript_call *call, void *context);

/* Defines (or redefines) the function `name` for scripts, replacing a variable of that name.
 * result_type is a REGSCRIPT_TYPE_ code; parameter_types holds one letter a parameter, up to 8:
 * 'i' int, 'd' double (also takes an int), 's' string; "" or NULL for none. `context` is handed
 * to every call. Definitions survive reset_registers and end with deinit_registers. Returns 0;
 * -1 for a name that scripts cannot write as a name (a keyword, a built-in function, letters and
 * underscores followed by digits only), bad types, a NULL function, inside a host function, when
 * memory runs out, and when the lock wait fails. */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL regscript_define_function(const char *name, int32_t result_type,
                                                                   const char *parameter_types,
                                                                   regscript_function function, void *context);

/* Removes the host function `name`: 0; -1 when there is none, inside a host function and when
 * the lock wait fails. */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL regscript_remove_function(const char *name);

/* Argument `index` (from 0) of `call`, for a parameter of that type; 0, 0.0 or "" for an index
 * the function has no such parameter for, and for a call that is not in progress. A string is
 * the run's and is valid until the function returns. */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL regscript_argument_int(regscript_call *call, int32_t index);
REGSCRIPT_API double REGSCRIPT_STDCALL regscript_argument_double(regscript_call *call, int32_t index);
REGSCRIPT_API const char *REGSCRIPT_STDCALL regscript_argument_string(regscript_call *call, int32_t index);

/* The result of `call`, for a function of that result type (an int function also takes a double,
 * truncated, and a double function an int); the last one set counts. A text is copied at once;
 * NULL is "". */
REGSCRIPT_API void REGSCRIPT_STDCALL regscript_return_int(regscript_call *call, int32_t value);
REGSCRIPT_API void REGSCRIPT_STDCALL regscript_return_double(regscript_call *call, double value);
REGSCRIPT_API void REGSCRIPT_STDCALL regscript_return_string(regscript_call *call, const char *text);

/* Ends the run once the function returns: the statement of the call does not finish (no trace
 * line, no assignment by it, the run result as before), the statements before it stay run,
 * regscript_last_outcome gives REGSCRIPT_RUN_HOST_FAILED, run_parser's error line and
 * regscript_last_error the call's line, and regscript_last_error gives `message` (cut at 319
 * bytes; NULL gives "the host function failed"). */
REGSCRIPT_API void REGSCRIPT_STDCALL regscript_fail(regscript_call *call, const char *message);

/* Output: every byte that runs would write to standard output (trace lines, parser messages,
 * echoed bytes) goes to `function` instead, in the same order, in pieces of `length` bytes that
 * need not be lines and are not NUL-terminated; NULL restores standard output.
 * regscript_set_output(0) still silences both. Process-wide; the function is called on the
 * run's thread while the run holds the lock, under the rules of host functions. Does not wait
 * for the lock. */
typedef void(REGSCRIPT_STDCALL *regscript_output_function)(const char *text, int32_t length, void *context);
REGSCRIPT_API void REGSCRIPT_STDCALL regscript_set_output_function(regscript_output_function function,
                                                                    void *context);

/* A prepared script: a text handed over once and run many times. Running it is running its
 * text with run_parser, exactly: the same result and error line, the same output, variables,
 * warnings, diagnostic and outcome, the same notification, under the same lock.
 * Any thread may run a prepared script, also one that another thread prepared; runs serialise on
 * the lock as run_parser's do. Freeing a script while another thread runs it is an error of the
 * host's, which the library cannot detect. */
typedef struct regscript_script regscript_script;

/* Copies `text` (up to its first NUL; NULL is the empty text) into a new prepared script. Does
 * not wait for the lock and needs no init_registers. NULL when memory runs out. */
REGSCRIPT_API regscript_script *REGSCRIPT_STDCALL regscript_prepare(const char *text);

/* Runs the script as run_parser(text, error_line) would. A NULL script runs as the empty text. */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL regscript_run_prepared(regscript_script *script, int32_t *error_line);

/* Frees the script; NULL is ignored. Does not wait for the lock. */
REGSCRIPT_API void REGSCRIPT_STDCALL regscript_free_prepared(regscript_script *script);

#ifdef __cplusplus
}
#endif

#endif /* REGSCRIPT_EXT_H */
