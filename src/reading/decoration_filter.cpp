#include "reading/text_cleaning.hpp"

#include "reading/decoration_filter.hpp"

namespace reading {
namespace {

using cleaning::DecorationFilter;
using cleaning::kPatterns;
using cleaning::Pattern;

// The bytes plain text runs stop at: pattern characters, and "|", which becomes a blank.
constexpr std::array<bool, 256> kFilterByte = [] {
    std::array<bool, 256> table{};
    for (const Pattern& p : kPatterns) table[static_cast<unsigned char>(p.ch)] = true;
    table['|'] = true;
    return table;
}();

void drop_decoration(std::string_view text, DecorationFilter& out) {
    std::size_t i = 0;
    while (i < text.size()) {
        std::size_t stop = i;
        const auto plain = [&](std::size_t k) { return !kFilterByte[static_cast<unsigned char>(text[k])]; };
        while (stop < text.size()) {
            if (plain(stop)) {
                ++stop;
            } else if (stop > i && text[stop] != '|' && stop + 1 < text.size() && plain(stop + 1)) {
                // A lone pattern character between plain bytes makes no row, as the full stop of a sentence: the
                // plain byte before it has passed on everything held, and the one after it passes it on.
                stop += 2;
            } else {
                break;
            }
        }
        out.put_plain(text.substr(i, stop - i));
        if (stop == text.size()) break;
        const char c = text[stop];
        i = stop + 1;
        if (c == '|') {
            out.put(' ');
            continue;
        }
        while (i < text.size() && text[i] == c) ++i;
        out.put_run(c, i - stop);
    }
}

}  // namespace

std::string DropDecoration(std::string_view text) {
    DecorationFilter out{text.size()};
    drop_decoration(text, out);
    return out.finish({});
}

void DropDecoration(std::string_view text, const TextSink& sink) {
    DecorationFilter out{sink};
    drop_decoration(text, out);
    out.finish({});
}

}  // namespace reading
