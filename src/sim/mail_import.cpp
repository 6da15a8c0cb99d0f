#include "sim/mail_import.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <gmime/gmime.h>
#include <uchardet.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "sim/edge.hpp"

namespace sim {

namespace fs = std::filesystem;

namespace {

struct GObjectUnref {
    void operator()(void* object) const {
        if (object) g_object_unref(object);
    }
};
template <class T>
using GPtr = std::unique_ptr<T, GObjectUnref>;

struct GDateTimeUnref {
    void operator()(GDateTime* date) const {
        if (date) g_date_time_unref(date);
    }
};
using GDateTimePtr = std::unique_ptr<GDateTime, GDateTimeUnref>;

void init_gmime() {
    [[maybe_unused]] static const bool initialised = [] {
        g_mime_init();
        return true;
    }();
}

// What stands for bytes that are no text: a blank, so the words around them stay apart and the
// voice has nothing to say of them (U+FFFD would be read out as a symbol, or spelled).
constexpr std::string_view kReplacement = " ";

std::string display(const fs::path& path) { return path.string(); }

UsageError unusable(const fs::path& path, std::string_view problem) {
    return UsageError(display(path) + ": " + std::string(problem));
}

// Invalid sequences become a blank. NUL bytes are kept: they are real in mail bodies, and GLib's
// validator stops at them, so they are stepped over here.
std::string valid_utf8(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    while (!text.empty()) {
        const char* end = nullptr;
        if (g_utf8_validate_len(text.data(), text.size(), &end)) {
            out += text;
            break;
        }
        const auto good = static_cast<std::size_t>(end - text.data());
        out += text.substr(0, good);
        out += text[good] == '\0' ? std::string_view("\0", 1) : kReplacement;
        text.remove_prefix(good + 1);
    }
    return out;
}

bool is_valid_utf8(std::string_view text) {
    for (;;) {
        const char* end = nullptr;
        if (g_utf8_validate_len(text.data(), text.size(), &end)) return true;
        const auto good = static_cast<std::size_t>(end - text.data());
        if (text[good] != '\0') return false;
        text.remove_prefix(good + 1);
    }
}

struct Converted {
    std::string text;
    bool replaced = false;  // some bytes were not text in that charset
};

// Converts with GMime's charset names and aliases. A byte the charset does not define, or a sequence
// cut short, becomes a blank rather than vanishing. Nullopt when the charset is unknown.
std::optional<Converted> convert_to_utf8(std::string_view bytes, const char* charset) {
    iconv_t cd = g_mime_iconv_open("UTF-8", charset);
    if (cd == reinterpret_cast<iconv_t>(-1)) return std::nullopt;
    Converted out;
    out.text.reserve(bytes.size() + bytes.size() / 2);
    char* in = const_cast<char*>(bytes.data());  // iconv's signature is not const-correct
    std::size_t in_left = bytes.size();
    char buffer[4096];
    while (in_left > 0) {
        char* o = buffer;
        std::size_t o_left = sizeof buffer;
        const auto result = iconv(cd, &in, &in_left, &o, &o_left);
        out.text.append(buffer, static_cast<std::size_t>(o - buffer));
        if (result != static_cast<std::size_t>(-1) || errno == E2BIG) continue;
        out.text += kReplacement;
        out.replaced = true;
        ++in;
        --in_left;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    char* o = buffer;
    std::size_t o_left = sizeof buffer;
    iconv(cd, nullptr, nullptr, &o, &o_left);  // the closing shift sequence of stateful charsets
    out.text.append(buffer, static_cast<std::size_t>(o - buffer));
    g_mime_iconv_close(cd);
    out.text = valid_utf8(out.text);
    return out;
}

// Some mailers write charset names with underscores ("koi8_r"), which iconv does not know.
std::optional<Converted> convert_named(std::string_view bytes, const char* charset) {
    if (auto converted = convert_to_utf8(bytes, charset)) return converted;
    std::string dashed(charset);
    std::replace(dashed.begin(), dashed.end(), '_', '-');
    return convert_to_utf8(bytes, dashed.c_str());
}

bool names_ascii(const char* charset) {
    const char* canonical = g_mime_charset_canon_name(charset);
    return canonical && (g_ascii_strcasecmp(canonical, "us-ascii") == 0 || g_ascii_strcasecmp(canonical, "ascii") == 0);
}

// The escape sequences that switch a 7-bit ISO-2022 text (Japanese, Korean, Chinese mail) to its
// character sets: ESC "$" and ESC "(".
bool has_iso2022_escapes(std::string_view bytes) {
    for (auto at = bytes.find('\x1b'); at != std::string_view::npos; at = bytes.find('\x1b', at + 1))
        if (at + 1 < bytes.size() && (bytes[at + 1] == '$' || bytes[at + 1] == '(')) return true;
    return false;
}

struct UchardetFree {
    void operator()(uchardet_t detector) const { uchardet_delete(detector); }
};

// The charset uchardet takes `bytes` to be in, converted, or nullopt when it cannot tell or the
// bytes are not text in that charset.
std::optional<std::string> detected_text(std::string_view bytes) {
    std::unique_ptr<std::remove_pointer_t<uchardet_t>, UchardetFree> detector{uchardet_new()};
    if (!detector || uchardet_handle_data(detector.get(), bytes.data(), bytes.size()) != 0) return std::nullopt;
    uchardet_data_end(detector.get());
    const char* charset = uchardet_get_charset(detector.get());
    if (!charset || !*charset || names_ascii(charset)) return std::nullopt;
    auto converted = convert_named(bytes, charset);
    if (!converted || converted->replaced) return std::nullopt;
    return std::move(converted->text);
}

// Mail often says nothing of its charset, says "us-ascii" over 8-bit text, names one nobody knows,
// or names one its text is not in, which is then most often UTF-8. Text not in its named charset
// and not UTF-8 either keeps the named charset's reading with the bad bytes replaced. Text without
// a usable name is UTF-8 when it is valid UTF-8 (and no ISO-2022 text), else in the charset
// uchardet detects, else windows-1252 (which reads any ISO 8859-1).
std::string text_to_utf8(std::string_view bytes, const char* charset) {
    if (charset && *charset && !names_ascii(charset)) {
        if (auto converted = convert_named(bytes, charset)) {
            if (converted->replaced && is_valid_utf8(bytes) && !has_iso2022_escapes(bytes))
                return std::string(bytes);
            return std::move(converted->text);
        }
    }
    const bool iso2022 = has_iso2022_escapes(bytes);
    if (is_valid_utf8(bytes) && !iso2022) return std::string(bytes);
    if (auto detected = detected_text(bytes)) return std::move(*detected);
    if (iso2022) {
        if (auto converted = convert_to_utf8(bytes, "ISO-2022-JP"); converted && !converted->replaced)
            return std::move(converted->text);
    }
    if (is_valid_utf8(bytes)) return std::string(bytes);
    if (auto converted = convert_to_utf8(bytes, "windows-1252")) return std::move(converted->text);
    return valid_utf8(bytes);
}


std::string part_text(GMimePart* part) {
    GMimeDataWrapper* content = g_mime_part_get_content(part);
    if (!content) return {};
    GPtr<GMimeStream> stream{g_mime_stream_mem_new()};
    // Undoes the transfer encoding; the charset is converted below, where bad bytes can be replaced.
    if (g_mime_data_wrapper_write_to_stream(content, stream.get()) < 0) return {};
    GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(stream.get()));
    std::string_view raw(reinterpret_cast<const char*>(bytes->data), bytes->len);
    // GMime ends a part at the line feed before the boundary, so a CRLF message leaves a lone CR.
    if (raw.ends_with('\r') && g_mime_part_get_content_encoding(part) != GMIME_CONTENT_ENCODING_BASE64)
        raw.remove_suffix(1);
    return crlf_line_ends(
        text_to_utf8(raw, g_mime_object_get_content_type_parameter(GMIME_OBJECT(part), "charset")));
}

struct Contents {
    std::optional<std::string> body;
    std::optional<std::string> html;
    std::int32_t attachments = 0;
};

// Parts marked as attachments or carrying a file name count as attachments, and so does an
// attached message: the mail client lists all of them among a message's attachments. The body is
// the first plain and the first HTML part outside them; an attached message is not entered.
void visit_part(GMimeObject*, GMimeObject* part, gpointer data) {
    auto& contents = *static_cast<Contents*>(data);
    if (GMIME_IS_MESSAGE_PART(part)) {
        ++contents.attachments;
        return;
    }
    if (!GMIME_IS_PART(part)) return;
    auto* leaf = GMIME_PART(part);
    if (g_mime_part_is_attachment(leaf) || g_mime_part_get_filename(leaf)) {
        ++contents.attachments;
        return;
    }
    GMimeContentType* type = g_mime_object_get_content_type(part);
    if (!type || !g_mime_content_type_is_type(type, "text", "*")) return;
    if (!contents.body && g_mime_content_type_is_type(type, "text", "plain")) contents.body = part_text(leaf);
    if (!contents.html && g_mime_content_type_is_type(type, "text", "html")) contents.html = part_text(leaf);
}

std::optional<std::string> first_address_name(InternetAddressList* list, bool or_address) {
    if (!list || internet_address_list_length(list) == 0) return std::nullopt;
    InternetAddress* address = internet_address_list_get_address(list, 0);
    if (const char* name = internet_address_get_name(address); name && *name) return valid_utf8(name);
    if (!or_address || !INTERNET_ADDRESS_IS_MAILBOX(address)) return std::nullopt;
    const char* addr = internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(address));
    if (!addr || !*addr) return std::nullopt;
    return valid_utf8(addr);
}

// A message is received when its Date header says it was sent, or else when it arrived (`arrived`,
// which may be null): a received message always has a date.
platform::Date received_time(GMimeMessage* message, GDateTime* arrived) {
    GDateTime* date = g_mime_message_get_date(message);
    if (!date) date = arrived;
    if (!date) return std::nullopt;
    GDateTime* local = g_date_time_to_local(date);
    if (!local) return std::nullopt;
    using namespace std::chrono;
    const auto day = year{g_date_time_get_year(local)} / month{static_cast<unsigned>(g_date_time_get_month(local))} /
                     static_cast<unsigned>(g_date_time_get_day_of_month(local));
    const auto time = hours{g_date_time_get_hour(local)} + minutes{g_date_time_get_minute(local)} +
                      seconds{g_date_time_get_second(local)};
    g_date_time_unref(local);
    if (!day.ok()) return std::nullopt;
    return local_days{day} + time;
}

// GMime decodes encoded words, but reads raw 8-bit header text as Latin-1 whatever it is; such a
// subject is read here from the raw header instead, its charset detected as a body's would be.
std::string subject_of(GMimeMessage* message) {
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message));
    GMimeHeader* header = headers ? g_mime_header_list_get_header(headers, "Subject") : nullptr;
    const char* raw = header ? g_mime_header_get_raw_value(header) : nullptr;
    if (raw) {
        const std::string_view text(raw);
        const bool eight_bit = std::any_of(text.begin(), text.end(), [](char c) { return c & 0x80; });
        if ((eight_bit || has_iso2022_escapes(text)) && text.find("=?") == std::string_view::npos) {
            std::string subject;
            // Unfolded: the line breaks of a long header are no part of its text.
            for (const char c : text_to_utf8(text, nullptr))
                if (c != '\r' && c != '\n') subject += c;
            const auto first = subject.find_first_not_of(" \t");
            return first == std::string::npos ? std::string() : subject.substr(first);
        }
    }
    const char* subject = g_mime_message_get_subject(message);
    return subject ? valid_utf8(subject) : std::string();
}

