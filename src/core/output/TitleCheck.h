// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QString>

class MessageBoxes;

// Whether the page title can serve as a file name; when it cannot, the user has been told why.
// The title must be 1 to 255 characters long (as a person counts them) and hold none of the
// characters \ / : * ? " < > |; only the first refusal found is reported.
bool CheckSaveToFileName(const QString &title, MessageBoxes &boxes);
