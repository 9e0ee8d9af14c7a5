// What went wrong in a script, in words for its author: the syntax error that ended a run and
// the warnings about text that runs but was probably not meant. Everything here is fixed-size,
// so that recording a diagnostic never allocates, and every text taken from the script is cut
// to a bounded length.
#pragma once

#include <cstdint>
#include <string_view>

#include "script_warning.h"
#include "token_place.h"

// A grammar symbol as the diagnostics see it: a token code of the scanner (0 for the end of the
// text), or one of these for what the parser has already put together.
enum GrammarSymbol : int32_t {
    symbol_integer_expression = -1,
    symbol_double_expression = -2,
    symbol_string_expression = -3,
    symbol_statement_start = -4,  // nothing of the current statement read yet
    symbol_other = -5,
};

// The parser's view of a syntax error, taken from its error context.
struct SyntaxErrorContext {
    static constexpr int stack_capacity = 8;
    static constexpr int expected_capacity = 64;  // more than the grammar has tokens
    int32_t lookahead;                   // token code; 0 at the end of the text
    int32_t stack[stack_capacity];       // the symbols read before it, nearest first
    int32_t stack_size;
    int32_t expected[expected_capacity];  // the token codes the parser could have taken instead
    int32_t expected_count;
};

constexpr std::size_t diagnostic_text_capacity = 48;
constexpr std::size_t diagnostic_message_capacity = 320;

// The error that ended a run: where it was found, the message for the script's author, and
// where its statement ended.
struct Diagnostic {
    int32_t found_line;    // where the error was found, every line end counted; 0 when there is none
    int32_t found_column;  // byte within the line, from 1
    char message[diagnostic_message_capacity];
    int32_t statement_end_line;  // of the `;` that ended the error statement; 0 when the run ended otherwise
    int32_t statement_end_column;
};

// The diagnostic for a syntax error at the lookahead of `context`; `recent` are the scanner's
// last tokens, the newest first (the lookahead itself unless that is the end of the text).
Diagnostic describe_syntax_error(const SyntaxErrorContext& context, const TokenPlace recent[recent_token_count]);

// The warning's message, written into `buffer` (cut to `size`, always terminated); its length.
std::size_t warning_message(const ScriptWarning& warning, char* buffer, std::size_t size);

// The diagnostic for a statement that nests too deeply, at the last token read.
Diagnostic describe_stack_overflow(const TokenPlace& place);

// The diagnostic for a run that ran out of memory on `line`, near the last token read.
Diagnostic describe_out_of_memory(int32_t line, const TokenPlace& place);