ItemRecord mail_item(GMimeMessage* message, std::string entry_id, bool unread, GDateTime* arrived) {
    Contents contents;
    g_mime_message_foreach(message, visit_part, &contents);
    ItemRecord item;
    item.entry_id = std::move(entry_id);
    item.item_class = platform::kOlMail;
    auto& p = item.properties;
    p.set("SenderName", first_address_name(g_mime_message_get_from(message), true).value_or(""));
    p.set("Subject", subject_of(message));
    if (auto date = received_time(message, arrived)) p.set("ReceivedTime", date);
    p.set("UnRead", unread);
    p.set("Body", contents.body.value_or(""));
    p.set("HTMLBody", contents.html.value_or(""));
    p.set("Attachments", contents.attachments);
    return item;
}

// The byte ranges of the lines of blanks alone that end a header block. Mail programs take such a
// line for the empty line that ends the headers; GMime takes it for the continuation of the last
// header and the body goes into that header. In an mbox every message's headers are looked at: a
// message starts at a "From " line at the start of the file or after an empty line.
std::vector<std::pair<gint64, gint64>> blank_header_ends(const fs::path& path, bool mbox) {
    std::vector<std::pair<gint64, gint64>> found;
    std::ifstream in(path, std::ios::binary);
    std::string line;
    gint64 at = 0;
    bool in_headers = !mbox;
    bool after_empty = true;
    while ((in_headers || mbox) && std::getline(in, line)) {
        const gint64 start = at;
        at += static_cast<gint64>(line.size()) + 1;
        std::string_view text(line);
        if (text.ends_with('\r')) text.remove_suffix(1);
        const bool starts_message = mbox && after_empty && text.starts_with("From ");
        const bool blank = text.find_first_not_of(" \t") == std::string_view::npos;
        after_empty = blank;
        if (starts_message) {
            in_headers = true;
        } else if (in_headers && blank) {
            in_headers = false;
            if (!text.empty()) found.emplace_back(start, start + static_cast<gint64>(text.size()));
        }
    }
    return found;
}

