/* A Windows host of regscript.dll, built and run the way a host program uses the DLL: it loads
 * regscript.dll with LoadLibraryA, finds the 21 functions with GetProcAddress under the plain
 * names of include/regscript.def and calls them through pointer types of its own that spell out
 * the calling conventions. It checks that arguments and results cross the ABI intact, that no
 * call moves the stack pointer, which change notifications reach a message-only window, the
 * lock's timeout between two threads, the scripts' tick count and the version resource. Exits 0
 * when every check passed. */
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "regscript.h"

/* ---- The DLL's functions, as a host declares them ------------------------------------------- */

typedef int32_t(__cdecl *NoArguments)(void);
typedef void(__stdcall *SetWindow)(void *window);
typedef int32_t(__stdcall *RunParser)(const char *script, int32_t *error_line);
typedef int32_t(__stdcall *IntOfName)(const char *name);
typedef double(__stdcall *DoubleOfName)(const char *name);
typedef int32_t(__stdcall *GetString)(const char *name, char *buffer, int32_t size);
typedef int32_t(__stdcall *SetInt)(const char *name, int32_t value);
typedef int32_t(__stdcall *SetDouble)(const char *name, double value);
typedef int32_t(__stdcall *SetString)(const char *name, const char *text);
typedef void(__stdcall *DeleteVariable)(const char *name);
typedef int32_t(__stdcall *NextInt)(char *name, int32_t name_size, int32_t *value);
typedef int32_t(__stdcall *NextDouble)(char *name, int32_t name_size, double *value);
typedef int32_t(__stdcall *NextString)(char *name, int32_t name_size, char *text, int32_t text_size);
typedef char *(__stdcall *Parse)(const char *text);
typedef void(__stdcall *Free)(char *text);

static struct {
    NoArguments init_registers, deinit_registers, reset_registers;
    SetWindow set_register_window;
    RunParser run_parser;
    IntOfName get_variable_type, get_int_variable;
    DoubleOfName get_double_variable;
    GetString get_string_variable;
    SetInt set_int_variable;
    SetDouble set_double_variable;
    SetString set_string_variable;
    DeleteVariable delete_variable;
    NoArguments open_list_variables, get_first_variable;
    NextInt get_next_int_variable;
    NextDouble get_next_double_variable;
    NextString get_next_string_variable;
    NoArguments close_list_variables;
    Parse my_parse;
    Free my_free;
} api;

/* ---- Checks --------------------------------------------------------------------------------- */

static int passed, failed;

static void check(int ok, const char *what) {
    if (ok) {
        ++passed;
    } else {
        ++failed;
        printf("FAIL: %s\n", what);
    }
}

static void check_int(int32_t actual, int32_t expected, const char *what) {
    check(actual == expected, what);
    if (actual != expected) printf("      got %ld, expected %ld\n", (long)actual, (long)expected);
}

static void check_text(const char *actual, const char *expected, const char *what) {
    int same = actual && strcmp(actual, expected) == 0;
    check(same, what);
    if (!same) printf("      got \"%s\", expected \"%s\"\n", actual ? actual : "(null)", expected);
}

/* ---- Loading -------------------------------------------------------------------------------- */

typedef void (*AnyFunction)(void);

static HMODULE library;

static AnyFunction resolve(const char *name) {
    AnyFunction function = (AnyFunction)GetProcAddress(library, name);
    if (!function) check(0, name);
    return function;
}

#define LOAD(name, type) (api.name = (type)resolve(#name))

