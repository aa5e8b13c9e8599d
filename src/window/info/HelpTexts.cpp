// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/info/HelpTexts.h"

const HelpPage &helpPrintPage()
{
    static const HelpPage page{
        "frmHelpPrint",
        QStringLiteral("Help - Printing"),
        {
            {"lblHelpPrint", 120, 120, 4815, 1095,
             QStringLiteral("Printing is fairly straightforward. Listwright will list all printers on your system "
                            "and set the choice to the current system default printer. Simply by choosing a "
                            "different printer using the list sets the output to that printer. There are several "
                            "variables within user control to determine what will be printed.")},
            {"lblTitle", 360, 1320, 4335, 255,
             QStringLiteral("Page Title: Allows the user to set their own title for the page.")},
            {"lblIncludeFolders", 360, 1560, 4335, 255,
             QStringLiteral("Include Folders: When checked will print folder names.")},
            {"lblIndentation", 360, 1800, 4335, 255,
             QStringLiteral("Indentation: Preselect or enter any number < 80 characters.")},
            {"lblPrinterFont", 360, 2040, 4335, 495,
             QStringLiteral("Printer Font: Shows available fonts. (If Courier is available font then the program "
                            "changes the default to Courier)")},
            {"lblPrinterFontSize", 360, 2520, 4335, 495,
             QStringLiteral("Printer Font Size: Choose from 4 to 30. Note that for sizes < 8 Windows does not use "
                            "TrueType Fonts. Size 4 is readable.")},
            {"lblNote", 360, 3120, 4335, 495,
             QStringLiteral("Note: Files will always be printed and the Title is only printed on the first page "
                            "of output.")},
        }};
    return page;
}

const HelpPage &helpSavePage()
{
    static const HelpPage page{
        "frmHelpSave",
        QStringLiteral("Help - Save To File"),
        {
            {"lblHelpSave", 120, 120, 4815, 1095,
             QStringLiteral("Saving to a File is fairly straightforward. Listwright uses Page Title as a File "
                            "Name. The directory to where this will be saved is defaulted to the current "
                            "directory Listwright is viewing. There are several variables within user control "
                            "to determine what will be saved. The list will be saved as a .TXT file.")},
            {"lblTitle", 360, 1320, 4335, 255, QStringLiteral("Page Title: Used as Title and File Name.")},
            {"lblIncludeFolders", 360, 1560, 4335, 255,
             QStringLiteral("Include Folders: When checked will print folder names.")},
            {"lblIndentation", 360, 1800, 4335, 255,
             QStringLiteral("Indentation: Preselect or enter any number < 80 characters.")},
            // The paragraph ends in one blank, as the program has always shown it.
            {"lblAutoUpdate", 360, 2040, 4335, 615,
             QStringLiteral("AutoUpdate: When checked will update to the directory being viewed. Uncheck to drop "
                            "the .TXT files in the same directory. ")},
            {"lblNote", 360, 3000, 4335, 495,
             QStringLiteral("Note: Files will always be printed and the Title is only printed once at the top of "
                            "the file.")},
        }};
    return page;
}
