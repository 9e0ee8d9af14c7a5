// The store's index: from a name to the newest record of that name, in constant time. An open
// addressing table with linear probing; each slot keeps the name's hash beside the record.
#pragma once

#include <string_view>

struct Variable;

// The record indexed under `name`, or null.
Variable* index_find(std::string_view name);

// Indexes `variable` under its name, in place of any record indexed under the same name.
// False when memory runs out; the index is then unchanged.
bool index_insert(Variable* variable);

// Removes `variable` from the index if it is the record indexed under its name.
void index_remove(const Variable* variable);

// Empties the index.
void index_clear();
