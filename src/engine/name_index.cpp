#include "name_index.h"

#include <bit>
#include <cstdint>
#include <cstring>

#include "memory.h"
#include "variable.h"

struct IndexSlot {
    Variable* variable;  // null: free
    uint32_t hash;
    uint32_t length;  // of the name, modulo 2^32
};

namespace {

// Eight bytes at a time, each word folded in by a rotation and a multiplication. A multiplication
// only carries upwards, so the last step folds the high half down and multiplies once more:
// then every byte of the name reaches the low bits too, which choose the slot.
uint32_t hash_of(std::string_view name) {
    constexpr uint64_t multiplier = 0x9E3779B97F4A7C15u;
    uint64_t hash = name.size();
    const char* bytes = name.data();
    std::size_t left = name.size();
    for (; left >= 8; bytes += 8, left -= 8) {
        uint64_t word;
        std::memcpy(&word, bytes, 8);
        hash = (std::rotl(hash, 5) ^ word) * multiplier;
    }
    if (left > 0) {
        uint64_t word = 0;
        std::memcpy(&word, bytes, left);
        hash = (std::rotl(hash, 5) ^ word) * multiplier;
    }
    hash = (hash ^ (hash >> 32)) * multiplier;
    return static_cast<uint32_t>(hash >> 32);
}

// Whether the `size` bytes at a and b agree. Names of up to 16 bytes, the common ones, are
// compared as two words that may overlap, without a call.
bool same_bytes(const char* a, const char* b, std::size_t size) {
    auto word = [](const char* bytes) {
        uint64_t value;
        std::memcpy(&value, bytes, 8);
        return value;
    };
    if (size >= 8 && size <= 16) return word(a) == word(b) && word(a + size - 8) == word(b + size - 8);
    if (size > 16) return std::memcmp(a, b, size) == 0;
    for (std::size_t i = 0; i < size; ++i) {
        if (a[i] != b[i]) return false;
    }
    return true;
}

// A record whose name has the key's length modulo 2^32 holds at least as many bytes as the key
// unless the key is 4 GiB or longer: only then is it compared byte by byte, stopping at the
// record's NUL, which no byte of a key matches.
bool has_name(const IndexSlot& slot, const NameKey& key) {
    if (slot.hash != key.hash || slot.length != static_cast<uint32_t>(key.name.size())) return false;
    const char* stored = slot.variable->name;
    if (key.name.size() <= UINT32_MAX) {
        return same_bytes(stored, key.name.data(), key.name.size()) && stored[key.name.size()] == '\0';
    }
    for (char byte : key.name) {
        if (*stored++ != byte) return false;
    }
    return *stored == '\0';
}

std::size_t next_slot(const NameIndex& index, std::size_t slot) { return (slot + 1) & (index.capacity - 1); }

// The slot holding the key's name, or the free slot where it would go.
std::size_t slot_for(const NameIndex& index, const NameKey& key) {
    std::size_t slot = key.hash & (index.capacity - 1);
    while (index.slots[slot].variable && !has_name(index.slots[slot], key)) slot = next_slot(index, slot);
    return slot;
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
    index.slots[hole] = {nullptr, 0, 0};
    --index.used;
}

}  // namespace

NameKey key_of(std::string_view name) { return {name, hash_of(name)}; }

Variable* index_find(const NameIndex& index, const NameKey& key) {
    if (index.used == 0) return nullptr;
    return index.slots[slot_for(index, key)].variable;
}

bool index_insert(NameIndex& index, Variable* variable, const NameKey& key, Variable** replaced) {
    if (!make_room(index)) return false;
    IndexSlot& slot = index.slots[slot_for(index, key)];
    *replaced = slot.variable;
    if (!slot.variable) ++index.used;
    slot = {variable, key.hash, static_cast<uint32_t>(key.name.size())};
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
