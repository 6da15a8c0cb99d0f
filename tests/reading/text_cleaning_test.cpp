#include "reading/text_cleaning.hpp"

#include <gtest/gtest.h>

#include "support/reference_filters.hpp"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <random>
#include <sstream>
#include <string>
#include <vector>

using reading::DropDecoration;
using reading::HtmlToText;

namespace {

struct Case {
    std::string input;
    std::string expected;
};

void expect_all(std::string (*clean)(std::string_view), const std::vector<Case>& cases) {
    for (const Case& c : cases) EXPECT_EQ(clean(c.input), c.expected) << "input: " << c.input;
}

// Well-formed UTF-8: each lead byte followed by as many continuation bytes as it announces, no overlong forms.
bool is_utf8(const std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead <= 0xDF ? 2 : lead >= 0xE0 && lead <= 0xEF ? 3
                                                  : lead >= 0xF0 && lead <= 0xF4 ? 4 : 0;
        if (length == 0 || i + length > text.size()) return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
        i += length;
    }
    return true;
}

std::vector<std::string> corpus_files(const std::string& folder) {
    const std::filesystem::path dir = std::filesystem::path(DEZAROR_CORPUS_DIR) / folder;
    std::vector<std::string> texts;
    if (!std::filesystem::is_directory(dir)) return texts;
    for (const auto& entry : std::filesystem::directory_iterator(dir)) {
        std::ifstream in(entry.path(), std::ios::binary);
        std::ostringstream text;
        text << in.rdbuf();
        texts.push_back(text.str());
    }
    return texts;
}

}  // namespace

TEST(HtmlToText, ReadsOnlyTheBody) {
    expect_all(HtmlToText, {
                               {"", "\r\n"},
                               {"Hello <b>world</b>", "Hello world\r\n"},
                               {"<html><head><title>Title</title></head><BODY bgcolor=\"x\">Hi</Body>after", "Hi\r\n"},
                               {"<body class=text>in</body>", "in\r\n"},
                               {"</body>before<body>inside</body>", "inside\r\n"},
                           });
}

TEST(HtmlToText, MarkupBreaksLinesAndBlanksCollapse) {
    expect_all(HtmlToText, {
                               {"a<p>b<P class=x>c", "a\r\n\r\nb\r\n\r\nc\r\n"},
                               {"a<br>b<BR />c<br/>d", "a\r\nb\r\ncd\r\n"},
                               {"<li>a</li><div>b</div>", "\r\na\r\nb\r\n\r\n"},
                               {"<table><tr><td>a</td><td>b</td></tr></table>", "a\r\nb\r\n\r\n"},
                               {"a\r\nb \n\n c   d", "a b c d\r\n"},
                               {"a <br> b", "a \r\nb\r\n"},  // Markup leaves the last text character alone.
                               {"a|b | c", "a b c\r\n"},
                               {"caf\xc3\xa9\tnoir\x7f", "caf\xc3\xa9noir\r\n"},
                           });
}

TEST(HtmlToText, DropsScriptStyleAndSelectContent) {
    expect_all(HtmlToText,
               {
                   {"a<script>if (x > 1) y = '<b>';</script>b", "ab\r\n"},
                   {"a<STYLE>p > em { color: red }</style>b", "ab\r\n"},
                   {"a<noscript>Enable scripts</noscript>b<select><option>One</option></select>c", "abc\r\n"},
               });
}

TEST(HtmlToText, ReplacesKnownEntitiesAndDropsOthers) {
    expect_all(HtmlToText, {
                               {"a &amp; b", "a  & b\r\n"},
                               {"a&nbsp;b&#160;c&#38;d", "a b c & d\r\n"},
                               {"End&#X2E;Next &AMP;", "End. Next  & \r\n"},
                               {"&lt;tag&gt; &eacute;t&#xE9;", "tag \xc3\xa9t\xc3\xa9\r\n"},
                               {"Caf&eacute; it\xe2\x80\x99s", "Caf\xc3\xa9 it's\r\n"},
                               {"&bogus;text&#x110000;&#xD800;&#65;&Eacute;&EACUTE;", "textA\xc3\x89\r\n"},
                               {"...&#x2e;", " \r\n"},  // The entity's full stop completes a row of dots.
                           });
}

// An "&" that begins no well-formed entity is text; it must not hide the rest of the mail.
TEST(HtmlToText, StrayAmpersandIsText) {
    expect_all(HtmlToText, {
                               {"AT&T rocks. Call me", "AT&T rocks. Call me\r\n"},
                               {"Q&A; more", "Q more\r\n"},
                               {"a & b; x&", "a & b; x&\r\n"},
                               {"&;&CounterClockwiseContourIntegralXY;&abcdefghij;", "&;&CounterClockwiseContourIntegralXY;\r\n"},
                               {"R&<b>D</b>; x", "R&D; x\r\n"},
                           });
}

TEST(HtmlToText, RemovesDecoration) {
    expect_all(HtmlToText,
               {{"a=====b ......", "a==b ..\r\n"}, {"<p>*********", "\r\n\r\n\r\n"}, {"a..\x01..b", "ab\r\n"}});
}

