#include <cstdio>
#include <string>

#include "conversions.h"
#include "grammar.hpp"
#include "scanner.h"
#include "scratch.h"
#include "store.h"
#include "test_support.h"

namespace {

const char* const token_names[] = {
    "DOUBLE_CONST", "INT_CONST", "STRING_CONST", "INT_VAR", "STRING_VAR", "DOUBLE_VAR", "FUNCTION",
    "ASSIGN", "NOT", "BITNOT", "FORMAT", "COMMA", "CUT", "STRLEN", "DELETE", "STRTOINT", "STRTODOUBLE",
    "SUBSTR", "HEXTOINT", "GETTICKCOUNT", "INT_DECL", "STRING_DECL", "DOUBLE_DECL", "DOUBLE_CAST",
    "INT_CAST", "PLUS", "MINUS", "TIMES", "DIVIDE", "MODULO", "LPAREN", "RPAREN", "EQ", "NE", "GE",
    "LE", "GT", "LT", "SEMICOLON", "AND", "OR", "UMINUS", "BITAND", "BITXOR", "SHR", "SHL", "POWER",
};

// One token as "NAME" or "NAME(value)", with "@line:column" when `with_location`.
std::string describe_token(int token, const SemanticValue& token_value, bool with_location) {
    std::string text = token_names[token - TOKEN_DOUBLE_CONST];
    char value[64] = "";
    switch (token) {
        case TOKEN_INT_CONST: std::snprintf(value, sizeof value, "(%d)", token_value.integer); break;
        case TOKEN_DOUBLE_CONST: std::snprintf(value, sizeof value, "(%g)", token_value.number); break;
        case TOKEN_STRING_CONST: text += "(\"" + std::string(token_value.text) + "\")"; break;
        case INT_VAR: case STRING_VAR: case DOUBLE_VAR: case FUNCTION:
            text += "(" + std::string(token_value.variable->name) + ")";
            break;
    }
    text += value;
    if (with_location) {
        std::snprintf(value, sizeof value, "@%d:%d", last_token().line, last_token().column);
        text += value;
    }
    return text;
}

struct Scan {
    std::string tokens;  // space-separated
    std::string echoed;
};

Scan scan_all(const char* text, bool with_location = false) {
    Scan scan;
    SemanticValue value;
    testing::internal::CaptureStdout();
    EXPECT_TRUE(scanner_open_text(text));
    for (int token; (token = next_token(&value)) != 0;) {
        if (!scan.tokens.empty()) scan.tokens += ' ';
        scan.tokens += describe_token(token, value, with_location);
    }
    EXPECT_EQ(next_token(&value), 0);
    scanner_close_text();
    std::fflush(stdout);
    scan.echoed = testing::internal::GetCapturedStdout();
    scratch_free_all();
    return scan;
}

struct ScanCase {
    const char* text;
    const char* tokens;
    const char* echoed;
};

class ScannerTokens : public EngineTest, public testing::WithParamInterface<ScanCase> {};

TEST_P(ScannerTokens, MatchLongestThenFirst) {
    Scan scan = scan_all(GetParam().text);
    EXPECT_EQ(scan.tokens, GetParam().tokens) << GetParam().text;
    EXPECT_EQ(scan.echoed, GetParam().echoed) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Keywords, ScannerTokens, testing::Values(
    ScanCase{"string int double or and format cut strlen delete", "STRING_DECL INT_DECL DOUBLE_DECL OR AND FORMAT CUT STRLEN DELETE", ""},
    ScanCase{"strtoint strtodouble substr hextoint gettickcount", "STRTOINT STRTODOUBLE SUBSTR HEXTOINT GETTICKCOUNT", ""},
    ScanCase{"integer int1 intx TRUE1 orx", "INT_VAR(integer) INT_VAR(int1) INT_VAR(intx) INT_VAR(TRUE1) INT_VAR(orx)", ""},
    ScanCase{"TRUE FALSE True true", "INT_CONST(1) INT_CONST(0) INT_VAR(True) INT_VAR(true)", ""},
    ScanCase{"a1b x2y3 _ _9", "INT_VAR(a1) INT_VAR(b) INT_VAR(x2) INT_VAR(y3) INT_VAR(_) INT_VAR(_9)", ""},
    ScanCase{"sin sqrt Sin", "FUNCTION(sin) FUNCTION(sqrt) INT_VAR(Sin)", ""}));

INSTANTIATE_TEST_SUITE_P(Numbers, ScannerTokens, testing::Values(
    ScanCase{"12abc 0x1Fg", "INT_CONST(12) INT_VAR(abc) INT_CONST(31) INT_VAR(g)", ""},
    ScanCase{"0x 0X1F", "INT_CONST(0) INT_VAR(x) INT_CONST(0) INT_VAR(X1) INT_VAR(F)", ""},
    ScanCase{"1e5 1E+5 1.5 1.5e-3", "DOUBLE_CONST(100000) DOUBLE_CONST(100000) DOUBLE_CONST(1.5) DOUBLE_CONST(0.0015)", ""},
    ScanCase{"1. .5", "INT_CONST(1) INT_CONST(5)", ".."},
    ScanCase{"1e 1e+", "INT_CONST(1) INT_VAR(e) INT_CONST(1) INT_VAR(e) PLUS", ""},
    ScanCase{"0.5e 1.5.5", "DOUBLE_CONST(0.5) INT_VAR(e) DOUBLE_CONST(1.5) INT_CONST(5)", "."},
    ScanCase{"-1 077 00", "MINUS INT_CONST(1) INT_CONST(77) INT_CONST(0)", ""},
    ScanCase{"2147483648 4294967296 0x80000000", "INT_CONST(-2147483648) INT_CONST(0) INT_CONST(-2147483648)", ""},
    ScanCase{"0x123456789 1e999", "INT_CONST(591751049) DOUBLE_CONST(inf)", ""}));

INSTANTIATE_TEST_SUITE_P(Operators, ScannerTokens, testing::Values(
    ScanCase{"(int) (double) (int ) ( int ) (in", "INT_CAST DOUBLE_CAST LPAREN INT_DECL RPAREN LPAREN INT_DECL RPAREN LPAREN INT_VAR(in)", ""},
    ScanCase{"!== <<= >>> *** <>", "NE ASSIGN SHL ASSIGN SHR GT POWER TIMES LT GT", ""},
    ScanCase{"+-*/%()=^!~&,;", "PLUS MINUS TIMES DIVIDE MODULO LPAREN RPAREN ASSIGN BITXOR NOT BITNOT BITAND COMMA SEMICOLON", ""},
    ScanCase{"== != >= <= < >", "EQ NE GE LE LT GT", ""},
    ScanCase{"a||b && c", "INT_VAR(a) INT_VAR(b) BITAND BITAND INT_VAR(c)", "||"},
    ScanCase{"a.b", "INT_VAR(a) INT_VAR(b)", "."}));

INSTANTIATE_TEST_SUITE_P(Strings, ScannerTokens, testing::Values(
    ScanCase{"\"\" \"a b\"", "STRING_CONST(\"\") STRING_CONST(\"a b\")", ""},
    ScanCase{"\"int x;\"", "STRING_CONST(\"int x;\")", ""},
    ScanCase{"x \"abc", "INT_VAR(x) INT_VAR(abc)", "\""},
    ScanCase{"\"a\"\"b", "STRING_CONST(\"a\") INT_VAR(b)", "\""}));

INSTANTIATE_TEST_SUITE_P(EchoedBytes, ScannerTokens, testing::Values(
    ScanCase{"#$'[]{}?:@\\`|", "", "#$'[]{}?:@\\`|"},
    ScanCase{"a\r\nb", "INT_VAR(a) INT_VAR(b)", "\r"},
    ScanCase{"\x01\x7f\x80\xff x", "INT_VAR(x)", "\x01\x7f\x80\xff"},
    ScanCase{"", "", ""},
    ScanCase{" \t\n\n ", "", ""}));

using ScannerTest = EngineTest;

TEST_F(ScannerTest, PlacesCountLinesAndBytesWithinTheLine) {
    EXPECT_EQ(scan_all("a;\n b;\tc ;", true).tokens,
              "INT_VAR(a)@1:1 SEMICOLON@1:2 INT_VAR(b)@2:2 SEMICOLON@2:3 INT_VAR(c)@2:5 SEMICOLON@2:7");
    // A newline inside a string literal starts no line.
    EXPECT_EQ(scan_all("\"x\ny\" z", true).tokens, "STRING_CONST(\"x\ny\")@1:1 INT_VAR(z)@1:7");
    EXPECT_EQ(scan_all(";;\n\n\n", true).tokens, "SEMICOLON@1:1 SEMICOLON@1:2");
}

TEST_F(ScannerTest, RemembersTheLastTwoTokens) {
    SemanticValue value;
    ASSERT_TRUE(scanner_open_text("abc\n(int)  x;\n\n"));
    EXPECT_EQ(last_token().line, 0);
    while (next_token(&value) != TOKEN_SEMICOLON) {}
    EXPECT_EQ(token_before_last().text, "x");
    EXPECT_EQ(last_token().text, ";");
    EXPECT_EQ(last_token().column, 9);
    EXPECT_EQ(next_token(&value), 0);
    EXPECT_EQ(last_token().text, ";");
    EXPECT_EQ(scanner_line(), 4);
    scanner_close_text();
}

TEST_F(ScannerTest, IdentifiersResolveAgainstTheStoreAsTheyAreScanned) {
    Variable* text = create_variable("s", STRING_VAR);
    Variable* number = create_variable("d", DOUBLE_VAR);
    SemanticValue value;
    ASSERT_TRUE(scanner_open_text("s d x x"));
    EXPECT_EQ(next_token(&value), STRING_VAR);
    EXPECT_EQ(value.variable, text);
    EXPECT_EQ(next_token(&value), DOUBLE_VAR);
    EXPECT_EQ(value.variable, number);
    EXPECT_EQ(find_variable("x"), nullptr);
    EXPECT_EQ(next_token(&value), INT_VAR);
    Variable* created = find_variable("x");
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->value.integer, 0);
    EXPECT_EQ(next_token(&value), INT_VAR);
    EXPECT_EQ(value.variable, created);
    scanner_close_text();
}

