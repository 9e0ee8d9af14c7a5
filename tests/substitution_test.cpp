// my_parse: bracket references replaced by variable values, row by row and on long hostile texts.
#include <functional>
#include <string>
#include <thread>

#include "regscript.h"
#include "test_support.h"

namespace {

std::string repeated(const std::string& piece, size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (size_t i = 0; i < times; ++i) text += piece;
    return text;
}

// The store every row sees.
class SubstitutionTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        set_int_variable("n", -42);
        set_double_variable("d", 2.5);
        set_string_variable("s", "a[b]");
        set_double_variable("big", 1e300);
        set_double_variable("negative", -1e13);
        set_string_variable("none", nullptr);
        set_string_variable("a b", "blank");
        set_int_variable("", 7);
    }
};

struct SubstitutionCase {
    const char* name;
    const char* text;
    std::string expected;
};

void PrintTo(const SubstitutionCase& row, std::ostream* out) { *out << (row.text ? row.text : "NULL"); }

class Substitutions : public SubstitutionTest, public testing::WithParamInterface<SubstitutionCase> {};

TEST_P(Substitutions, GiveTheExpectedText) { EXPECT_EQ(substituted(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(References, Substitutions, testing::Values(
    SubstitutionCase{.name = "IntegerAfterText", .text = "x=[n]", .expected = "x=-42"},
    SubstitutionCase{.name = "Double", .text = "[d]", .expected = "2.50000"},
    SubstitutionCase{.name = "StringWithBrackets", .text = "[s]", .expected = "a[b]"},
    SubstitutionCase{.name = "ThreeInARow", .text = "[n][d][s]", .expected = "-422.50000a[b]"},
    SubstitutionCase{.name = "DoubledOpening", .text = "a[[b", .expected = "a[b"},
    SubstitutionCase{.name = "DoubledOpeningBeforeAName", .text = "[[n]", .expected = "[n]"},
    SubstitutionCase{.name = "TripledOpening", .text = "[[[n]", .expected = "[-42"},
    SubstitutionCase{.name = "Unclosed", .text = "[n", .expected = "[n"},
    SubstitutionCase{.name = "LoneClosingAfterText", .text = "n]", .expected = "n]"},
    SubstitutionCase{.name = "ClosingAfterAReference", .text = "[n]]", .expected = "-42]"},
    SubstitutionCase{.name = "LoneOpening", .text = "[", .expected = "["},
    SubstitutionCase{.name = "LoneClosing", .text = "]", .expected = "]"},
    SubstitutionCase{.name = "EmptyName", .text = "[]", .expected = "7"},
    SubstitutionCase{.name = "BuiltIn", .text = "[sin]", .expected = ""},
    SubstitutionCase{.name = "UnknownName", .text = "[nothing]x", .expected = "x"},
    SubstitutionCase{.name = "StringWithoutText", .text = "[none]", .expected = ""},
    SubstitutionCase{.name = "BlanksAroundTheName", .text = "[ n ]", .expected = ""},
    SubstitutionCase{.name = "NameWithABlank", .text = "[a b]", .expected = "blank"},
    SubstitutionCase{.name = "NamesAreCaseSensitive", .text = "[N]", .expected = ""},
    SubstitutionCase{.name = "OpeningInsideAName", .text = "[n[d]", .expected = ""},
    SubstitutionCase{.name = "DoubledOpeningInsideAName", .text = "[n[[d]", .expected = "["},
    SubstitutionCase{.name = "ReferenceThenUnclosed", .text = "[n] [n", .expected = "-42 [n"},
    SubstitutionCase{.name = "HighAndControlBytes", .text = "\xff[n]\x01", .expected = "\xff-42\x01"},
    SubstitutionCase{.name = "EmptyText", .text = "", .expected = ""},
    SubstitutionCase{.name = "Null", .text = nullptr, .expected = ""}),
    row_name);

INSTANTIATE_TEST_SUITE_P(LongDoubles, Substitutions, testing::Values(
    SubstitutionCase{.name = "Huge", .text = "[big]",
                     .expected = "10000000000000000525047602552044202487044685811081591549158541155118024579889081"
                     "95786371375080447864043704443832883878176942523235360430575644792184786706982848"
                     "38720092657580373783023379478809005936895323497079994508111903896764088007465274"
                     "2780142494579258788820056842838115669472196386865459400540160.00000"},
    SubstitutionCase{.name = "LargeNegative", .text = "[negative]", .expected = "-10000000000000.00000"}),
    row_name);

struct LongCase {
    const char* name;
    std::function<std::string()> text;
    std::function<std::string()> expected;
};

void PrintTo(const LongCase& row, std::ostream* out) { *out << row.name; }

class LongTexts : public SubstitutionTest, public testing::WithParamInterface<LongCase> {};

// Quadratic work would take minutes on these texts; the result alone is checked.
TEST_P(LongTexts, ComeOutWhole) {
    std::string text = GetParam().text();
    EXPECT_EQ(substituted(text.c_str()), GetParam().expected());
}

constexpr size_t megabytes_4 = 4u << 20;

INSTANTIATE_TEST_SUITE_P(Hostile, LongTexts, testing::Values(
    LongCase{.name = "opening brackets then one closing",
             .text = [] { return std::string(megabytes_4, '[') + "]"; },
             .expected = [] { return std::string(megabytes_4 / 2, '[') + "]"; }},
    LongCase{.name = "an odd number of opening brackets then one closing",
             .text = [] { return std::string(megabytes_4 + 1, '[') + "]"; },
             .expected = [] { return std::string(megabytes_4 / 2, '[') + "7"; }},
    LongCase{.name = "opening brackets without a closing one",
             .text = [] { return std::string(megabytes_4 + 1, '['); },
             .expected = [] { return std::string(megabytes_4 / 2 + 1, '['); }},
    LongCase{.name = "unknown references",
             .text = [] { return repeated("[x]", megabytes_4 / 3); },
             .expected = [] { return std::string(); }},
    LongCase{.name = "known references",
             .text = [] { return repeated("[n]", megabytes_4 / 3); },
             .expected = [] { return repeated("-42", megabytes_4 / 3); }},
    LongCase{.name = "one long name",
             .text = [] { return "[" + std::string(megabytes_4, 'n') + "]"; },
             .expected = [] { return std::string(); }},
    LongCase{.name = "openings inside one reference",
             .text = [] { return repeated("[n", megabytes_4 / 2) + "]"; },
             .expected = [] { return std::string(); }},
    LongCase{.name = "doubled openings inside one reference",
             .text = [] { return "[n" + repeated("[[", megabytes_4 / 2) + "]"; },
             .expected = [] { return std::string(megabytes_4 / 2, '[') + "-42"; }},
    LongCase{.name = "closing brackets",
             .text = [] { return std::string(megabytes_4, ']'); },
             .expected = [] { return std::string(megabytes_4, ']'); }},
    LongCase{.name = "plain text",
             .text = [] { return std::string(megabytes_4, 'p'); },
             .expected = [] { return std::string(megabytes_4, 'p'); }}),
    row_name);

// my_free ignores NULL, as free does, and never waits for the lock, so a host may free a text
// while another thread lists the variables. Under AddressSanitizer a wrong free fails here too.
TEST_F(SubstitutionTest, FreeIgnoresNullAndNeverWaitsForTheLock) {
    char* text = my_parse("[n]");
    ASSERT_EQ(open_list_variables(), 0);
    long long waited = -1;
    std::thread([&] {
        waited = milliseconds_taken([&] {
            my_free(nullptr);
            my_free(text);
        });
    }).join();
    close_list_variables();
    EXPECT_GE(waited, 0);
    EXPECT_LT(waited, 500);
}

}  // namespace
