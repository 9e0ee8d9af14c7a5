"""Run regscript scripts and share their variables from Python.

    import regscript
    with regscript.Session() as s:
        r = s.run("x = 6 * 7;")     # r.ok, r.result, r.outcome, r.error, r.warnings
        s["name"] = "Ada"           # int, float or str; s["x"] reads, KeyError for none
        s.expand("Dear [name]")

The library is the file REGSCRIPT_LIBRARY names, else the installed libregscript.so.0
(regscript.dll on Windows). Failures of the library raise regscript.Error.
"""
from ._library import library, library_path
from ._session import Diagnostic, Error, Outcome, RunResult, Script, Session


def version():
    """The loaded library's version, e.g. "0.1.0"."""
    return library().regscript_version().decode()


__all__ = ["Diagnostic", "Error", "Outcome", "RunResult", "Script", "Session", "library_path", "version"]