/* False when the DLL or one of its functions is missing. */
static int load_library(void) {
    library = LoadLibraryA("regscript.dll");
    check(library != NULL, "LoadLibraryA(\"regscript.dll\")");
    if (!library) return 0;
    const int failed_before = failed;
    LOAD(init_registers, NoArguments);
    LOAD(deinit_registers, NoArguments);
    LOAD(reset_registers, NoArguments);
    LOAD(set_register_window, SetWindow);
    LOAD(run_parser, RunParser);
    LOAD(get_variable_type, IntOfName);
    LOAD(get_int_variable, IntOfName);
    LOAD(get_double_variable, DoubleOfName);
    LOAD(get_string_variable, GetString);
    LOAD(set_int_variable, SetInt);
    LOAD(set_double_variable, SetDouble);
    LOAD(set_string_variable, SetString);
    LOAD(delete_variable, DeleteVariable);
    LOAD(open_list_variables, NoArguments);
    LOAD(get_first_variable, NoArguments);
    LOAD(get_next_int_variable, NextInt);
    LOAD(get_next_double_variable, NextDouble);
    LOAD(get_next_string_variable, NextString);
    LOAD(close_list_variables, NoArguments);
    LOAD(my_parse, Parse);
    LOAD(my_free, Free);
    /* The host functions' extension, under plain names too. */
    static const char *const host_function_names[] = {
        "regscript_define_function", "regscript_remove_function", "regscript_argument_int",
        "regscript_argument_double", "regscript_argument_string", "regscript_return_int",
        "regscript_return_double",   "regscript_return_string",   "regscript_fail",
        "regscript_set_output_function"};
    for (size_t i = 0; i < sizeof host_function_names / sizeof host_function_names[0]; ++i) {
        resolve(host_function_names[i]);
    }
    /* Decorated names would tell of a DLL built without --kill-at. */
    check(GetProcAddress(library, "_run_parser@8") == NULL && GetProcAddress(library, "run_parser@8") == NULL,
          "no decorated export run_parser@8");
    return failed == failed_before;
}

/* ---- Values across the ABI ------------------------------------------------------------------ */

/* The store every check below starts from: n = 5, d = 2.5, s = "text" and the built-ins. */
static void base_store(void) {
    api.reset_registers();
    api.set_int_variable("n", 5);
    api.set_double_variable("d", 2.5);
    api.set_string_variable("s", "text");
}

static void check_values(void) {
    check_int(api.init_registers(), 0, "init_registers");
    base_store();
    check_int(api.get_variable_type("n"), REGSCRIPT_INT, "get_variable_type of an integer");
    check_int(api.get_variable_type("d"), REGSCRIPT_DOUBLE, "get_variable_type of a double");
    check_int(api.get_int_variable("n"), 5, "get_int_variable");
    check(api.get_double_variable("d") == 2.5, "get_double_variable returns 2.5");
    check_int(api.set_int_variable("s", 1), -1, "set_int_variable of a string's name");

    char text[8];
    check_int(api.get_string_variable("s", text, sizeof text), 0, "get_string_variable");
    check_text(text, "text", "get_string_variable's text");
    check_int(api.get_string_variable("s", NULL, 0), 4, "get_string_variable measures");

    int32_t error_line = -1;
    check_int(api.run_parser("m = n * 3;\nm = ;", &error_line), 15, "run_parser's result");
    check_int(error_line, 2, "run_parser's error line");
    check_int(api.get_int_variable("m"), 15, "a variable set by a script");

    char *substituted = api.my_parse("[n] [d] [s] [[");
    check_text(substituted, "5 2.50000 text [", "my_parse");
    api.my_free(substituted);

    char name[8];
    int32_t integer = 0;
    double number = 0.0;
    check_int(api.open_list_variables(), 0, "open_list_variables");
    check_int(api.get_next_int_variable(name, sizeof name, &integer), 0, "get_next_int_variable");
    check(strcmp(name, "m") == 0 && integer == 15, "get_next_int_variable delivers m = 15");
    check_int(api.get_first_variable(), 0, "get_first_variable");
    check_int(api.get_next_double_variable(name, sizeof name, &number), 0, "get_next_double_variable");
    check(strcmp(name, "d") == 0 && number == 2.5, "get_next_double_variable delivers d = 2.5");
    api.get_first_variable();
    check_int(api.get_next_string_variable(name, sizeof name, text, sizeof text), 0, "get_next_string_variable");
    check(strcmp(name, "s") == 0 && strcmp(text, "text") == 0, "get_next_string_variable delivers s");
    check_int(api.get_next_string_variable(name, sizeof name, text, sizeof text), -1, "a listing's end");
    check_int(api.close_list_variables(), 0, "close_list_variables");

    api.delete_variable("n");
    check_int(api.get_variable_type("n"), -1, "delete_variable removes n");
}