// The file as GMime is to parse it: the blanks of a header block's last line left out.
GPtr<GMimeStream> open_stream(const fs::path& path, std::string& problem, bool mbox = false) {
    GError* error = nullptr;
    GMimeStream* file = g_mime_stream_fs_open(path.c_str(), O_RDONLY, 0, &error);
    if (!file) {
        problem = std::string("cannot be opened: ") + (error ? error->message : "unknown error");
        if (error) g_error_free(error);
        return GPtr<GMimeStream>{};
    }
    GPtr<GMimeStream> whole{file};
    const auto blanks = blank_header_ends(path, mbox);
    if (blanks.empty()) return whole;
    GPtr<GMimeStream> joined{g_mime_stream_cat_new()};
    gint64 from = 0;
    const auto add = [&](gint64 start, gint64 end) {
        GPtr<GMimeStream> part{g_mime_stream_substream(whole.get(), start, end)};
        g_mime_stream_cat_add_source(GMIME_STREAM_CAT(joined.get()), part.get());
    };
    for (const auto& [start, end] : blanks) {
        add(from, start);
        from = end;
    }
    add(from, -1);
    return joined;
}

// A message is what GMime can build and has at least one header: a file of anything else would
// otherwise load as a message with nothing in it.
GPtr<GMimeMessage> parse_message(GMimeParser* parser) {
    GPtr<GMimeMessage> message{g_mime_parser_construct_message(parser, nullptr)};
    if (!message) return message;
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message.get()));
    if (!headers || g_mime_header_list_get_count(headers) == 0) message.reset();
    return message;
}

