// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>
#include <stdexcept>

// A failure of a file-system service; what() is the description shown to the user.
class FsError : public std::runtime_error {
public:
    explicit FsError(const QString &description, int code = 0)
        : std::runtime_error(description.toStdString()), code_(code) {}
    QString description() const { return QString::fromStdString(what()); }
    // The system's error number, or 0 for a failure of the program's own.
    int code() const { return code_; }

    // The system's description of errno value `err`, such as "Permission denied".
    static FsError fromErrno(int err);

private:
    int code_;
};

// Description of any caught exception, for the error boxes.
QString errorDescription(const std::exception &e);
