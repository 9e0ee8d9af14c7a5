#include <algorithm>
#include <functional>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "store.h"
#include "store_lock.h"
#include "test_support.h"

namespace {

std::vector<std::string> names_in_store_order() {
    std::vector<std::string> names;
    for (Variable* variable = first_variable(); variable; variable = variable->next) names.push_back(variable->name);
    return names;
}

using StoreTest = LockedEngineTest;

TEST_F(StoreTest, BuiltinsStandNewestFirstAfterInitialisation) {
    EXPECT_EQ(names_in_store_order(), (std::vector<std::string>{"sqrt", "exp", "ln", "atan", "cos", "sin"}));
    for (Variable* variable = first_variable(); variable; variable = variable->next) EXPECT_EQ(variable->type, FUNCTION);
    EXPECT_EQ(find_variable("Sin"), nullptr);
    EXPECT_DOUBLE_EQ(find_variable("ln")->value.function(1.0), 0.0);
}

// Compiled scripts keep pointers to records while the store's shape stays: every change that can
// free a record or change its type moves the shape, and a change of value does not.
TEST_F(StoreTest, TheShapeMovesExactlyWhenARecordIsMadeRemovedOrRetyped) {
    struct Change {
        const char* name;
        std::function<void()> apply;
        bool moves_shape;
    };
    const std::vector<Change> changes = {
        {"lookup", [] { find_variable("n"); }, false},
        {"value", [] { find_variable("n")->value.integer = 5; }, false},
        {"text", [] { set_variable_text(find_variable("s"), "abc"); }, false},
        {"creation", [] { create_variable("m", INT_VAR); }, true},
        {"retype", [] { retype_variable(find_variable("n"), DOUBLE_VAR); }, true},
        {"removal", [] { remove_variable(find_variable("n")); }, true},
        {"retirement", [] { retire_variable(find_variable("n")); }, true},
        {"freeing retired records", [] { free_retired_variables(); }, false},
        {"clearing", [] { clear_variables(); }, true},
        {"built-ins", [] { load_builtin_functions(); }, true},
    };
    for (const Change& change : changes) {
        clear_variables();
        load_builtin_functions();
        create_variable("n", INT_VAR);
        create_variable("s", STRING_VAR);
        const StoreShape before = store_shape();
        change.apply();
        EXPECT_EQ(!(store_shape() == before), change.moves_shape) << change.name;
    }
}

TEST_F(StoreTest, LookupsCompareWholeNamesByteForByte) {
    const std::vector<std::string> names = {"", "a b", "int", "x", "x\x80\xff"};
    for (const std::string& name : names) create_variable(name, INT_VAR);
    for (const std::string& name : names) {
        Variable* found = find_variable(name);
        ASSERT_NE(found, nullptr) << name;
        EXPECT_EQ(found->name, name);
    }
    EXPECT_EQ(find_variable("X"), nullptr);
    EXPECT_EQ(find_variable("a"), nullptr);
    EXPECT_EQ(find_variable("x "), nullptr);
}

// Names around the index's word boundaries: up to 8 bytes a name is compared within its slot, 9 to
// 16 bytes as two words, longer ones with the rest of their bytes.
struct TrickyName {
    const char* label;
    std::string name;
};

const TrickyName tricky_names[] = {
    {.label = "empty", .name = ""},
    {.label = "one_byte", .name = "a"},
    {.label = "two_bytes_same_head_as_one", .name = "aa"},
    {.label = "three_bytes_middle_differs", .name = "axa"},
    {.label = "three_bytes", .name = "aaa"},
    {.label = "four_bytes", .name = "abcd"},
    {.label = "five_bytes_overlapping_words", .name = "abcde"},
    {.label = "seven_bytes", .name = "var0000"},
    {.label = "eight_bytes", .name = "var00000"},
    {.label = "eight_bytes_last_differs", .name = "var00001"},
    {.label = "nine_bytes", .name = "var000000"},
    {.label = "nine_bytes_last_differs", .name = "var000001"},
    {.label = "sixteen_bytes", .name = "abcdefghijklmnop"},
    {.label = "seventeen_bytes_last_differs", .name = "abcdefghijklmnopq"},
    {.label = "seventeen_bytes", .name = "abcdefghijklmnopr"},
    {.label = "high_byte", .name = "\x80"},
    {.label = "seven_high_bytes", .name = std::string(7, '\xff')},
    {.label = "eight_high_bytes", .name = std::string(8, '\xff')},
    {.label = "nine_high_bytes", .name = std::string(9, '\xff')},
    {.label = "long", .name = std::string(100, 'n') + "\xfe"},
};

// Each name is read from a buffer of exactly its size, so that a read past its end stops the
// sanitizer; and each near miss of a name (last or first byte changed, a byte more or less) that is
// not itself in the table finds nothing.
TEST_F(StoreTest, TrickyNamesFindTheirOwnRecordAndNearMissesNone) {
    std::map<std::string, Variable*> created;
    for (const TrickyName& row : tricky_names) created[row.name] = create_variable(row.name, INT_VAR);
    auto find_exactly = [](const std::string& name) {
        std::unique_ptr<char[]> bytes(new char[name.size()]);
        std::copy(name.begin(), name.end(), bytes.get());
        return find_variable(std::string_view(bytes.get(), name.size()));
    };
    for (const TrickyName& row : tricky_names) {
        EXPECT_EQ(find_exactly(row.name), created[row.name]) << row.label;
        std::vector<std::string> near_misses = {row.name + "a"};
        if (!row.name.empty()) {
            near_misses.push_back(row.name.substr(0, row.name.size() - 1));
            for (std::size_t at : {std::size_t{0}, row.name.size() - 1}) {
                std::string changed = row.name;
                changed[at] = static_cast<char>(changed[at] ^ 1);
                near_misses.push_back(changed);
            }
        }
        for (const std::string& miss : near_misses) {
            if (!created.contains(miss)) {
                EXPECT_EQ(find_exactly(miss), nullptr) << row.label << " near miss";
            }
        }
    }
}

TEST_F(StoreTest, ADuplicateNameFindsTheNewerRecordThenTheOlder) {
    Variable* older = create_variable("v", INT_VAR);
    Variable* newer = create_variable("v", DOUBLE_VAR);
    EXPECT_NE(older, newer);
    EXPECT_EQ(find_variable("v"), newer);
    EXPECT_EQ(newer->value.number, 0.0);
    Variable* third = create_variable("v", STRING_VAR);
    EXPECT_EQ(remove_variable(newer), 1);
    EXPECT_EQ(find_variable("v"), third);
    EXPECT_EQ(remove_variable(third), 1);
    EXPECT_EQ(find_variable("v"), older);
    EXPECT_EQ(remove_variable(older), 1);
    EXPECT_EQ(find_variable("v"), nullptr);
}

TEST_F(StoreTest, RemovalIsByIdentityAndHappensOnce) {
    Variable* string_variable = create_variable("s", STRING_VAR);
    ASSERT_TRUE(set_variable_text(string_variable, "text"));
    Variable* other = create_variable("s2", INT_VAR);
    EXPECT_EQ(remove_variable(string_variable), 1);
    EXPECT_EQ(find_variable("s"), nullptr);
    EXPECT_EQ(find_variable("s2"), other);
    Variable stranger{};
    EXPECT_EQ(remove_variable(&stranger), 0);
    EXPECT_EQ(names_in_store_order().size(), 7u);
}

TEST_F(StoreTest, RetiredRecordsStayReadableUntilFreed) {
    Variable* variable = create_variable("gone", STRING_VAR);
    ASSERT_TRUE(set_variable_text(variable, "text"));
    EXPECT_EQ(retire_variable(variable), 1);
    EXPECT_EQ(find_variable("gone"), nullptr);
    EXPECT_EQ(variable->type, REMOVED_VAR);
    EXPECT_EQ(retire_variable(variable), 0);
    EXPECT_EQ(remove_variable(variable), 0);
    free_retired_variables();
}

TEST_F(StoreTest, RetypingStartsFromTheZeroValueOfTheNewType) {
    Variable* variable = create_variable("v", STRING_VAR);
    ASSERT_TRUE(set_variable_text(variable, "old"));
    retype_variable(variable, INT_VAR);
    EXPECT_EQ(variable->value.integer, 0);
    retype_variable(variable, STRING_VAR);
    EXPECT_STREQ(variable->value.text, "");
    ASSERT_TRUE(set_variable_text(variable, nullptr));
    EXPECT_EQ(variable->value.text, nullptr);
}

TEST_F(StoreTest, ClearingEmptiesTheStoreAndLoadingAddsSixBuiltins) {
    create_variable("a", STRING_VAR);
    clear_variables();
    EXPECT_EQ(first_variable(), nullptr);
    load_builtin_functions();
    load_builtin_functions();
    EXPECT_EQ(names_in_store_order().size(), 12u);
}

// Many creations and removals in random order, against a plain map of what each name finds.
TEST_F(StoreTest, TheIndexAgreesWithTheListThroughGrowthAndRemoval) {
    std::mt19937 random(7);
    std::map<std::string, std::vector<Variable*>> by_name;  // newest last
    for (int step = 0; step < 20000; ++step) {
        std::string name = "v" + std::to_string(random() % 3000);
        std::vector<Variable*>& records = by_name[name];
        if (random() % 3 != 0 || records.empty()) {
            records.push_back(create_variable(name, INT_VAR));
        } else {
            std::size_t which = random() % records.size();
            EXPECT_EQ(remove_variable(records[which]), 1);
            records.erase(records.begin() + static_cast<std::ptrdiff_t>(which));
        }
        if (step % 97 == 0) {
            for (const auto& [known, expected] : by_name) {
                ASSERT_EQ(find_variable(known), expected.empty() ? nullptr : expected.back()) << known;
            }
        }
    }
}

#ifdef REGSCRIPT_LOCK_CHECKS
// A touch of the store by a thread that does not hold its lock is a programming error: a test
// build stops at once and says which function was called.
struct UnlockedTouch {
    const char* name;
    std::function<void()> touch;
};

const UnlockedTouch unlocked_touches[] = {
    {.name = "a lookup after the lock was let go",
     .touch = [] {
         store_lock_release();
         find_variable("sin");
     }},
    {.name = "a creation on a thread that never took the lock",
     .touch = [] { std::thread([] { create_variable("x", INT_VAR); }).join(); }},
    {.name = "a walk after the lock was let go",
     .touch = [] {
         store_lock_release();
         first_variable();
     }},
};

class UnlockedStore : public LockedEngineTest, public testing::WithParamInterface<UnlockedTouch> {};

TEST_P(UnlockedStore, StopsTheTestProgram) {
    EXPECT_DEATH(GetParam().touch(), "does not hold the store lock");
}

INSTANTIATE_TEST_SUITE_P(Touches, UnlockedStore, testing::ValuesIn(unlocked_touches), row_name);
#endif

}  // namespace
