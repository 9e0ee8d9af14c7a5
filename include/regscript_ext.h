/*
 * regscript extensions: what a host can learn and choose beyond the 21 functions of regscript.h,
 * which these leave exactly as they are. C, exported beside them, with the same calling
 * conventions and the same strncpy rule for texts handed out.
 *
 * The last run is the calling thread's: every run_parser call, also one whose lock wait failed,
 * replaces the calling thread's record of its last run, and the functions below read that record
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

#ifdef __cplusplus
}
#endif

#endif /* REGSCRIPT_EXT_H */
