// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include "core/scan/tree/ScanText.h"

#include <cstdint>
#include <string>

// JSON text read token by token from a ScanText, as the scan file's reader asks for it, keeping
// the line and column of the token it is at for its messages. Strings are taken as bytes: a
// byte that is not UTF-8 is a byte of the string, as ncdu writes names; \u escapes become
// UTF-8. Every failure throws a ScanFileFault that says where.
class JsonText {
public:
    explicit JsonText(ScanText &text) : text_(text) {}

    // Skips blanks, and answers the byte the next token starts with, or -1 at the end.
    int peek()
    {
        for (;;) {
            while (p_ < end_) {
                const char c = *p_;
                if (c == ' ' || c == '\t' || c == '\r')
                    ++p_;
                else if (c == '\n') {
                    ++p_;
                    ++line_;
                    lineStart_ = offset();
                } else {
                    token_ = offset();
                    return static_cast<unsigned char>(c);
                }
            }
            if (!refill()) {
                token_ = offset();
                return -1;
            }
        }
    }
    // Takes the byte peek() answered.
    void take() { ++p_; }
    // Takes `c` as the next token; fails naming `expected` when it is not.
    void expect(char c, const char *expected)
    {
        if (peek() != static_cast<unsigned char>(c))
            failExpected(expected);
        take();
    }

    // The string at the token (peeked, '"'), its bytes into `out` (emptied first); past
    // `limit` bytes only one more is kept, so that a caller tells a string that is too long.
    void string(std::string &out, size_t limit);
    struct Number {
        bool negative = false;
        bool whole = true;  // no fraction, no exponent
        bool fits = true;   // its magnitude fits 64 bits
        uint64_t magnitude = 0;
    };
    // The number at the token (peeked, '-' or a digit).
    Number number();
    // true or false at the token; fails naming `what` otherwise.
    bool boolean(const char *what);
    // Passes over any value at the token, nested `limit` deep at most.
    void skipValue(size_t limit);

    // Fails at the token: "the file ends too soon" at the end, else "expected X, found Y".
    [[noreturn]] void failExpected(const char *expected) const;
    // Fails at the token with `what`.
    [[noreturn]] void failAtToken(const QString &what) const { failAt(token_, what); }

private:
    int64_t offset() const { return base_ + (p_ - block_); }
    bool refill();
    // The byte at p_, refilling; -1 at the end. Inline: numbers ask for it at every digit.
    int byteHere()
    {
        if (p_ == end_ && !refill())
            return -1;
        return static_cast<unsigned char>(*p_);
    }
    unsigned escape(int64_t at);
    void literal(const char *word);
    [[noreturn]] void failAt(int64_t at, const QString &what) const;

    ScanText &text_;
    const char *block_ = nullptr, *p_ = nullptr, *end_ = nullptr;
    int64_t base_ = 0; // offset of block_ in the text
    int64_t line_ = 1, lineStart_ = 0;
    int64_t token_ = 0; // offset of the token peeked last (on line_: no token holds a line end)
    std::string scratch_;
};
