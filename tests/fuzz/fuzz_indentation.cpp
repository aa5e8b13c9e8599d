// SPDX-License-Identifier: GPL-3.0-or-later
// Typed indentation text: never a crash, and a value is given only for a usable text, as the
// nearest whole number to its leading number.
#include "core/output/Indentation.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const double v = leadingNumber(text);
    const std::optional<int> typed = typedIndentation(text);
    if (typed.has_value() != (!text.isEmpty() && v > 0 && v < 80))
        std::abort();
    if (typed && (*typed < 0 || *typed > 80 || std::fabs(*typed - v) > 0.5))
        std::abort();
    return 0;
}
