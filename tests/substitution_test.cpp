// my_parse: bracket references replaced by variable values, row by row and on long hostile texts.
#include <functional>
#include <string>

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
    const char* text;
    std::string expected;
};

void PrintTo(const SubstitutionCase& row, std::ostream* out) { *out << (row.text ? row.text : "NULL"); }

class Substitutions : public SubstitutionTest, public testing::WithParamInterface<SubstitutionCase> {};

TEST_P(Substitutions, GiveTheExpectedText) { EXPECT_EQ(substituted(GetParam().text), GetParam().expected); }

INSTANTIATE_TEST_SUITE_P(References, Substitutions, testing::Values(
    SubstitutionCase{"x=[n]", "x=-42"},
    SubstitutionCase{"[d]", "2.50000"},
    SubstitutionCase{"[s]", "a[b]"},
    SubstitutionCase{"[n][d][s]", "-422.50000a[b]"},
    SubstitutionCase{"a[[b", "a[b"},
    SubstitutionCase{"[[n]", "[n]"},
    SubstitutionCase{"[[[n]", "[-42"},
    SubstitutionCase{"[n", "[n"},
    SubstitutionCase{"n]", "n]"},
    SubstitutionCase{"[n]]", "-42]"},
    SubstitutionCase{"[", "["},
    SubstitutionCase{"]", "]"},
    SubstitutionCase{"[]", "7"},
    SubstitutionCase{"[sin]", ""},
    SubstitutionCase{"[nothing]x", "x"},
    SubstitutionCase{"[none]", ""},
    SubstitutionCase{"[ n ]", ""},
    SubstitutionCase{"[a b]", "blank"},
    SubstitutionCase{"[N]", ""},
    SubstitutionCase{"[n[d]", ""},
    SubstitutionCase{"[n[[d]", "["},
    SubstitutionCase{"[n] [n", "-42 [n"},
    SubstitutionCase{"\xff[n]\x01", "\xff-42\x01"},
    SubstitutionCase{"", ""},
    SubstitutionCase{nullptr, ""}));

INSTANTIATE_TEST_SUITE_P(LongDoubles, Substitutions, testing::Values(
    SubstitutionCase{"[big]",
                     "10000000000000000525047602552044202487044685811081591549158541155118024579889081"
                     "95786371375080447864043704443832883878176942523235360430575644792184786706982848"
                     "38720092657580373783023379478809005936895323497079994508111903896764088007465274"
                     "2780142494579258788820056842838115669472196386865459400540160.00000"},
    SubstitutionCase{"[negative]", "-10000000000000.00000"}));

struct LongCase {
    const char* label;
    std::function<std::string()> text;
    std::function<std::string()> expected;
};

void PrintTo(const LongCase& row, std::ostream* out) { *out << row.label; }

class LongTexts : public SubstitutionTest, public testing::WithParamInterface<LongCase> {};

// Quadratic work would take minutes on these texts; the result alone is checked.
TEST_P(LongTexts, ComeOutWhole) {
    std::string text = GetParam().text();
    EXPECT_EQ(substituted(text.c_str()), GetParam().expected());
}

constexpr size_t megabytes_4 = 4u << 20;

INSTANTIATE_TEST_SUITE_P(Hostile, LongTexts, testing::Values(
    LongCase{"opening brackets then one closing",
             [] { return std::string(megabytes_4, '[') + "]"; },
             [] { return std::string(megabytes_4 / 2, '[') + "]"; }},
    LongCase{"an odd number of opening brackets then one closing",
             [] { return std::string(megabytes_4 + 1, '[') + "]"; },
             [] { return std::string(megabytes_4 / 2, '[') + "7"; }},
    LongCase{"opening brackets without a closing one",
             [] { return std::string(megabytes_4 + 1, '['); },
             [] { return std::string(megabytes_4 / 2 + 1, '['); }},
    LongCase{"unknown references", [] { return repeated("[x]", megabytes_4 / 3); },
             [] { return std::string(); }},
    LongCase{"known references", [] { return repeated("[n]", megabytes_4 / 3); },
             [] { return repeated("-42", megabytes_4 / 3); }},
    LongCase{"one long name", [] { return "[" + std::string(megabytes_4, 'n') + "]"; },
             [] { return std::string(); }},
    LongCase{"openings inside one reference", [] { return repeated("[n", megabytes_4 / 2) + "]"; },
             [] { return std::string(); }},
    LongCase{"doubled openings inside one reference",
             [] { return "[n" + repeated("[[", megabytes_4 / 2) + "]"; },
             [] { return std::string(megabytes_4 / 2, '[') + "-42"; }},
    LongCase{"closing brackets", [] { return std::string(megabytes_4, ']'); },
             [] { return std::string(megabytes_4, ']'); }},
    LongCase{"plain text", [] { return std::string(megabytes_4, 'p'); },
             [] { return std::string(megabytes_4, 'p'); }}));

TEST(SubstitutionResult, NullIsFreedAsNothing) { my_free(nullptr); }

}  // namespace
