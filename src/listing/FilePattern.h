#pragma once
#include <QList>
#include <QString>
#include <vector>

// A file-type pattern: case-insensitive wildcards "*" and "?", several patterns separated by
// ";". "*.*" matches every name, also one without a dot; an empty pattern matches every name.
// Matching a name costs at most the name's length times the pattern's, whatever the pattern.
class FilePattern {
public:
    // Throws FsError for a pattern that names a folder (holds "/").
    explicit FilePattern(const QString &pattern = QStringLiteral("*"));

    bool matches(const QString &name) const;
    const QString &text() const { return text_; }

private:
    QString text_;
    bool all_ = false;
    // Each part as case-folded code points; "*" and "?" stand for themselves.
    std::vector<std::vector<char32_t>> parts_;
};
