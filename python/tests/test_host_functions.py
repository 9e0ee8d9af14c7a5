"""Host functions, the output function and prepared scripts through the package, and the
document's Python host, which uses them."""
import contextlib
import gc
import io
import os
import re
import subprocess
import sys
from pathlib import Path

import pytest

import regscript


def test_functions_of_each_type_are_called_with_their_arguments(session):
    session.define("twice", lambda v: 2 * v, result=float, parameters=(float,))
    session.define("add", lambda a, b: a + b, result=int, parameters=(int, int))
    session.define("greet", lambda who, n: f"{who} ×{n}", result=str, parameters=(str, int))
    run = session.run('double d; d = twice(1.25); int i; i = add(2, 40); string s; s = greet("Zoë", 3);')
    assert run.ok and (session["d"], session["i"], session["s"]) == (2.5, 42, "Zoë ×3")


def test_an_exception_fails_the_run_with_its_message(session):
    def broken(value):
        raise ValueError(f"no sensor {value}")

    session.define("sensor", broken, result=int, parameters=(int,))
    run = session.run("x = 1;\nx = sensor(7);")
    assert (run.outcome, run.error.line, run.error.message, session["x"]) == (
        regscript.Outcome.HOST_FAILED, 2, "ValueError: no sensor 7", 1)


def test_a_result_beyond_32_bits_fails_the_run(session):
    session.define("huge", lambda: 2**40, result=int)
    assert session.run("x = huge();").outcome == regscript.Outcome.HOST_FAILED


def test_the_callback_lives_while_defined(session):
    session.define("one", lambda: 1)  # no reference kept here
    gc.collect()
    assert session.run("x = one();").result == 1


def test_output_goes_to_the_function_or_sys_stdout(session):
    pieces = []
    session.on_output(pieces.append)
    session.run("x = 1;")
    assert "".join(pieces) == "* Integer statement result=1\t marlin result=1\n"
    captured = io.StringIO()
    session.on_output()
    with contextlib.redirect_stdout(captured):
        session.run("x = 2;")
    session.standard_output()
    assert captured.getvalue() == "* Integer statement result=2\t marlin result=2\n"


def test_a_prepared_script_runs_again_and_again(session):
    session["n"] = 0
    with session.prepare("n = n + 1;") as counter:
        results = [counter.run().result for _ in range(3)]
    assert results == [1, 2, 3] and session["n"] == 3
    with pytest.raises(ValueError):
        counter.run()


def test_the_documents_program_prints_what_it_shows(tmp_path):
    """docs/host-api.md's Python host prints exactly the output block that follows it."""
    document = (Path(__file__).parents[2] / "docs" / "host-api.md").read_text()
    program, output = re.search(r"```python program\n(.*?)```\n\n```output\n(.*?)```", document, re.S).groups()
    shown = subprocess.run([sys.executable, "-c", program], env=dict(os.environ), cwd=tmp_path,
                           capture_output=True, text=True, check=True)
    assert (shown.stdout, shown.stderr) == (output, "")
