// The words for a run's warnings.
#include "diagnostics.h"
#include "message.h"

using diagnosis::Message;

namespace {

// "`#`", or "the byte 0x07" for one that is not printable ASCII.
Message& describe_byte(Message& message, char byte) {
    if (byte > ' ' && byte <= '~') return message.code(std::string_view(&byte, 1));
    constexpr char digits[] = "0123456789ABCDEF";
    unsigned char value = static_cast<unsigned char>(byte);
    const char hex[] = {'0', 'x', digits[value >> 4], digits[value & 15]};
    return message.text("the byte ").text(std::string_view(hex, sizeof hex));
}

}  // namespace

std::size_t warning_message(const ScriptWarning& warning, char* buffer, std::size_t size) {
    Message message(buffer, size);
    std::string_view text = warning.text;
    switch (warning.kind) {
        case WarningKind::byte_begins_no_token:
            if (text.size() > 1) {  // one UTF-8 character, which the scanner checked
                message.text("`").text(text).text("` begins no token: it is printed and skipped; names are ASCII letters, "
                                                  "digits and `_`");
                break;
            }
            describe_byte(message, text.empty() ? '\0' : text[0]).text(" begins no token: it is printed and skipped");
            if (text == "#") message.text("; there are no comments");
            if (text == "|") message.text("; the logical operators are `and` and `or`");
            break;
        case WarningKind::unterminated_string:
            message.text("this `\"` has no closing quote: it is printed, and the text after it runs as statements; "
                         "end the string with `\"`");
            break;
        case WarningKind::dot_after_digits:
        case WarningKind::dot_before_digits: {
            char number[sizeof warning.text + 2];
            Message corrected(number, sizeof number);
            if (warning.kind == WarningKind::dot_before_digits) corrected.text("0");
            corrected.text(text);
            if (warning.kind == WarningKind::dot_after_digits) corrected.text("0");
            message.code(text).text(" is not a number: the `.` is printed and skipped; write ").code(number);
            break;
        }
        case WarningKind::carriage_return:
            message.text("the script has CR LF line ends: every carriage return is printed; "
                         "save it with LF line ends");
            break;
        case WarningKind::assignment_before_logical: {
            const std::size_t blank = text.find(' ');
            const std::string_view op = text.substr(0, blank), name = text.substr(blank + 1);
            char written[sizeof warning.text + 24];
            Message(written, sizeof written).text(name.empty() ? "name" : name).text(" = (... ").text(op).text(" ...);");
            message.text("`=` binds tighter than ").code(op).text(": ");
            if (name.empty()) {
                message.text("the variable");
            } else {
                message.code(name);
            }
            message.text(" stores the value before ")
                .code(op).text(", which then takes it; to store the result of ").code(op).text(", write ").code(written);
            break;
        }
        case WarningKind::byte_order_mark:
            message.text("the script starts with a byte-order mark, whose three bytes are printed; save it without one");
            break;
    }
    return message.length();
}