/* ---- Calling conventions -------------------------------------------------------------------- */

/* A function of another calling convention than its pointer's moves the stack pointer on every
 * call: so many calls turn that into a crash, and the stack pointer is compared around them. */
enum { CALLS = 10000 };

#if defined(_WIN64)
#  define STACK_REGISTER "%%rsp"
#else
#  define STACK_REGISTER "%%esp"
#endif
#define STACK_POINTER(into) __asm__ volatile("mov " STACK_REGISTER ", %0" : "=r"(into) : : "memory")

#define REPEAT(label, call)                                             \
    do {                                                                \
        uintptr_t before, after;                                        \
        STACK_POINTER(before);                                          \
        for (int i = 0; i < CALLS; ++i) call;                           \
        STACK_POINTER(after);                                           \
        check(before == after, label " keeps the stack pointer");       \
    } while (0)

static void check_calling_conventions(void) {
    base_store();
    char name[8], text[8];
    int32_t integer, error_line;
    double number;
    REPEAT("set_register_window", api.set_register_window(NULL));
    REPEAT("run_parser", api.run_parser("", &error_line));
    REPEAT("reset_registers", api.reset_registers());
    base_store();
    REPEAT("get_variable_type", api.get_variable_type("n"));
    REPEAT("get_int_variable", api.get_int_variable("n"));
    REPEAT("get_double_variable", api.get_double_variable("d"));
    REPEAT("get_string_variable", api.get_string_variable("s", text, sizeof text));
    REPEAT("set_int_variable", api.set_int_variable("n", 5));
    REPEAT("set_double_variable", api.set_double_variable("d", 2.5));
    REPEAT("set_string_variable", api.set_string_variable("s", "text"));
    REPEAT("delete_variable", api.delete_variable("absent"));
    REPEAT("open_list_variables and close_list_variables", (api.open_list_variables(), api.close_list_variables()));
    api.open_list_variables();
    REPEAT("get_first_variable", api.get_first_variable());
    REPEAT("get_next_int_variable", (api.get_first_variable(), api.get_next_int_variable(name, sizeof name, &integer)));
    REPEAT("get_next_double_variable", (api.get_first_variable(), api.get_next_double_variable(name, sizeof name, &number)));
    REPEAT("get_next_string_variable",
           (api.get_first_variable(), api.get_next_string_variable(name, sizeof name, text, sizeof text)));
    api.close_list_variables();
    REPEAT("my_parse and my_free", api.my_free(api.my_parse("[n]")));
    REPEAT("deinit_registers and init_registers", (api.deinit_registers(), api.init_registers()));
    check_int(api.get_int_variable("n"), 0, "the store is empty after deinit_registers");
}

/* ---- A listing held by another thread ------------------------------------------------------- */

typedef struct {
    HANDLE thread, opened, finish;
    int32_t open_result;
} Listing;

static DWORD WINAPI hold_listing(LPVOID parameter) {
    Listing *listing = parameter;
    listing->open_result = api.open_list_variables();
    SetEvent(listing->opened);
    WaitForSingleObject(listing->finish, INFINITE);
    api.close_list_variables();
    return 0;
}

/* Returns once the other thread holds the lock through its listing. */
static void start_listing_elsewhere(Listing *listing) {
    listing->opened = CreateEventA(NULL, TRUE, FALSE, NULL);
    listing->finish = CreateEventA(NULL, TRUE, FALSE, NULL);
    listing->thread = CreateThread(NULL, 0, hold_listing, listing, 0, NULL);
    WaitForSingleObject(listing->opened, INFINITE);
    check_int(listing->open_result, 0, "open_list_variables on another thread");
}

static void stop_listing_elsewhere(Listing *listing) {
    SetEvent(listing->finish);
    WaitForSingleObject(listing->thread, INFINITE);
    CloseHandle(listing->thread);
    CloseHandle(listing->opened);
    CloseHandle(listing->finish);
}

