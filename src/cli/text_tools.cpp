#include "cli/text_tools.hpp"

#include <fstream>
#include <ostream>
#include <sstream>

#include "cli/inputs.hpp"
#include "reading/pieces.hpp"
#include "reading/text_cleaning.hpp"
#include "sim/transcript.hpp"

namespace cli {

std::string read_file(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) throw InputError(file, "cannot be opened");
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
    for (const auto& text : texts)
        out << (kind == BodyKind::Html ? reading::HtmlToText(text) : reading::DropDecoration(text));
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
    for (const auto& piece : reading::reading_pieces(text)) out << sim::quote(piece) << '\n';
    out.flush();
    return 0;
}

}  // namespace cli