TEST_F(ScannerTest, TheTextIsCopiedAndEndsAtItsFirstNul) {
    char text[] = "a b\0c";
    SemanticValue value;
    ASSERT_TRUE(scanner_open_text(text));
    text[0] = 'z';
    EXPECT_EQ(next_token(&value), INT_VAR);
    EXPECT_STREQ(value.variable->name, "a");
    EXPECT_EQ(next_token(&value), INT_VAR);
    EXPECT_EQ(next_token(&value), 0);
    EXPECT_EQ(next_token(&value), 0);
    scanner_close_text();
    EXPECT_EQ(find_variable("c"), nullptr);
}

struct ConversionCase {
    const char* text;
    int32_t value;
};

class TextToInt : public testing::TestWithParam<ConversionCase> {};
TEST_P(TextToInt, FollowsTheLeadByte) { EXPECT_EQ(text_to_int(GetParam().text), GetParam().value) << GetParam().text; }
INSTANTIATE_TEST_SUITE_P(Examples, TextToInt, testing::Values(
    ConversionCase{nullptr, 0}, ConversionCase{"", 0}, ConversionCase{"   42", 42}, ConversionCase{" \t5", 5},
    ConversionCase{"-12", -12}, ConversionCase{"12.9", 12}, ConversionCase{"077", 77}, ConversionCase{"0x1f", 31},
    ConversionCase{"0X1F", 0}, ConversionCase{"0.9", 0}, ConversionCase{"0x", 0}, ConversionCase{"abc", 0},
    ConversionCase{"0", 0}, ConversionCase{"0 7", 0}, ConversionCase{"00", 0}, ConversionCase{"+7", 7},
    ConversionCase{"4294967297", 1}, ConversionCase{"-2147483648", INT32_MIN}, ConversionCase{"2147483648", INT32_MIN},
    ConversionCase{"0xFFFFFFFF", -1}, ConversionCase{"0x123456789", 0x23456789}, ConversionCase{"   ", 0},
    ConversionCase{"\t5", 5}, ConversionCase{" -0x10", 0}, ConversionCase{"99999999999999999999", 1661992959}));

class HexTextToInt : public testing::TestWithParam<ConversionCase> {};
TEST_P(HexTextToInt, ReadsLikeScanfHex) { EXPECT_EQ(hex_text_to_int(GetParam().text), GetParam().value) << GetParam().text; }
INSTANTIATE_TEST_SUITE_P(Examples, HexTextToInt, testing::Values(
    ConversionCase{nullptr, 0}, ConversionCase{"", 0}, ConversionCase{"ff", 255}, ConversionCase{"0XfF", 255},
    ConversionCase{"0xFF", 255}, ConversionCase{"  1A", 26}, ConversionCase{"-1", -1}, ConversionCase{"-10", -16},
    ConversionCase{"FFFFFFFF", -1}, ConversionCase{"12g", 18}, ConversionCase{"zz", 0}, ConversionCase{"g", 0},
    ConversionCase{"  ", 0}, ConversionCase{"0x", 0}, ConversionCase{"-", 0}, ConversionCase{"123456789", 0x23456789},
    ConversionCase{"\n+0x7fffffff", INT32_MAX}));

}  // namespace
