// The names a compiled script resolved, with the token each had when it was compiled: enough to
// scan the script's text again as its run did, after the store may have changed.
#pragma once

#include <cstdint>
#include <string_view>

#include "name_index.h"

struct Variable;

struct RecordedNames {
    NameIndex index;
    Variable* records;  // private records holding only a name and a token, in a list by `next`
};

// Notes that `key`'s name had `token`; keeps the first token noted for a name. False when memory
// runs out.
bool record_name(RecordedNames& names, const NameKey& key, int32_t token);

// The token noted for `name`, or 0.
int32_t recorded_token(const RecordedNames& names, std::string_view name);

void free_recorded_names(RecordedNames& names);
