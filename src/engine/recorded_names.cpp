#include "recorded_names.h"

#include <cstring>

#include "memory.h"
#include "variable.h"

// A record is laid out as the store's are, its name after it, so that the index finds it the same
// way; its type is the token, and it holds no value.
bool record_name(RecordedNames& names, const NameKey& key, int32_t token) {
    if (index_find(names.index, key)) return true;
    auto* record = static_cast<Variable*>(allocate(sizeof(Variable) + key.name.size() + 1));
    if (!record) return false;
    *record = {reinterpret_cast<char*>(record + 1), token, false, {}, names.records, nullptr};
    std::memcpy(record->name, key.name.data(), key.name.size());
    record->name[key.name.size()] = '\0';
    Variable* replaced = nullptr;
    if (!index_insert(names.index, record, key, &replaced)) {
        deallocate(record);
        return false;
    }
    names.records = record;
    return true;
}

int32_t recorded_token(const RecordedNames& names, std::string_view name) {
    const Variable* record = index_find(names.index, key_of(name));
    return record ? record->type : 0;
}

void free_recorded_names(RecordedNames& names) {
    index_clear(names.index);
    while (Variable* record = names.records) {
        names.records = record->next;
        deallocate(record);
    }
}
