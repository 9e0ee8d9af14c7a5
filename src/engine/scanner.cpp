#include "scanner.h"

#include <cstring>

#include "conversions.h"
#include "echoed_bytes.h"
#include "grammar.hpp"
#include "keyword_lookup.h"
#include "memory.h"
#include "output.h"
#include "scratch.h"
#include "store.h"

// A name's token is its variable's type code.
static_assert(TOKEN_INT_VAR == INT_VAR && TOKEN_STRING_VAR == STRING_VAR && TOKEN_DOUBLE_VAR == DOUBLE_VAR &&
              TOKEN_FUNCTION == FUNCTION && TOKEN_HOST_INT_FUNCTION == HOST_INT_FUNCTION &&
              TOKEN_HOST_DOUBLE_FUNCTION == HOST_DOUBLE_FUNCTION && TOKEN_HOST_STRING_FUNCTION == HOST_STRING_FUNCTION);

using keyword_lookup::constant_word;
using keyword_lookup::keyword_token;

namespace {

// Everything the scanner keeps between two requests; scanner_open_text sets it afresh for each
// text. The text is a private copy ending in a NUL.
struct Scanner {
    char* block;
    const char* end;       // the copy's terminating NUL
    const char* position;  // where scanning resumes
    int32_t line;          // of `position`, not counting line ends inside strings: the run's error line
    int32_t text_line;     // of `position`, counting every line end: where messages place tokens
    const char* line_start;
    TokenPlace recent[recent_token_count];  // a ring; the newest at `newest`
    unsigned newest;
    unsigned remembered;                    // how many of `recent` this text has filled
    bool carriage_return_noted;             // one warning a run is enough for CR line ends
    ScriptWarning warnings[warning_capacity];
    int32_t warning_count;                  // may exceed warning_capacity; the first ones are kept
    // A quiet scan (scanner_scan_quietly) resolves names here, and stops where a run would
    // print, warn or allocate.
    const NameResolver* resolver;
    bool stopped;
    bool copied;  // the block is the scanner's copy of the text
};

Scanner scanner = {};

// Each token is remembered on the way out, so the ring's arithmetic is a mask.
static_assert((recent_token_count & (recent_token_count - 1)) == 0);
constexpr unsigned ring_mask = recent_token_count - 1;

// Short scripts, the common case, are copied here instead of into a new heap block: the one
// scanner runs under the store lock, so one block serves every run.
char short_text_block[256];

// Where `at` stands, `length` bytes long.
TokenPlace place_of(const char* at, std::size_t length) {
    return {scanner.text_line, column_number(static_cast<std::size_t>(at - scanner.line_start)), std::string_view(at, length),
            0, scanner.line};
}

// The line ends inside a string literal move the places of what follows; the string's own place
// is where it begins.
void pass_line_ends(const char* from, const char* to) {
    while (const void* found = std::memchr(from, '\n', static_cast<std::size_t>(to - from))) {
        from = static_cast<const char*>(found) + 1;
        if (scanner.text_line < INT32_MAX) scanner.text_line += 1;
        scanner.line_start = from;
    }
}

// A byte that begins no token is echoed; the run notes why it probably was not meant.
void note_echoed_byte(const char* at, std::size_t length) {
    const EchoNote note = note_for_echo(at, length, {scanner.block, scanner.line_start, scanner.end});
    if (*at == '\r') {
        if (scanner.carriage_return_noted) return;  // one warning a run is enough for CR line ends
        scanner.carriage_return_noted = true;
    }
    if (note.kind) scanner_note_warning(make_warning(*note.kind, place_of(note.text, note.length)));
}

// The end of a quiet scan, at the token that would have printed, warned or allocated.
int stop_quiet_scan() {
    scanner.stopped = true;
    scanner.position = scanner.end;
    return 0;
}

int resolve_quietly(std::string_view name, SemanticValue* value) {
    const int token = scanner.resolver->token_of(name, value);
    return token != 0 ? token : stop_quiet_scan();
}

// Rule: letters or underscores, then digits. A keyword's exact text is the keyword; any other
// name is a variable, found or created as an integer variable of value 0, and its token is its
// type code at this moment.
// The name is hashed once, for its lookup and, when it is new, its creation.
int read_identifier(const char* start, SemanticValue* value) {
    const char* end = start;
    while (is_letter(*end)) ++end;
    end = skip_digits(end, scanner.end);
    scanner.position = end;
    std::string_view name(start, static_cast<std::size_t>(end - start));
    if (int keyword = keyword_token(name)) return keyword;
    if (const ConstantWord* constant = constant_word(name)) {
        value->integer = constant->value;
        return TOKEN_INT_CONST;
    }
    if (scanner.resolver) return resolve_quietly(name, value);
    const NameKey key = key_of(name);
    Variable* variable = find_variable(key);
    if (!variable) variable = create_variable(key, INT_VAR);
    if (!variable) return 0;  // out of memory: the text ends here
    value->variable = variable;
    return variable->type;
}

// Integers and doubles (number_literal_at).
int read_number(const char* start, SemanticValue* value) {
    const NumberLiteral literal = number_literal_at(start, scanner.end);
    scanner.position = literal.end;
    if (!literal.is_double) {
        value->integer = text_to_int(start);
        return TOKEN_INT_CONST;
    }
    value->number = decimal_to_double(std::string_view(start, static_cast<std::size_t>(literal.end - start)));
    return TOKEN_DOUBLE_CONST;
}

// A string literal runs to the next double quote, newlines included; without one, the quote is
// a byte that begins no token.
int read_string(const char* quote, SemanticValue* value) {
    if (scanner.resolver) return stop_quiet_scan();
    const char* closing = std::strchr(quote + 1, '"');
    if (!closing) {
        echo_byte('"');
        scanner_note_warning(make_warning(WarningKind::unterminated_string, place_of(quote, 1)));
        scanner.position = quote + 1;
        return -1;
    }
    scanner.position = closing + 1;
    value->text = scratch_copy(quote + 1, static_cast<std::size_t>(closing - quote - 1));
    return TOKEN_STRING_CONST;
}

// One- and two-byte operators, the casts and punctuation; -1 for a byte that begins no token.
int read_operator(const char* p) {
    auto take = [p](std::size_t length, int token) {
        scanner.position = p + length;
        return token;
    };
    switch (p[0]) {
        case '(':
            if (std::strncmp(p, "(int)", 5) == 0) return take(5, TOKEN_INT_CAST);
            if (std::strncmp(p, "(double)", 8) == 0) return take(8, TOKEN_DOUBLE_CAST);
            return take(1, TOKEN_LPAREN);
        case '*': return p[1] == '*' ? take(2, TOKEN_POWER) : take(1, TOKEN_TIMES);
        case '<': return p[1] == '<' ? take(2, TOKEN_SHL) : p[1] == '=' ? take(2, TOKEN_LE) : take(1, TOKEN_LT);
        case '>': return p[1] == '>' ? take(2, TOKEN_SHR) : p[1] == '=' ? take(2, TOKEN_GE) : take(1, TOKEN_GT);
        case '=': return p[1] == '=' ? take(2, TOKEN_EQ) : take(1, TOKEN_ASSIGN);
        case '!': return p[1] == '=' ? take(2, TOKEN_NE) : take(1, TOKEN_NOT);
        case ')': return take(1, TOKEN_RPAREN);
        case '+': return take(1, TOKEN_PLUS);
        case '-': return take(1, TOKEN_MINUS);
        case '/': return take(1, TOKEN_DIVIDE);
        case '%': return take(1, TOKEN_MODULO);
        case '^': return take(1, TOKEN_BITXOR);
        case '~': return take(1, TOKEN_BITNOT);
        case '&': return take(1, TOKEN_BITAND);
        case ',': return take(1, TOKEN_COMMA);
        case ';': return take(1, TOKEN_SEMICOLON);
        default: {
            if (scanner.resolver) return stop_quiet_scan();
            const std::size_t length = echoed_length(p);
            for (std::size_t i = 0; i < length; ++i) echo_byte(p[i]);
            note_echoed_byte(p, length);
            return take(length, -1);
        }
    }
}

// The next token's code, or 0 at the end of the text; `start` receives where the token begins.
// It runs once a token, inside next_token: a call of its own costs a tenth of a short token.
[[gnu::always_inline]] inline int scan_token(SemanticValue* value, const char** start) {
    for (;;) {
        const char* p = scanner.position;
        char c = *p;
        int token;
        *start = p;
        if (c == '\0') {
            return 0;
        } else if (is_blank(c)) {
            scanner.position = p + 1;
            continue;
        } else if (c == '\n') {
            // Saturates: beyond 2^31 - 1 lines every line counts as the last.
            if (scanner.line < INT32_MAX) scanner.line += 1;
            if (scanner.text_line < INT32_MAX) scanner.text_line += 1;
            scanner.line_start = p + 1;
            scanner.position = p + 1;
            continue;
        } else if (is_letter(c)) {
            token = read_identifier(p, value);
        } else if (is_digit(c)) {
            token = read_number(p, value);
        } else if (c == '"') {
            token = read_string(p, value);
        } else {
            token = read_operator(p);
        }
        if (token >= 0) return token;
    }
}

int scan_and_remember(SemanticValue* value) {
    const char* start;
    int token = scan_token(value, &start);
    if (token != 0) {
        scanner.newest = (scanner.newest + 1) & ring_mask;
        TokenPlace& place = scanner.recent[scanner.newest];
        place = place_of(start, static_cast<std::size_t>(scanner.position - start));
        place.token = token;
        if (token == TOKEN_STRING_CONST) pass_line_ends(start, scanner.position);
        if (scanner.remembered < recent_token_count) ++scanner.remembered;
    }
    return token;
}

}  // namespace

