"""The shared library and the prototype of every C function the package calls, declared once.

Without a prototype ctypes passes and returns C ints: a double result reads as 0 and a pointer
result is cut to 32 bits. On 32-bit Windows the functions with arguments use the stdcall
convention (ctypes' WinDLL) and the ones without, cdecl (CDLL); elsewhere there is one.
"""
import ctypes
import os
import sys
from ctypes import POINTER, c_char, c_char_p, c_double, c_int32, c_void_p

CDECL, STDCALL = "cdecl", "stdcall"
STDCALL_DIFFERS = sys.platform == "win32" and ctypes.sizeof(c_void_p) == 4
_buffer = POINTER(c_char)

# The callback types, which the library calls as stdcall functions.
_stdcall_function = ctypes.WINFUNCTYPE if STDCALL_DIFFERS else ctypes.CFUNCTYPE
HOST_FUNCTION = _stdcall_function(None, c_void_p, c_void_p)
OUTPUT_FUNCTION = _stdcall_function(None, POINTER(c_char), c_int32, c_void_p)

# name: (calling convention, result type, parameter types)
PROTOTYPES = {
    "init_registers": (CDECL, c_int32, ()),
    "deinit_registers": (CDECL, c_int32, ()),
    "run_parser": (STDCALL, c_int32, (c_char_p, POINTER(c_int32))),
    "get_variable_type": (STDCALL, c_int32, (c_char_p,)),
    "get_int_variable": (STDCALL, c_int32, (c_char_p,)),
    "get_double_variable": (STDCALL, c_double, (c_char_p,)),
    "get_string_variable": (STDCALL, c_int32, (c_char_p, _buffer, c_int32)),
    "set_int_variable": (STDCALL, c_int32, (c_char_p, c_int32)),
    "set_double_variable": (STDCALL, c_int32, (c_char_p, c_double)),
    "set_string_variable": (STDCALL, c_int32, (c_char_p, c_char_p)),
    "delete_variable": (STDCALL, None, (c_char_p,)),
    "open_list_variables": (CDECL, c_int32, ()),
    "get_first_variable": (CDECL, c_int32, ()),
    "get_next_int_variable": (STDCALL, c_int32, (_buffer, c_int32, POINTER(c_int32))),
    "get_next_double_variable": (STDCALL, c_int32, (_buffer, c_int32, POINTER(c_double))),
    "get_next_string_variable": (STDCALL, c_int32, (_buffer, c_int32, _buffer, c_int32)),
    "close_list_variables": (CDECL, c_int32, ()),
    # The text stays a raw pointer: it must go back to my_free unchanged.
    "my_parse": (STDCALL, c_void_p, (c_char_p,)),
    "my_free": (STDCALL, None, (c_void_p,)),
    "regscript_version": (CDECL, c_char_p, ()),
    "regscript_last_outcome": (CDECL, c_int32, ()),
    "regscript_last_error": (STDCALL, c_int32, (POINTER(c_int32), POINTER(c_int32), _buffer, c_int32)),
    "regscript_last_warning_count": (CDECL, c_int32, ()),
    "regscript_last_warning": (STDCALL, c_int32, (c_int32, POINTER(c_int32), POINTER(c_int32), _buffer, c_int32)),
    "regscript_define_function": (STDCALL, c_int32, (c_char_p, c_int32, c_char_p, HOST_FUNCTION, c_void_p)),
    "regscript_argument_int": (STDCALL, c_int32, (c_void_p, c_int32)),
    "regscript_argument_double": (STDCALL, c_double, (c_void_p, c_int32)),
    "regscript_argument_string": (STDCALL, c_char_p, (c_void_p, c_int32)),
    "regscript_return_int": (STDCALL, None, (c_void_p, c_int32)),
    "regscript_return_double": (STDCALL, None, (c_void_p, c_double)),
    "regscript_return_string": (STDCALL, None, (c_void_p, c_char_p)),
    "regscript_fail": (STDCALL, None, (c_void_p, c_char_p)),
    "regscript_set_output_function": (STDCALL, None, (OUTPUT_FUNCTION, c_void_p)),
    "regscript_prepare": (STDCALL, c_void_p, (c_char_p,)),
    "regscript_run_prepared": (STDCALL, c_int32, (c_void_p, POINTER(c_int32))),
    "regscript_free_prepared": (STDCALL, None, (c_void_p,)),
}


def library_path():
    """REGSCRIPT_LIBRARY when set, else the installed library's name for the system's loader."""
    return os.environ.get("REGSCRIPT_LIBRARY") or ("regscript.dll" if sys.platform == "win32" else "libregscript.so.0")


class Library:
    """The library's functions as attributes. A function that this build of the library does not
    export is missing here, and whatever needs it says so."""

    def __init__(self, path):
        cdecl = ctypes.CDLL(path)
        loaders = {CDECL: cdecl, STDCALL: ctypes.WinDLL(path) if STDCALL_DIFFERS else cdecl}
        for name, (convention, result, parameters) in PROTOTYPES.items():
            function = getattr(loaders[convention], name, None)
            if function is None:
                continue
            function.restype = result
            function.argtypes = parameters
            setattr(self, name, function)

    def require(self, name):
        function = getattr(self, name, None)
        if function is None:
            raise NotImplementedError(f"the regscript library at {library_path()} has no {name}; it is older than this package")
        return function


_loaded = None


def library():
    """The library, loaded at the first call."""
    global _loaded
    if _loaded is None:
        try:
            _loaded = Library(library_path())
        except OSError as error:
            raise OSError(f"cannot load the regscript library {library_path()!r} ({error}); "
                          "install it, or set REGSCRIPT_LIBRARY to its path") from error
    return _loaded
