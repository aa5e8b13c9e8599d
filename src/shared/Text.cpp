#include "shared/Text.h"

#include <algorithm>

qsizetype charCount(const QString &text)
{
    qsizetype n = text.size();
    for (QChar c : text)
        if (c.isLowSurrogate())
            --n;
    return n;
}

QString blanks(qsizetype n)
{
    return n > 0 ? QString(n, QLatin1Char(' ')) : QString();
}

QString signPosition(long long n)
{
    return n >= 0 ? QLatin1Char(' ') + QString::number(n) : QString::number(n);
}

QString displayName(QByteArrayView native)
{
    QString text = QString::fromUtf8(native);
    for (QChar &c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = u'?';
    return text;
}

namespace {
inline unsigned char lowerAscii(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? c + 32 : c;
}
}

bool nameLess(QByteArrayView a, QByteArrayView b)
{
    // Fast path for ASCII names: compare folded bytes directly.
    const qsizetype n = qMin(a.size(), b.size());
    bool ascii = true;
    for (qsizetype i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(a[i]);
        const auto cb = static_cast<unsigned char>(b[i]);
        if (ca >= 0x80 || cb >= 0x80) {
            ascii = false;
            break;
        }
        const unsigned char la = lowerAscii(ca), lb = lowerAscii(cb);
        if (la != lb)
            return la < lb;
    }
    if (ascii) {
        if (a.size() != b.size())
            return a.size() < b.size();
        return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return (unsigned char)x < (unsigned char)y; });
    }
    const int c = QString::fromUtf8(a.data(), a.size()).compare(QString::fromUtf8(b.data(), b.size()), Qt::CaseInsensitive);
    if (c != 0)
        return c < 0;
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) { return (unsigned char)x < (unsigned char)y; });
}