static void check_lock_timeout(void) {
    base_store();
    Listing listing;
    start_listing_elsewhere(&listing);
    const DWORD start = GetTickCount();
    const int32_t value = api.get_int_variable("n");
    const DWORD waited = GetTickCount() - start;
    stop_listing_elsewhere(&listing);
    check_int(value, 0, "get_int_variable while another thread lists");
    check(waited >= 900 && waited <= 5000, "the lock wait ends after about 1000 ms");
    printf("lock wait: %lu ms\n", (unsigned long)waited);
    check_int(api.get_int_variable("n"), 5, "get_int_variable after the listing");
}

/* ---- Notifications -------------------------------------------------------------------------- */

static HWND window;

/* A window that only receives messages: no display is needed. */
static HWND create_message_window(void) {
    WNDCLASSA window_class;
    memset(&window_class, 0, sizeof window_class);
    window_class.lpfnWndProc = DefWindowProcA;
    window_class.hInstance = GetModuleHandleA(NULL);
    window_class.lpszClassName = "regscript_abi_host";
    RegisterClassA(&window_class);
    return CreateWindowExA(0, window_class.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                           window_class.hInstance, NULL);
}

/* The notifications posted since the last call, each checked for wParam 0 and lParam 0. */
static int take_notifications(void) {
    MSG message;
    int count = 0;
    while (PeekMessageA(&message, window, REGSCRIPT_WM_VARIABLES_CHANGED, REGSCRIPT_WM_VARIABLES_CHANGED,
                        PM_REMOVE)) {
        check(message.wParam == 0 && message.lParam == 0, "a notification's parameters are 0");
        ++count;
    }
    return count;
}

static void run_script(void) {
    int32_t error_line;
    api.run_parser("n = n + 1;", &error_line);
}
static void run_failing_script(void) {
    int32_t error_line;
    api.run_parser("n = ;", &error_line);
}
static void reset(void) { api.reset_registers(); }
static void set_int(void) { api.set_int_variable("n", 7); }
static void set_int_of_other_type(void) { api.set_int_variable("s", 7); }
static void set_double(void) { api.set_double_variable("d", 7.5); }
static void set_string(void) { api.set_string_variable("s", "other"); }
static void remove_variable(void) { api.delete_variable("n"); }
static void delete_builtin(void) { api.delete_variable("sin"); }
static void delete_unknown(void) { api.delete_variable("unknown"); }
static void delete_without_lock(void) {
    api.deinit_registers();
    api.delete_variable("n");
    api.init_registers();
}
static void read_variables(void) {
    char text[8];
    api.get_variable_type("n");
    api.get_int_variable("n");
    api.get_double_variable("d");
    api.get_string_variable("s", text, sizeof text);
}
static void list_variables(void) {
    char name[8], text[8];
    int32_t integer;
    double number;
    api.open_list_variables();
    api.get_next_int_variable(name, sizeof name, &integer);
    api.get_first_variable();
    api.get_next_double_variable(name, sizeof name, &number);
    api.get_first_variable();
    api.get_next_string_variable(name, sizeof name, text, sizeof text);
    api.close_list_variables();
}
static void substitute(void) { api.my_free(api.my_parse("[n]")); }
static void register_window(void) { api.set_register_window(window); }
static void initialise_again(void) { api.init_registers(); }
static void close_and_initialise(void) {
    api.deinit_registers();
    api.init_registers();
}

typedef struct {
    const char *label;
    void (*call)(void);
    int listing_elsewhere; /* another thread holds the lock meanwhile, so that the wait fails */
    int notifications;
} NotificationCase;

