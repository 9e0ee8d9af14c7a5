"""The package over the library: values and their types as Python holds them, texts beyond ASCII
and beyond any buffer, diagnostics, the lock wait that fails, and installation with pip."""
import os
import shutil
import subprocess
import sys
import threading
from pathlib import Path

import pytest

import regscript
from regscript._library import library

LONG_NAME = "n" * 300


def described(run):
    error = run.error and (run.error.line, run.error.column, run.error.message)
    return run.result, run.outcome, error, [warning.line for warning in run.warnings]


def stored_and_read(session, name, value):
    session[name] = value
    return session[name]


CALLS = {
    "run gives its result": (lambda s: described(s.run("x = 6 * 7;")), (42, regscript.Outcome.COMPLETED, None, [])),
    "a syntax error gives its place and message": (
        lambda s: described(s.run("x = 1;\nx = 2.5;")),
        (1, regscript.Outcome.SYNTAX_ERROR,
         (2, 5, "`x` is an integer variable and `2.5` is a double; to store doubles in it, declare it first: `double x;`"),
         [])),
    "warnings come with the run": (lambda s: described(s.run("x = 1;\n#")), (1, regscript.Outcome.COMPLETED, None, [2])),
    "doubles read back exactly": (lambda s: stored_and_read(s, "d", 2.5e-300), 2.5e-300),
    "integers keep 32 bits": (lambda s: stored_and_read(s, "i", -(2**31)), -(2**31)),
    "texts travel as UTF-8, whole": (lambda s: stored_and_read(s, "s", "Zoë " * 2000), "Zoë " * 2000),
    "scripts see the host's values": (
        lambda s: [stored_and_read(s, "n", 20), s.run("int m; m = n + 1;").result, s["m"]], [20, 21, 21]),
    "expand fills brackets": (
        lambda s: [stored_and_read(s, "name", "Zoë"), s.expand("Dear [name], [[x] [unknown]")], ["Zoë", "Dear Zoë, [x] "]),
    "variables lists every kind and long names": (
        lambda s: [s.run('double d; d = 0.5; string t; t = "x";'), stored_and_read(s, LONG_NAME, 7), s.variables()][-1],
        {LONG_NAME: 7, "d": 0.5, "t": "x"}),
    "a deleted variable is gone": (lambda s: [stored_and_read(s, "x", 1), s.__delitem__("x"), "x" in s.variables()][-1], False),
}


@pytest.mark.parametrize("call, expected", CALLS.values(), ids=CALLS.keys())
def test_session_calls(session, call, expected):
    assert call(session) == expected


REFUSALS = {
    "no variable": (lambda s: s["missing"], KeyError),
    "a bool is no regscript value": (lambda s: s.__setitem__("b", True), TypeError),
    "beyond 32 bits": (lambda s: s.__setitem__("i", 2**31), OverflowError),
    "a NUL would cut the name": (lambda s: s.__setitem__("a\0b", 1), ValueError),
    "a variable keeps its type": (lambda s: [s.__setitem__("i", 1), s.__setitem__("i", "one")], regscript.Error),
}


@pytest.mark.parametrize("call, error", REFUSALS.values(), ids=REFUSALS.keys())
def test_refusals(session, call, error):
    with pytest.raises(error):
        call(session)


def test_a_failed_lock_wait_raises(session):
    """While another thread holds the lock, nothing reads as a 0: every call raises."""
    session["n"] = 5
    locked, done = threading.Event(), threading.Event()

    def hold_the_lock():
        library().open_list_variables()
        locked.set()
        done.wait()
        library().close_list_variables()

    holder = threading.Thread(target=hold_the_lock)
    holder.start()
    locked.wait()
    try:
        for call in (lambda: session["n"], lambda: session.expand("[n]"), session.variables, lambda: session.run("n = 1;")):
            with pytest.raises(regscript.Error):
                call()
    finally:
        done.set()
        holder.join()
    assert session["n"] == 5


def test_installs_with_pip(tmp_path):
    """pip installs the package from its directory; the installed copy loads the library."""
    source = tmp_path / "source"
    shutil.copytree(Path(__file__).parents[1], source, ignore=shutil.ignore_patterns("tests", "__pycache__"))
    target = tmp_path / "installed"
    # No network here: the build backend is the one installed beside pip.
    subprocess.run([sys.executable, "-m", "pip", "install", "-q", "--no-build-isolation", "--no-index",
                    "--target", str(target), str(source)], check=True)
    environment = dict(os.environ, PYTHONPATH=str(target))
    shown = subprocess.run([sys.executable, "-c", "import regscript; print(regscript.__file__, regscript.version())"],
                           env=environment, cwd=tmp_path, check=True, capture_output=True, text=True).stdout
    assert shown.startswith(str(target)) and shown.split()[1] == regscript.version()