bool is_script_name(std::string_view name) {
    std::size_t letters = 0;
    while (letters < name.size() && is_letter(name[letters])) ++letters;
    std::size_t end = letters;
    while (end < name.size() && is_digit(name[end])) ++end;
    return letters > 0 && end == name.size() && !keyword_token(name) && !constant_word(name);
}

namespace {

void start_scanning(char* block, std::size_t length) {
    scanner.warning_count = 0;
    // The ring is not cleared: `remembered` says how much of it belongs to this text.
    scanner.block = block;
    scanner.end = block + length;
    scanner.position = scanner.line_start = block;
    scanner.line = scanner.text_line = 1;
    scanner.remembered = 0;
    scanner.carriage_return_noted = false;
    scanner.resolver = nullptr;
    scanner.stopped = false;
}

}  // namespace

bool scanner_open_text(const char* text) {
    std::size_t length = std::strlen(text);
    char* block = length + 1 <= sizeof short_text_block ? short_text_block
                                                         : static_cast<char*>(allocate(length + 1));
    if (!block) return false;
    std::memcpy(block, text, length);
    block[length] = '\0';
    start_scanning(block, length);
    scanner.copied = true;
    return true;
}

void scanner_open_text_in_place(const char* text, std::size_t length) {
    // Never written: the scanner only reads its block.
    start_scanning(const_cast<char*>(text), length);
    scanner.copied = false;
}

