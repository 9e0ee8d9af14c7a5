#include "shown_text.h"

#include <cstdio>

namespace {

unsigned char byte_at(std::string_view text, std::size_t at) { return static_cast<unsigned char>(text[at]); }

// How many bytes the printable character at the start of `text` has; 0 for a control byte
// (C0, DEL, C1) or a byte that begins no valid UTF-8 sequence.
std::size_t character_length(std::string_view text) {
    const unsigned char lead = byte_at(text, 0);
    if (lead < 0x20 || lead == 0x7f) return 0;
    if (lead < 0x80) return 1;
    const std::size_t length = lead >= 0xc2 && lead <= 0xdf ? 2 : lead >= 0xe0 && lead <= 0xef ? 3
                               : lead >= 0xf0 && lead <= 0xf4                                  ? 4
                                                                                               : 0;
    if (length == 0 || text.size() < length) return 0;
    for (std::size_t at = 1; at < length; ++at) {
        if ((byte_at(text, at) & 0xc0) != 0x80) return 0;
    }
    if (lead == 0xc2 && byte_at(text, 1) < 0xa0) return 0;  // U+0080 to U+009F, the C1 controls
    return length;
}

std::string escape(char byte) {
    switch (byte) {
        case '"': return "\\\"";
        case '\\': return "\\\\";
        case '\n': return "\\n";
        case '\r': return "\\r";
        case '\t': return "\\t";
        default: {
            char text[8];
            std::snprintf(text, sizeof text, "\\%03o", static_cast<unsigned>(static_cast<unsigned char>(byte)));
            return text;
        }
    }
}

enum class Form { literal, display };

// Calls `piece(bytes, text)` for each character of `text` in order: its bytes, and the text that
// shows it in `form`.
template <typename Piece>
void walk(std::string_view text, Form form, Piece piece) {
    for (std::size_t at = 0; at < text.size();) {
        const std::string_view rest = text.substr(at);
        const char byte = rest[0];
        const std::size_t length = character_length(rest);
        const bool kept = form == Form::display ? length > 0 || byte == '\t' : length > 0 && byte != '"' && byte != '\\';
        const std::string_view bytes = rest.substr(0, kept && length > 0 ? length : 1);
        piece(bytes, kept ? std::string(bytes) : escape(byte));
        at += bytes.size();
    }
}

std::string in_form(std::string_view text, Form form) {
    std::string result;
    walk(text, form, [&](std::string_view, const std::string& shown_piece) { result += shown_piece; });
    return result;
}

}  // namespace

std::string quoted(std::string_view text) { return '"' + in_form(text, Form::literal) + '"'; }

std::string shown(std::string_view text) { return in_form(text, Form::display); }

std::string caret_indent(std::string_view line, std::size_t bytes) {
    std::string indent;
    std::size_t passed = 0;
    walk(line, Form::display, [&](std::string_view piece_bytes, const std::string& shown_piece) {
        passed += piece_bytes.size();
        if (passed > bytes) return;
        const bool escaped = shown_piece != piece_bytes;  // an escape is as wide as its text, a character one column
        indent += shown_piece == "\t" ? "\t" : std::string(escaped ? shown_piece.size() : 1, ' ');
    });
    return indent;
}
