// The interactive session: statements typed into the current store.
#pragma once

// Reads standard input until :quit or its end. An input runs once it ends with a statement's
// ';' (until then a terminal shows a continuation prompt), followed by its result or its
// syntax error; a line that is, trimmed, a command (:vars, :reset, :expand TEXT, :help, :quit)
// is carried out. An unfinished statement at the end of input runs, so that its error shows.
void run_interactive_session();
