"""A session of the library: runs, variables, substitution, host functions, prepared scripts."""
import contextlib
import ctypes
import enum
import sys
import weakref
from dataclasses import dataclass, field
from typing import List, Optional

from ._functions import host_function, output_function
from ._library import OUTPUT_FUNCTION, library
from ._values import decoded, encoded, int32

_TYPE_CODES = {int: 1, float: 2, str: 3}
_TYPES = {code: python_type for python_type, code in _TYPE_CODES.items()}


class Error(RuntimeError):
    """The library could not do what was asked: the lock wait failed, a value was refused, memory
    ran out."""


class Outcome(enum.IntEnum):
    """How a run ended (regscript_ext.h's REGSCRIPT_RUN_ codes)."""
    NONE = -1
    COMPLETED = 0
    SYNTAX_ERROR = 1
    ENDED_INSIDE_STATEMENT = 2
    STACK_OVERFLOW = 3
    OUT_OF_MEMORY = 4
    LOCK_NOT_OBTAINED = 5
    HOST_FAILED = 6
    NESTED = 7


@dataclass
class Diagnostic:
    line: int
    column: int
    message: str


@dataclass
class RunResult:
    result: int
    outcome: Outcome
    error: Optional[Diagnostic] = None
    warnings: List[Diagnostic] = field(default_factory=list)

    @property
    def ok(self):
        return self.outcome == Outcome.COMPLETED


def _measured_text(read):
    """A text that a C function hands out by the strncpy rule after telling its length when asked
    with no buffer; None when it has none (-1)."""
    length = read(None, 0)
    if length < 0:
        return None
    buffer = ctypes.create_string_buffer(length + 1)
    read(buffer, length + 1)
    return decoded(buffer.raw[:length])


def _diagnostic(read):
    line, column = ctypes.c_int32(), ctypes.c_int32()
    message = _measured_text(lambda buffer, size: read(ctypes.byref(line), ctypes.byref(column), buffer, size))
    return None if message is None else Diagnostic(line.value, column.value, message)


def _last_run(result, error_line):
    """What the calling thread's last run, which has just returned `result`, did."""
    lib = library()
    code = lib.regscript_last_outcome()
    if code == Outcome.LOCK_NOT_OBTAINED:
        raise Error("regscript: the script did not run: another thread held the lock for over 1000 ms")
    error = _diagnostic(lib.regscript_last_error)
    if error is None and error_line.value:  # memory ran out: the line the run reached
        error = Diagnostic(error_line.value, 0, "out of memory")
    warnings = []
    for index in range(lib.regscript_last_warning_count()):
        warning = _diagnostic(lambda *where_and_buffer: lib.regscript_last_warning(index, *where_and_buffer))
        if warning is None:  # only the first ones are kept
            break
        warnings.append(warning)
    return RunResult(result, Outcome(code) if code in Outcome._value2member_map_ else code, error, warnings)


@contextlib.contextmanager
def _store_locked():
    """Holds the library's lock, taken through the listing calls, which keep it: every call inside
    gets it at once, so a failed wait is never read as a value of 0."""
    lib = library()
    if lib.open_list_variables() != 0:
        raise Error("regscript: another thread held the lock for over 1000 ms")
    try:
        yield lib
    finally:
        lib.close_list_variables()


def _listed_variables(lib, name_size):
    """Every variable, or None when a name filled the buffer (it then has no NUL)."""
    listed = {}
    name = ctypes.create_string_buffer(name_size)
    every_name_fits = True

    def add(value):
        nonlocal every_name_fits
        end = name.raw.find(b"\0")
        every_name_fits = every_name_fits and end >= 0
        listed[decoded(name.raw[:end])] = value

    integer, number = ctypes.c_int32(), ctypes.c_double()
    lib.get_first_variable()
    while lib.get_next_int_variable(name, name_size, ctypes.byref(integer)) == 0:
        add(integer.value)
    lib.get_first_variable()
    while lib.get_next_double_variable(name, name_size, ctypes.byref(number)) == 0:
        add(number.value)
    lib.get_first_variable()
    # Without a value buffer the call gives the text's length and leaves the cursor where it is.
    while (length := lib.get_next_string_variable(name, name_size, None, 0)) >= 0:
        text = ctypes.create_string_buffer(length + 1)
        lib.get_next_string_variable(name, name_size, text, length + 1)
        add(decoded(text.raw[:length]))
    return listed if every_name_fits else None


def _run(run, *arguments):
    error_line = ctypes.c_int32()
    result = run(*arguments, ctypes.byref(error_line))
    return _last_run(result, error_line)


class _Closing:
    """Closed at the end of a with block."""

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self.close()


