#include "name_index.h"

#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "variable.h"

namespace {

struct Slot {
    Variable* variable;  // null: free
    uint32_t hash;
    uint32_t length;  // of the name, so that a comparison needs no strlen
};

Slot* slots = nullptr;
std::size_t capacity = 0;  // a power of two, or 0
std::size_t used = 0;

// Eight bytes at a time, each word folded in by a rotation and a multiplication. A multiplication
// only carries upwards, so the last step folds the high half down and multiplies once more:
// then every byte of the name reaches the high half, which chooses the slot.
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

bool has_name(const Slot& slot, std::string_view name, uint32_t hash) {
    return slot.hash == hash && slot.length == name.size() && std::memcmp(slot.variable->name, name.data(), name.size()) == 0;
}

std::size_t next_slot(std::size_t slot) { return (slot + 1) & (capacity - 1); }

// The slot holding `name`, or the free slot where it would go.
std::size_t slot_for(std::string_view name, uint32_t hash) {
    std::size_t slot = hash & (capacity - 1);
    while (slots[slot].variable && !has_name(slots[slot], name, hash)) {
        slot = next_slot(slot);
    }
    return slot;
}

// Keeps the table at most half full.
bool make_room() {
    if (2 * (used + 1) <= capacity) return true;
    std::size_t new_capacity = capacity ? 2 * capacity : 64;
    auto* new_slots = static_cast<Slot*>(std::calloc(new_capacity, sizeof(Slot)));
    if (!new_slots) return false;
    Slot* old_slots = slots;
    std::size_t old_capacity = capacity;
    slots = new_slots;
    capacity = new_capacity;
    for (std::size_t i = 0; i < old_capacity; ++i) {
        if (old_slots[i].variable) {
            std::size_t slot = old_slots[i].hash & (capacity - 1);
            while (slots[slot].variable) slot = next_slot(slot);
            slots[slot] = old_slots[i];
        }
    }
    std::free(old_slots);
    return true;
}

// Linear probing without tombstones: after a slot is freed, later members of its run move back
// so that every lookup still meets them before a free slot.
void free_slot(std::size_t hole) {
    for (std::size_t slot = next_slot(hole); slots[slot].variable; slot = next_slot(slot)) {
        std::size_t home = slots[slot].hash & (capacity - 1);
        bool home_outside_gap = hole <= slot ? (home <= hole || home > slot) : (home <= hole && home > slot);
        if (home_outside_gap) {
            slots[hole] = slots[slot];
            hole = slot;
        }
    }
    slots[hole] = {nullptr, 0, 0};
    --used;
}

}  // namespace

Variable* index_find(std::string_view name) {
    if (used == 0) return nullptr;
    return slots[slot_for(name, hash_of(name))].variable;
}

bool index_insert(Variable* variable) {
    if (!make_room()) return false;
    std::string_view name = variable->name;
    uint32_t hash = hash_of(name);
    std::size_t slot = slot_for(name, hash);
    if (!slots[slot].variable) ++used;
    slots[slot] = {variable, hash, static_cast<uint32_t>(name.size())};
    return true;
}

void index_remove(const Variable* variable) {
    if (used == 0) return;
    std::string_view name = variable->name;
    std::size_t slot = slot_for(name, hash_of(name));
    if (slots[slot].variable == variable) free_slot(slot);
}

void index_clear() {
    std::free(slots);
    slots = nullptr;
    capacity = used = 0;
}