// The parsed messages of one source, in order, with their problems.
class Collector {
public:
    void add(GMimeMessage* message, std::string entry_id, bool unread, GDateTime* arrived) {
        if (user_.empty())
            user_ =
                first_address_name(g_mime_message_get_addresses(message, GMIME_ADDRESS_TYPE_TO), false).value_or("");
        items_.push_back(mail_item(message, std::move(entry_id), unread, arrived));
    }
    void problem(const fs::path& file, std::string_view what) {
        problems_.push_back(display(file) + ": " + std::string(what));
    }

    // The messages added since the last call, for a folder of their own; given back, the Inbox's.
    std::vector<ItemRecord> take_items() { return std::exchange(items_, {}); }
    void give_items(std::vector<ItemRecord> items) { items_ = std::move(items); }

    // The user's name is taken from whom the mail was sent to. The messages added last are the
    // Inbox; `folders` come after it, and a Deleted Items folder unless they have one.
    MailImport finish(std::vector<FolderRecord> folders = {}) && {
        MailImport result;
        auto& mailbox = result.mailbox;
        mailbox.user = user_.empty() ? "Reader" : user_;
        mailbox.explorer = ExplorerRecord{};  // the Inbox, nothing selected
        FolderRecord inbox;
        inbox.name = "Inbox";
        inbox.inbox = true;
        inbox.items = std::move(items_);
        mailbox.folders.push_back(std::move(inbox));
        const bool has_deleted = std::any_of(folders.begin(), folders.end(),
                                             [](const FolderRecord& f) { return f.name == "Deleted Items"; });
        for (auto& folder : folders) mailbox.folders.push_back(std::move(folder));
        if (!has_deleted) {
            FolderRecord deleted;
            deleted.name = "Deleted Items";
            mailbox.folders.push_back(std::move(deleted));
        }
        result.problems = std::move(problems_);
        return result;
    }

private:
    std::string user_;
    std::vector<ItemRecord> items_;
    std::vector<std::string> problems_;
};

