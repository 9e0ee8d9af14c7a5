// A name with its hash and head, worked out once: the scanner hashes a name once for its lookup
// and, when the name is new, for its creation; a host's call hashes the name it passes once. Kept
// inline, as every lookup by name begins with it.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

// The head holds the name's first bytes, all of them for a name of up to 8 bytes: two names of one
// length have the same head only when those bytes agree. Names hold no NUL byte.
struct NameKey {
    std::string_view name;
    uint64_t head;
    uint32_t hash;
};

template <typename Word>
inline Word load_word(const char* bytes) {
    Word word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// Reads no byte past the name and calls nothing: a name shorter than 8 bytes is read as two
// 4-byte words that may overlap, or as its first, middle and last byte, which between them hold
// every byte of a name of up to 3 bytes.
inline uint64_t head_of(std::string_view name) {
    const char* bytes = name.data();
    const std::size_t size = name.size();
    if (size >= 8) return load_word<uint64_t>(bytes);
    if (size >= 4) return uint64_t{load_word<uint32_t>(bytes)} << 32 | load_word<uint32_t>(bytes + size - 4);
    if (size == 0) return 0;
    const auto byte = [&](std::size_t at) { return uint64_t{static_cast<unsigned char>(bytes[at])}; };
    return byte(0) << 16 | byte(size / 2) << 8 | byte(size - 1);
}

// The head and then each further word folded in by a rotation and a multiplication; the words
// past the head are read 8 bytes at a time, the last one ending at the name's end. A
// multiplication only carries upwards, so the last step folds the high half down and multiplies
// once more: then every byte of the name reaches the low bits too, which choose the slot.
inline uint32_t hash_of(std::string_view name, uint64_t head) {
    constexpr uint64_t multiplier = 0x9E3779B97F4A7C15u;
    const auto fold_in = [](uint64_t hash, uint64_t word) { return (std::rotl(hash, 5) ^ word) * multiplier; };
    uint64_t hash = fold_in(name.size(), head);
    if (name.size() > 8) {
        std::size_t offset = 8;
        for (; name.size() - offset > 8; offset += 8) hash = fold_in(hash, load_word<uint64_t>(name.data() + offset));
        hash = fold_in(hash, load_word<uint64_t>(name.data() + name.size() - 8));
    }
    hash = (hash ^ (hash >> 32)) * multiplier;
    return static_cast<uint32_t>(hash >> 32);
}

inline NameKey key_of(std::string_view name) {
    const uint64_t head = head_of(name);
    return {name, head, hash_of(name, head)};
}
