// The variable store: every variable that scripts and the host share, and the built-in math
// functions, in one doubly linked list, newest first, with an index by name.
//
// The functions below work on the active store, the one that the store lock's holder uses (see
// use_store); the caller holds the store lock.
#pragma once

#include <cstdint>
#include <string_view>

#include "name_index.h"
#include "variable.h"

struct VariableStore;

// A new store holding the six built-in functions; null when memory runs out. It is nobody's
// active store yet, and needs no lock until it is published.
VariableStore* create_store();

// Frees `store`, which no thread uses and none will, and every record in it; it stops being the
// calling thread's active store.
void destroy_store(VariableStore* store);

// The shape of the active store: which store it is, and how often a record in it was made, removed
// or retyped. Anything that keeps pointers to records and relies on their types (a compiled
// script) keeps the shape it saw, and finds both still good exactly while the shape is the same.
// Values change without changing the shape.
struct StoreShape {
    uint64_t store;    // unique to each store the process makes
    uint64_t changes;
    bool operator==(const StoreShape&) const = default;
};
StoreShape store_shape();

// Makes `store` the calling thread's active store.
void use_store(VariableStore* store);
VariableStore* active_store();

// The newest record named `name` (which holds no NUL), compared byte for byte, or null.
Variable* find_variable(const NameKey& key);
Variable* find_variable(std::string_view name);

// A new record at the head, with a zero value; does not look for an existing one.
// Null when memory runs out.
Variable* create_variable(const NameKey& key, int32_t type);
Variable* create_variable(std::string_view name, int32_t type);

// Unlinks and frees `variable` if it is in the store: 1; 0 (freeing nothing) when it is not (a
// retired record). Constant time, but for a record that hides an older one of its name.
int remove_variable(Variable* variable);

// Unlinks `variable` like remove_variable, but keeps the record itself, typed REMOVED_VAR, until
// free_retired_variables: a script may still hold a pointer to it in the statement that deleted
// it. Returns 1 when it was in the store, else 0.
int retire_variable(Variable* variable);

// Frees the records retired since the last call.
void free_retired_variables();

// Frees every record; the store is empty afterwards.
void clear_variables();

// Frees every record but the host's functions, which stay as they are.
void clear_variables_keeping_host_functions();

// Makes the record `key` a host function of `type` (HOST_INT_FUNCTION and so on) that owns
// `definition`, replacing what the name held; creates it when there is none. False, changing
// nothing, when memory runs out.
bool store_host_function(const NameKey& key, int32_t type, HostFunction* definition);

// Adds the built-in functions in the order of builtin_functions.h, so that the last stands
// nearest the head. False when memory runs out; the functions added before stay.
bool load_builtin_functions();

// The newest record, for walks of the whole store (listing, tests); null also when there is no
// active store.
Variable* first_variable();

// The host's listing cursor, part of the active store: the store moves it past a record it
// removes and clears it when it empties, and a new store starts without one, so it never refers
// to a freed record. Null (and no effect) also when there is no active store.
Variable* listing_cursor();
void set_listing_cursor(Variable* variable);

// Replaces the text of a string variable with a copy of `text` (null: no text), freeing the old
// one. Returns false, changing nothing, when memory runs out.
bool set_variable_text(Variable* variable, const char* text);

// Gives `variable` the type code `type` and that type's zero value (an empty text for a
// string), freeing an old text first. False, changing nothing, when memory runs out.
bool retype_variable(Variable* variable, int32_t type);
