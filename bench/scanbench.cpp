// Size-scan benchmark: times the folder list scan with sizes, the recursive file scan and the
// complete file list of a big folder against du, find and ls on the same trees, in one run,
// and prints each as a ratio to its peer.
//
//   listwright_bench [TREE]   TREE: an existing folder to scan; without it a tree of about
//                             120,000 files in 4,000 folders is generated in a temporary folder.
#include "listing/CompleteFileList.h"
#include "output/PrinterService.h"
#include "scan/DirFolderView.h"
#include "shared/MainForm.h"
#include "shared/MessageBoxes.h"
#include "shared/TextList.h"
#include "shared/WebOpener.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
class SilentBoxes : public MessageBoxes {
public:
    Answer show(const QString &text, const QString &title, Buttons) override
    {
        std::fprintf(stderr, "box: %s: %s\n", qPrintable(title), qPrintable(text));
        return Answer::No;
    }
};
class NoPrinters : public PrinterService {
public:
    QStringList printers() override { return {}; }
    void makeCurrent(int) override {}
    QString deviceName() override { return {}; }
    QStringList fonts() override { return {}; }
    QString fontName() override { return {}; }
    void setFontSize(int) override {}
    void replaceFont(const QString &) override {}
    void setEmphasis(bool) override {}
    void printLine(const QString &, int) override {}
    void endDocument() override {}
};
class NoOpener : public WebOpener {
public:
    void open(const QUrl &) override {}
};

void makeFile(const QByteArray &path, off_t size)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0) {
        if (size > 0 && ::ftruncate(fd, size) != 0)
            std::perror("ftruncate");
        ::close(fd);
    }
}

// 20 top folders, each with 10 x 20 folders below, 30 files in each leaf folder; plus one
// flat folder of 100,000 files for the file list.
void generate(const QByteArray &root)
{
    ::mkdir((root + "/tree").constData(), 0755);
    int n = 0;
    for (int a = 0; a < 20; ++a) {
        const QByteArray da = root + "/tree/top" + QByteArray::number(a);
        ::mkdir(da.constData(), 0755);
        for (int b = 0; b < 10; ++b) {
            const QByteArray db = da + "/mid" + QByteArray::number(b);
            ::mkdir(db.constData(), 0755);
            for (int c = 0; c < 20; ++c) {
                const QByteArray dc = db + "/leaf" + QByteArray::number(c);
                ::mkdir(dc.constData(), 0755);
                for (int f = 0; f < 30; ++f)
                    makeFile(dc + "/file" + QByteArray::number(f) + ".dat", (n++ * 7919) % 100000);
            }
        }
    }
    ::mkdir((root + "/flat").constData(), 0755);
    for (int f = 0; f < 100000; ++f)
        makeFile(root + "/flat/song" + QByteArray::number(f) + ".mp3", f);
}

double timeCommand(const QString &shellCommand)
{
    QElapsedTimer t;
    t.start();
    QProcess p;
    p.start(QStringLiteral("sh"), {QStringLiteral("-c"), shellCommand + QStringLiteral(" >/dev/null 2>&1")});
    p.waitForFinished(-1);
    return t.nsecsElapsed() / 1e6;
}

template <typename F>
double timeIt(F &&f)
{
    QElapsedTimer t;
    t.start();
    f();
    return t.nsecsElapsed() / 1e6;
}

void report(const char *what, double ours, const char *peer, double theirs)
{
    std::printf("%-44s %9.1f ms   %-28s %9.1f ms   ratio %.2f\n", what, ours, peer, theirs, ours / theirs);
}
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir temp;
    QByteArray tree, flat;
    if (argc > 1) {
        tree = QFile::encodeName(QDir(QString::fromLocal8Bit(argv[1])).absolutePath());
    } else {
        std::printf("generating the trees in %s ...\n", qPrintable(temp.path()));
        generate(QFile::encodeName(temp.path()));
        tree = QFile::encodeName(temp.path()) + "/tree";
        flat = QFile::encodeName(temp.path()) + "/flat";
    }
    const QString treeArg = QStringLiteral("'%1'").arg(QString::fromLocal8Bit(tree));

    SilentBoxes boxes;
    NoPrinters printers;
    NoOpener opener;
    QDir::setCurrent(QString::fromLocal8Bit(tree));
    MainWindow window(boxes, printers, opener);
    window.load();
    MainForm &f = window.form();

    // Warm the caches for everyone alike.
    timeCommand(QStringLiteral("du -sb ") + treeArg);

    const double du = timeCommand(QStringLiteral("du -sb ") + treeArg);
    const double scan = timeIt([&] { f.chkFolderSize->setChecked(true); });
    report("folder list scan with sizes", scan, "du -sb", du);

    const double find = timeCommand(QStringLiteral("find ") + treeArg + QStringLiteral(" -type f -printf '%p %s\\n'"));
    const double recursive = timeIt([&] { f.chkRecursive->setChecked(true); });
    report("recursive listing (both scans + lines)", recursive, "find -printf path size", find);
    std::printf("  recursive lines: %lld\n", (long long)f.lstBigFileList->count());
    f.chkRecursive->setChecked(false);
    f.chkFolderSize->setChecked(false);

    if (!flat.isEmpty()) {
        const double ls = timeCommand(QStringLiteral("ls -l --time-style=+%D '") + QString::fromLocal8Bit(flat) + '\'');
        const double list = timeIt([&] { f.dirFolder->setPath(flat); });
        report("open a folder of 100,000 files (full list)", list, "ls -l", ls);
        std::printf("  file lines: %lld\n", (long long)f.lstBigFileList->count());
    }
    return 0;
}
