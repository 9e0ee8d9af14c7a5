// The texts that a run reads: script files, standard input and the files of --expand-file, all
// read before the first script runs, so that a mistyped name stops the run before it starts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "command_line.h"

// A script ready to run: the name that its error reports give, its text, and the number that its
// reports give its first line (an input of a piped session begins on a later line of the pipe).
struct Script {
    std::string name;
    std::string text;
    int32_t first_line = 1;
};

// The scripts of the command line, in order. A script of -e is named "-e", or "-e#N" for the
// N-th when there are several; standard input is "<stdin>". Throws CommandLineError for a file that cannot
// be read.
std::vector<Script> read_scripts(const std::vector<ScriptSource>& sources);

// The text of the file `name`; throws CommandLineError when it cannot be read.
std::string read_text_file(const std::string& name);
