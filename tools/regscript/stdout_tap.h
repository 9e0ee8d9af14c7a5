// Watching what the library prints while it prints it.
//
// run_parser reports a syntax error by its line, but hands back line 0 when the error left no
// statement to attribute it to: the script ended inside a statement, or it nested too deeply
// for the parser. Only the library's message on standard output ("error: parse error",
// "error: parser stack overflow") tells those runs from clean ones, so the host passes standard
// output through a pipe during each run, forwards every byte unchanged and at once, and keeps
// the end of the last complete line.
#pragma once

#include <functional>
#include <string>

// Calls `run` with standard output passing through the tap and returns the last complete line
// written meanwhile (its last 64 bytes at most; empty when no line was completed).
// Throws std::system_error when standard output cannot be redirected.
std::string last_line_printed_by(const std::function<void()>& run);
