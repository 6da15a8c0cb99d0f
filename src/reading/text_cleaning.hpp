#pragma once

#include <functional>
#include <string>
#include <string_view>

// Turning an item body written for the eye into text worth hearing. Both functions are pure, work on UTF-8 bytes and
// take time linear in their input, so a huge newsletter costs no more than its size.
namespace reading {

// The readable text of an HTML body: the part between "<body" and "</body" (the whole text when there is no body
// tag), without tags, scripts, style sheets and select lists, with line breaks where the markup breaks lines, blanks
// collapsed, passed through DropDecoration and ended by CR LF. Printable ASCII is kept, and so are letters, marks,
// digits and punctuation of every script; typographic quotes, dashes, ellipses and spaces become plain ASCII; other
// symbols, control characters and malformed UTF-8 are dropped. Character references are decoded.
std::string HtmlToText(std::string_view html);

// The text without separator rows: every "***", "===", "---", "+++", "___", "~~~", "###" and "...." removed, one
// pattern after the other, so a run whose length is not a multiple of its pattern leaves the remainder. A "|" becomes
// a blank, because the character would take it as the separator between alternative wordings.
std::string DropDecoration(std::string_view text);

// Takes the text a piece at a time, in order.
using TextSink = std::function<void(std::string_view)>;

// The same texts handed to `sink` a piece at a time as they are made, never held whole: for a large body written out
// at once, this saves building and copying the whole result.
void HtmlToText(std::string_view html, const TextSink& sink);
void DropDecoration(std::string_view text, const TextSink& sink);

}  // namespace reading
