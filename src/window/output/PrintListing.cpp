// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/output/PrintListing.h"

#include "window/output/TakeListingSnapshot.h"
#include "window/output/PrintConfirmation.h"
#include "window/output/PrintedListing.h"
#include "window/output/PrinterService.h"
#include "window/scan/DirFolderView.h"
#include "core/shared/FsError.h"
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"
#include "window/shared/TextList.h"

// Prints the listing the window shows on the current printer, after the user has confirmed
// what, where and in which font. Nothing here yields to the event loop, and the lines are
// walked with loop indexes of the command's own, so a print started inside a running size
// scan leaves that scan's position alone.
void cmdPrint_Click(MainForm &f)
{
    try {
        // Confirmation.
        PrintConfirmationFacts facts;
        facts.fileCount = f.lstBigFileList->count();
        facts.includeFolders = isChecked(f.chkPrintDir);
        facts.folderCount = f.dirFolder->count();
        if (f.lstBigFileList->filtering()) { // what a find shows
            facts.fileCount = f.lstBigFileList->shownCount();
            facts.folderCount = f.lstFolders->shownCount();
        }
        facts.deviceName = f.printer->deviceName();
        facts.fontName = f.printer->fontName();
        facts.fontSize = f.PrinterFontSize;
        facts.indentation = f.Indentation;
        const MessageBoxes::Answer answer = f.boxes->show(printConfirmation(facts), QStringLiteral("Listwright - Print"),
                                                          MessageBoxes::Buttons::YesNo);
        f.Answer = static_cast<int>(answer);

        // Decision: only Yes prints, and only when there are folders or files.
        if (answer != MessageBoxes::Answer::Yes)
            return;
        if (!(f.dirFolder->count() > 0 || f.lstBigFileList->count() > 0))
            return;

        // The page, then the end of the document, which releases it to the printer.
        printListing(takeListingSnapshot(f), f.PrinterFontSize, *f.printer);
        f.printer->endDocument();
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e), QStringLiteral("Listwright - Error Printing"));
    }
}

void mnuPrint_Click(MainForm &f) { cmdPrint_Click(f); }