void add_message_file(Collector& collector, const fs::path& file, std::string entry_id, bool unread) {
    std::string problem;
    auto stream = open_stream(file, problem);
    if (!stream) return collector.problem(file, problem);
    GPtr<GMimeParser> parser{g_mime_parser_new_with_stream(stream.get())};
    g_mime_parser_set_format(parser.get(), GMIME_FORMAT_MESSAGE);
    auto message = parse_message(parser.get());
    if (!message) return collector.problem(file, "cannot be parsed as a mail message");
    // A message file (a Maildir's above all) was last written when it was delivered.
    struct stat status {};
    GDateTimePtr arrived{::stat(file.c_str(), &status) == 0 ? g_date_time_new_from_unix_utc(status.st_mtime) : nullptr};
    collector.add(message.get(), std::move(entry_id), unread, arrived.get());
}

std::string first_bytes(const fs::path& path, std::size_t n) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw unusable(path, "cannot be opened");
    std::string head(n, '\0');
    in.read(head.data(), static_cast<std::streamsize>(n));
    if (in.bad()) throw unusable(path, "cannot be read");
    head.resize(static_cast<std::size_t>(in.gcount()));
    return head;
}

void require_file(const fs::path& path) {
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (!fs::exists(status)) throw unusable(path, "no such file");
    if (fs::is_directory(status)) throw unusable(path, "is a folder, not a mail file");
}

bool is_maildir(const fs::path& path) {
    std::error_code ec;
    return fs::is_directory(path / "cur", ec) && fs::is_directory(path / "new", ec);
}

struct MaildirEntry {
    std::string unique;
    fs::path file;
    bool seen = false;
};

