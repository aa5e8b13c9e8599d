#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QTemporaryDir>

// A real folder tree in a temporary directory, for tests.
class TempTree {
public:
    TempTree();
    ~TempTree(); // removes the tree through native names, which QTemporaryDir cannot always do
    QByteArray path() const;                       // no trailing "/"
    QByteArray at(const QByteArray &relative) const; // path/relative
    void mkdir(const QByteArray &relative) const;
    // A file of `size` bytes (sparse beyond 1 MiB), optionally with a modification time (its
    // access time is then set years before it).
    void file(const QByteArray &relative, qint64 size, const QDateTime &modified = {}) const;
    void symlink(const QByteArray &target, const QByteArray &relative) const;
    // A further name for the file at `existing`.
    void hardLink(const QByteArray &existing, const QByteArray &relative) const;
    // `folders` folders d0, d1, ... under `top`, each holding `files` one-byte files.
    void wide(const QByteArray &top, int folders, int files) const;

private:
    QTemporaryDir dir_;
};
