#include "reading/text_cleaning.hpp"

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>

#include "platform/ascii.hpp"
#include "reading/decoration_filter.hpp"
#include "reading/html_characters.hpp"
#include "reading/scan_kernels.hpp"

// The HTML filter: one pass over the body that skips markup, turns tags into line breaks, decodes character
// references and writes the text through the decoration filter.
namespace reading {
namespace {

using cleaning::BlockBits;
using cleaning::ByteKind;
using cleaning::classify_block;
using cleaning::DecorationFilter;
using cleaning::find_angle;
using cleaning::kKindOf;
using platform::lower_ascii;

// Tag names and entities match in any letter case; `prefix` is lower case.
bool starts_with_nocase(std::string_view text, std::size_t pos, std::string_view prefix) {
    if (text.size() - pos < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (lower_ascii(text[pos + i]) != prefix[i]) return false;
    return true;
}

// The first tag beginning with `prefix` at or after `from`, or npos.
std::size_t find_tag_nocase(std::string_view text, std::size_t from, std::string_view prefix) {
    for (std::size_t pos = text.find('<', from); pos != std::string_view::npos; pos = text.find('<', pos + 1))
        if (starts_with_nocase(text, pos, prefix)) return pos;
    return std::string_view::npos;
}

enum class TagEffect {
    None,
    ScriptStart,
    SelectStart,
    StyleStart,
    ScriptEnd,
    SelectEnd,
    StyleEnd,
    Break,
    Paragraph,
    BodyEnd,
};

struct TagRule {
    std::string_view prefix;
    TagEffect effect;
};

// Plain prefix tests in this order, first match wins: "<li" also matches "<link", "<script" also "<scripts".
constexpr auto kTagRules = std::to_array<TagRule>({
    {"<script", TagEffect::ScriptStart}, {"<noscript", TagEffect::ScriptStart},
    {"<select", TagEffect::SelectStart}, {"<style", TagEffect::StyleStart},
    {"</script", TagEffect::ScriptEnd},  {"</noscript", TagEffect::ScriptEnd},
    {"</select", TagEffect::SelectEnd},  {"</style", TagEffect::StyleEnd},
    {"<br>", TagEffect::Break},          {"<br />", TagEffect::Break},
    {"</td>", TagEffect::Break},         {"<dd", TagEffect::Break},
    {"</dd", TagEffect::Break},          {"<dt", TagEffect::Break},
    {"</dt", TagEffect::Break},          {"<li", TagEffect::Break},
    {"</li", TagEffect::Break},          {"</ol", TagEffect::Break},
    {"</ul", TagEffect::Break},          {"</dl", TagEffect::Break},
    {"</div", TagEffect::Break},         {"<p>", TagEffect::Paragraph},
    {"<p ", TagEffect::Paragraph},       {"</body", TagEffect::BodyEnd},
});

// The rules that can match a tag, by the first letter of its name (after "</", the letter after the slash), so that
// most tags are passed over at a glance. Bit r stands for kTagRules[r], so lower bits come first in table order.
struct TagRuleIndex {
    std::array<std::uint32_t, 256> start{};
    std::array<std::uint32_t, 256> end{};
};

constexpr TagRuleIndex kTagRuleIndex = [] {
    static_assert(kTagRules.size() <= 32);
    TagRuleIndex index;
    for (std::size_t r = 0; r < kTagRules.size(); ++r) {
        const std::string_view prefix = kTagRules[r].prefix;
        if (prefix[1] == '/') {
            index.end[static_cast<unsigned char>(prefix[2])] |= 1u << r;
        } else {
            index.start[static_cast<unsigned char>(prefix[1])] |= 1u << r;
        }
    }
    return index;
}();

// Each rule's prefix as two little-endian words, for comparing sixteen bytes of a tag at once: the lower-case prefix,
// the bits that matter (the prefix's own bytes), and bit 5 of its letters, set in the tag's bytes to fold them to
// lower case.
struct TagPrefixWords {
    std::array<std::uint64_t, 2> text{};
    std::array<std::uint64_t, 2> care{};
    std::array<std::uint64_t, 2> fold{};
};

constexpr auto kTagPrefixWords = [] {
    std::array<TagPrefixWords, kTagRules.size()> words{};
    for (std::size_t r = 0; r < kTagRules.size(); ++r) {
        const std::string_view prefix = kTagRules[r].prefix;
        for (std::size_t i = 0; i < prefix.size(); ++i) {
            const unsigned shift = 8 * (i % 8);
            const auto c = static_cast<unsigned char>(prefix[i]);
            words[r].text[i / 8] |= std::uint64_t{c} << shift;
            words[r].care[i / 8] |= std::uint64_t{0xFF} << shift;
            if (c >= 'a' && c <= 'z') words[r].fold[i / 8] |= std::uint64_t{0x20} << shift;
        }
    }
    return words;
}();

bool starts_with_rule(std::string_view html, std::size_t pos, std::size_t r) {
    if constexpr (std::endian::native == std::endian::little) {
        if (html.size() - pos >= 16) {
            std::array<std::uint64_t, 2> tag;
            std::memcpy(tag.data(), html.data() + pos, 16);
            const TagPrefixWords& w = kTagPrefixWords[r];
            return ((tag[0] | w.fold[0]) & w.care[0]) == w.text[0] && ((tag[1] | w.fold[1]) & w.care[1]) == w.text[1];
        }
    }
    return starts_with_nocase(html, pos, kTagRules[r].prefix);
}

TagEffect tag_effect(std::string_view html, std::size_t pos) {
    if (html.size() - pos < 3) return TagEffect::None;  // Every prefix is three characters or more.
    const char first = lower_ascii(html[pos + 1]);
    std::uint32_t candidates = first == '/' ? kTagRuleIndex.end[static_cast<unsigned char>(lower_ascii(html[pos + 2]))]
                                            : kTagRuleIndex.start[static_cast<unsigned char>(first)];
    for (; candidates != 0; candidates &= candidates - 1) {
        const auto r = static_cast<std::size_t>(std::countr_zero(candidates));
        if (starts_with_rule(html, pos, r)) return kTagRules[r].effect;
    }
    return TagEffect::None;
}

struct Entity {
    std::string_view name;
    std::string_view replacement;
};

constexpr auto kEntities =
    std::to_array<Entity>({{"&nbsp;", " "}, {"&#160;", " "}, {"&amp;", " & "}, {"&#38;", " & "}, {"&#x2e;", ". "}});

std::string_view entity_replacement(std::string_view html, std::size_t pos) {
    for (const Entity& entity : kEntities)
        if (starts_with_nocase(html, pos, entity.name)) return entity.replacement;
    return {};
}

// The longest name of a named reference has 31 letters.
constexpr std::size_t kMaxEntityName = 32;

bool is_entity_name_char(char c) {
    c = lower_ascii(c);
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '#';
}

// Length of the entity at `pos` (its "&" up to and including its ";"), or 0 when the "&" begins none. Only a short
// name closed by ";" counts: a lone "&", as in "AT&T", would otherwise hide the rest of the text up to some distant
// ";", or all of it.
std::size_t entity_length(std::string_view text, std::size_t pos, std::size_t end) {
    std::size_t i = pos + 1;
    while (i < end && i - pos - 1 < kMaxEntityName && is_entity_name_char(text[i])) ++i;
    if (i == pos + 1 || i >= end || text[i] != ';') return 0;
    return i - pos + 1;
}

// Where one byte next occurs at or after a position. Positions asked for only grow, so a search is made again only
// once the last one found has been passed, and all searches together read each byte once.
class NextOf {
public:
    NextOf(std::string_view text, char byte) : text_(text), byte_(byte) {}

    std::size_t at_or_after(std::size_t pos) {
        if (!searched_ || pos > found_) {
            found_ = std::min(text_.find(byte_, pos), text_.size());
            searched_ = true;
        }
        return found_;
    }

private:
    std::string_view text_;
    char byte_;
    std::size_t found_ = 0;
    bool searched_ = false;
};

// What the text loop does with a byte: write it, write it as a blank unless one comes before, or leave the loop.
// Dropped bytes have no bit.
constexpr unsigned kIsText = 1;
constexpr unsigned kIsBlank = 2;
constexpr unsigned kStop = 4;

constexpr std::array<std::uint8_t, 256> kTextStep = [] {
    std::array<std::uint8_t, 256> table{};
    for (unsigned c = 0; c < 256; ++c) {
        switch (kKindOf[c]) {
            case ByteKind::Text:
                table[c] = kIsText;
                break;
            case ByteKind::Blank:
                table[c] = kIsBlank;
                break;
            case ByteKind::Dropped:
                table[c] = 0;
                break;
            default:
                table[c] = kStop;
                break;
        }
    }
    return table;
}();

// Copies text from `pos` until the first byte that needs more than copying (markup, an entity, a pattern character)
// and returns its position. This is the bulk of the work, so it writes straight to the filter's buffer.
// Kept out of line: inlined into the scan, its loop state spilled to the stack and the loop ran at half speed.
[[gnu::noinline]] std::size_t copy_text(std::string_view html, std::size_t pos, DecorationFilter& out,
                                        bool& last_blank) {
    const char* in = html.data() + pos;
    const char* const stop = html.data() + html.size();
    // Dropped bytes never reach the filter, so they must not make it give on a row it is holding: in "..\xe9.." the
    // dots still make a row.
    while (in != stop && kKindOf[static_cast<unsigned char>(*in)] == ByteKind::Dropped) ++in;
    if (in == stop || kKindOf[static_cast<unsigned char>(*in)] > ByteKind::Dropped)
        return static_cast<std::size_t>(in - html.data());
    bool blank_before = last_blank;
    for (;;) {
        // Each byte read writes one byte at most, so room for the bytes to read is enough.
        const std::span<char> room = out.raw_space(std::min<std::size_t>(static_cast<std::size_t>(stop - in), 4096));
        const char* const chunk_stop = in + std::min(room.size(), static_cast<std::size_t>(stop - in));
        char* to = room.data();
        unsigned blank_before_bit = blank_before;
        bool stopped = false;
        while (in != chunk_stop && !stopped) {
            // Sixteen bytes at a time, word by word and gap by gap, up to the first byte that needs a look of its
            // own. A run is copied sixteen bytes at once and only its own bytes count; the room left always holds
            // the bytes still to read, and this is done only with thirty-two of them or more.
            if (chunk_stop - in >= 32) {
                const BlockBits block = classify_block(in);
                // Most running text is words and single blanks, copied as it is.
                if ((block.word | block.space) == 0xFFFFu &&
                    (block.space & ((block.space << 1) | blank_before_bit)) == 0) {
                    std::memcpy(to, in, 16);
                    in += 16;
                    to += 16;
                    blank_before_bit = block.space >> 15;
                    continue;
                }
                const auto end = static_cast<unsigned>(std::countr_zero(block.other | 0x10000u));
                for (unsigned at = 0; at < end;) {
                    const auto words = static_cast<unsigned>(std::countr_one(block.word >> at));
                    std::memcpy(to, in + at, 16);
                    to += words;
                    at += words;
                    blank_before_bit &= words == 0;
                    const auto gap = static_cast<unsigned>(std::countr_one(block.gap >> at));
                    const bool blank = static_cast<unsigned>(std::countr_zero(block.blank >> at)) < gap;
                    *to = ' ';
                    to += blank & !blank_before_bit;
                    blank_before_bit |= blank;
                    at += gap;
                }
                in += end;
                if (end == 16) continue;
            }
            // One byte that needs a look of its own, or near the end the bytes one by one.
            const std::ptrdiff_t one_by_one = chunk_stop - in >= 32 ? 1 : std::min<std::ptrdiff_t>(16, chunk_stop - in);
            for (const char* const slow_stop = in + one_by_one; in != slow_stop; ++in) {
                const auto c = static_cast<unsigned char>(*in);
                unsigned step = kTextStep[c];
                if (step & kStop) {
                    // A lone pattern character followed by text makes no row: nothing is held, and what follows is
                    // written right after it. That covers most full stops and hyphens.
                    if (kKindOf[c] != ByteKind::Pattern || in + 1 == stop ||
                        kKindOf[static_cast<unsigned char>(in[1])] > ByteKind::Blank) {
                        stopped = true;
                        break;
                    }
                    step = kIsText;
                }
                // Without branches: words, blanks and dropped bytes alternate too irregularly for branches to be
                // guessed.
                const unsigned text = step & kIsText;
                const unsigned blank = (step & kIsBlank) >> 1;
                *to = (step & kIsBlank) ? ' ' : static_cast<char>(c);
                to += text | (blank & ~blank_before_bit);
                blank_before_bit = blank | (blank_before_bit & ~text & 1u);
            }
        }
        blank_before = blank_before_bit != 0;
        out.raw_end(to);
        if (in != chunk_stop || in == stop) break;
    }
    last_blank = blank_before;
    return static_cast<std::size_t>(in - html.data());
}

// The character of well-formed UTF-8 at the start of `text`, and its length; a length of 0 when the bytes there are
// malformed: a stray continuation byte, a sequence cut short, an overlong form, a surrogate or a value beyond Unicode.
struct Utf8Character {
    char32_t c = 0;
    std::size_t length = 0;
};

inline Utf8Character decode_utf8(std::string_view text) {
    if (text.empty()) return {};
    const auto lead = static_cast<unsigned char>(text[0]);
    if (lead < 0x80) return {lead, 1};
    std::size_t length = 0;
    char32_t c = 0;
    char32_t least = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, c = lead & 0x1Fu, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, c = lead & 0x0Fu, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, c = lead & 0x07u, least = 0x10000;
    } else {
        return {};
    }
    if (text.size() < length) return {};
    for (std::size_t k = 1; k < length; ++k) {
        const auto b = static_cast<unsigned char>(text[k]);
        if ((b & 0xC0) != 0x80) return {};
        c = (c << 6) | (b & 0x3Fu);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {};
    return {c, length};
}

std::string encode_utf8(char32_t c) {
    std::string out;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
    return out;
}

// The plain ASCII the voice reads well for a typographic character: quotes, apostrophes, dashes and the ellipsis; a
// blank for the spaces of every width. Empty for any other character.
std::string_view ascii_counterpart(char32_t c) {
    switch (c) {
        case 0x2018: case 0x2019: case 0x201A: case 0x201B: case 0x2032:
            return "'";
        case 0x201C: case 0x201D: case 0x201E: case 0x201F: case 0x2033:
            return "\"";
        case 0x2010: case 0x2011: case 0x2012: case 0x2013: case 0x2014: case 0x2015: case 0x2212:
            return "-";
        case 0x2026:
            return "...";
        case 0x00A0: case 0x1680: case 0x202F: case 0x205F: case 0x3000:
            return " ";
        default:
            return c >= 0x2000 && c <= 0x200A ? " " : std::string_view{};
    }
}

// Whether a character above ASCII is kept: for the characters of the Basic Multilingual Plane, where nearly all text
// is, a bit table made once from the ranges, so that a text in another script costs little more than English.
// `copied` leaves out the typographic characters, which are kept only as their ASCII counterparts.
struct BasicPlane {
    std::array<std::uint64_t, 0x10000 / 64> kept{};
    std::array<std::uint64_t, 0x10000 / 64> copied{};

    static bool test(const std::array<std::uint64_t, 0x10000 / 64>& bits, char32_t c) {
        return (bits[c / 64] >> (c % 64)) & 1;
    }
};

// Made on first use, not at start-up: most runs of the command read no HTML.
const BasicPlane& basic_plane() {
    static const BasicPlane plane = [] {
        BasicPlane made;
        for (char32_t k = 0x80; k < 0x10000; ++k) {
            if (!is_kept_character(k)) continue;
            made.kept[k / 64] |= std::uint64_t{1} << (k % 64);
            if (ascii_counterpart(k).empty()) made.copied[k / 64] |= std::uint64_t{1} << (k % 64);
        }
        return made;
    }();
    return plane;
}

bool is_kept(char32_t c) {
    return c < 0x10000 ? BasicPlane::test(basic_plane().kept, c) : is_kept_character(c);
}

// Whether a character above ASCII is written as its own bytes.
bool is_copied(const BasicPlane& plane, char32_t c) {
    return c < 0x10000 ? BasicPlane::test(plane.copied, c) : is_kept_character(c);
}

// Writes one character of the text, given as its code point and its UTF-8 bytes, as the scan treats text: printable
// ASCII, and letters, marks, digits and punctuation of every script, are written; typographic characters become
// their ASCII counterparts; blanks collapse; control characters and other symbols are dropped.
void put_character(char32_t c, std::string_view utf8, DecorationFilter& out, bool& last_blank) {
    const auto put_blank = [&] {
        if (!last_blank) out.put_plain(' ');
        last_blank = true;
    };
    if (c < 0x80) {
        switch (kKindOf[c]) {
            case ByteKind::Blank:
                put_blank();
                return;
            case ByteKind::Dropped:
                return;
            default:
                out.put(static_cast<char>(c));
                last_blank = false;
                return;
        }
    }
    if (const std::string_view ascii = ascii_counterpart(c); !ascii.empty()) {
        if (ascii == " ") {
            put_blank();
        } else {
            out.put(ascii);
            last_blank = false;
        }
        return;
    }
    if (!is_kept(c)) return;
    out.put_plain(utf8);
    last_blank = false;
}

// Writes the run of characters above ASCII that begins at `pos` and returns the position after it. Text in another
// script is mostly such runs, so the characters written as they are go straight to the filter's buffer. The others
// go through the filter: typographic characters, whose counterparts may be pattern characters, and dropped ones,
// which like dropped bytes must not make the filter give on a row it is holding. A malformed byte is dropped alone.
[[gnu::noinline]] std::size_t copy_non_ascii(std::string_view html, std::size_t pos, DecorationFilter& out,
                                             bool& last_blank) {
    // A character is four bytes at most, and writes no more bytes than it has.
    constexpr std::size_t kLongest = 4;
    const BasicPlane& plane = basic_plane();
    const char* in = html.data() + pos;
    const char* const stop = html.data() + html.size();
    const auto above_ascii = [&] { return in != stop && static_cast<unsigned char>(*in) >= 0x80; };
    const auto decode = [&] { return decode_utf8({in, std::min(kLongest, static_cast<std::size_t>(stop - in))}); };
    while (above_ascii()) {
        Utf8Character character = decode();
        if (character.length == 0) {
            ++in;
            continue;
        }
        if (!is_copied(plane, character.c)) {
            put_character(character.c, {in, character.length}, out, last_blank);
            in += character.length;
            continue;
        }
        const auto left = static_cast<std::size_t>(stop - in);
        const std::span<char> room = out.raw_space(std::min<std::size_t>(left, 4096) + kLongest);
        const char* const chunk_stop = in + std::min(room.size() - kLongest, left);
        char* to = room.data();
        for (; in < chunk_stop && above_ascii(); in += std::max<std::size_t>(character.length, 1)) {
            character = decode();
            if (character.length == 0) continue;
            if (is_copied(plane, character.c)) {
                // Four bytes at once where there are four to read; the room allows for them.
                if (stop - in >= 4) {
                    std::memcpy(to, in, kLongest);
                } else {
                    std::memcpy(to, in, character.length);
                }
                to += character.length;
                last_blank = false;
            } else if (!ascii_counterpart(character.c).empty()) {
                break;
            }
        }
        out.raw_end(to);
    }
    return static_cast<std::size_t>(in - html.data());
}

// The character a numeric reference ("#233", "#xE9") stands for, or 0 when it is malformed or stands for none.
char32_t numeric_reference(std::string_view digits) {
    unsigned base = 10;
    if (!digits.empty() && (digits[0] == 'x' || digits[0] == 'X')) {
        base = 16;
        digits.remove_prefix(1);
    }
    if (digits.empty()) return 0;
    std::uint32_t value = 0;
    for (const char d : digits) {
        unsigned v = 0;
        if (d >= '0' && d <= '9') {
            v = static_cast<unsigned>(d - '0');
        } else if (base == 16 && lower_ascii(d) >= 'a' && lower_ascii(d) <= 'f') {
            v = static_cast<unsigned>(lower_ascii(d) - 'a' + 10);
        } else {
            return 0;
        }
        value = value * base + v;
        if (value > 0x10FFFF) return 0;
    }
    if (value >= 0xD800 && value <= 0xDFFF) return 0;
    return value;
}

// Whether a reference to `c` is decoded. Markup characters and other ASCII symbols ("&lt;", "&verbar;") stay
// dropped, as all symbols are: only letters, digits, punctuation and blanks are worth hearing.
bool is_kept_reference(char32_t c) {
    if (c >= 0x80) return true;
    const auto ascii = static_cast<char>(c);
    return (ascii >= '0' && ascii <= '9') || (lower_ascii(ascii) >= 'a' && lower_ascii(ascii) <= 'z') || ascii == ' ' ||
           ascii == '\r' || ascii == '\n' || std::string_view("!\"#%&'()*,-./:;?@[\\]_{}").find(ascii) != std::string_view::npos;
}

// Writes what the reference `name` (between "&" and ";") stands for; an unknown or malformed one writes nothing.
void put_reference(std::string_view name, DecorationFilter& out, bool& last_blank) {
    if (name.starts_with('#')) {
        const char32_t c = numeric_reference(name.substr(1));
        if (c != 0 && is_kept_reference(c)) put_character(c, encode_utf8(c), out, last_blank);
        return;
    }
    for (std::string_view value = named_reference(name); !value.empty();) {
        const Utf8Character character = decode_utf8(value);
        if (character.length == 0 || !is_kept_reference(character.c)) return;
        put_character(character.c, value.substr(0, character.length), out, last_blank);
        value.remove_prefix(character.length);
    }
}

// The scan of HtmlToText, writing the text to `out`, which the caller finishes.
void html_to_text(std::string_view html, DecorationFilter& out) {
    std::size_t begin = find_tag_nocase(html, 0, "<body");
    // Text between "<body" and its ">" belongs to the tag, so the scan starts inside it.
    bool in_tag = begin != std::string_view::npos;
    if (!in_tag) begin = 0;

    bool in_script = false;
    bool in_select = false;
    bool in_style = false;
    // Only text characters count here; line breaks and entity blanks from markup do not, so blanks around them are
    // not merged. It starts as a non-blank so that a leading blank is kept.
    bool last_blank = false;

    // The scan ends at the first "</body" after the body's start, wherever it is, even inside a tag or a script.
    const std::size_t end = html.size();
    bool body_ended = false;
    NextOf next_open{html, '<'};
    for (std::size_t i = begin; i < end && !body_ended; ++i) {
        // Inside markup only "<" and ">" can change anything, and inside an element only "<".
        if (in_tag) {
            i = find_angle(html, i);
            if (i == end) break;
        } else if (in_script || in_select || in_style) {
            i = next_open.at_or_after(i);
            if (i == end) break;
        } else if (kKindOf[static_cast<unsigned char>(html[i])] <= ByteKind::Dropped) {
            // Tags often follow each other directly; the call is only worth making for text.
            i = copy_text(html, i, out, last_blank);
            if (i == end) break;
        }
        const char o = html[i];
        if (kKindOf[static_cast<unsigned char>(o)] == ByteKind::NonAscii) {
            i = copy_non_ascii(html, i, out, last_blank) - 1;
        } else if (kKindOf[static_cast<unsigned char>(o)] == ByteKind::Pattern) {
            out.put(o);
            last_blank = false;
        } else if (o == '>') {
            in_tag = false;
        } else if (o == '<') {
            switch (tag_effect(html, i)) {
                case TagEffect::None:
                    break;
                case TagEffect::ScriptStart:
                    in_script = true;
                    break;
                case TagEffect::SelectStart:
                    in_select = true;
                    break;
                case TagEffect::StyleStart:
                    in_style = true;
                    break;
                case TagEffect::ScriptEnd:
                    in_script = false;
                    break;
                case TagEffect::SelectEnd:
                    in_select = false;
                    break;
                case TagEffect::StyleEnd:
                    in_style = false;
                    break;
                case TagEffect::Break:
                    out.put_plain("\r\n");
                    break;
                case TagEffect::Paragraph:
                    out.put_plain("\r\n\r\n");
                    break;
                case TagEffect::BodyEnd:
                    body_ended = true;
                    break;
            }
            in_tag = true;
        } else if (const std::size_t length = entity_length(html, i, end)) {
            // Through the filter: the full stop of "&#x2e;" may complete a row of dots.
            if (const std::string_view replacement = entity_replacement(html, i); !replacement.empty()) {
                out.put(replacement);
            } else {
                put_reference(html.substr(i + 1, length - 2), out, last_blank);
            }
            i += length - 1;
        } else {
            out.put_plain('&');
            last_blank = false;
        }
    }
}

}  // namespace

std::string HtmlToText(std::string_view html) {
    // Most of a mail's HTML is markup, and its text about a quarter: two fifths leave room enough for most mail, text
    // in scripts of two or three bytes a character included, without growing, which would copy the text and touch
    // twice the memory. The buffer grows when the guess is short.
    DecorationFilter out{html.size() / 5 * 2};
    html_to_text(html, out);
    return out.finish("\r\n");
}

void HtmlToText(std::string_view html, const TextSink& sink) {
    DecorationFilter out{sink};
    html_to_text(html, out);
    out.finish("\r\n");
}

}  // namespace reading
