#include "name_index.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "memory.h"
#include "variable.h"

struct IndexSlot {
    Variable* variable;  // null: free
    uint64_t head;       // the name key's head
    uint32_t hash;
    uint32_t length;  // of the name, or UINT32_MAX for a name at least that long
};

namespace {

uint32_t stored_length(std::size_t size) { return static_cast<uint32_t>(std::min<std::size_t>(size, UINT32_MAX)); }

// Whether the record's name, whose hash, length and head agree with the key's, has the key's
// bytes past the head too. Below UINT32_MAX bytes the stored length is exact, and the words that
// end at the name's end, or memcmp, cover the rest; only a name of 4 GiB or longer is compared
// byte by byte, stopping at the record's NUL, which no byte of a key matches.
bool same_tail(const IndexSlot& slot, const NameKey& key) {
    const char* stored = slot.variable->name;
    const std::size_t size = key.name.size();
    if (size <= 16) return load_word<uint64_t>(stored + size - 8) == load_word<uint64_t>(key.name.data() + size - 8);
    if (slot.length < UINT32_MAX) return std::memcmp(stored + 8, key.name.data() + 8, size - 8) == 0;
    for (char byte : key.name) {
        if (*stored++ != byte) return false;
    }
    return *stored == '\0';
}

std::size_t next_slot(const NameIndex& index, std::size_t slot) { return (slot + 1) & (index.capacity - 1); }

// The slot holding the key's name, or the free slot where it would go. A name of up to 8 bytes is
// told apart within the slots, a longer one by its record's bytes too: two probes, so that the
// short names' one calls nothing and keeps all it needs in a few registers.
template <bool long_name>
std::size_t probe(const NameIndex& index, const NameKey& key) {
    const uint32_t length = stored_length(key.name.size());
    for (std::size_t slot = key.hash & (index.capacity - 1);; slot = next_slot(index, slot)) {
        const IndexSlot& candidate = index.slots[slot];
        if (!candidate.variable) return slot;
        if (candidate.hash == key.hash && candidate.head == key.head && candidate.length == length &&
            (!long_name || same_tail(candidate, key))) {
            return slot;
        }
    }
}

[[gnu::noinline]] std::size_t long_name_probe(const NameIndex& index, const NameKey& key) {
    return probe<true>(index, key);
}

std::size_t slot_for(const NameIndex& index, const NameKey& key) {
    return key.name.size() <= 8 ? probe<false>(index, key) : long_name_probe(index, key);
}

// Keeps the table at most half full.
bool make_room(NameIndex& index) {
    if (2 * (index.used + 1) <= index.capacity) return true;
    std::size_t new_capacity = index.capacity ? 2 * index.capacity : 64;
    auto* new_slots = static_cast<IndexSlot*>(allocate_zeroed(new_capacity, sizeof(IndexSlot)));
    if (!new_slots) return false;
    NameIndex grown = {new_slots, new_capacity, index.used};
    for (std::size_t i = 0; i < index.capacity; ++i) {
        if (index.slots[i].variable) {
            std::size_t slot = index.slots[i].hash & (new_capacity - 1);
            while (new_slots[slot].variable) slot = next_slot(grown, slot);
            new_slots[slot] = index.slots[i];
        }
    }
    deallocate(index.slots);
    index = grown;
    return true;
}

// Linear probing without tombstones: after a slot is freed, later members of its run move back
// so that every lookup still meets them before a free slot.
void free_slot(NameIndex& index, std::size_t hole) {
    for (std::size_t slot = next_slot(index, hole); index.slots[slot].variable; slot = next_slot(index, slot)) {
        std::size_t home = index.slots[slot].hash & (index.capacity - 1);
        bool home_outside_gap = hole <= slot ? (home <= hole || home > slot) : (home <= hole && home > slot);
        if (home_outside_gap) {
            index.slots[hole] = index.slots[slot];
            hole = slot;
        }
    }
    index.slots[hole] = {nullptr, 0, 0, 0};
    --index.used;
}

}  // namespace

Variable* index_find(const NameIndex& index, const NameKey& key) {
    if (index.used == 0) return nullptr;
    return index.slots[slot_for(index, key)].variable;
}

bool index_insert(NameIndex& index, Variable* variable, const NameKey& key, Variable** replaced) {
    if (!make_room(index)) return false;
    IndexSlot& slot = index.slots[slot_for(index, key)];
    *replaced = slot.variable;
    if (!slot.variable) ++index.used;
    slot = {variable, key.head, key.hash, stored_length(key.name.size())};
    return true;
}

bool index_remove(NameIndex& index, const Variable* variable, const NameKey& key) {
    if (index.used == 0) return false;
    std::size_t slot = slot_for(index, key);
    if (index.slots[slot].variable != variable) return false;
    free_slot(index, slot);
    return true;
}

void index_clear(NameIndex& index) {
    deallocate(index.slots);
    index = {nullptr, 0, 0};
}
