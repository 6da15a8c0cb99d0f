#include "reading/speech_output.hpp"

#include <string>
#include <string_view>

#include "character/acts.hpp"
#include "character/reading_state.hpp"
#include "character/shutdown.hpp"
#include "platform/failure.hpp"
#include "reading/formats.hpp"
#include "reading/pieces.hpp"

namespace reading {

namespace {

using platform::PlatformError;
using platform::skip_on_failure;

// The design leaves these boxes without a title, so the component's own shows.
constexpr std::string_view kDefaultTitle;

// The position handed to the cutter lies outside the text. Nothing outside us fails while cutting, so this
// is the one trouble the finding message can report.
constexpr std::int32_t kPositionOutsideText = 1;
constexpr std::int32_t kInvalidArgument = 5;

std::int32_t text_length(const frmAgentCtrl& f) { return static_cast<std::int32_t>(f.sReadText.size()); }

// Nothing worth saying remains: the text is used up, or what follows its last mark is only blanks and line
// breaks, such as the line feed of a closing CR LF. A last word after the last mark is still said.
bool nothing_left(frmAgentCtrl& f) {
    const std::int32_t length = text_length(f);
    if (length == 0 || f.lReadPos > length) return true;
    if (f.lReadPos < 1) return false;  // FindNextPiece reports it.
    return cut_piece(f.sReadText, f.lReadPos).silent;
}

void end_reading(frmAgentCtrl& f) {
    InterupReading(f);
    play(f, "ReadReturn");
    f.iLastReadMode = f.iReadMode;
    f.iReadMode = 0;
}

void show_finding_failure(frmAgentCtrl& f, std::int32_t location, std::int32_t piece_length, const PlatformError& e) {
    const std::string text =
        "There is an error finding the next sentence\r\nError Location: " + format_number(location) +
        "\r\nIdx start: " + format_number(f.lReadPos) + "\r\nIdx len: " + format_number(piece_length) +
        "\r\ndoc len: " + format_number(text_length(f)) + "\r\n" + platform::error_text(e);
    skip_on_failure([&] { f.host.message_boxes().show(text, platform::kCritical, kDefaultTitle); });
}

// Requests are the same request when their default properties agree; one that cannot be read is no match.
bool is_stored(const platform::Ref<platform::Request>& stored, const platform::RequestPtr& request) {
    if (!stored || !request) return false;
    const auto stored_id = skip_on_failure([&] { return stored->id(); });
    const auto id = skip_on_failure([&] { return request->id(); });
    return stored_id && id && *stored_id == *id;
}

}  // namespace

void SpeakNextPiece(frmAgentCtrl& f) {
    if (!is_reading(f)) return;
    if (nothing_left(f)) {
        end_reading(f);
        return;
    }
    FindNextPiece(f);
    if (++f.lReadPieces > 21) {
        f.lReadPieces = 1;
        play(f, "ReadContinued");
    }
    if (f.sReadPiece.empty()) f.sReadPiece = " ";
    const bool spoken = platform::with_failure_path(
        [&] { f.oReadRequest = f.oAgentChar->speak(f.sReadPiece); },
        [&](const PlatformError& e) {
            f.host.message_boxes().show("There is an error speaking the document\r\n" + platform::error_text(e),
                                        platform::kCritical, kDefaultTitle);
        });
    // Without a request nothing completes, so the reading is held at this piece. Its context is saved as a
    // pause saves it, or continuing would take up whatever reading was saved before.
    if (!spoken) InterupReading(f);
}

void FindNextPiece(frmAgentCtrl& f) {
    const std::int32_t length = text_length(f);
    f.sReadPiece.clear();
    f.lPieceEnd = length;
    // Without a mark the piece runs to the end of the text, and the reading ends after it.
    f.lNextReadPos = length + 1;
    if (f.lReadPos < 1 || f.lReadPos > length) {
        show_finding_failure(f, kPositionOutsideText, length - f.lReadPos + 1,
                             PlatformError(kInvalidArgument, "Invalid procedure call or argument"));
        return;
    }
    const Piece piece = cut_piece(f.sReadText, f.lReadPos);
    f.lPieceEnd = piece.end;
    f.lNextReadPos = piece.next;
    f.sReadPiece =
        f.sReadText.substr(static_cast<std::size_t>(piece.start - 1), static_cast<std::size_t>(piece.length));
}

void InterupReading(frmAgentCtrl& f) { save_reading(f); }

// The reading mode stays, so the reading counts as held and continue-reading resumes it.
void PausReadItem(frmAgentCtrl& f) {
    if (f.oReadRequest) skip_on_failure([&] { f.oAgentChar->stop(f.oReadRequest.ptr()); });
    InterupReading(f);
}

void Agent1_RequestComplete(frmAgentCtrl& f, const platform::RequestPtr& request) {
    if (!request) return;
    const auto status = skip_on_failure([&] { return request->status(); });
    const bool completed = status == platform::kRequestComplete;
    const bool failed = status == platform::kRequestFailed;
    const bool interrupted = status == platform::kRequestInterrupted;

    if (is_stored(f.oGreetRequest, request)) {
        if (completed) play(f, "Greet");
        if (failed || interrupted) skip_on_failure([&] { f.oAgentChar->stop_all(); });
        if (interrupted) play(f, "Greet");
        f.oGreetRequest.reset();
    }
    if (is_stored(f.oReadRequest, request)) {
        if (completed) {
            ++f.lReadDone;
            f.lReadPos = f.lNextReadPos;
            SpeakNextPiece(f);
        } else if (failed || interrupted) {
            // Held at the piece that did not complete; continuing says it again whole.
            InterupReading(f);
        }
    }
    if (is_stored(f.oExitRequest, request)) {
        f.oExitRequest.reset();
        skip_on_failure([&] { character::AgentShutdown(f); });
    }
}

void Agent1_ListenStart(frmAgentCtrl& f, const std::string&) {
    play(f, "StartListening");
    f.sHeardCmd.clear();
}

// A recognised command decides itself what becomes of the reading.
void Agent1_ListenComplete(frmAgentCtrl& f, const std::string&, std::int32_t) {
    if (!f.sHeardCmd.empty()) return;
    if (!is_reading(f)) {
        play(f, "StopListening");
        return;
    }
    // The piece that listening cut short is said again from its start.
    play(f, "Read");
    SpeakNextPiece(f);
}

}  // namespace reading
