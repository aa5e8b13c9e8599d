// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
#include <QFont>
#include <QString>

// A font asked for by its face name, with a style hint so that a machine without that face
// substitutes a sensible one. "Fixedsys" and "Courier" always come out monospaced.
QFont designFont(const QString &face, double pointSize, bool bold = false);
