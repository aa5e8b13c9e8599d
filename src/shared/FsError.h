#pragma once
#include <QString>
#include <stdexcept>

// A failure of a file-system service; what() is the description shown to the user.
class FsError : public std::runtime_error {
public:
    explicit FsError(const QString &description)
        : std::runtime_error(description.toStdString()) {}
    QString description() const { return QString::fromStdString(what()); }

    // The system's description of errno value `err`, such as "Permission denied".
    static FsError fromErrno(int err);
};

// Description of any caught exception, for the error boxes.
QString errorDescription(const std::exception &e);
