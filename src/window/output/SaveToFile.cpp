// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/output/SaveToFile.h"

#include "core/output/AtomicTextFile.h"
#include "window/output/SaveCloseQuestion.h"
#include "window/output/TakeListingSnapshot.h"
#include "core/output/SavedListing.h"
#include "core/output/TitleCheck.h"
#include "core/scan/CallWait.h"
#include "core/shared/FsError.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"
#include "window/shared/SaveFolder.h"
#include "core/shared/Text.h"

#include <QFile>
#include <QLineEdit>
#include <atomic>
#include <memory>

QString saveFilePath(const QString &folder, const QString &title)
{
    const QString separator = folder.endsWith(u'/') ? QString() : QStringLiteral("/");
    return folder + separator + title + QStringLiteral(".txt");
}

QString saveConfirmation(const QString &path, int indentation)
{
    QString prompt = QStringLiteral("Print the list to ") + path + QStringLiteral(" ?");
    if (indentation > 0)
        prompt += QStringLiteral("\rIndentation: ") + signPosition(indentation);
    return prompt;
}

void cmdSaveToFile_Click(MainForm &f)
{
    // The page title must be usable as a file name; the check has told the user why not.
    const QString title = f.txtTitle->text();
    if (!CheckSaveToFileName(title, *f.boxes))
        return;

    try {
        const QString path = saveFilePath(f.txtMyFilePath->text(), title);
        // The file goes into the folder the box stands for (see saveFolder), under the title's name.
        QByteArray folder = saveFolder(f);
        const QByteArray target = folder + (folder.endsWith('/') ? "" : "/") + QFile::encodeName(title) + ".txt";
        const qsizetype cut = target.lastIndexOf('/');
        folder = cut == 0 ? QByteArray("/") : target.left(cut);

        const MessageBoxes::Answer answer = f.boxes->show(saveConfirmation(path, f.Indentation),
                                                          QStringLiteral("Listwright - Save To File"),
                                                          MessageBoxes::Buttons::YesNo);
        f.Answer = int(answer);
        if (answer != MessageBoxes::Answer::Yes)
            return;

        // The listing is read as it stands now and laid out with indexes of its own, so a save
        // made while a folder scan waits for events leaves that scan's place alone.
        // The file is written on a worker, as the folder may be on a share that never answers
        // (see CallWait); closing the window meanwhile asks first once part of it is written.
        auto progress = std::make_shared<SaveProgress>();
        auto lines = std::make_shared<const TextLines>(savedListingLines(takeListingSnapshot(f)));
        const SaveCloseQuestion question(f, QStringLiteral("Listwright - Save To File"));
        try {
            CallWait::run<bool>(folder, [folder, name = target.mid(cut + 1), lines, progress] {
                writeTextFileAtomically(folder, name, *lines, progress.get());
                return true;
            }, std::shared_ptr<const std::atomic<bool>>(progress, &progress->begun));
        } catch (const FsError &) {
            progress->givenUp = true; // a save that answers late leaves the older file
            throw;
        }
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error Saving to File"));
    }
}

void mnuSave_Click(MainForm &f)
{
    cmdSaveToFile_Click(f);
}
