/*
 * regscript: a small script interpreter with variables shared between scripts and the host.
 *
 * Every function may be called from any thread. One process-wide recursive lock serialises all
 * of them: a function that "waits for the lock" waits at most 1000 ms and then returns its
 * failure value. A script run holds the lock for the whole run; a listing holds it from
 * open_list_variables to close_list_variables, and the listing thread may call every other
 * function meanwhile.
 *
 * Texts handed in are NUL-terminated and copied; the host may change or free them as soon as
 * the call returns. Texts handed out are copied into host buffers by the strncpy rule: with a
 * buffer of `size` bytes the text is copied and the rest NUL-filled when it is shorter, and
 * exactly `size` bytes are written, with no terminator, when it is `size` bytes or longer.
 *
 * Change notification: the functions marked "notifies" tell the registered window that the
 * variables may have changed, after releasing the lock.
 *   Windows: PostMessageA(window, WM_VARIABLES_CHANGED, 0, 0).
 *   POSIX:   the window handle carries a file descriptor, (void *)(intptr_t)fd. Each notification
 *            sends REGSCRIPT_WM_VARIABLES_CHANGED as one native-endian uint32_t: with
 *            send(MSG_DONTWAIT | MSG_NOSIGNAL) on a socket, with one write() on anything else
 *            that can take it at once. It never blocks and never lets SIGPIPE reach the process;
 *            a notification that cannot be delivered at once (a full pipe, a closed reader) is
 *            dropped. A datagram socketpair gives one datagram per notification. The library
 *            keeps only the number: register NULL before closing the descriptor, or a later
 *            descriptor that reuses the number (a file, say) receives the 4 bytes.
 */
#ifndef REGSCRIPT_H
#define REGSCRIPT_H

#include <stdint.h>

#if defined(_WIN32)
#  if defined(REGSCRIPT_BUILDING)
#    define REGSCRIPT_API __declspec(dllexport)
#  else
#    define REGSCRIPT_API __declspec(dllimport)
#  endif
#  define REGSCRIPT_STDCALL __stdcall
#  define REGSCRIPT_CDECL __cdecl
#else
#  if defined(REGSCRIPT_BUILDING)
#    define REGSCRIPT_API __attribute__((visibility("default")))
#  else
#    define REGSCRIPT_API
#  endif
#  define REGSCRIPT_STDCALL
#  define REGSCRIPT_CDECL
#endif

/* The library's version. A minor version may change the interface until 1.0. */
#define REGSCRIPT_VERSION_MAJOR 0
#define REGSCRIPT_VERSION_MINOR 1
#define REGSCRIPT_VERSION_PATCH 0
#define REGSCRIPT_VERSION_STRING "0.1.0"

/* The window message posted when variables may have changed (both parameters 0). */
#define REGSCRIPT_WM_VARIABLES_CHANGED 0x8001

/* Host numbers of the variable types. */
#define REGSCRIPT_INT 1
#define REGSCRIPT_DOUBLE 2
#define REGSCRIPT_STRING 3

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Lifecycle ------------------------------------------------------------------------------ */

/* Creates the lock and the store with the six built-in math functions sin, cos, atan, ln, exp,
 * sqrt. Call it before anything else. Never waits. Called again while the lock exists, it keeps
 * the store and adds the built-ins once more, unless another thread holds the lock (the store
 * holds them already). Returns 0; -1 when memory runs out (the lock then does not exist). */
REGSCRIPT_API int32_t REGSCRIPT_CDECL init_registers(void);

/* Waits for the lock, destroys it and removes every variable. Afterwards every function that
 * waits for the lock fails at once until init_registers. If another thread still holds the lock
 * after 1000 ms, that thread finishes on the old store, which is freed when it lets go; an
 * init_registers meanwhile makes a new store at once. Always returns 0. */
REGSCRIPT_API int32_t REGSCRIPT_CDECL deinit_registers(void);

/* Removes every variable and loads the built-in functions again. Waits for the lock; notifies.
 * Returns 0, or -1 when the lock wait fails (then nothing changes and nothing is posted) or
 * when memory runs out before every built-in is loaded (after a notification). */
REGSCRIPT_API int32_t REGSCRIPT_CDECL reset_registers(void);

/* Registers the window that receives the change notification; NULL stops notifications.
 * Does not wait for the lock. */
REGSCRIPT_API void REGSCRIPT_STDCALL set_register_window(void *window);

/* ---- Scripts -------------------------------------------------------------------------------- */

/* Runs `script` (up to its first NUL) statement by statement, holding the lock for the whole
 * run. Returns the result of the last integer, double or string statement executed, this run or
 * an earlier one (an integer statement gives its value, a double statement 1, or 0 for zero and
 * NaN, a string statement 0). *error_line receives the line of the statement that ended the run
 * with a syntax error, or 0. When memory runs out the run stops where it is, what ran stays run,
 * "error: out of memory" is printed and *error_line receives the line reached (at least 1).
 * Notifies after every run that obtained the lock.
 * When the lock wait fails: returns 0, *error_line is not written, nothing is posted.
 * A NULL script runs as an empty one; a NULL error_line is not written. */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL run_parser(const char *script, int32_t *error_line);

/* ---- Variables ------------------------------------------------------------------------------ */

