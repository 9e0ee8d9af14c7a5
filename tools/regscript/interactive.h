// The interactive session: statements typed line by line into the current store.
#pragma once

// Reads lines from standard input until :quit or the end of input. A line is run as a script
// and followed by its result and any syntax error; a line that begins with ':' is a command
// (:vars, :reset, :expand TEXT, :help, :quit).
void run_interactive_session();
