// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/output/PrintConfirmation.h"

#include "core/shared/Text.h"

QString printConfirmation(const PrintConfirmationFacts &facts)
{
    QString prompt = QStringLiteral("Print: ") + QString::number(facts.fileCount) + QStringLiteral(" items");
    if (facts.includeFolders)
        prompt += QStringLiteral(" and ") + QString::number(facts.folderCount) + QStringLiteral(" folders");
    prompt += QStringLiteral("\rOn: ") + facts.deviceName;
    prompt += QStringLiteral("\rPrinter Font: ") + facts.fontName + QLatin1Char(' ') + signPosition(facts.fontSize);
    if (facts.indentation > 0)
        prompt += QStringLiteral("\rIndentation: ") + signPosition(facts.indentation);
    return prompt;
}
