#include "output/QtPrinterService.h"
#include "shared/MessageBoxes.h"
#include "shared/WebOpener.h"
#include "shell/MainWindow.h"
#include "shell/Splash.h"

#include <QApplication>
#include <memory>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("listwright"));
    QApplication::setApplicationVersion(QStringLiteral("2.0.0"));

    QtMessageBoxes boxes;
    QtPrinterService printer;
    DesktopWebOpener opener;
    std::unique_ptr<MainWindow> main;

    // The splash opens first; its first tick creates, loads and shows the main window.
    auto *splash = new SplashWindow([&] {
        main = std::make_unique<MainWindow>(boxes, printer, opener);
        boxes.setParent(main.get());
        if (!main->load()) {
            QCoreApplication::exit(1);
            return;
        }
        main->show();
    });
    splash->setAttribute(Qt::WA_DeleteOnClose);
    splash->show();
    return app.exec();
}