void scanner_scan_quietly(const NameResolver* resolver) { scanner.resolver = resolver; }

bool scanner_stopped_quietly() { return scanner.stopped; }

std::size_t scanner_offset() { return static_cast<std::size_t>(scanner.position - scanner.block); }

bool scanner_skip_quietly(std::size_t offset, const NameResolver& resolver) {
    scanner.resolver = &resolver;
    SemanticValue ignored;
    while (scanner_offset() < offset && scan_and_remember(&ignored) != 0) {
    }
    scanner.resolver = nullptr;
    if (scanner_offset() == offset && !scanner.stopped) return true;
    scanner.position = scanner.end;
    return false;
}

int next_token(SemanticValue* value) {
    if (allocation_failed()) return 0;  // the run stops where memory ran out
    return scan_and_remember(value);
}

int32_t column_number(std::size_t bytes_before) {
    return bytes_before < INT32_MAX ? static_cast<int32_t>(bytes_before) + 1 : INT32_MAX;
}

TokenPlace recent_token(int back) {
    if (back < 0 || static_cast<unsigned>(back) >= scanner.remembered) return {};
    return scanner.recent[(scanner.newest - static_cast<unsigned>(back)) & ring_mask];
}

TokenPlace last_token() { return recent_token(0); }

TokenPlace token_before_last() { return recent_token(1); }

int32_t scanner_line() { return scanner.line; }

void scanner_note_warning(const ScriptWarning& warning) {
    if (scanner.warning_count < warning_capacity) scanner.warnings[scanner.warning_count] = warning;
    if (scanner.warning_count < INT32_MAX) ++scanner.warning_count;
}

int32_t scanner_warning_count() { return scanner.warning_count; }

const ScriptWarning* scanner_warnings() { return scanner.warnings; }

void scanner_close_text() {
    if (scanner.copied && scanner.block != short_text_block) deallocate(scanner.block);
    scanner.block = nullptr;
    scanner.position = scanner.end = "";
    scanner.line = scanner.text_line = 0;
    scanner.remembered = 0;
}
