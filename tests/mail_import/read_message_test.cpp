#include "cli/read_message.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <locale.h>
#include <wctype.h>

#include <algorithm>
#include <cctype>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "mail_import/mail_files.hpp"

namespace {

using mail_files::corpus_messages;
using mail_files::TempDir;
using mail_files::write_file;
using ::testing::AnyOf;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

struct Run {
    int status;
    std::vector<std::string> out;
    std::string err;
};

Run read(const std::filesystem::path& eml) {
    std::ostringstream out;
    std::ostringstream err;
    const int status = cli::read_message(eml, out, err);
    return {status, lines_of(out.str()), err.str()};
}

TEST(ReadMessage, AnnouncementThenBodyOnePieceALine) {
    TempDir dir;
    write_file(dir.path() / "lunch.eml",
               "From: Bob Smith <bob@example.org>\n"
               "Subject: Lunch\n"
               "\n"
               "See you at noon. Bring \"the\" map.\n");
    const auto run = read(dir.path() / "lunch.eml");
    EXPECT_EQ(run.status, 0);
    EXPECT_THAT(run.err, IsEmpty());
    ASSERT_GE(run.out.size(), 3u);
    EXPECT_THAT(run.out.front(), HasSubstr("Bob Smith"));
    EXPECT_THAT(run.out.back(), HasSubstr(R"(Bring \"the\" map.)"));
}

TEST(ReadMessage, UnusableFileIsReportedByName) {
    TempDir dir;
    const auto missing = dir.path() / "missing.eml";
    auto run = read(missing);
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.err, HasSubstr("! " + missing.string() + ": "));
    EXPECT_THAT(run.out, IsEmpty());

    write_file(dir.path() / "junk.eml", "no headers here\n");
    run = read(dir.path() / "junk.eml");
    EXPECT_EQ(run.status, 2);
    EXPECT_THAT(run.err, HasSubstr("junk.eml"));
}

// The code points of UTF-8 text; false when it is not well-formed UTF-8.
bool decode_utf8(std::string_view text, std::vector<char32_t>& points) {
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead >= 0xC2 && lead < 0xE0 ? 2 : lead >= 0xE0 && lead < 0xF0 ? 3
                                                 : lead >= 0xF0 && lead < 0xF5                      ? 4
                                                                                                    : 0;
        if (length == 0 || i + length > text.size()) return false;
        char32_t c = length == 1 ? lead : lead & (0x7F >> length);
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xC0) != 0x80) return false;
            c = c << 6 | (next & 0x3F);
        }
        constexpr char32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
        if (c < kLeast[length] || c > 0x10FFFF || (c >= 0xD800 && c < 0xE000)) return false;
        points.push_back(c);
        i += length;
    }
    return true;
}

// How many letters above ASCII there are, as the C library's UTF-8 locale classifies letters.
std::size_t letters_above_ascii(const std::vector<char32_t>& points) {
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    return std::count_if(points.begin(), points.end(),
                         [](char32_t c) { return c > 0x7F && iswalpha_l(static_cast<wint_t>(c), utf8); });
}

// The text a reader sees of an HTML document: outside tags, comments, scripts and styles.
std::string visible_text(std::string_view html) {
    std::string lower(html);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    std::string text;
    for (std::size_t i = 0; i < html.size();) {
        if (html[i] != '<') {
            text += html[i++];
            continue;
        }
        const std::string_view rest = std::string_view(lower).substr(i);
        std::size_t end = rest.starts_with("<!--")     ? rest.find("-->")
                          : rest.starts_with("<script") ? rest.find("</script")
                          : rest.starts_with("<style")  ? rest.find("</style")
                                                        : 0;
        if (end != std::string_view::npos) end = rest.find('>', end);
        if (end == std::string_view::npos) break;
        i += end + 1;
    }
    return text;
}

std::string corpus_file(const std::filesystem::path& eml, const char* folder, const char* extension) {
    std::ifstream in(eml.parent_path().parent_path() / folder / (eml.stem().string() + extension), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

// Every corpus message is read to its end as well-formed UTF-8 in every script, with no replacement characters
// or ISO-2022 escapes left; the letters of its HTML body are heard; a plain body of several lines is cut into
// several pieces.
TEST(ReadMessage, EveryCorpusMessageIsRead) {
    if (corpus_messages().empty()) GTEST_SKIP() << "the e-mail corpus is not here";
    std::size_t html_letters = 0;
    std::size_t heard_letters = 0;
    for (const auto& eml : corpus_messages()) {
        SCOPED_TRACE(eml.filename().string());
        const auto run = read(eml);
        EXPECT_EQ(run.status, 0);
        ASSERT_FALSE(run.out.empty());
        std::vector<char32_t> spoken;
        for (const auto& line : run.out) {
            ASSERT_GE(line.size(), 2u);
            EXPECT_EQ(line.front(), '"');
            EXPECT_EQ(line.back(), '"');
            EXPECT_TRUE(decode_utf8(line, spoken)) << line;
            EXPECT_THAT(line, Not(AnyOf(HasSubstr("\xEF\xBF\xBD"), HasSubstr("\x1B$"), HasSubstr("\x1B("))));
        }
        const auto html = corpus_file(eml, "html", ".html");
        std::vector<char32_t> written;
        if (!html.empty() && decode_utf8(visible_text(html), written)) {
            // By count, not letter by letter: some of the corpus's decoded bodies took the wrong character set.
            const auto letters = letters_above_ascii(written);
            html_letters += letters;
            heard_letters += std::min(letters, letters_above_ascii(spoken));
        }
        const auto plain = corpus_file(eml, "plain", ".txt");
        // Three lines of announcement, then the body: more than one piece of it when it has lines to cut at.
        const bool body_read = run.out.back() != R"("What type of message is this?")";
        if (html.empty() && body_read && std::count(plain.begin(), plain.end(), '\n') > 5) {
            EXPECT_GT(run.out.size(), 4u);
        }
    }
    EXPECT_GE(heard_letters * 100, html_letters * 95) << heard_letters << " of " << html_letters << " letters heard";
}

}  // namespace
