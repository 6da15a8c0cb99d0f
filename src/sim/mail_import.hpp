#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "sim/mailbox.hpp"

// Real mail as a simulated store: a Maildir, an mbox file or one message file becomes the Inbox of
// an otherwise empty mailbox, each message a mail item with the properties the add-in reads.
namespace sim {

struct MailImport {
    Mailbox mailbox;
    // One line per message that was skipped, "FILE: what is wrong" (for an mbox, "FILE: message N:
    // ..."). The caller decides whether and where to show them.
    std::vector<std::string> problems;
};

// Each throws UsageError naming the path when it does not exist or cannot be read; a message that
// cannot be parsed is left out and listed in `problems`, and the rest loads.
//
// EntryIDs: a Maildir message's unique name (its file name without the ":2,FLAGS" info), "mbox-N"
// for the Nth message of an mbox (counting skipped ones, so ids do not shift), the file stem of a
// single message. UnRead is false only for a Maildir message flagged seen ("S").
MailImport load_maildir(const std::filesystem::path& path);
MailImport load_mbox(const std::filesystem::path& path);
MailImport load_eml(const std::filesystem::path& path);

// Chooses by what the path is: a folder with cur/ and new/ is a Maildir, a file starting with
// "From " an mbox, any other file one message.
MailImport load_mail_store(const std::filesystem::path& path);

// Line ends as the mail client presents bodies: CR LF, whether the text had bare LF or lone CR.
std::string crlf_line_ends(std::string_view text);

}  // namespace sim
