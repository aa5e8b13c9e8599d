#include "support/WindowFixture.h"

#include "scan/DirFolderView.h"

#include <QDir>
#include <QFile>

WindowFixture::WindowFixture(const QByteArray &folder, bool load) : previousFolder_(QDir::currentPath())
{
    QDir::setCurrent(QFile::decodeName(folder));
    window = std::make_unique<MainWindow>(boxes, printer, opener);
    if (load)
        window->load();
}

WindowFixture::~WindowFixture()
{
    window.reset();
    QDir::setCurrent(previousFolder_);
}
