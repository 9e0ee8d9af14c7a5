// Sequences of host calls, checked against a model of the store. Each input byte chooses a call;
// the following bytes give its arguments. Names come from a small table so that calls collide.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "regscript.h"

namespace {

const char* const names[] = {"a", "b", "s", "m", "", "a b", "sin", "x1"};
const char* const texts[] = {nullptr, "", "t", "[a]", "%d%n", "long text with blanks"};
const char* const scripts[] = {"a = a + 1;", "delete b;", "string s; s = \"x\" + s;", "double b;",
                               "m + \"\";",  "int a;",    "x1 = delete a + 5;",        "s = cut(s, 1, 2);"};

#define CHECK(condition) \
    do {                 \
        if (!(condition)) __builtin_trap(); \
    } while (0)

struct Entry {
    std::string name;
    int32_t type;  // REGSCRIPT_INT, REGSCRIPT_DOUBLE or REGSCRIPT_STRING
    int32_t integer = 0;
    double number = 0.0;
    std::string text;  // a text-less string reads as ""
};

// The variables newest first, as the listing yields them within each kind.
std::vector<Entry> model;

class Input {
public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool empty() const { return position_ >= size_; }
    uint8_t byte() { return empty() ? 0 : data_[position_++]; }
    template <typename T>
    T value() {
        T result{};
        unsigned char bytes[sizeof(T)] = {};
        for (unsigned char& b : bytes) b = byte();
        std::memcpy(&result, bytes, sizeof result);
        return result;
    }
    const char* name() { return names[byte() % std::size(names)]; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
};

Entry* find(const char* name) {
    for (Entry& entry : model) {
        if (entry.name == name) return &entry;
    }
    return nullptr;
}

// The entry a setter of `type` may write: the existing one of that type, or a new one.
Entry* settable(const char* name, int32_t type) {
    if (std::strcmp(name, "sin") == 0) return nullptr;
    if (Entry* entry = find(name)) return entry->type == type ? entry : nullptr;
    model.insert(model.begin(), Entry{name, type, 0, 0.0, ""});
    return &model.front();
}

bool same_double(double a, double b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void check_string_read(const char* name, int32_t size) {
    char buffer[32];
    std::memset(buffer, 0x7E, sizeof buffer);
    int32_t result = get_string_variable(name, buffer, size);
    Entry* entry = find(name);
    if (!entry || entry->type != REGSCRIPT_STRING) {
        CHECK(result == -1);
        CHECK(size < 1 || buffer[0] == '\0');
    } else if (size < 1) {
        CHECK(result == static_cast<int32_t>(entry->text.size()));
    } else {
        CHECK(result == 0);
        char expected[32];
        std::memset(expected, 0x7E, sizeof expected);
        std::strncpy(expected, entry->text.c_str(), static_cast<size_t>(size));
        CHECK(std::memcmp(buffer, expected, sizeof buffer) == 0);
    }
    for (int32_t i = size < 1 ? 0 : size; i < 32; ++i) CHECK(buffer[i] == 0x7E);
}

// Lists every kind and compares it with the model; with `adopt`, the model becomes the listing.
void check_listing(bool adopt) {
    CHECK(open_list_variables() == 0);
    std::vector<Entry> listed;
    char name[64];
    std::vector<char> text;
    Entry entry;
    get_first_variable();
    while (get_next_int_variable(name, sizeof name, &entry.integer) == 0) {
        listed.push_back({name, REGSCRIPT_INT, entry.integer, 0.0, ""});
    }
    CHECK(get_next_int_variable(name, sizeof name, &entry.integer) == -1);
    get_first_variable();
    while (get_next_double_variable(name, sizeof name, &entry.number) == 0) {
        listed.push_back({name, REGSCRIPT_DOUBLE, 0, entry.number, ""});
    }
    get_first_variable();
    // Each text at its full length, measured first: a script may have grown it past any fixed size.
    for (int32_t length; (length = get_next_string_variable(name, sizeof name, nullptr, 0)) >= 0;) {
        text.assign(static_cast<size_t>(length) + 1, '\0');
        CHECK(get_next_string_variable(name, sizeof name, text.data(), length + 1) == 0);
        listed.push_back({name, REGSCRIPT_STRING, 0, 0.0, std::string(text.data(), static_cast<size_t>(length))});
    }
    CHECK(close_list_variables() == 0);
    if (adopt) {
        model = listed;
        return;
    }
    std::vector<const Entry*> expected;
    for (int32_t type : {REGSCRIPT_INT, REGSCRIPT_DOUBLE, REGSCRIPT_STRING}) {
        for (const Entry& e : model) {
            if (e.type == type) expected.push_back(&e);
        }
    }
    CHECK(expected.size() == listed.size());
    for (size_t i = 0; i < listed.size(); ++i) {
        CHECK(listed[i].name == expected[i]->name.substr(0, sizeof name));
        CHECK(listed[i].type == expected[i]->type);
        CHECK(listed[i].integer == expected[i]->integer);
        CHECK(same_double(listed[i].number, expected[i]->number));
        CHECK(listed[i].text == expected[i]->text);
    }
}

void call_one(Input& input) {
    switch (input.byte() % 12) {
        case 0: {
            const char* name = input.name();
            int32_t value = input.value<int32_t>();
            Entry* entry = settable(name, REGSCRIPT_INT);
            CHECK(set_int_variable(name, value) == (entry ? 0 : -1));
            if (entry) entry->integer = value;
            break;
        }
        case 1: {
            const char* name = input.name();
            double value = input.value<double>();
            Entry* entry = settable(name, REGSCRIPT_DOUBLE);
            CHECK(set_double_variable(name, value) == (entry ? 0 : -1));
            if (entry) entry->number = value;
            break;
        }
        case 2: {
            const char* name = input.name();
            const char* text = texts[input.byte() % std::size(texts)];
            Entry* entry = settable(name, REGSCRIPT_STRING);
            CHECK(set_string_variable(name, text) == (entry ? 0 : -1));
            if (entry) entry->text = text ? text : "";
            break;
        }
        case 3: {
            const char* name = input.name();
            Entry* entry = find(name);
            CHECK(get_variable_type(name) == (entry ? entry->type : -1));
            break;
        }
        case 4: {
            const char* name = input.name();
            Entry* entry = find(name);
            CHECK(get_int_variable(name) == (entry && entry->type == REGSCRIPT_INT ? entry->integer : 0));
            break;
        }
        case 5: {
            const char* name = input.name();
            Entry* entry = find(name);
            CHECK(same_double(get_double_variable(name), entry && entry->type == REGSCRIPT_DOUBLE ? entry->number : 0.0));
            break;
        }
        case 6: {
            const char* name = input.name();
            check_string_read(name, static_cast<int32_t>(input.byte() % 16) - 3);
            break;
        }
        case 7: {
            const char* name = input.name();
            delete_variable(name);
            if (Entry* entry = find(name)) model.erase(model.begin() + (entry - model.data()));
            break;
        }
        case 8: check_listing(false); break;
        case 9: {
            int32_t line = -1;
            run_parser(scripts[input.byte() % std::size(scripts)], &line);
            CHECK(line == 0 || line == 1);
            check_listing(true);
            break;
        }
        case 10:
            CHECK(reset_registers() == 0);
            model.clear();
            break;
        default: {
            char* expanded = my_parse("[a]|[b]|[s]|[m]|[sin]|[[a]");
            CHECK(expanded != nullptr);
            my_free(expanded);
            break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    start_library_once();
    reset_registers();
    model.clear();
    Input input(data, size);
    while (!input.empty()) call_one(input);
    check_listing(false);
    return 0;
}
