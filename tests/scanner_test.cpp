#include <cstdio>
#include <iterator>
#include <set>
#include <string>

#include "conversions.h"
#include "grammar.hpp"
#include "keywords.h"
#include "output.h"
#include "scanner.h"
#include "scratch.h"
#include "statement_end.h"
#include "store.h"
#include "test_support.h"
#include "vocabulary.h"

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
    flush_output();  // what the scanner echoed waits in the library until a run would end
    std::fflush(stdout);
    scan.echoed = testing::internal::GetCapturedStdout();
    scratch_free_all();
    return scan;
}

struct ScanCase {
    const char* name;  // names the case; see row_name
    const char* text;
    const char* tokens;
    const char* echoed = "";
};

class ScannerTokens : public LockedEngineTest, public testing::WithParamInterface<ScanCase> {};

TEST_P(ScannerTokens, MatchLongestThenFirst) {
    Scan scan = scan_all(GetParam().text);
    EXPECT_EQ(scan.tokens, GetParam().tokens) << GetParam().text;
    EXPECT_EQ(scan.echoed, GetParam().echoed) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(Keywords, ScannerTokens, testing::Values(
    ScanCase{.name = "TypesOperatorsAndFunctions", .text = "string int double or and format cut strlen delete",
             .tokens = "STRING_DECL INT_DECL DOUBLE_DECL OR AND FORMAT CUT STRLEN DELETE"},
    ScanCase{.name = "ConversionFunctions", .text = "strtoint strtodouble substr hextoint gettickcount",
             .tokens = "STRTOINT STRTODOUBLE SUBSTR HEXTOINT GETTICKCOUNT"},
    ScanCase{.name = "KeywordPrefixesAreNames", .text = "integer int1 intx TRUE1 orx",
             .tokens = "INT_VAR(integer) INT_VAR(int1) INT_VAR(intx) INT_VAR(TRUE1) INT_VAR(orx)"},
    ScanCase{.name = "TruthConstantsAreUpperCase", .text = "TRUE FALSE True true",
             .tokens = "INT_CONST(1) INT_CONST(0) INT_VAR(True) INT_VAR(true)"},
    ScanCase{.name = "NamesEndBeforeDigitsThenLetters", .text = "a1b x2y3 _ _9",
             .tokens = "INT_VAR(a1) INT_VAR(b) INT_VAR(x2) INT_VAR(y3) INT_VAR(_) INT_VAR(_9)"},
    ScanCase{.name = "BuiltInFunctions", .text = "sin sqrt Sin",
             .tokens = "FUNCTION(sin) FUNCTION(sqrt) INT_VAR(Sin)"}),
    row_name);

INSTANTIATE_TEST_SUITE_P(Numbers, ScannerTokens, testing::Values(
    ScanCase{.name = "NumbersEndBeforeLetters", .text = "12abc 0x1Fg",
             .tokens = "INT_CONST(12) INT_VAR(abc) INT_CONST(31) INT_VAR(g)"},
    ScanCase{.name = "HexNeedsLowerCaseXAndDigits", .text = "0x 0X1F",
             .tokens = "INT_CONST(0) INT_VAR(x) INT_CONST(0) INT_VAR(X1) INT_VAR(F)"},
    ScanCase{.name = "DoubleForms", .text = "1e5 1E+5 1.5 1.5e-3",
             .tokens = "DOUBLE_CONST(100000) DOUBLE_CONST(100000) DOUBLE_CONST(1.5) DOUBLE_CONST(0.0015)"},
    ScanCase{.name = "DotWithoutDigitsIsEchoed", .text = "1. .5",
             .tokens = "INT_CONST(1) INT_CONST(5)", .echoed = ".."},
    ScanCase{.name = "ExponentWithoutDigits", .text = "1e 1e+",
             .tokens = "INT_CONST(1) INT_VAR(e) INT_CONST(1) INT_VAR(e) PLUS"},
    ScanCase{.name = "DoubleEndsAtItsSecondDot", .text = "0.5e 1.5.5",
             .tokens = "DOUBLE_CONST(0.5) INT_VAR(e) DOUBLE_CONST(1.5) INT_CONST(5)", .echoed = "."},
    ScanCase{.name = "MinusAndLeadingZeros", .text = "-1 077 00",
             .tokens = "MINUS INT_CONST(1) INT_CONST(77) INT_CONST(0)"},
    ScanCase{.name = "IntegersWrap", .text = "2147483648 4294967296 0x80000000",
             .tokens = "INT_CONST(-2147483648) INT_CONST(0) INT_CONST(-2147483648)"},
    ScanCase{.name = "LongHexAndHugeExponent", .text = "0x123456789 1e999",
             .tokens = "INT_CONST(591751049) DOUBLE_CONST(inf)"}),
    row_name);

INSTANTIATE_TEST_SUITE_P(Operators, ScannerTokens, testing::Values(
    ScanCase{.name = "Casts", .text = "(int) (double) (int ) ( int ) (in",
             .tokens = "INT_CAST DOUBLE_CAST LPAREN INT_DECL RPAREN LPAREN INT_DECL RPAREN LPAREN INT_VAR(in)"},
    ScanCase{.name = "LongestOperatorFirst", .text = "!== <<= >>> *** <>",
             .tokens = "NE ASSIGN SHL ASSIGN SHR GT POWER TIMES LT GT"},
    ScanCase{.name = "SingleCharacters", .text = "+-*/%()=^!~&,;",
             .tokens = "PLUS MINUS TIMES DIVIDE MODULO LPAREN RPAREN ASSIGN BITXOR NOT BITNOT BITAND COMMA SEMICOLON"},
    ScanCase{.name = "Comparisons", .text = "== != >= <= < >", .tokens = "EQ NE GE LE LT GT"},
    ScanCase{.name = "DoubledBarsAndAmpersands", .text = "a||b && c",
             .tokens = "INT_VAR(a) INT_VAR(b) BITAND BITAND INT_VAR(c)", .echoed = "||"},
    ScanCase{.name = "DotBetweenNames", .text = "a.b", .tokens = "INT_VAR(a) INT_VAR(b)", .echoed = "."}),
    row_name);

INSTANTIATE_TEST_SUITE_P(Strings, ScannerTokens, testing::Values(
    ScanCase{.name = "EmptyAndWithABlank", .text = "\"\" \"a b\"",
             .tokens = "STRING_CONST(\"\") STRING_CONST(\"a b\")"},
    ScanCase{.name = "KeywordsInside", .text = "\"int x;\"", .tokens = "STRING_CONST(\"int x;\")"},
    ScanCase{.name = "Unterminated", .text = "x \"abc", .tokens = "INT_VAR(x) INT_VAR(abc)", .echoed = "\""},
    ScanCase{.name = "LiteralThenUnterminated", .text = "\"a\"\"b",
             .tokens = "STRING_CONST(\"a\") INT_VAR(b)", .echoed = "\""}),
    row_name);

INSTANTIATE_TEST_SUITE_P(EchoedBytes, ScannerTokens, testing::Values(
    ScanCase{.name = "Punctuation", .text = "#$'[]{}?:@\\`|", .tokens = "", .echoed = "#$'[]{}?:@\\`|"},
    ScanCase{.name = "CarriageReturn", .text = "a\r\nb", .tokens = "INT_VAR(a) INT_VAR(b)", .echoed = "\r"},
    ScanCase{.name = "ControlAndHighBytes", .text = "\x01\x7f\x80\xff x",
             .tokens = "INT_VAR(x)", .echoed = "\x01\x7f\x80\xff"},
    ScanCase{.name = "EmptyText", .text = "", .tokens = ""},
    ScanCase{.name = "OnlyWhiteSpace", .text = " \t\n\n ", .tokens = ""}),
    row_name);

using ScannerTest = LockedEngineTest;

TEST_F(ScannerTest, PlacesCountLinesAndBytesWithinTheLine) {
    EXPECT_EQ(scan_all("a;\n b;\tc ;", true).tokens,
              "INT_VAR(a)@1:1 SEMICOLON@1:2 INT_VAR(b)@2:2 SEMICOLON@2:3 INT_VAR(c)@2:5 SEMICOLON@2:7");
    // Messages count a line end inside a string literal; the run's error line (NewlineInALiteralIsNoLine) does not.
    EXPECT_EQ(scan_all("\"x\ny\" z", true).tokens, "STRING_CONST(\"x\ny\")@1:1 INT_VAR(z)@2:4");
    EXPECT_EQ(scan_all(";;\n\n\n", true).tokens, "SEMICOLON@1:1 SEMICOLON@1:2");
}

// A line of 2 GiB or more is too long to scan in a test; its columns are held, as lines are.
TEST(ScannerColumns, SaturateInsteadOfWrapping) {
    EXPECT_EQ(column_number(0), 1);
    EXPECT_EQ(column_number(INT32_MAX - 2), INT32_MAX - 1);
    EXPECT_EQ(column_number(INT32_MAX - 1), INT32_MAX);
    EXPECT_EQ(column_number(std::size_t{1} << 31), INT32_MAX);
    EXPECT_EQ(column_number(SIZE_MAX), INT32_MAX);
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
    const char* name;
    const char* text;
    int32_t value;
};

class TextToInt : public testing::TestWithParam<ConversionCase> {};
TEST_P(TextToInt, FollowsTheLeadByte) { EXPECT_EQ(text_to_int(GetParam().text), GetParam().value) << GetParam().text; }
INSTANTIATE_TEST_SUITE_P(Examples, TextToInt, testing::Values(
    ConversionCase{.name = "Null", .text = nullptr, .value = 0},
    ConversionCase{.name = "Empty", .text = "", .value = 0},
    ConversionCase{.name = "LeadingBlanks", .text = "   42", .value = 42},
    ConversionCase{.name = "LeadingBlankAndTab", .text = " \t5", .value = 5},
    ConversionCase{.name = "Negative", .text = "-12", .value = -12},
    ConversionCase{.name = "StopsAtTheDot", .text = "12.9", .value = 12},
    ConversionCase{.name = "LeadingZeroIsDecimal", .text = "077", .value = 77},
    ConversionCase{.name = "Hex", .text = "0x1f", .value = 31},
    ConversionCase{.name = "UpperCaseXIsNoHex", .text = "0X1F", .value = 0},
    ConversionCase{.name = "FractionBelowOne", .text = "0.9", .value = 0},
    ConversionCase{.name = "HexWithoutDigits", .text = "0x", .value = 0},
    ConversionCase{.name = "Letters", .text = "abc", .value = 0},
    ConversionCase{.name = "Zero", .text = "0", .value = 0},
    ConversionCase{.name = "ZeroThenBlank", .text = "0 7", .value = 0},
    ConversionCase{.name = "TwoZeros", .text = "00", .value = 0},
    ConversionCase{.name = "PlusSign", .text = "+7", .value = 7},
    ConversionCase{.name = "WrapsAt32Bits", .text = "4294967297", .value = 1},
    ConversionCase{.name = "MostNegative", .text = "-2147483648", .value = INT32_MIN},
    ConversionCase{.name = "OneAboveMostPositive", .text = "2147483648", .value = INT32_MIN},
    ConversionCase{.name = "HexAllOnes", .text = "0xFFFFFFFF", .value = -1},
    ConversionCase{.name = "LongHexKeepsLowBits", .text = "0x123456789", .value = 0x23456789},
    ConversionCase{.name = "OnlyBlanks", .text = "   ", .value = 0},
    ConversionCase{.name = "LeadingTab", .text = "\t5", .value = 5},
    ConversionCase{.name = "NegativeHex", .text = " -0x10", .value = 0},
    ConversionCase{.name = "TwentyDigitsWrap", .text = "99999999999999999999", .value = 1661992959}),
    row_name);

class HexTextToInt : public testing::TestWithParam<ConversionCase> {};
TEST_P(HexTextToInt, ReadsLikeScanfHex) { EXPECT_EQ(hex_text_to_int(GetParam().text), GetParam().value) << GetParam().text; }
INSTANTIATE_TEST_SUITE_P(Examples, HexTextToInt, testing::Values(
    ConversionCase{.name = "Null", .text = nullptr, .value = 0},
    ConversionCase{.name = "Empty", .text = "", .value = 0},
    ConversionCase{.name = "LowerCase", .text = "ff", .value = 255},
    ConversionCase{.name = "UpperCaseXPrefix", .text = "0XfF", .value = 255},
    ConversionCase{.name = "LowerCaseXPrefix", .text = "0xFF", .value = 255},
    ConversionCase{.name = "LeadingBlanks", .text = "  1A", .value = 26},
    ConversionCase{.name = "MinusOne", .text = "-1", .value = -1},
    ConversionCase{.name = "MinusSixteen", .text = "-10", .value = -16},
    ConversionCase{.name = "AllOnes", .text = "FFFFFFFF", .value = -1},
    ConversionCase{.name = "StopsAtANonHexDigit", .text = "12g", .value = 18},
    ConversionCase{.name = "NoDigits", .text = "zz", .value = 0},
    ConversionCase{.name = "LetterAfterF", .text = "g", .value = 0},
    ConversionCase{.name = "OnlyBlanks", .text = "  ", .value = 0},
    ConversionCase{.name = "PrefixWithoutDigits", .text = "0x", .value = 0},
    ConversionCase{.name = "LoneMinus", .text = "-", .value = 0},
    ConversionCase{.name = "NineDigitsKeepLowBits", .text = "123456789", .value = 0x23456789},
    ConversionCase{.name = "NewlineSignAndPrefix", .text = "\n+0x7fffffff", .value = INT32_MAX}),
    row_name);

// The command-line host refuses these words as names; the scanner must read each as no name.
TEST_F(ScannerTest, TheHostsKeywordsAreNoNames) {
    for (std::string_view keyword : language_keywords) {
        const std::string word(keyword);
        const std::string tokens = scan_all(word.c_str()).tokens;
        EXPECT_FALSE(tokens.starts_with("INT_VAR") || tokens.starts_with("DOUBLE_VAR") ||
                     tokens.starts_with("STRING_VAR") || tokens.starts_with("FUNCTION"))
            << word << " scans as " << tokens;
    }
}

// The scanner reads every spelling of the vocabulary as that word's token, operators included,
// and the command-line host's keywords are exactly the vocabulary's words of letters.
TEST_F(ScannerTest, EverySpellingScansAsItsWordAndTheHostKnowsTheSameKeywords) {
    std::set<std::string_view> library_keywords;
    for (const Word& word : vocabulary) {
        if (word.spelling.empty()) continue;
        const std::string text(word.spelling);
        SemanticValue value;
        testing::internal::CaptureStdout();
        ASSERT_TRUE(scanner_open_text(text.c_str()));
        EXPECT_EQ(next_token(&value), word.token) << text;
        EXPECT_EQ(next_token(&value), 0) << text;
        scanner_close_text();
        flush_output();
        EXPECT_EQ(testing::internal::GetCapturedStdout(), "") << text;
        if (is_keyword(word)) library_keywords.insert(word.spelling);
    }
    for (const ConstantWord& constant : constant_words) library_keywords.insert(constant.spelling);
    EXPECT_EQ(std::set<std::string_view>(std::begin(language_keywords), std::end(language_keywords)), library_keywords);
}

// The command-line host runs typed input once it is complete; for texts of tokens and blanks that
// is when the scanner's last token is a ';' and no quote was left open (echoed).
TEST_F(ScannerTest, TheHostsCompleteInputEndsWhereTheScannerSeesAStatementEnd) {
    const char* const texts[] = {
        "", ";", "x = 1;", "x = 1", "x = 1; \t\r\n", "x = 1;\ny", "s = \";\"", "s = \";\";",
        "s = \"a;", "s = \"a\n;", "s = \"a\" \"b\";", "s = \"\"\";", "f(1, 2)\n;", "x = 1;;",
    };
    for (const char* text : texts) {
        const Scan scan = scan_all(text);
        const bool ends_statement = scan.tokens.ends_with("SEMICOLON") && scan.echoed.find('"') == std::string::npos;
        EXPECT_EQ(statement_complete(text), ends_statement) << text;
    }
}

}  // namespace
