#include "scanner.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "decimal.h"
#include "output.h"
#include "scratch.h"
#include "store.h"

SemanticValue token_value;
SourceLocation token_location;

namespace {

// The text being scanned: a private copy ending in a NUL, and where scanning resumes; and the
// lines of the last two tokens returned.
struct ScannerBuffer {
    char* block;
    const char* position;
    int32_t last_token_line;
    int32_t line_before_last_token;
};

ScannerBuffer buffer = {nullptr, nullptr, 0, 0};

// Short scripts, the common case, are copied here instead of into a new heap block: the one
// scanner runs under the store lock, so one block serves every run.
char short_text_block[256];

struct Keyword {
    std::string_view text;
    int token;
};

constexpr Keyword keywords[] = {
    {"string", STRING_DECL},     {"int", INT_DECL},         {"double", DOUBLE_DECL},
    {"or", OR},                  {"and", AND},              {"format", FORMAT},
    {"cut", CUT},                {"strlen", STRLEN},        {"delete", DELETE},
    {"strtoint", STRTOINT},      {"strtodouble", STRTODOUBLE}, {"substr", SUBSTR},
    {"hextoint", HEXTOINT},      {"gettickcount", GETTICKCOUNT},
};

bool is_digit(char c) { return c >= '0' && c <= '9'; }
bool is_letter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_'; }
bool is_hex_digit(char c) { return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool is_blank(char c) { return c == ' ' || c == '\t'; }
// White space as the C library's conversions skip it.
bool is_space(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

int hex_digit_value(char c) {
    if (is_digit(c)) return c - '0';
    return (c | 0x20) - 'a' + 10;
}

const char* skip_digits(const char* p) {
    while (is_digit(*p)) ++p;
    return p;
}

// Hex digits from p, the low 32 bits of their number; `end` receives where they stop.
uint32_t read_hex_digits(const char* p, const char** end) {
    uint32_t value = 0;
    for (; is_hex_digit(*p); ++p) value = value << 4 | static_cast<uint32_t>(hex_digit_value(*p));
    *end = p;
    return value;
}

int32_t negate_if(bool negative, uint32_t magnitude) {
    return static_cast<int32_t>(negative ? 0u - magnitude : magnitude);
}

// atoi with 32-bit wrap: white space, an optional sign, decimal digits.
int32_t read_decimal_int(const char* p) {
    while (is_space(*p)) ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    uint32_t value = 0;
    for (; is_digit(*p); ++p) value = value * 10u + static_cast<uint32_t>(*p - '0');
    return negate_if(negative, value);
}

// Rule: letters or underscores, then digits. A keyword's exact text is the keyword; any other
// name is a variable, found or created as an integer variable of value 0, and its token is its
// type code at this moment.
int scan_identifier(const char* start) {
    const char* end = start;
    while (is_letter(*end)) ++end;
    end = skip_digits(end);
    buffer.position = end;
    std::string_view name(start, static_cast<std::size_t>(end - start));
    for (const Keyword& keyword : keywords) {
        if (keyword.text == name) return keyword.token;
    }
    if (name == "TRUE" || name == "FALSE") {
        token_value.integer = name == "TRUE";
        return INT_CONST;
    }
    Variable* variable = find_variable(name);
    if (!variable && (variable = create_variable(name, INT_VAR))) variable->value.integer = 0;
    if (!variable) {  // out of memory: the text ends here
        buffer.position = start + std::strlen(start);
        return 0;
    }
    token_value.variable = variable;
    return variable->type;
}

// Decimal and hexadecimal integers, and doubles: digits with a fraction, an exponent or both.
// A "." or exponent that is not followed by a digit is not part of the number.
int scan_number(const char* start) {
    const char* end;
    if (start[0] == '0' && start[1] == 'x' && is_hex_digit(start[2])) {
        read_hex_digits(start + 2, &end);
        buffer.position = end;
        token_value.integer = text_to_int(start);
        return INT_CONST;
    }
    end = skip_digits(start);
    bool is_double = false;
    if (end[0] == '.' && is_digit(end[1])) {
        end = skip_digits(end + 1);
        is_double = true;
    }
    if (*end == 'e' || *end == 'E') {
        const char* exponent = end + 1;
        if (*exponent == '+' || *exponent == '-') ++exponent;
        if (is_digit(*exponent)) {
            end = skip_digits(exponent);
            is_double = true;
        }
    }
    buffer.position = end;
    if (is_double) {
        token_value.number = decimal_to_double(std::string_view(start, static_cast<std::size_t>(end - start)));
        return DOUBLE_CONST;
    }
    token_value.integer = text_to_int(start);
    return INT_CONST;
}

// A string literal runs to the next double quote, newlines included; without one, the quote is
// a byte that begins no token.
int scan_string(const char* quote) {
    const char* closing = std::strchr(quote + 1, '"');
    if (!closing) {
        echo_byte('"');
        buffer.position = quote + 1;
        return -1;
    }
    buffer.position = closing + 1;
    token_value.text = scratch_copy(quote + 1, static_cast<std::size_t>(closing - quote - 1));
    return STRING_CONST;
}

// One- and two-byte operators, the casts and punctuation; -1 for a byte that begins no token.
int scan_operator(const char* p) {
    auto take = [p](std::size_t length, int token) {
        buffer.position = p + length;
        return token;
    };
    switch (p[0]) {
        case '(':
            if (std::strncmp(p, "(int)", 5) == 0) return take(5, INT_CAST);
            if (std::strncmp(p, "(double)", 8) == 0) return take(8, DOUBLE_CAST);
            return take(1, LPAREN);
        case '*': return p[1] == '*' ? take(2, POWER) : take(1, TIMES);
        case '<': return p[1] == '<' ? take(2, SHL) : p[1] == '=' ? take(2, LE) : take(1, LT);
        case '>': return p[1] == '>' ? take(2, SHR) : p[1] == '=' ? take(2, GE) : take(1, GT);
        case '=': return p[1] == '=' ? take(2, EQ) : take(1, ASSIGN);
        case '!': return p[1] == '=' ? take(2, NE) : take(1, NOT);
        case ')': return take(1, RPAREN);
        case '+': return take(1, PLUS);
        case '-': return take(1, MINUS);
        case '/': return take(1, DIVIDE);
        case '%': return take(1, MODULO);
        case '^': return take(1, BITXOR);
        case '~': return take(1, BITNOT);
        case '&': return take(1, BITAND);
        case ',': return take(1, COMMA);
        default:
            echo_byte(p[0]);
            return take(1, -1);
    }
}

}  // namespace

bool scanner_open_text(const char* text) {
    std::size_t length = std::strlen(text);
    char* block = length + 2 <= sizeof short_text_block ? short_text_block
                                                         : static_cast<char*>(std::malloc(length + 2));
    if (!block) {
        std::fprintf(stderr, "%s\n", "out of dynamic memory in yy_scan_bytes()");
        return false;
    }
    std::memcpy(block, text, length);
    block[length] = block[length + 1] = '\0';
    buffer = {block, block, 0, 0};
    return true;
}

namespace {

// The next token's code, or 0 at the end of the text.
int scan_token() {
    for (;;) {
        const char* p = buffer.position;
        char c = *p;
        int token;
        if (c == '\0') {
            return 0;
        } else if (is_blank(c)) {
            buffer.position = p + 1;
            continue;
        } else if (c == '\n') {
            token_location.first_line += 1;
            token_location.first_column = 0;
            buffer.position = p + 1;
            continue;
        } else if (c == ';') {
            token_location.first_column += 1;
            buffer.position = p + 1;
            return SEMICOLON;
        } else if (is_letter(c)) {
            token = scan_identifier(p);
        } else if (is_digit(c)) {
            token = scan_number(p);
        } else if (c == '"') {
            token = scan_string(p);
        } else {
            token = scan_operator(p);
        }
        if (token >= 0) return token;
    }
}

}  // namespace

int next_token() {
    int token = scan_token();
    if (token != 0) {
        buffer.line_before_last_token = buffer.last_token_line;
        buffer.last_token_line = token_location.first_line;
    }
    return token;
}

int32_t line_before_last_token() { return buffer.line_before_last_token; }

void scanner_close_text() {
    if (buffer.block != short_text_block) std::free(buffer.block);
    buffer = {nullptr, nullptr, 0, 0};
}

int32_t text_to_int(const char* text) {
    if (!text) return 0;
    const char* lead = text;
    while (*lead == ' ') ++lead;
    if (*lead != '0') return read_decimal_int(lead);
    if (is_digit(lead[1])) return read_decimal_int(lead);
    if (lead[1] == 'x') {
        const char* end;
        return static_cast<int32_t>(read_hex_digits(lead + 2, &end));
    }
    return 0;
}

int32_t hex_text_to_int(const char* text) {
    if (!text) return 0;
    const char* p = text;
    while (is_space(*p)) ++p;
    bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X') && is_hex_digit(p[2])) p += 2;
    const char* end;
    return negate_if(negative, read_hex_digits(p, &end));
}
