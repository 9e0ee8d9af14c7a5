// The fenced code blocks of a Markdown document, which hold the documents' examples.
#pragma once

#include <string>
#include <string_view>
#include <vector>

struct FencedBlock {
    std::string tag;    // the first word after the opening ```: "regscript", "output", "c"
    std::string label;  // the rest of that line: "program" in ```c program
    std::string text;   // the lines between the fences, each ending in '\n'
    int line;           // the line of the opening fence, counted from 1
};

// The blocks in order. A fence is a line that starts with ```; a block still open at the end of
// the text throws std::runtime_error.
std::vector<FencedBlock> fenced_blocks(std::string_view markdown);

// The text of a file; throws std::runtime_error when it cannot be read.
std::string read_document(const std::string& path);
