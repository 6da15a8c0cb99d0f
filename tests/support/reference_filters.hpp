#pragma once

// The two text filters written plainly, as they are defined: slow, built of whole-text passes and whole-character
// decisions, with none of the filters' single-pass pipelines and sixteen-byte kernels. Tests and fuzz targets
// compare the real filters with these. The character tables (named references, which characters are kept) are
// shared: they are facts, not logic.

#include <cstddef>
#include <initializer_list>
#include <map>
#include <algorithm>
#include <utility>
#include <string>
#include <string_view>

#include "reading/html_characters.hpp"

namespace reference {

// Every separator pattern removed, one after the other, each over the whole text; then "|" becomes a blank.
inline std::string drop_decoration(std::string text) {
    for (const std::string pattern : {"***", "===", "---", "+++", "___", "~~~", "###", "...."}) {
        std::string out;
        for (std::size_t i = 0; i < text.size();) {
            if (text.compare(i, pattern.size(), pattern) == 0) {
                i += pattern.size();
            } else {
                out += text[i++];
            }
        }
        text = out;
    }
    for (char& c : text)
        if (c == '|') c = ' ';
    return text;
}

// The UTF-8 character at `i`: its code and length, or length 0 when the bytes there are not well-formed UTF-8.
inline std::pair<char32_t, std::size_t> utf8_at(std::string_view s, std::size_t i) {
    const auto b = [&](std::size_t k) { return static_cast<unsigned char>(s[i + k]); };
    const unsigned char lead = b(0);
    std::size_t n = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    if (n == 0 || i + n > s.size()) return {0, 0};
    char32_t c = n == 1 ? lead : lead & (0xFF >> (n + 1));
    for (std::size_t k = 1; k < n; ++k) {
        if ((b(k) & 0xC0) != 0x80) return {0, 0};
        c = (c << 6) | (b(k) & 0x3F);
    }
    const char32_t least[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < least[n] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return {0, 0};
    return {c, n};
}

inline std::string utf8(char32_t c) {
    if (c < 0x80) return std::string(1, static_cast<char>(c));
    std::string out;
    int n = c < 0x800 ? 2 : c < 0x10000 ? 3 : 4;
    out += static_cast<char>((0xF00 >> n) | (c >> (6 * (n - 1))));
    for (int k = n - 2; k >= 0; --k) out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
    return out;
}

// The HTML filter's scan, position by position over a lower-case copy of the body.
class HtmlScan {
public:
    explicit HtmlScan(const std::string& html) : html_(html), low_(html) {
        for (char& c : low_)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
    }

    std::string run() {
        std::size_t start = low_.find("<body");
        bool in_tag = start != std::string::npos, script = false, select = false, style = false;
        if (!in_tag) start = 0;
        const std::size_t end = std::min(low_.find("</body", start), low_.size());
        for (std::size_t i = start; i < end; ++i) {
            const char c = low_[i];
            if (c == '<') {
                if (at(i, {"<script", "<noscript"})) script = true;
                else if (at(i, {"<select"})) select = true;
                else if (at(i, {"<style"})) style = true;
                else if (at(i, {"</script", "</noscript"})) script = false;
                else if (at(i, {"</select"})) select = false;
                else if (at(i, {"</style"})) style = false;
                else if (at(i, {"<br>", "<br />", "</td>", "<dd", "</dd", "<dt", "</dt", "<li", "</li", "</ol", "</ul",
                                "</dl", "</div"}))
                    text_ += "\r\n";
                else if (at(i, {"<p>", "<p "})) text_ += "\r\n\r\n";
                in_tag = true;
            } else if (c == '>') {
                in_tag = false;
            } else if (in_tag || script || select || style) {
                // Markup and the content of scripts, styles and select lists are not text.
            } else if (const std::size_t length = reference_length(i)) {
                if (at(i, {"&nbsp;", "&#160;"})) text_ += " ";
                else if (at(i, {"&amp;", "&#38;"})) text_ += " & ";
                else if (at(i, {"&#x2e;"})) text_ += ". ";
                else decode(html_.substr(i + 1, length - 2));
                i += length - 1;
            } else if (const auto [code, n] = utf8_at(html_, i); n > 0) {
                character(code);
                i += n - 1;
            }
        }
        return drop_decoration(text_) + "\r\n";
    }

private:
    bool at(std::size_t i, std::initializer_list<std::string_view> prefixes) const {
        for (const std::string_view p : prefixes)
            if (low_.compare(i, p.size(), p) == 0) return true;
        return false;
    }

    // "&", one to 32 letters, digits or "#", then ";": the length of the whole, else 0 (the "&" is text).
    std::size_t reference_length(std::size_t i) const {
        if (html_[i] != '&') return 0;
        std::size_t j = i + 1;
        while (j < low_.size() && j - i <= 32 &&
               ((low_[j] >= 'a' && low_[j] <= 'z') || (low_[j] >= '0' && low_[j] <= '9') || low_[j] == '#'))
            ++j;
        return j > i + 1 && j < low_.size() && low_[j] == ';' ? j - i + 1 : 0;
    }

    // A character reference other than the three above: its characters when they are worth hearing.
    void decode(const std::string& name) {
        std::u32string characters;
        if (name[0] == '#') {
            const bool hex = name.size() > 1 && (name[1] == 'x' || name[1] == 'X');
            const std::string digits = name.substr(hex ? 2 : 1);
            unsigned long value = 0;
            for (const char d : digits) {
                const int v = d >= '0' && d <= '9' ? d - '0' : hex && (d | 0x20) >= 'a' && (d | 0x20) <= 'f' ? (d | 0x20) - 'a' + 10 : -1;
                if (v < 0 || value > 0x10FFFF) return;
                value = value * (hex ? 16 : 10) + static_cast<unsigned long>(v);
            }
            if (digits.empty() || value == 0 || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return;
            characters += static_cast<char32_t>(value);
        } else {
            const std::string_view value = reading::named_reference(name);
            for (std::size_t k = 0; k < value.size();) {
                const auto [code, n] = utf8_at(value, k);
                if (n == 0) return;
                characters += code;
                k += n;
            }
        }
        // ASCII symbols, markup characters among them, are dropped; a value stops at the first such character.
        const std::string_view kept_ascii = " \r\n!\"#%&'()*,-./:;?@[\\]_{}";
        for (const char32_t c : characters) {
            const bool alnum = (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
            if (c < 0x80 && !alnum && kept_ascii.find(static_cast<char>(c)) == std::string_view::npos) return;
            character(c);
        }
    }

    // One character of text: blanks collapse, printable ASCII is kept, typographic characters become plain ASCII,
    // letters, marks, digits and punctuation of every script are kept, everything else is dropped.
    void character(char32_t c) {
        static const std::map<char32_t, std::string> kTypographic = [] {
            std::map<char32_t, std::string> table;
            for (const char32_t q : {0x2018, 0x2019, 0x201A, 0x201B, 0x2032}) table[q] = "'";
            for (const char32_t q : {0x201C, 0x201D, 0x201E, 0x201F, 0x2033}) table[q] = "\"";
            for (const char32_t d : {0x2010, 0x2011, 0x2012, 0x2013, 0x2014, 0x2015, 0x2212}) table[d] = "-";
            table[0x2026] = "...";
            for (const char32_t s : {0x00A0, 0x1680, 0x202F, 0x205F, 0x3000}) table[s] = " ";
            for (char32_t s = 0x2000; s <= 0x200A; ++s) table[s] = " ";
            return table;
        }();
        std::string o;
        if (c == '\r' || c == '\n' || c == '|' || c == ' ') {
            o = " ";
        } else if (c >= 32 && c <= 126) {
            o = std::string(1, static_cast<char>(c));
        } else if (const auto it = kTypographic.find(c); it != kTypographic.end()) {
            o = it->second;
        } else if (c >= 0x80 && reading::is_kept_character(c)) {
            o = utf8(c);
        } else {
            return;
        }
        if (o == " " && last_blank_) return;
        text_ += o;
        last_blank_ = o == " ";
    }

    const std::string& html_;
    std::string low_;
    std::string text_;
    bool last_blank_ = false;
};

// The readable text of an HTML body, ended by CR LF.
inline std::string html_to_text(const std::string& html) { return HtmlScan(html).run(); }

}  // namespace reference