// "UNIQUE:2,FLAGS": the unique name is the id, the flags are capital letters after "2,".
MaildirEntry maildir_entry(const fs::path& file) {
    const auto name = file.filename().string();
    const auto colon = name.find(':');
    MaildirEntry entry{name.substr(0, colon), file, false};
    if (colon == std::string::npos) return entry;
    const std::string_view info = std::string_view(name).substr(colon + 1);
    if (info.starts_with("2,")) entry.seen = info.find('S', 2) != std::string_view::npos;
    return entry;
}

using MessageIds = std::set<std::string, std::less<>>;

// The messages of one Maildir folder, from its cur/ and new/, into the collector. Ids are unique
// across the whole store.
void add_maildir_messages(Collector& collector, const fs::path& path, MessageIds& ids) {
    std::error_code ec;
    std::vector<MaildirEntry> entries;
    for (const auto* sub : {"cur", "new"}) {
        fs::directory_iterator it(path / sub, ec);
        if (ec) throw unusable(path / sub, "cannot be read: " + ec.message());
        for (; it != fs::directory_iterator(); it.increment(ec)) {
            const auto name = it->path().filename().string();
            // Hidden files are the delivering program's, not messages.
            if (name.starts_with('.') || !it->is_regular_file(ec)) continue;
            entries.push_back(maildir_entry(it->path()));
        }
        if (ec) throw unusable(path / sub, "cannot be read: " + ec.message());
    }
    // Unique names begin with the delivery time, so their order is roughly the order of arrival,
    // and it does not depend on the order the file system lists them in.
    std::sort(entries.begin(), entries.end(), [](const MaildirEntry& a, const MaildirEntry& b) {
        return std::tie(a.unique, a.file) < std::tie(b.unique, b.file);
    });
    for (auto& entry : entries) {
        if (!ids.insert(entry.unique).second) {
            collector.problem(entry.file, "has the same unique name as another message");
            continue;
        }
        add_message_file(collector, entry.file, entry.unique, !entry.seen);
    }
}

// A folder of the store below a Maildir: its path of names, and where its messages are.
struct SubMaildir {
    std::vector<std::string> names;
    fs::path path;
};

// The folders below a Maildir: Maildir++ folders (".Archive.2001" is Archive/2001) at its top,
// and Maildirs nested in it at any depth ("Archive/2001/cur"). Hidden folders other than Maildir++
// ones, and Maildir's own cur/, new/ and tmp/, are not folders.
void find_sub_maildirs(const fs::path& dir, const std::vector<std::string>& names, bool top,
                       std::vector<SubMaildir>& found) {
    std::error_code ec;
    fs::directory_iterator it(dir, ec);
    for (; !ec && it != fs::directory_iterator(); it.increment(ec)) {
        const auto name = it->path().filename().string();
        if (name == "cur" || name == "new" || name == "tmp" || !it->is_directory(ec)) continue;
        if (name.starts_with('.')) {
            if (!top || !is_maildir(it->path())) continue;
            std::vector<std::string> path_names = names;
            for (std::size_t from = 1; from <= name.size();) {
                const auto dot = std::min(name.find('.', from), name.size());
                if (dot > from) path_names.push_back(name.substr(from, dot - from));
                from = dot + 1;
            }
            if (path_names.size() > names.size()) found.push_back({std::move(path_names), it->path()});
            continue;
        }
        std::vector<std::string> path_names = names;
        path_names.push_back(name);
        if (is_maildir(it->path())) found.push_back({path_names, it->path()});
        find_sub_maildirs(it->path(), path_names, false, found);
    }
}

// The folder at `names` below `folders`, made (with the folders on its way) when missing.
FolderRecord& folder_at(std::vector<FolderRecord>& folders, const std::vector<std::string>& names) {
    std::vector<FolderRecord>* level = &folders;
    FolderRecord* folder = nullptr;
    for (const auto& name : names) {
        auto it = std::find_if(level->begin(), level->end(), [&](const FolderRecord& f) { return f.name == name; });
        if (it == level->end()) {
            level->push_back(FolderRecord{});
            it = std::prev(level->end());
            it->name = name;
        }
        folder = &*it;
        level = &folder->folders;
    }
    return *folder;
}

}  // namespace

