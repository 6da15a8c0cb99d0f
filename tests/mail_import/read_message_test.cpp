#include "cli/read_message.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "mail_import/mail_files.hpp"

namespace {

using mail_files::corpus_messages;
using mail_files::TempDir;
using mail_files::write_file;
using ::testing::HasSubstr;
using ::testing::IsEmpty;

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

TEST(ReadMessage, EveryCorpusMessageIsRead) {
    if (corpus_messages().empty()) GTEST_SKIP() << "the e-mail corpus is not here";
    for (const auto& eml : corpus_messages()) {
        SCOPED_TRACE(eml.filename().string());
        const auto run = read(eml);
        EXPECT_EQ(run.status, 0);
        ASSERT_FALSE(run.out.empty());
        for (const auto& line : run.out) {
            ASSERT_GE(line.size(), 2u);
            EXPECT_EQ(line.front(), '"');
            EXPECT_EQ(line.back(), '"');
        }
    }
}

}  // namespace
