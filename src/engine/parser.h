// The parse driver: runs the grammar over the scanner's current text, executing each statement
// as it is reduced.
#pragma once

struct RunState;

// 0 when the whole text was accepted, 1 when a syntax error ended the parse, 2 when the text
// nests too deeply for the parser's stacks ("parser stack overflow").
int parse(RunState& run);
