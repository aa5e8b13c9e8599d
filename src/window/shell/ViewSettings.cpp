// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/shell/ViewSettings.h"

#include "core/listing/Exclusions.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
#include <QStringDecoder>
#include <optional>

namespace {
const char *const SortNames[] = {"Name", "Size", "Modified"};

std::optional<SortBy> sortNamed(const QVariant &value)
{
    for (int i = 0; i < 3; ++i)
        if (value.toString() == QLatin1String(SortNames[i]))
            return SortBy(i);
    return std::nullopt;
}

// Whether `bytes` can be a settings file this program wrote: UTF-8 text of section headings,
// comments and "key=value" lines, no control characters. The settings reader itself takes
// whatever it can make sense of in any bytes, and would take random ones for the defaults.
// Ours holds three short lines; anything much longer is not ours.
constexpr qint64 Largest = 1 << 16;

bool settingsText(const QByteArray &bytes)
{
    if (bytes.size() > Largest)
        return false;
    QStringDecoder fromUtf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = fromUtf8(bytes);
    if (fromUtf8.hasError())
        return false;
    for (const QChar c : text)
        if (c.unicode() < 0x20 ? c != u'\n' && c != u'\r' && c != u'\t' : c.unicode() == 0x7f)
            return false;
    for (const QStringView line : QStringView(text).split(u'\n')) {
        const QStringView l = line.trimmed();
        if (l.isEmpty() || l.startsWith(u';') || l.startsWith(u'#'))
            continue;
        const bool heading = l.startsWith(u'[') && l.endsWith(u']') && l.size() > 2;
        if (!heading && l.indexOf(u'=') < 1)
            return false;
    }
    return true;
}

// Exclusions as this program keeps them: patterns the file pattern takes.
bool usableExclusions(const QString &text)
{
    try {
        exclusionFilter(text);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

std::optional<bool> switchNamed(const QVariant &value)
{
    if (value.toString() == QLatin1String("true"))
        return true;
    if (value.toString() == QLatin1String("false"))
        return false;
    return std::nullopt;
}
} // namespace

QString viewSettingsFile()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
           + QStringLiteral("/Listwright/Listwright.conf");
}

ViewChoices readViewChoices(const QString &file, QString *problem)
{
    const ViewChoices defaults;
    if (!QFileInfo::exists(file))
        return defaults;
    const auto ignored = [&](const QString &why) {
        *problem = QStringLiteral("listwright: ignoring the settings file %1: %2").arg(QDir::toNativeSeparators(file), why);
        return defaults;
    };
    const QString notOurs = QStringLiteral("it is not a settings file of this program");
    QFile readable(file);
    if (!QFileInfo(file).isFile() || !readable.open(QIODevice::ReadOnly))
        return ignored(QStringLiteral("it cannot be read"));
    const QByteArray bytes = readable.read(Largest + 1);
    if (readable.error() != QFileDevice::NoError)
        return ignored(QStringLiteral("it cannot be read"));
    readable.close();
    if (!settingsText(bytes))
        return ignored(notOurs);
    QSettings settings(file, QSettings::IniFormat);
    const auto folders = sortNamed(settings.value("View/SortFoldersBy", "Name"));
    const auto files = sortNamed(settings.value("View/SortFilesBy", "Name"));
    const auto bars = switchNamed(settings.value("View/SizeBars", "false"));
    const auto counts = switchNamed(settings.value("View/Counts", "false"));
    const auto diskUsage = switchNamed(settings.value("View/DiskUsage", "false"));
    const auto oneFileSystem = switchNamed(settings.value("View/OneFileSystem", "false"));
    const QVariant exclusions = settings.value("View/Exclude", QString());
    if (settings.status() != QSettings::NoError || !folders || !files || !bars || !counts || !diskUsage
        || !oneFileSystem || exclusions.typeId() != QMetaType::QString || !usableExclusions(exclusions.toString()))
        return ignored(notOurs);
    return {*folders, *files, *bars, *counts, *diskUsage, *oneFileSystem, exclusions.toString()};
}

bool writeViewChoices(const QString &file, const ViewChoices &choices, QString *problem)
{
    // A file that is not ours is replaced, not merged into: what the settings reader made of
    // it would be kept beside the choices.
    if (QFile old(file); old.open(QIODevice::ReadOnly) && !settingsText(old.read(Largest + 1))) {
        old.close();
        QFile::remove(file);
    }
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue("View/SortFoldersBy", SortNames[int(choices.folders)]);
    settings.setValue("View/SortFilesBy", SortNames[int(choices.files)]);
    settings.setValue("View/SizeBars", choices.sizeBars ? "true" : "false");
    settings.setValue("View/Counts", choices.counts ? "true" : "false");
    settings.setValue("View/DiskUsage", choices.diskUsage ? "true" : "false");
    // Off, as every run starts without them, they leave no line behind.
    if (choices.oneFileSystem)
        settings.setValue("View/OneFileSystem", "true");
    else
        settings.remove("View/OneFileSystem");
    if (!choices.exclusions.isEmpty())
        settings.setValue("View/Exclude", choices.exclusions);
    else
        settings.remove("View/Exclude");
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    *problem = QStringLiteral("listwright: cannot keep the View choices in %1").arg(QDir::toNativeSeparators(file));
    return false;
}
