"""Python functions as the library's callbacks. Nothing Python raises may unwind through the
library's frames: a host function's exception fails the call, and so the run, with its message."""
import ctypes

from ._library import HOST_FUNCTION, OUTPUT_FUNCTION, library
from ._values import decoded, encoded, int32


def _arguments(lib, call, parameters):
    read = {int: lib.regscript_argument_int, float: lib.regscript_argument_double,
            str: lambda call, index: decoded(lib.regscript_argument_string(call, index) or b"")}
    return [read[kind](call, index) for index, kind in enumerate(parameters)]


def _give_back(lib, call, result, value):
    if result is int:
        lib.regscript_return_int(call, int32(int(value)))
    elif result is float:
        lib.regscript_return_double(call, float(value))
    else:
        lib.regscript_return_string(call, encoded(str(value)))


def host_function(function, result, parameters):
    lib = library()

    def call(regscript_call, _context):
        try:
            _give_back(lib, regscript_call, result, function(*_arguments(lib, regscript_call, parameters)))
        except BaseException as error:  # noqa: B036 -- nothing may cross the library's frames
            lib.regscript_fail(regscript_call, f"{type(error).__name__}: {error}".encode("utf-8", "replace"))

    return HOST_FUNCTION(call)


def output_function(write):
    def output(text, length, _context):
        write(decoded(ctypes.string_at(text, length)))

    return OUTPUT_FUNCTION(output)