class Script(_Closing):
    """A script prepared once and run many times; freed by close(), at the end of a with block or
    when it is collected."""

    def __init__(self, text):
        lib = library()
        self._script = lib.require("regscript_prepare")(encoded(text))
        if not self._script:
            raise Error("regscript: out of memory while preparing a script")
        self._free = weakref.finalize(self, lib.regscript_free_prepared, self._script)

    def run(self):
        if not self._free.alive:
            raise ValueError("the script is closed")
        return _run(library().regscript_run_prepared, self._script)

    def close(self):
        self._free()


class Session(_Closing):
    """The library from init_registers to deinit_registers (close(), the end of a with block, or
    collection). Its store is process-wide: have one session at a time."""

    def __init__(self):
        lib = library()
        if lib.init_registers() != 0:
            raise Error("regscript: out of memory while starting")
        self._functions = {}  # the callbacks of the defined functions, kept alive while defined
        self._output = None
        self._end = weakref.finalize(self, Session._end_session, lib, self._functions)

    @staticmethod
    def _end_session(lib, functions):
        if hasattr(lib, "regscript_set_output_function"):
            lib.regscript_set_output_function(OUTPUT_FUNCTION(), None)
        lib.deinit_registers()
        functions.clear()

    def close(self):
        self._end()

    def run(self, script):
        return _run(library().run_parser, encoded(script))

    def __getitem__(self, name):
        key = encoded(name)
        with _store_locked() as lib:
            kind = _TYPES.get(lib.get_variable_type(key))
            if kind is int:
                return lib.get_int_variable(key)
            if kind is float:
                return lib.get_double_variable(key)
            if kind is str:
                return _measured_text(lambda buffer, size: lib.get_string_variable(key, buffer, size))
        raise KeyError(name)

    def __setitem__(self, name, value):
        key, lib = encoded(name), library()
        if isinstance(value, bool) or not isinstance(value, (int, float, str)):
            raise TypeError(f"regscript variables hold int, float or str, not {type(value).__name__}")
        if isinstance(value, int):
            status = lib.set_int_variable(key, int32(value))
        elif isinstance(value, float):
            status = lib.set_double_variable(key, value)
        else:
            status = lib.set_string_variable(key, encoded(value))
        if status != 0:
            held = {1: "an integer", 2: "a double", 3: "a string"}.get(lib.get_variable_type(key))
            raise Error(f"regscript: `{name}` holds {held}; a variable keeps its type" if held else
                        f"regscript: `{name}` was not stored: it names a function, memory ran out, "
                        "or another thread held the lock for over 1000 ms")

    def __delitem__(self, name):
        library().delete_variable(encoded(name))

    def expand(self, text):
        """The text with every [name] replaced by the variable's value."""
        with _store_locked() as lib:  # without it a failed wait would give the text unexpanded
            expanded = lib.my_parse(encoded(text))
        if not expanded:
            raise Error("regscript: out of memory while expanding a text")
        try:
            return decoded(ctypes.string_at(expanded))
        finally:
            lib.my_free(expanded)

    def variables(self):
        """Every variable, {name: value}: the integers, the doubles, then the strings."""
        with _store_locked() as lib:
            name_size = 64
            while (listed := _listed_variables(lib, name_size)) is None:
                name_size *= 2
            return listed

    def define(self, name, function, result=int, parameters=()):
        """Lets scripts call `function` by `name`. `result` and `parameters` are int, float or str;
        an exception the function raises fails the run with its message."""
        try:
            types = "".join("ids"[_TYPE_CODES[kind] - 1] for kind in parameters)
            result_code = _TYPE_CODES[result]
        except KeyError as error:
            raise TypeError(f"regscript function types are int, float or str, not {error.args[0]!r}") from None
        callback = host_function(function, result, parameters)
        if library().require("regscript_define_function")(encoded(name), result_code, types.encode(), callback, None) != 0:
            raise Error(f"regscript: `{name}` cannot be defined: it is a keyword or a built-in function, it is no "
                        "name a script can write, or another thread held the lock for over 1000 ms")
        self._functions[name] = callback

    def on_output(self, write=None):
        """Sends what runs write to standard output to `write(text)` instead; without a function
        to the current sys.stdout, so that it keeps its place among Python's own output."""
        self._output = output_function(write or (lambda text: sys.stdout.write(text)))
        library().require("regscript_set_output_function")(self._output, None)

    def standard_output(self):
        """Gives what runs write back to the process's standard output."""
        library().require("regscript_set_output_function")(OUTPUT_FUNCTION(), None)
        self._output = None

    def prepare(self, text):
        return Script(text)