static const NotificationCase notification_cases[] = {
    {"run_parser", run_script, 0, 1},
    {"run_parser ending in a syntax error", run_failing_script, 0, 1},
    {"run_parser whose lock wait fails", run_script, 1, 0},
    {"reset_registers", reset, 0, 1},
    {"reset_registers whose lock wait fails", reset, 1, 0},
    {"set_int_variable", set_int, 0, 1},
    {"set_int_variable of another type's name", set_int_of_other_type, 0, 1},
    {"set_int_variable whose lock wait fails", set_int, 1, 1},
    {"set_double_variable", set_double, 0, 1},
    {"set_double_variable whose lock wait fails", set_double, 1, 1},
    {"set_string_variable", set_string, 0, 1},
    {"set_string_variable whose lock wait fails", set_string, 1, 1},
    {"delete_variable of a variable", remove_variable, 0, 1},
    {"delete_variable of a built-in's name", delete_builtin, 0, 1},
    {"delete_variable whose lock wait times out", remove_variable, 1, 1},
    {"delete_variable of an unknown name", delete_unknown, 0, 0},
    {"delete_variable without a lock", delete_without_lock, 0, 0},
    {"the getters", read_variables, 0, 0},
    {"a listing", list_variables, 0, 0},
    {"my_parse and my_free", substitute, 0, 0},
    {"set_register_window", register_window, 0, 0},
    {"init_registers", initialise_again, 0, 0},
    {"deinit_registers and init_registers", close_and_initialise, 0, 0},
};

static void check_notification(const NotificationCase *row) {
    base_store();
    take_notifications();
    Listing listing = {0};
    if (row->listing_elsewhere) start_listing_elsewhere(&listing);
    row->call();
    if (row->listing_elsewhere) stop_listing_elsewhere(&listing);
    check_int(take_notifications(), row->notifications, row->label);
}

static void check_notifications(void) {
    window = create_message_window();
    check(window != NULL, "a message-only window");
    api.set_register_window(window);
    for (size_t i = 0; i < sizeof notification_cases / sizeof notification_cases[0]; ++i) {
        check_notification(&notification_cases[i]);
    }
    api.set_register_window(NULL);
    DestroyWindow(window);
}

/* ---- The tick count ------------------------------------------------------------------------- */

static void check_tick_count(void) {
    int32_t error_line;
    const DWORD before = GetTickCount();
    api.run_parser("t = gettickcount();", &error_line);
    const DWORD after = GetTickCount();
    const DWORD script_ticks = (DWORD)api.get_int_variable("t");
    /* Unsigned differences stay right when the count wraps between the readings. */
    check(script_ticks - before <= after - before, "gettickcount() lies between two GetTickCount()");
}

/* ---- The version resource ------------------------------------------------------------------ */

/* The DLL's version resource, which Windows' tools read, and the header agree. */
static void check_version_resource(void) {
    char path[MAX_PATH], data[4096];
    DWORD unused;
    VS_FIXEDFILEINFO *fixed = NULL;
    char *text = NULL;
    UINT length;
    const int found = GetModuleFileNameA(library, path, sizeof path) > 0 &&
                      GetFileVersionInfoSizeA(path, &unused) <= sizeof data &&
                      GetFileVersionInfoA(path, 0, sizeof data, data) &&
                      VerQueryValueA(data, "\\", (void **)&fixed, &length) &&
                      VerQueryValueA(data, "\\StringFileInfo\\040904B0\\FileVersion", (void **)&text, &length);
    check(found, "the DLL has a version resource");
    if (!found) return;
    const DWORD high = MAKELONG(REGSCRIPT_VERSION_MINOR, REGSCRIPT_VERSION_MAJOR);
    const DWORD low = MAKELONG(0, REGSCRIPT_VERSION_PATCH);
    check(fixed->dwFileVersionMS == high && fixed->dwFileVersionLS == low, "the resource's file version");
    check(fixed->dwProductVersionMS == high && fixed->dwProductVersionLS == low, "the resource's product version");
    check_text(text, REGSCRIPT_VERSION_STRING, "the resource's FileVersion text");
}

int main(void) {
    if (load_library()) {
        check_values();
        check_calling_conventions();
        check_lock_timeout();
        check_notifications();
        check_tick_count();
        check_version_resource();
        api.deinit_registers();
    }
    printf("abi_host: %d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
