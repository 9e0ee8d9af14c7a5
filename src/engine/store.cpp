#include "store.h"

#include <atomic>
#include <cstdint>
#include <cstring>

#include "builtin_functions.h"
#include "host_function.h"
#include "fast_thread_local.h"
#include "memory.h"
#include "name_index.h"
#include "store_lock_check.h"

struct VariableStore {
    Variable* head;
    Variable* retired;  // deleted by the current statement, freed when it ends
    NameIndex index;
    // The next record the host's listing examines, or null; the store moves it past a record it
    // removes and clears it when it empties, so it never refers to a freed record, and it goes
    // with the store.
    Variable* listing_cursor;
    StoreShape shape;
};

namespace {

// Each thread's own: the holder of a retired store's lock may still work on it while another
// thread holds the lock of the new one.
FAST_THREAD_LOCAL VariableStore* active = nullptr;

// Never reused, so that a store made where a freed one stood has another shape.
std::atomic<uint64_t> stores_made{0};

char* copy_text(std::string_view text) {
    char* copy = static_cast<char*>(allocate(text.size() + 1));
    if (copy) {
        std::memcpy(copy, text.data(), text.size());
        copy[text.size()] = '\0';
    }
    return copy;
}

void free_value(Variable* variable) {
    if (variable->type == STRING_VAR) deallocate(variable->value.text);
    if (is_host_function(variable->type)) deallocate(variable->value.host);
}

void free_record(Variable* variable) {
    free_value(variable);
    deallocate(variable);
}

// The name follows the record in the same block: one allocation, and a lookup that compares the
// name reads memory next to the record it finds.
Variable* create_in(VariableStore& store, const NameKey& key, int32_t type) {
    if (key.name.size() > SIZE_MAX - sizeof(Variable) - 1) return nullptr;
    auto* variable = static_cast<Variable*>(allocate(sizeof(Variable) + key.name.size() + 1));
    if (!variable) return nullptr;
    variable->name = reinterpret_cast<char*>(variable + 1);
    std::memcpy(variable->name, key.name.data(), key.name.size());
    variable->name[key.name.size()] = '\0';
    Variable* replaced = nullptr;
    if (!index_insert(store.index, variable, key, &replaced)) {
        deallocate(variable);
        return nullptr;
    }
    variable->type = type;
    ++store.shape.changes;
    variable->hides_twin = replaced != nullptr;
    std::memset(&variable->value, 0, sizeof variable->value);
    variable->next = store.head;
    variable->previous = nullptr;
    if (store.head) store.head->previous = variable;
    store.head = variable;
    return variable;
}

bool load_builtins_into(VariableStore& store) {
    for (const BuiltinFunction& builtin : builtin_functions) {
        Variable* variable = create_in(store, key_of(builtin.name), FUNCTION);
        if (!variable) return false;
        variable->value.function = builtin.function;
    }
    return true;
}

// After the newest record of a name has gone, an older one of the same name (only a repeated
// load of the built-ins makes such twins) becomes the one lookups find. Only then is the list
// searched.
void unindex_variable(VariableStore& store, Variable* variable) {
    const NameKey key = key_of(variable->name);
    if (!index_remove(store.index, variable, key) || !variable->hides_twin) return;
    for (Variable* older = variable->next; older; older = older->next) {
        Variable* replaced;
        if (std::strcmp(older->name, variable->name) == 0) {
            index_insert(store.index, older, key, &replaced);  // the slot just freed: no growth
            return;
        }
    }
}

// Unlinks `variable` from the active store; false when it is not there (retired).
bool unlink_variable(Variable* variable) {
    if (variable->type == REMOVED_VAR) return false;
    VariableStore& store = *active;
    ++store.shape.changes;
    if (store.listing_cursor == variable) store.listing_cursor = variable->next;
    unindex_variable(store, variable);
    (variable->previous ? variable->previous->next : store.head) = variable->next;
    if (variable->next) variable->next->previous = variable->previous;
    return true;
}

void free_retired(VariableStore& store) {
    while (Variable* variable = store.retired) {
        store.retired = variable->next;
        free_record(variable);
    }
}

void free_records(VariableStore& store) {
    ++store.shape.changes;
    index_clear(store.index);
    while (Variable* variable = store.head) {
        store.head = variable->next;
        free_record(variable);
    }
}

}  // namespace

