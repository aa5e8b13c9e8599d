#pragma once
#include <QByteArrayView>
#include <QList>
#include <QRegularExpression>
#include <QString>

// A file-type pattern: case-insensitive wildcards "*" and "?", several patterns separated by
// ";". "*.*" matches every name, also one without a dot; an empty pattern matches every name.
class FilePattern {
public:
    // Throws FsError for a pattern that names a folder (holds "/").
    explicit FilePattern(const QString &pattern = QStringLiteral("*"));

    bool matches(const QString &name) const;
    const QString &text() const { return text_; }

private:
    QString text_;
    bool all_ = false;
    QList<QRegularExpression> parts_;
};
