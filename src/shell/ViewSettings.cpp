// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/ViewSettings.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>
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
    QFile readable(file);
    if (!QFileInfo(file).isFile() || !readable.open(QIODevice::ReadOnly))
        return ignored(QStringLiteral("it cannot be read"));
    readable.close();
    QSettings settings(file, QSettings::IniFormat);
    ViewChoices choices;
    const auto folders = sortNamed(settings.value("View/SortFoldersBy", "Name"));
    const auto files = sortNamed(settings.value("View/SortFilesBy", "Name"));
    const auto bars = switchNamed(settings.value("View/SizeBars", "false"));
    if (settings.status() != QSettings::NoError || !folders || !files || !bars)
        return ignored(QStringLiteral("it is not a settings file of this program"));
    return {*folders, *files, *bars};
}

bool writeViewChoices(const QString &file, const ViewChoices &choices, QString *problem)
{
    QSettings settings(file, QSettings::IniFormat);
    settings.setValue("View/SortFoldersBy", SortNames[int(choices.folders)]);
    settings.setValue("View/SortFilesBy", SortNames[int(choices.files)]);
    settings.setValue("View/SizeBars", choices.sizeBars ? "true" : "false");
    settings.sync();
    if (settings.status() == QSettings::NoError)
        return true;
    *problem = QStringLiteral("listwright: cannot keep the View choices in %1").arg(QDir::toNativeSeparators(file));
    return false;
}
