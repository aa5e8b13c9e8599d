// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <vector>

// A file-type pattern: case-insensitive wildcards "*" and "?", several patterns separated by
// ";". "*.*" matches every name, also one without a dot; an empty pattern matches every name.
// Matching a name costs at most the name's length times the pattern's, whatever the pattern,
// and in practice a few steps a character of the name.
class FilePattern {
public:
    // Throws FsError for a pattern that names a folder (holds "/").
    explicit FilePattern(const QString &pattern = QStringLiteral("*"));

    bool matches(const QString &name) const;
    // Whether it matches every name, so that names need not be made text to be matched.
    bool matchesEverything() const { return all_; }
    const QString &text() const { return text_; }

    // The text between two stars: case-folded code points, "?" standing for any one.
    class Piece {
    public:
        explicit Piece(std::vector<char32_t> codes);
        size_t size() const { return codes_.size(); }
        // Whether the piece matches name[at, at + size()).
        bool matchesAt(const std::vector<char32_t> &name, size_t at) const;
        // The end of the piece's first match within name[from, to), or SIZE_MAX. Every code point
        // of the piece is a bit of a few machine words, and one pass over the name moves them all
        // at once (shift-and): name length x (piece length / 64) steps.
        size_t findEnd(const std::vector<char32_t> &name, size_t from, size_t to) const;

    private:
        const uint64_t *maskOf(char32_t c) const;
        std::vector<char32_t> codes_;
        size_t words_ = 0;
        std::vector<char32_t> chars_;   // the piece's distinct code points but "?", sorted
        std::vector<uint64_t> masks_;   // per entry of chars_, then one for any other: where it may stand
        std::array<uint32_t, 128> ascii_{}; // entry of masks_ for each ASCII code
    };

private:
    // One ";"-separated part: its pieces, and whether a star opens and closes it.
    struct Part {
        std::vector<Piece> pieces;
        bool starFirst = false, starLast = false;
        size_t need = 0; // code points a name needs at least
    };
    static bool partMatches(const Part &part, const std::vector<char32_t> &name);

    QString text_;
    bool all_ = false;
    std::vector<Part> parts_;
};