std::string crlf_line_ends(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 32);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r') {
            out += "\r\n";
            if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        } else if (c == '\n') {
            out += "\r\n";
        } else {
            out += c;
        }
    }
    return out;
}

MailImport load_maildir(const fs::path& path) {
    init_gmime();
    std::error_code ec;
    if (!fs::exists(path, ec)) throw unusable(path, "no such folder");
    if (!is_maildir(path)) throw unusable(path, "is not a Maildir (it needs cur/ and new/ folders)");
    Collector collector;
    MessageIds ids;
    add_maildir_messages(collector, path, ids);
    auto inbox = collector.take_items();
    std::vector<SubMaildir> subs;
    find_sub_maildirs(path, {}, true, subs);
    // In name order, so the store does not depend on the order the file system lists folders in.
    std::sort(subs.begin(), subs.end(), [](const SubMaildir& a, const SubMaildir& b) { return a.names < b.names; });
    std::vector<FolderRecord> folders;
    for (const auto& sub : subs) {
        // The path of a Maildir++ folder and of a nested one may name the same folder.
        FolderRecord& folder = folder_at(folders, sub.names);
        add_maildir_messages(collector, sub.path, ids);
        for (auto& item : collector.take_items()) folder.items.push_back(std::move(item));
    }
    collector.give_items(std::move(inbox));
    return std::move(collector).finish(std::move(folders));
}

MailImport load_mbox(const fs::path& path) {
    init_gmime();
    require_file(path);
    if (!first_bytes(path, 5).starts_with("From "))
        throw unusable(path, "is not an mbox file (it does not start with \"From \")");
    std::string problem;
    auto stream = open_stream(path, problem, true);
    if (!stream) throw unusable(path, problem);
    GPtr<GMimeParser> parser{g_mime_parser_new_with_stream(stream.get())};
    g_mime_parser_set_format(parser.get(), GMIME_FORMAT_MBOX);
    Collector collector;
    for (int n = 1; !g_mime_parser_eos(parser.get()); ++n) {
        const auto before = g_mime_parser_tell(parser.get());
        auto message = parse_message(parser.get());
        if (message) {
            // The "From " line that starts a message in an mbox says when it was delivered.
            std::unique_ptr<char, decltype(&g_free)> marker{g_mime_parser_get_mbox_marker(parser.get()), &g_free};
            std::string_view line = marker ? marker.get() : "";
            line = line.substr(std::min(line.size(), line.find(' ', line.find_first_not_of(' ', 4))));
            GDateTimePtr arrived{line.empty() ? nullptr : g_mime_utils_header_decode_date(std::string(line).c_str())};
            collector.add(message.get(), "mbox-" + std::to_string(n), true, arrived.get());
            continue;
        }
        collector.problem(path, "message " + std::to_string(n) + " cannot be parsed as a mail message");
        // The parser resynchronises at the next "From " line; one that cannot move on has no more.
        if (g_mime_parser_tell(parser.get()) <= before) break;
    }
    return std::move(collector).finish();
}

MailImport load_eml(const fs::path& path) {
    init_gmime();
    require_file(path);
    first_bytes(path, 1);  // an unreadable file is the caller's error, not a skipped message
    auto stem = path.stem().string();
    if (stem.empty()) stem = path.filename().string();
    Collector collector;
    add_message_file(collector, path, stem, true);
    return std::move(collector).finish();
}

MailImport load_mail_store(const fs::path& path) {
    std::error_code ec;
    const auto status = fs::status(path, ec);
    if (!fs::exists(status)) throw unusable(path, "no such file or folder");
    if (fs::is_directory(status)) return load_maildir(path);
    if (first_bytes(path, 5).starts_with("From ")) return load_mbox(path);
    return load_eml(path);
}

}  // namespace sim
