#pragma once

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <utility>

#include "reading/text_cleaning.hpp"

// The decoration filter as a stage both filters write through: DropDecoration feeds it a plain body, the HTML filter
// the text it finds between the tags, so that the separator rows go in the same pass.
namespace reading::cleaning {

// The separator runs, in the order they are removed. Removing one pattern over the whole text before the next is
// the defined behaviour, and it matters: "**===*" loses the equal signs only after the stars have been looked at,
// so its stars stay. Each removal is a streaming transformation of the previous one's output, so the eight of them
// run as a pipeline of tiny stages over a single pass, each stage holding the pattern characters it has seen but
// not yet passed on.
struct Pattern {
    char ch;
    std::uint8_t length;
};
inline constexpr auto kPatterns =
    std::to_array<Pattern>({{'*', 3}, {'=', 3}, {'-', 3}, {'+', 3}, {'_', 3}, {'~', 3}, {'#', 3}, {'.', 4}});

inline constexpr unsigned kNoStage = kPatterns.size();

// The stage that removes a byte's pattern, or kNoStage.
inline constexpr std::array<std::uint8_t, 256> kStageOf = [] {
    std::array<std::uint8_t, 256> table{};
    table.fill(kNoStage);
    for (unsigned stage = 0; stage < kPatterns.size(); ++stage)
        table[static_cast<unsigned char>(kPatterns[stage].ch)] = static_cast<std::uint8_t>(stage);
    return table;
}();


// The filter writes through a cursor into a buffer. Making one string, the buffer doubles when full: appending byte
// by byte to a std::string cost several times the work of the scan itself. Handing the text on to a sink, the buffer
// is one small chunk, handed on whenever full and written again from its start: it stays in the processor's cache,
// and a large text is never held whole nor its memory touched twice.
class DecorationFilter {
public:
    explicit DecorationFilter(std::size_t expected_size) {
        out_.resize(std::max<std::size_t>(expected_size, 16));
        cursor_ = out_.data();
        limit_ = cursor_ + out_.size();
    }

    explicit DecorationFilter(const TextSink& sink) : DecorationFilter(kChunkSize) { sink_ = &sink; }

    void put(char c) {
        if (held_ == 0 && kStageOf[static_cast<unsigned char>(c)] == kNoStage) {
            emit(c);
            return;
        }
        feed(0, c);
    }

    void put(std::string_view text) {
        for (const char c : text) put(c);
    }

    // A byte known to be no pattern character.
    void put_plain(char c) {
        if (held_ != 0) flush_all();
        emit(c);
    }

    // Bytes known to hold no pattern character.
    void put_plain(std::string_view text) {
        if (text.empty()) return;
        if (held_ != 0) flush_all();
        write(text);
    }

    // `count` copies of one pattern character. Only the first can make earlier stages give on what they hold; the
    // rest pass those stages empty-handed and only turn their own stage's counter.
    void put_run(char c, std::size_t count) {
        feed(0, c);
        const unsigned stage = kStageOf[static_cast<unsigned char>(c)];
        const std::size_t length = kPatterns[stage].length;
        pending_[stage] = static_cast<std::uint8_t>((pending_[stage] + count - 1) % length);
        if (pending_[stage] == 0) {
            held_ &= ~(1u << stage);
        } else {
            held_ |= 1u << stage;
        }
    }

    // Room to write to directly, `n` bytes or more, with nothing held back; raw_end takes the position after the last
    // byte written.
    std::span<char> raw_space(std::size_t n) {
        flush_all();
        make_room(n);
        return {cursor_, limit_};
    }

    void raw_end(char* end) { cursor_ = end; }

    // At the end of a text each removal ends in turn, in the order of the patterns. Handing on to a sink, the rest
    // goes there and the string is empty.
    std::string finish(std::string_view tail) {
        flush_all();
        write(tail);
        if (sink_) {
            hand_on();
            return {};
        }
        out_.resize(static_cast<std::size_t>(cursor_ - out_.data()));
        return std::move(out_);
    }

private:
    static constexpr std::size_t kChunkSize = 64 << 10;

    void write(std::string_view text) {
        if (text.empty()) return;  // An empty view may have no data, and memcpy must not see that.
        if (sink_ && text.size() > out_.size()) {
            hand_on();
            (*sink_)(text);
            return;
        }
        make_room(text.size());
        std::memcpy(cursor_, text.data(), text.size());
        cursor_ += text.size();
    }

    void emit(char c) {
        if (cursor_ == limit_) make_room(1);
        *cursor_++ = c;
    }

    void make_room(std::size_t n) {
        if (static_cast<std::size_t>(limit_ - cursor_) >= n) return;
        if (sink_) {
            hand_on();
            if (out_.size() >= n) return;
        }
        const auto used = static_cast<std::size_t>(cursor_ - out_.data());
        out_.resize(std::max(out_.size() * 2, used + n));
        cursor_ = out_.data() + used;
        limit_ = out_.data() + out_.size();
    }

    void feed(unsigned from, char c) {
        unsigned stage = kStageOf[static_cast<unsigned char>(c)];
        if (stage < from) stage = kNoStage;  // An earlier stage's character passes the later ones untouched.
        // The stages it passes give on what they hold first: that came before it.
        const unsigned passed = ((1u << stage) - 1) & ~((1u << from) - 1);
        for (unsigned holding; (holding = held_ & passed) != 0;)
            flush(static_cast<unsigned>(std::countr_zero(holding)));
        if (stage == kNoStage) {
            emit(c);
            return;
        }
        if (++pending_[stage] == kPatterns[stage].length) {
            pending_[stage] = 0;
            held_ &= ~(1u << stage);
        } else {
            held_ |= 1u << stage;
        }
    }

    // The stage's held characters were not a whole pattern, so they go on to the later stages.
    void flush(unsigned stage) {
        const unsigned n = pending_[stage];
        pending_[stage] = 0;
        held_ &= ~(1u << stage);
        for (unsigned i = 0; i < n; ++i) feed(stage + 1, kPatterns[stage].ch);
    }

    void flush_all() {
        while (held_ != 0) flush(static_cast<unsigned>(std::countr_zero(held_)));
    }

    void hand_on() {
        if (cursor_ != out_.data())
            (*sink_)(std::string_view(out_.data(), static_cast<std::size_t>(cursor_ - out_.data())));
        cursor_ = out_.data();
    }

    std::string out_;
    char* cursor_;
    char* limit_;
    std::array<std::uint8_t, kPatterns.size()> pending_{};
    unsigned held_ = 0;  // One bit per stage holding characters, so the common case tests one number.
    const TextSink* sink_ = nullptr;
};

}  // namespace reading::cleaning
