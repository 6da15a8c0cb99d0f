#include "cli/text_tools.hpp"

#include <fstream>
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

int clean(const std::vector<std::string>& files, BodyKind kind, std::ostream& out, std::ostream& err) {
    // Every file is read before anything is printed, so an unreadable one leaves no partial output.
    std::vector<std::string> texts;
    try {
        for (const auto& file : files) texts.push_back(read_file(file));
    } catch (const InputError& e) {
        err << e.report() << '\n';
        return kUnusable;
    }
    // Plain text with the line ends a body has in the mail client; the HTML filter takes any line end as a blank.
    for (const auto& text : texts) {
        const std::string cleaned =
            kind == BodyKind::Html ? reading::HtmlToText(text) : reading::DropDecoration(sim::crlf_line_ends(text));
        out.write(cleaned.data(), static_cast<std::streamsize>(cleaned.size()));
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
