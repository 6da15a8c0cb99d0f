#include "cli/text_tools.hpp"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <memory>
#include <ostream>
#include <sstream>

#include "cli/inputs.hpp"
#include "reading/pieces.hpp"
#include "reading/text_cleaning.hpp"
#include "sim/mail_import.hpp"
#include "sim/transcript.hpp"

namespace cli {

std::string read_file(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw InputError(file, "cannot be opened");
    // Read straight into a string of the file's size: a string stream copies a large file twice more.
    in.seekg(0, std::ios::end);
    const auto size = in.tellg();
    in.seekg(0, std::ios::beg);
    if (size > 0 && in) {
        std::string text(static_cast<std::size_t>(size), '\0');
        in.read(text.data(), size);
        if (in.bad()) throw InputError(file, "cannot be read");
        text.resize(static_cast<std::size_t>(in.gcount()));
        return text;
    }
    // A pipe or a device has no size to take: read it as it comes.
    in.clear();
    std::ostringstream text;
    text << in.rdbuf();
    if (in.bad()) throw InputError(file, "cannot be read");
    return std::move(text).str();
}

namespace {

// A file's bytes mapped into memory rather than read: the filters take a large body as it lies,
// without copying it first. A pipe or a device, which cannot be mapped, is read.
class FileText {
public:
    explicit FileText(const std::string& file) {
        const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st {};
        if (fd >= 0 && ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
            size_ = static_cast<std::size_t>(st.st_size);
            void* mapped = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
            if (mapped != MAP_FAILED) map_ = mapped;
        }
        if (fd >= 0) ::close(fd);
        if (!map_) owned_ = read_file(file);
    }
    ~FileText() {
        if (map_) ::munmap(map_, size_);
    }
    FileText(const FileText&) = delete;
    FileText& operator=(const FileText&) = delete;

    std::string_view text() const { return map_ ? std::string_view(static_cast<const char*>(map_), size_) : owned_; }

private:
    void* map_ = nullptr;
    std::size_t size_ = 0;
    std::string owned_;
};

}  // namespace

int clean(const std::vector<std::string>& files, BodyKind kind, std::ostream& out, std::ostream& err) {
    // Every file is opened before anything is printed, so an unreadable one leaves no partial output.
    std::vector<std::unique_ptr<FileText>> texts;
    try {
        for (const auto& file : files) texts.push_back(std::make_unique<FileText>(file));
    } catch (const InputError& e) {
        err << e.report() << '\n';
        return kUnusable;
    }
    // The text is written as the filter makes it, a chunk at a time, rather than built whole and then written.
    // Plain text has the line ends a body has in the mail client; the HTML filter takes any line end as a blank.
    const reading::TextSink write = [&out](std::string_view piece) {
        out.write(piece.data(), static_cast<std::streamsize>(piece.size()));
    };
    for (const auto& file : texts) {
        const std::string_view text = file->text();
        if (kind == BodyKind::Html) {
            reading::HtmlToText(text, write);
        } else {
            reading::DropDecoration(sim::crlf_line_ends(text), write);
        }
    }
    out.flush();
    return 0;
}

int pieces(const std::string& file, std::ostream& out, std::ostream& err) {
    std::string text;
    try {
        text = read_file(file);
    } catch (const InputError& e) {
        err << e.report() << '\n';
        return kUnusable;
    }
    for (const auto& piece : reading::reading_pieces(sim::crlf_line_ends(text))) out << sim::quote(piece) << '\n';
    out.flush();
    return 0;
}

}  // namespace cli