// Every script reaches the voice; typographic characters become what the voice reads well; symbols, control
// characters and malformed bytes are dropped.
TEST(HtmlToText, KeepsTheCharactersOfEveryScript) {
    expect_all(HtmlToText,
               {
                   {"Caf&eacute; <b>\xce\x9a\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1</b> "
                    "\xd0\xbf\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 \xe6\x97\xa5\xe6\x9c\xac",
                    "Caf\xc3\xa9 \xce\x9a\xce\xb1\xce\xbb\xce\xb7\xce\xbc\xce\xad\xcf\x81\xce\xb1 "
                    "\xd0\xbf\xd1\x80\xd0\xb8\xd0\xb2\xd0\xb5\xd1\x82 \xe6\x97\xa5\xe6\x9c\xac\r\n"},
                   {"\xe2\x80\x9cHi\xe2\x80\x9d \xe2\x80\x93 wait\xe2\x80\xa6&rsquo;", "\"Hi\" - wait...'\r\n"},
                   {"a\xc2\xa0 \xe2\x80\x83" "b&hellip;.c", "a bc\r\n"},  // The ellipsis makes a row of dots.
                   {"x\xe2\x82\xac\xe2\x98\x83\xef\xbf\xbd\xc3y\xed\xa0\x80\xc0\xafz\xf0\x9f", "xyz\r\n"},
               });
}

TEST(DropDecoration, RemovesRunsPatternByPattern) {
    expect_all(DropDecoration, {
                                   {"", ""},
                                   {"Dear Ann, all is well... or is it?", "Dear Ann, all is well... or is it?"},
                                   {"****|=====|......", "* == .."},
                                   {"a---b+++c___d~~~e###f....g", "abcdefg"},
                                   {"**===*", "***"},  // The stars were looked at before the equal signs went.
                                   {"--===-x", "x"},   // The dashes come later, so they are caught once joined.
                                   {"-*-*-\r\n", "-*-*-\r\n"},
                               });
}

TEST(DropDecoration, MatchesRemovalPassByPass) {
    std::mt19937 random(7);
    const std::string alphabet = "*=-+_~#.| a";
    for (int round = 0; round < 2000; ++round) {
        std::string text(random() % 40, ' ');
        for (char& c : text) c = alphabet[random() % alphabet.size()];
        ASSERT_EQ(DropDecoration(text), reference::drop_decoration(text)) << "input: " << text;
    }
}

TEST(HtmlToText, MatchesTheScanPositionByPosition) {
    const std::vector<std::string> pieces = {
        "<body>", "</body>", "<BODY x>", "<p>", "<P class=a>", "<br>", "<br />", "<li>", "</LI>", "<script>",
        "</script>", "<style>", "</style>", "<select>", "</select>", "<noscript>", "</td>", "<div>", "</div>", "<b>",
        ">", "<", "&amp;", "&nbsp;", "&#X2E;", "&lt;", "&", ";", "AT&T", "a", "Word", " ", "  ", "\r\n", "\n", "|",
        "\t", "\xc3\xa9", "&eacute;", "\xe2\x80\x99", "\xc2\xa0", ".", "..", "-", "--", "=", "*", "#", "....",
        "&#233;", "&#X2026;", "&hellip;", "&Eacute;", "&#10;", "&lt;", "\xe2\x80\x94", "\xe2\x82\xac", "\xff", "\xce",
        // The end of the body inside a tag; words and blanks longer than the blocks the scan copies at once.
        "<a title=\"</BODY>\">", "Running text of words, as most mail is ", "\r\n        \r\n        "};
    std::mt19937 random(11);
    for (int round = 0; round < 3000; ++round) {
        std::string html;
        // Some long texts, so that the result outgrows its first buffer.
        const std::size_t count = round % 100 == 0 ? 5000 : random() % 30;
        for (std::size_t k = 0; k < count; ++k) html += pieces[random() % pieces.size()];
        ASSERT_EQ(HtmlToText(html), reference::html_to_text(html)) << "input: " << html;
    }
}

TEST(CorpusCleaning, HtmlBodiesGiveSpeakableText) {
    const auto bodies = corpus_files("html");
    if (bodies.empty()) GTEST_SKIP() << "no corpus at " << DEZAROR_CORPUS_DIR;
    const std::string planted = "<script>var secretXyz = 1 > 0;</script><style>p > .secretStyle {}</style>";
    for (std::string html : bodies) {
        std::size_t body = html.find("<body");
        body = body == std::string::npos ? 0 : html.find('>', body) + 1;
        // The later place first, so the earlier one stays where it was found.
        for (const std::size_t at : {std::max(body, html.size() / 2), std::min(body, html.size() / 2)})
            html.insert(at, planted);
        const std::string text = HtmlToText(html);
        ASSERT_TRUE(text.ends_with("\r\n"));
        EXPECT_EQ(text.find_first_of("<>|"), std::string::npos) << text;
        EXPECT_TRUE(is_utf8(text)) << text;
        EXPECT_EQ(text.find("\xef\xbf\xbd"), std::string::npos);
        EXPECT_FALSE(std::any_of(text.begin(), text.end(), [](char c) { return c != '\r' && c != '\n' && c >= 0 && c < 32; }));
        EXPECT_EQ(text.find("secretXyz"), std::string::npos) << text;
        EXPECT_EQ(text.find("secretStyle"), std::string::npos) << text;
        EXPECT_EQ(text, reference::html_to_text(html));
    }
}

TEST(CorpusCleaning, PlainBodiesLoseOnlyDecoration) {
    const auto bodies = corpus_files("plain");
    if (bodies.empty()) GTEST_SKIP() << "no corpus at " << DEZAROR_CORPUS_DIR;
    for (const std::string& text : bodies) {
        const std::string cleaned = DropDecoration(text);
        EXPECT_EQ(cleaned.find('|'), std::string::npos);
        EXPECT_EQ(cleaned, reference::drop_decoration(text));
    }
}
