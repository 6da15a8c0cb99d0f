#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "reading/decoration_filter.hpp"

#if defined(__SSE2__) && !defined(DEZAROR_PLAIN_SCAN)
#include <emmintrin.h>
#endif

// What the HTML filter makes of each byte, and the kernels that look at sixteen bytes at a time. Each kernel has a
// plain path for processors without SSE2; DEZAROR_PLAIN_SCAN builds that path everywhere, so that it is tested too.
namespace reading::cleaning {

// What the scan does with a byte outside markup. A "|" is a blank: the character would take it as the separator
// between alternative wordings. Control characters are dropped: the voice would spell them out or stumble.
// Pattern characters are text that the decoration filter must see. A byte above ASCII begins or continues a UTF-8
// character, which is looked at whole.
enum class ByteKind : std::uint8_t { Text, Blank, Dropped, Pattern, TagOpen, TagClose, Ampersand, NonAscii };

inline constexpr std::array<ByteKind, 256> kKindOf = [] {
    std::array<ByteKind, 256> table{};
    table.fill(ByteKind::Dropped);
    for (unsigned c = 32; c <= 126; ++c) table[c] = ByteKind::Text;
    for (const Pattern& p : kPatterns) table[static_cast<unsigned char>(p.ch)] = ByteKind::Pattern;
    for (const unsigned char c : {' ', '|', '\r', '\n'}) table[c] = ByteKind::Blank;
    table['<'] = ByteKind::TagOpen;
    table['>'] = ByteKind::TagClose;
    table['&'] = ByteKind::Ampersand;
    for (unsigned c = 0x80; c < 256; ++c) table[c] = ByteKind::NonAscii;
    return table;
}();

// The first "<" or ">" at or after `pos`, or the end. Tags are too short for two library searches to pay, and a byte
// loop was the slowest part of the scan, so this looks at sixteen bytes at a time where the processor can, else at
// eight: "<" and ">" differ only in bit 1.
inline std::size_t find_angle(std::string_view text, std::size_t pos) {
#if defined(__SSE2__) && !defined(DEZAROR_PLAIN_SCAN)
    const __m128i open = _mm_set1_epi8('<');
    const __m128i close = _mm_set1_epi8('>');
    for (; pos + 16 <= text.size(); pos += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + pos));
        const int found = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, open), _mm_cmpeq_epi8(chunk, close)));
        if (found != 0) return pos + static_cast<std::size_t>(std::countr_zero(static_cast<unsigned>(found)));
    }
#else
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    if constexpr (std::endian::native == std::endian::little) {
        for (; pos + 8 <= text.size(); pos += 8) {
            std::uint64_t word;
            std::memcpy(&word, text.data() + pos, 8);
            const std::uint64_t x = (word & (0xfd * kOnes)) ^ ('<' * kOnes);  // Zero bytes where "<" or ">" is.
            // The lowest flagged byte is exact: only bytes above a zero byte can be flagged wrongly.
            if (const std::uint64_t zero = (x - kOnes) & ~x & (0x80 * kOnes))
                return pos + static_cast<std::size_t>(std::countr_zero(zero)) / 8;
        }
    }
#endif
    while (pos < text.size() && text[pos] != '<' && text[pos] != '>') ++pos;
    return pos;
}

// The sixteen bytes at `in`, one bit each, lowest first: words are written as they are; blanks ("|" and line breaks
// among them) and dropped bytes form the gaps between words, and a gap with a blank in it writes one blank;
// the other bytes end what can be copied (markup, entities, pattern characters).
struct BlockBits {
    unsigned word;
    unsigned gap;
    unsigned blank;
    unsigned space;  // The blanks that are " " itself.
    unsigned other;
};

inline BlockBits classify_block(const char* in) {
#if defined(__SSE2__) && !defined(DEZAROR_PLAIN_SCAN)
    const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    const auto bits = [&](char c) { return _mm_cmpeq_epi8(chunk, _mm_set1_epi8(c)); };
    const auto mask = [](__m128i m) { return static_cast<unsigned>(_mm_movemask_epi8(m)); };
    // Bytes from "!" to "~": signed compares, so bytes above 0x7E count as below "!".
    const __m128i printable =
        _mm_and_si128(_mm_cmpgt_epi8(chunk, _mm_set1_epi8(' ')), _mm_cmplt_epi8(chunk, _mm_set1_epi8(0x7F)));
    __m128i other = _mm_setzero_si128();
    for (const char c : {'*', '=', '-', '+', '_', '~', '#', '.', '<', '>', '&'}) other = _mm_or_si128(other, bits(c));
    const __m128i bar = bits('|');
    const unsigned word = mask(_mm_andnot_si128(_mm_or_si128(other, bar), printable));
    const __m128i space = bits(' ');
    const unsigned blank = mask(_mm_or_si128(_mm_or_si128(space, bar), _mm_or_si128(bits('\r'), bits('\n'))));
    // Bytes above ASCII have their top bit set.
    const unsigned other_bits = mask(other) | mask(chunk);
    return {word, 0xFFFFu & ~word & ~other_bits, blank, mask(space), other_bits};
#else
    BlockBits b{};
    for (unsigned i = 0; i < 16; ++i) {
        const ByteKind kind = kKindOf[static_cast<unsigned char>(in[i])];
        if (kind == ByteKind::Text) {
            b.word |= 1u << i;
        } else if (kind == ByteKind::Blank || kind == ByteKind::Dropped) {
            b.gap |= 1u << i;
            if (kind == ByteKind::Blank) b.blank |= 1u << i;
            if (in[i] == ' ') b.space |= 1u << i;
        } else {
            b.other |= 1u << i;
        }
    }
    return b;
#endif
}

}  // namespace reading::cleaning
