// A store's index: from a name to the newest record of that name, in constant time. An open
// addressing table with linear probing; each slot keeps the name's hash, length and first bytes
// beside the record, so that a name of up to 8 bytes is told apart within the slot, without a
// visit to the record. Names hold no NUL byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "name_key.h"

struct Variable;
struct IndexSlot;

struct NameIndex {
    IndexSlot* slots;
    std::size_t capacity;  // a power of two, or 0
    std::size_t used;
};

// The record indexed under the key's name, or null.
Variable* index_find(const NameIndex& index, const NameKey& key);

// Indexes `variable` under its name, whose key `key` is, in place of any record indexed under the
// same name, which `replaced` receives (null when there was none). False when memory runs out;
// the index is then unchanged.
bool index_insert(NameIndex& index, Variable* variable, const NameKey& key, Variable** replaced);

// Removes `variable`, whose name's key `key` is, from the index if it is the record indexed
// under that name; false when it is not.
bool index_remove(NameIndex& index, const Variable* variable, const NameKey& key);

// Frees the table; the index is empty.
void index_clear(NameIndex& index);