VariableStore* create_store() {
    auto* store = static_cast<VariableStore*>(allocate(sizeof(VariableStore)));
    if (!store) return nullptr;
    *store = {nullptr, nullptr, {nullptr, 0, 0}, nullptr, {stores_made.fetch_add(1, std::memory_order_relaxed) + 1, 0}};
    if (!load_builtins_into(*store)) {
        destroy_store(store);
        return nullptr;
    }
    return store;
}

void destroy_store(VariableStore* store) {
    if (active == store) active = nullptr;
    free_records(*store);
    free_retired(*store);
    deallocate(store);
}

void use_store(VariableStore* store) { active = store; }

VariableStore* active_store() { return active; }

StoreShape store_shape() {
    if (!active) return {0, 0};
    assert_store_locked();
    return active->shape;
}

Variable* find_variable(const NameKey& key) {
    assert_store_locked();
    return index_find(active->index, key);
}

Variable* find_variable(std::string_view name) { return find_variable(key_of(name)); }

Variable* create_variable(const NameKey& key, int32_t type) {
    assert_store_locked();
    return create_in(*active, key, type);
}

Variable* create_variable(std::string_view name, int32_t type) { return create_variable(key_of(name), type); }

int remove_variable(Variable* variable) {
    assert_store_locked();
    if (!unlink_variable(variable)) return 0;
    free_record(variable);
    return 1;
}

int retire_variable(Variable* variable) {
    assert_store_locked();
    if (!unlink_variable(variable)) return 0;
    free_value(variable);
    variable->type = REMOVED_VAR;
    std::memset(&variable->value, 0, sizeof variable->value);
    variable->next = active->retired;
    active->retired = variable;
    return 1;
}

void free_retired_variables() {
    assert_store_locked();
    free_retired(*active);
}

void clear_variables() {
    assert_store_locked();
    active->listing_cursor = nullptr;
    free_records(*active);
}

void clear_variables_keeping_host_functions() {
    assert_store_locked();
    active->listing_cursor = nullptr;
    for (Variable* variable = active->head; variable;) {
        Variable* next = variable->next;
        if (!is_host_function(variable->type)) remove_variable(variable);
        variable = next;
    }
}

bool load_builtin_functions() {
    assert_store_locked();
    return load_builtins_into(*active);
}

Variable* first_variable() {
    if (!active) return nullptr;
    assert_store_locked();
    return active->head;
}

Variable* listing_cursor() {
    if (!active) return nullptr;
    assert_store_locked();
    return active->listing_cursor;
}

void set_listing_cursor(Variable* variable) {
    if (!active) return;
    assert_store_locked();
    active->listing_cursor = variable;
}

bool set_variable_text(Variable* variable, const char* text) {
    assert_store_locked();
    char* copy = nullptr;
    if (text && !(copy = copy_text(text))) return false;
    deallocate(variable->value.text);
    variable->value.text = copy;
    return true;
}

bool retype_variable(Variable* variable, int32_t type) {
    assert_store_locked();
    char* empty_text = nullptr;
    if (type == STRING_VAR && !(empty_text = copy_text(""))) return false;
    free_value(variable);
    variable->type = type;
    ++active->shape.changes;
    std::memset(&variable->value, 0, sizeof variable->value);
    variable->value.text = empty_text;
    return true;
}

bool store_host_function(const NameKey& key, int32_t type, HostFunction* definition) {
    assert_store_locked();
    Variable* variable = find_variable(key);
    if (!variable && !(variable = create_variable(key, type))) return false;
    free_value(variable);
    variable->type = type;
    ++active->shape.changes;
    variable->value.host = definition;
    return true;
}
