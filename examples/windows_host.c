/* A Windows host of regscript.dll: it runs a script and, as the script's variables change, lists
 * them from its window's message loop. The window is a message-only one: it receives the change
 * notification and needs no display. Build it with the import library of your toolchain, beside
 * which regscript.dll is found at run time:
 *   MinGW-w64:  gcc windows_host.c -I include -L lib -lregscript -o windows_host.exe
 *   Microsoft:  cl windows_host.c /I include lib\regscript.lib user32.lib */
#include <windows.h>

#include <stdio.h>

#include <regscript.h>

/* Prints every variable, kind by kind, in one listing. */
static void list_variables(void) {
    char name[64], text[256];
    int32_t integer;
    double number;

    if (open_list_variables() != 0) return;
    while (get_next_int_variable(name, sizeof name, &integer) == 0) printf("  int %.64s = %d\n", name, integer);
    get_first_variable();
    while (get_next_double_variable(name, sizeof name, &number) == 0) printf("  double %.64s = %g\n", name, number);
    get_first_variable();
    while (get_next_string_variable(name, sizeof name, text, sizeof text) == 0) {
        printf("  string %.64s = \"%.256s\"\n", name, text);
    }
    close_list_variables();
}

static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == REGSCRIPT_WM_VARIABLES_CHANGED) {
        printf("the variables changed:\n");
        list_variables();
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

static HWND create_message_window(void) {
    WNDCLASSA window_class = {0};
    window_class.lpfnWndProc = window_procedure;
    window_class.hInstance = GetModuleHandleA(NULL);
    window_class.lpszClassName = "regscript_windows_host";
    if (!RegisterClassA(&window_class)) return NULL;
    return CreateWindowExA(0, window_class.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, NULL,
                           window_class.hInstance, NULL);
}

int main(void) {
    int32_t error_line;
    MSG message;
    HWND window = create_message_window();
    if (!window) return 1;

    init_registers();
    set_register_window(window);
    set_int_variable("items", 3);
    run_parser("double price;\nprice = 2.5 * (double) items;\nstring note;\nnote = \"paid\";\n", &error_line);
    /* The loop ends once the notifications posted above have been handled. */
    PostQuitMessage(0);
    while (GetMessageA(&message, NULL, 0, 0) > 0) DispatchMessageA(&message);

    set_register_window(NULL);
    deinit_registers();
    DestroyWindow(window);
    return error_line == 0 ? 0 : 1;
}