/* Names are compared byte for byte, case-sensitively; any text is a valid name. The built-in
 * functions are invisible here: they have no type, cannot be set, deleted or listed.
 * Every function below waits for the lock unless it says otherwise. */

/* REGSCRIPT_INT, REGSCRIPT_DOUBLE or REGSCRIPT_STRING; -1 for no such variable, a built-in
 * function, or a failed lock wait. */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL get_variable_type(const char *name);

/* The value of the integer variable `name`; 0 when there is none or the lock wait fails. */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL get_int_variable(const char *name);

/* The value of the double variable `name`; 0.0 when there is none or the lock wait fails. */
REGSCRIPT_API double REGSCRIPT_STDCALL get_double_variable(const char *name);

/* Copies the text of the string variable `name` into buffer by the strncpy rule and returns 0.
 * With a NULL buffer or a size below 1 it returns the text's length instead.
 * Returns -1 when there is no string variable of that name or the lock wait fails; a given
 * buffer of size 1 or more then holds an empty text. The buffer may be the name's own.
 * A string variable that holds no text (set_string_variable with NULL) reads as "". */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL get_string_variable(const char *name, char *buffer,
                                                             int32_t size);

/* Store a value under `name`, creating the variable when no variable has that name.
 * A variable of another type is left unchanged and the call returns -1; so is a built-in
 * function's name. set_string_variable with a NULL text leaves the variable without text.
 * Return 0 when stored, -1 otherwise (also when memory runs out; the store is then as before
 * the call). Notify always, also when the lock wait fails. */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL set_int_variable(const char *name, int32_t value);
REGSCRIPT_API int32_t REGSCRIPT_STDCALL set_double_variable(const char *name, double value);
REGSCRIPT_API int32_t REGSCRIPT_STDCALL set_string_variable(const char *name, const char *text);

/* Removes the variable `name`. Notifies when a variable was removed, when the name is a
 * built-in function's (which is never removed) and when the lock wait times out; not when no
 * variable has the name, and not before init_registers or after deinit_registers. */
REGSCRIPT_API void REGSCRIPT_STDCALL delete_variable(const char *name);

/* ---- Listing -------------------------------------------------------------------------------- */

/* A listing walks the variables newest first with one shared cursor:
 *   if (open_list_variables() == 0) {
 *       while (get_next_int_variable(name, sizeof name, &value) == 0) ...;
 *       get_first_variable();
 *       while (get_next_string_variable(name, sizeof name, text, sizeof text) == 0) ...;
 *       close_list_variables();
 *   }
 * open_list_variables takes the lock and keeps it until close_list_variables, which must be
 * called on the same thread. Each get-next function skips variables of other kinds, so start
 * again with get_first_variable before listing another kind. Called outside a listing held by
 * the calling thread, the get functions take the lock for their own call (-1 when they cannot).
 * A variable removed while the cursor stands on it moves the cursor on. */

/* Takes the lock and sets the cursor to the newest variable: 0; -1 when the lock wait fails. */
REGSCRIPT_API int32_t REGSCRIPT_CDECL open_list_variables(void);

/* Sets the cursor to the newest variable again. Returns 0; -1 when called outside a listing and
 * the lock wait fails. */
REGSCRIPT_API int32_t REGSCRIPT_CDECL get_first_variable(void);

/* Deliver the next variable of the kind at or after the cursor: its name into name_buffer (by
 * the strncpy rule; a size below 1 writes nothing) and its value, then move the cursor past it
 * and return 0. Return -1 at the end, and again on every later call. */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL get_next_int_variable(char *name_buffer, int32_t name_size,
                                                              int32_t *value);
REGSCRIPT_API int32_t REGSCRIPT_STDCALL get_next_double_variable(char *name_buffer,
                                                                 int32_t name_size, double *value);
/* With a NULL value_buffer or a value_size below 1 it returns the text's length and leaves the
 * cursor on the variable, so that the next call delivers it again. */
REGSCRIPT_API int32_t REGSCRIPT_STDCALL get_next_string_variable(char *name_buffer,
                                                                 int32_t name_size,
                                                                 char *value_buffer,
                                                                 int32_t value_size);

/* Clears the cursor and releases the lock taken by open_list_variables. On a thread that holds
 * no listing it clears the cursor only: the listing's next get-next call returns -1, and the
 * listing's thread must still close to release its lock. Returns 0. */
REGSCRIPT_API int32_t REGSCRIPT_CDECL close_list_variables(void);

/* ---- Bracket substitution ------------------------------------------------------------------- */

/* Returns a new text in which every [name] is replaced by the variable's current value:
 * integers as "%d", doubles as "%.5f", string texts unchanged. "[[" stands for "[". A [ with no ]
 * anywhere after it is copied; a reference to an unknown name or a built-in function is dropped.
 * Give the text back with my_free. When the lock wait fails the result is a copy of the text
 * with nothing substituted. A NULL text gives an empty text. When memory runs out the result is
 * an empty text, and NULL only when not even one byte can be had. */
REGSCRIPT_API char *REGSCRIPT_STDCALL my_parse(const char *text);

/* Frees a text returned by my_parse; NULL is ignored. Does not wait for the lock. */
REGSCRIPT_API void REGSCRIPT_STDCALL my_free(char *text);

#ifdef __cplusplus
}
#endif

#endif /* REGSCRIPT_H */
