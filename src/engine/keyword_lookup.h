// The scanner's look-up of keywords and constants in the vocabulary, for a name on every
// identifier the scanner reads: inline, as the scanner's own code is. Internal to the scanner.
#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "vocabulary.h"

namespace keyword_lookup {

struct Keyword {
    const char* text;
    int token;
};

// The vocabulary's keywords of one length, picked out when the library is compiled: a name is
// compared only with the few keywords of its own length.
template <std::size_t Length>
constexpr auto keywords_of_length() {
    constexpr std::size_t count = [] {
        std::size_t found = 0;
        for (const Word& word : vocabulary) found += is_keyword(word) && word.spelling.size() == Length;
        return found;
    }();
    std::array<Keyword, count> keywords{};
    std::size_t next = 0;
    for (const Word& word : vocabulary) {
        if (is_keyword(word) && word.spelling.size() == Length) keywords[next++] = {word.spelling.data(), word.token};
    }
    return keywords;
}

template <std::size_t Length>
inline int keyword_of_length(const char* name) {
    static constexpr auto keywords = keywords_of_length<Length>();
    for (const Keyword& keyword : keywords) {
        if (std::memcmp(keyword.text, name, Length) == 0) return keyword.token;
    }
    return 0;
}

inline constexpr std::size_t longest_keyword = [] {
    std::size_t longest = 0;
    for (const Word& word : vocabulary) longest = is_keyword(word) && word.spelling.size() > longest ? word.spelling.size() : longest;
    return longest;
}();
static_assert(longest_keyword <= 12, "keyword_token looks up names of up to 12 bytes");

// The keyword whose exact text `name` is, or 0. Chosen by length first: most names are no
// keyword, and most are short.
inline int keyword_token(std::string_view name) {
    switch (name.size()) {
        case 1: return keyword_of_length<1>(name.data());
        case 2: return keyword_of_length<2>(name.data());
        case 3: return keyword_of_length<3>(name.data());
        case 4: return keyword_of_length<4>(name.data());
        case 5: return keyword_of_length<5>(name.data());
        case 6: return keyword_of_length<6>(name.data());
        case 7: return keyword_of_length<7>(name.data());
        case 8: return keyword_of_length<8>(name.data());
        case 9: return keyword_of_length<9>(name.data());
        case 10: return keyword_of_length<10>(name.data());
        case 11: return keyword_of_length<11>(name.data());
        case 12: return keyword_of_length<12>(name.data());
        default: return 0;
    }
}

// The constant that `name` spells (TRUE, FALSE), or null.
inline const ConstantWord* constant_word(std::string_view name) {
    for (const ConstantWord& constant : constant_words) {
        if (name == constant.spelling) return &constant;
    }
    return nullptr;
}

}  // namespace keyword_lookup
