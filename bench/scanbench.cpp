// SPDX-License-Identifier: GPL-3.0-or-later
// Speed and memory benchmark, driven through the real main window as a person would drive it:
// check boxes are clicked and folders opened through the window's elements; nothing of the
// scanning code is called directly. Each job runs several times, each run beside its peer
// tool on the same tree in the same process run, and the runs' ratios are compared by their median:
//
//   folder size scan          (check "Folder Size")        beside  du -sb, and gdu -n -p -a
//                                                          when installed (apt-get install gdu)
//   the 400,000-file size scan with the lines in size order and size bars on, beside the same
//   scan in name order without bars (run right before it)
//   recursive refresh         (check "Recursive")          beside  find -printf '%p %s\n'
//   open a folder of files    (size and date columns on)   beside  ls -l
//   save the 400,000-line recursive listing                beside  cat writing the same bytes,
//                                                          and dd writing and syncing them
//   small: folder size scans of 20,000 one-file subfolders, and of one subfolder of 200,000
//   files beside three tiny ones                           beside  du -sb
//   latency: the folder size scan of 3,000 files in 150 folders on a slow mount (every call
//   waits 1 ms: scripts/hangfs.py, freshly mounted for each side, so that nothing is cached)
//                                                          beside  du -sb, and gdu -n -p -a
//   cold: the 100,000-file size scan with the page cache dropped before each side, where this
//   process may write /proc/sys/vm/drop_caches             beside  du -sb
//
// For every job it also takes the longest stretch without processing events (a 0 ms timer
// whose timeouts are timestamped while the job runs), that stretch less the time the window
// thread spent waiting for a core in it (/proc/thread-self/schedstat: on a shared machine the
// rest of a long stretch is other programs' turn), and the peak memory (VmHWM, reset before
// each run through /proc/self/clear_refs). Opening a folder also takes the repaint gap: the
// longest stretch in which the file list, asked to repaint every few milliseconds, is not
// painted.
//
// Two jobs are measured from outside, on the program itself:
//
//   start in a folder of 300,000 files with 255-byte names: the time until the window is up
//   and the program idle (its processor time stops growing for 500 ms after the splash's
//   1.5 s), and its peak memory (VmHWM)
//   million (only when asked for, --job million): 1,000,000 files in 10,000 folders, the
//   peak memory of a size scan and of a recursive refresh in the window and of the JSON
//   export, once each
//   scanfile (only when asked for, --job scanfile): a scan file of 1,010,101 entries (the
//   million job's shape, made in memory, no files on disk), read into a scan tree beside
//   gdu -n -f, with the peak memory of the read, and written from the tree beside ncdu's
//   re-export of it (ncdu -f FILE -o), once each; then the comparison of it with a newer
//   scan file of its shape (files added, removed, grown), as --list --compare OLD NEW
//   --folder-sizes makes it: both read and the compared listing made, its time and peak memory
//   with --scale: a recursive refresh of a tree of 1,000,000 files (four times the 400k tree
//   and a half), for its peak memory; it runs once whatever --runs says
//
//   listwright_bench [--runs N] [--job size|recursive|save|open|own|start|small|latency|cold|cli|million]
//                    [--scale] [--program PATH] [FOLDER]
//
// --job runs one kind of job alone (save needs recursive), for a profiler. --program names
// the program the start job starts (by default the one built beside the benchmark).
// The trees (1.4 million empty or sparse files, for the jobs that need them; 300,000 more for
// the start job, 220,000 for the small job, 3,000 for the latency job, 1,000,000 more with
// --scale) are generated in a temporary folder, or in FOLDER, where they are kept and reused by
// later runs.
#include "window/shared/MainForm.h"
#include "core/shared/MessageBoxes.h"
#include "core/scan/engine/ScanListener.h"
#include "core/scan/tree/ScanTreeSink.h"
#include "core/output/ScanFileWriter.h"
#include "core/scan/tree/ScanFileReader.h"
#include "core/listing/ScanCompare.h"
#include "core/output/SavedListing.h"
#include "window/output/PrinterService.h"
#include "window/shared/TextList.h"
#include "window/shared/WebOpener.h"
#include "window/shell/MainWindow.h"
#include "window/shell/OpenScan.h"
#include "window/shell/WindowMemory.h"
#include "window/listing/DriveList.h"
#include "window/shell/ViewMenu.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPaintEvent>
#include <QProcess>
#include <QThread>
#include <QStandardPaths>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QTimer>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <memory>
#include <string>
#include <csignal>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

// The folder tree element: only its path is set, as the drive list does.
#include "window/scan/DirFolderView.h"

namespace {
// The boxes: Yes to the save confirmation, every other box shown on stderr.
class BenchBoxes : public MessageBoxes {
public:
    Answer ask(const QString &text, const QString &title, Buttons) override
    {
        if (title == QLatin1String("Listwright - Save To File"))
            return Answer::Yes;
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

// ---- The trees ------------------------------------------------------------------------------

void makeFile(const std::string &path, off_t size)
{
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) {
        std::perror(path.c_str());
        return;
    }
    if (size > 0 && ::ftruncate(fd, size) != 0)
        std::perror("ftruncate");
    ::close(fd);
}

// `files` files in `dir`, sizes spread from 0 to about 10 MB (sparse).
void fillFolder(const std::string &dir, const char *stem, int files, int seed)
{
    ::mkdir(dir.c_str(), 0755);
    for (int i = 0; i < files; ++i)
        makeFile(dir + '/' + stem + std::to_string(i) + ".dat", off_t((seed + i) * 7919LL % 10000000));
}

// A tree of `tops` top folders, each with 10 folders of 25 leaf folders of 20 files: 5,000
// files and 261 folders per top folder.
void addTree(std::vector<std::function<void()>> &tasks, const std::string &root, int tops)
{
    ::mkdir(root.c_str(), 0755);
    for (int a = 0; a < tops; ++a) {
        tasks.push_back([root, a] {
            const std::string top = root + "/top" + std::to_string(a);
            ::mkdir(top.c_str(), 0755);
            for (int b = 0; b < 10; ++b) {
                const std::string mid = top + "/mid" + std::to_string(b);
                ::mkdir(mid.c_str(), 0755);
                for (int c = 0; c < 25; ++c)
                    fillFolder(mid + "/leaf" + std::to_string(c), "file", 20, a * 5000 + b * 500 + c * 20);
            }
        });
    }
}

// A flat folder of `files` files, filled in slices so that both cores help.
void addFlat(std::vector<std::function<void()>> &tasks, const std::string &dir, const char *stem, int files)
{
    ::mkdir(dir.c_str(), 0755);
    const int slice = 50000;
    for (int from = 0; from < files; from += slice) {
        tasks.push_back([dir, stem, from, files] {
            for (int i = from; i < std::min(files, from + slice); ++i)
                makeFile(dir + '/' + stem + std::to_string(i) + ".mp3", off_t(i * 7919LL % 10000000));
        });
    }
}

const char *const Marker = "listwright-bench-trees-1";

// Runs the tasks on both cores.
void runTasks(const std::vector<std::function<void()>> &tasks)
{
    std::atomic<size_t> next{0};
    auto worker = [&] {
        for (size_t i; (i = next++) < tasks.size();)
            tasks[i]();
    };
    std::thread helper(worker);
    worker();
    helper.join();
}

// A tree or folder generated apart from the main trees, when a job first needs it.
void generateExtra(const std::string &root, const char *marker, const char *what,
                   const std::function<void(std::vector<std::function<void()>> &)> &add)
{
    if (QFile::exists(QString::fromStdString(root + '/' + marker)))
        return;
    std::printf("generating %s in %s ...\n", what, root.c_str());
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    std::vector<std::function<void()>> tasks;
    add(tasks);
    runTasks(tasks);
    makeFile(root + '/' + marker, 0);
    std::printf("generated in %.1f s\n", clock.elapsed() / 1000.0);
}

// Makes `dir` and entries 0 to count - 1 in it with `make`, `slice` entries a task.
void addInSlices(std::vector<std::function<void()>> &tasks, const std::string &dir, int count, int slice,
                 const std::function<void(int)> &make)
{
    ::mkdir(dir.c_str(), 0755);
    for (int from = 0; from < count; from += slice)
        tasks.push_back([make, from, count, slice] {
            for (int i = from; i < std::min(count, from + slice); ++i)
                make(i);
        });
}

// 300,000 empty files whose names are 255 bytes long, the longest a name may be: a number,
// then letters.
void addLongNames(std::vector<std::function<void()>> &tasks, const std::string &dir, int files)
{
    addInSlices(tasks, dir, files, 50000, [dir](int i) {
        std::string name = std::to_string(i) + '_';
        name.resize(255, 'n');
        makeFile(dir + '/' + name, 0);
    });
}

// `folders` subfolders of `dir` holding one file each.
void addSmallTrees(std::vector<std::function<void()>> &tasks, const std::string &dir, int folders)
{
    addInSlices(tasks, dir, folders, 5000, [dir](int i) {
        const std::string one = dir + "/small" + std::to_string(i);
        ::mkdir(one.c_str(), 0755);
        makeFile(one + "/only.dat", off_t(i * 7919LL % 100000));
    });
}

// 1,000,000 files in 10,000 folders: 100 top folders of 100 folders of 100 files.
void addMillion(std::vector<std::function<void()>> &tasks, const std::string &dir)
{
    addInSlices(tasks, dir, 100, 1, [dir](int a) {
        const std::string top = dir + "/top" + std::to_string(a);
        ::mkdir(top.c_str(), 0755);
        for (int b = 0; b < 100; ++b)
            fillFolder(top + "/sub" + std::to_string(b), "file", 100, a * 10000 + b * 100);
    });
}

// A folder whose first subfolder holds 200,000 files, beside three tiny ones.
void addLopsided(std::vector<std::function<void()>> &tasks, const std::string &dir)
{
    ::mkdir(dir.c_str(), 0755);
    addFlat(tasks, dir + "/big", "big", 200000);
    for (int i = 0; i < 3; ++i)
        fillFolder(dir + "/tiny" + std::to_string(i), "tiny", 3, i);
}

// 3,000 files in 150 folders: 10 top folders, each with 20 files and 14 subfolders of 20 files.
void addSlowTree(std::vector<std::function<void()>> &tasks, const std::string &dir)
{
    ::mkdir(dir.c_str(), 0755);
    tasks.push_back([dir] {
        for (int a = 0; a < 10; ++a) {
            const std::string top = dir + "/top" + std::to_string(a);
            fillFolder(top, "file", 20, a * 300);
            for (int b = 0; b < 14; ++b)
                fillFolder(top + "/sub" + std::to_string(b), "file", 20, a * 300 + b * 20 + 20);
        }
    });
}

void generate(const QByteArray &where)
{
    const std::string root = where.toStdString();
    if (QFile::exists(QFile::decodeName(where) + '/' + Marker))
        return;
    std::printf("generating 1.4 million files in %s ...\n", root.c_str());
    std::fflush(stdout);
    QElapsedTimer clock;
    clock.start();
    std::vector<std::function<void()>> tasks;
    addTree(tasks, root + "/tree100k", 20);
    addTree(tasks, root + "/tree400k", 80);
    addFlat(tasks, root + "/flat100k", "track", 100000);
    addFlat(tasks, root + "/flat400k", "track", 400000);
    addFlat(tasks, root + "/own200k", "own", 200000);
    addFlat(tasks, root + "/own200k/below", "below", 200000);
    runTasks(tasks);
    makeFile(root + '/' + Marker, 0);
    std::printf("generated in %.1f s\n", clock.elapsed() / 1000.0);
}

// ---- Measuring ------------------------------------------------------------------------------

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

// Milliseconds a program takes (a peer tool, or ours), its output going to `out` (or nowhere),
// its errors nowhere; nothing polls it meanwhile, so that ours and its peers are measured alike.
double timePeer(const QString &program, const QStringList &args, const QString &out = {})
{
    std::vector<std::string> words{program.toStdString()};
    for (const QString &a : args)
        words.push_back(a.toStdString());
    std::vector<char *> argv;
    for (std::string &w : words)
        argv.push_back(w.data());
    argv.push_back(nullptr);
    const std::string outPath = out.isEmpty() ? std::string("/dev/null") : out.toStdString();
    posix_spawn_file_actions_t actions;
    ::posix_spawn_file_actions_init(&actions);
    ::posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    ::posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ::posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    double ms = 0;
    bool ok = false;
    QElapsedTimer clock;
    clock.start();
    pid_t pid = 0;
    const int spawned = ::posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    ::posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (spawned == 0 && ::waitpid(pid, &status, 0) == pid) {
        ms = clock.nsecsElapsed() / 1e6;
        ok = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
    if (!ok)
        std::fprintf(stderr, "%s %s failed\n", qPrintable(program), qPrintable(args.join(' ')));
    return ms;
}

// A field of a process's status file in kilobytes ("VmHWM:", ...); 0 when it cannot be read.
long statusFieldKb(const QString &statusPath, const char *field)
{
    QFile status(statusPath);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').first().toLong();
    return 0;
}

long statusKb(const char *field)
{
    return statusFieldKb(QStringLiteral("/proc/self/status"), field);
}

void resetPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

// A mirror of a folder in which every file system call waits `delayMs` first (hangfs.py, a
// FUSE file system that lets the kernel cache nothing), mounted while the object lives.
class SlowMount {
public:
    SlowMount(const QString &source, const QString &mountPoint, int delayMs) : mountPoint_(mountPoint)
    {
        QDir().mkpath(mountPoint);
        fs_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        fs_.start(QStringLiteral("/usr/bin/python3"),
                  {QStringLiteral(LISTWRIGHT_SOURCE_DIR "/scripts/hangfs.py"), source, mountPoint,
                   QStringLiteral("--delay-ms"), QString::number(delayMs)});
        for (int waited = 0; waited < 10000 && fs_.state() != QProcess::NotRunning; waited += 20) {
            if (mounted()) {
                up_ = true;
                return;
            }
            QThread::msleep(20);
        }
    }
    ~SlowMount()
    {
        if (fs_.state() == QProcess::NotRunning)
            return;
        QProcess::execute(QStringLiteral("fusermount"), {QStringLiteral("-u"), QStringLiteral("-z"), mountPoint_});
        if (!fs_.waitForFinished(10000)) {
            fs_.kill();
            fs_.waitForFinished(-1);
        }
    }
    bool up() const { return up_; }

private:
    bool mounted() const
    {
        QFile table(QStringLiteral("/proc/self/mountinfo"));
        if (!table.open(QIODevice::ReadOnly))
            return false;
        for (const QByteArray &line : table.readAll().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() > 4 && fields[4] == QFile::encodeName(mountPoint_))
                return true;
        }
        return false;
    }
    QString mountPoint_;
    QProcess fs_;
    bool up_ = false;
};

// Empties the kernel's page, folder and file caches; false where this process may not.
bool dropCaches()
{
    ::sync();
    QFile drop(QStringLiteral("/proc/sys/vm/drop_caches"));
    return drop.open(QIODevice::WriteOnly) && drop.write("3") == 1 && drop.flush();
}

// The calling thread's time on a processor and its time waiting for one (runnable, but every
// core busy with other work), in nanoseconds so far; zeros when the kernel does not tell.
struct ThreadTimes {
    qint64 ran = 0, waited = 0;
};
ThreadTimes threadTimes(int schedstat)
{
    char text[128];
    const ssize_t n = ::pread(schedstat, text, sizeof text - 1, 0);
    ThreadTimes t;
    if (n > 0) {
        text[n] = 0;
        long long ran = 0, waited = 0;
        if (std::sscanf(text, "%lld %lld", &ran, &waited) == 2)
            t = {ran, waited};
    }
    return t;
}

// One job run through the window: its time, its longest stretch without processing events
// (and the longest one less the time the window thread waited for a core in it: what the
// stretch would be on a machine with a core to spare) and the peak memory of the process
// while it ran.
struct Run {
    double ms = 0;
    double gapMs = 0;
    double ownGapMs = 0;
    double peakMb = 0;
    double repaintGapMs = 0;
};

// The longest stretch between two paints of a widget that is asked to repaint every 5 ms.
class RepaintGap : public QObject {
public:
    explicit RepaintGap(QWidget *watched) : watched_(watched)
    {
        watched_->installEventFilter(this);
        asker_.setInterval(5);
        QObject::connect(&asker_, &QTimer::timeout, watched_, [this] { watched_->update(); });
        clock_.start();
        asker_.start();
    }
    ~RepaintGap() override { watched_->removeEventFilter(this); }
    double worstMs()
    {
        note();
        return worst_ / 1e6;
    }
    long paints() const { return paints_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == watched_ && event->type() == QEvent::Paint) {
            note();
            ++paints_;
        }
        return false;
    }

private:
    void note()
    {
        const qint64 now = clock_.nsecsElapsed();
        worst_ = std::max(worst_, now - last_);
        last_ = now;
    }
    QWidget *watched_;
    QTimer asker_;
    QElapsedTimer clock_;
    qint64 last_ = 0, worst_ = 0;
    long paints_ = 0;
};

// Profiles only what is measured: `perf record -D -1 --control fifo:FIFO` with
// LISTWRIGHT_PERF_FIFO=FIFO in the environment (and `--control fifo:FIFO,FIFO.ack` to wait for perf) is enabled for each measured action alone.
void perfControl(const char *command)
{
    static const QByteArray fifo = qgetenv("LISTWRIGHT_PERF_FIFO");
    if (fifo.isEmpty())
        return;
    QFile control(QFile::decodeName(fifo));
    if (control.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        control.write(QByteArray(command) + '\n');
    // perf answers on the second fifo once the command has taken effect.
    QFile ack(QFile::decodeName(fifo + ".ack"));
    if (ack.exists() && ack.open(QIODevice::ReadOnly | QIODevice::Unbuffered)) {
        char answer[5];
        ack.read(answer, sizeof answer);
    }
}

Run measure(QWidget &window, const std::function<void()> &action, QWidget *repainted = nullptr)
{
    std::unique_ptr<RepaintGap> repaints;
    if (repainted)
        repaints = std::make_unique<RepaintGap>(repainted);
    QTimer ticker;
    ticker.setInterval(0);
    QElapsedTimer clock;
    qint64 last = 0, worst = 0, worstOwn = 0;
    const int schedstat = ::open("/proc/thread-self/schedstat", O_RDONLY | O_CLOEXEC);
    ThreadTimes lastTimes = threadTimes(schedstat);
    auto tick = [&] {
        const qint64 now = clock.nsecsElapsed();
        const ThreadTimes times = threadTimes(schedstat);
        worst = std::max(worst, now - last);
        worstOwn = std::max(worstOwn, now - last - (times.waited - lastTimes.waited));
        last = now;
        lastTimes = times;
    };
    QObject::connect(&ticker, &QTimer::timeout, tick);
    resetPeakMemory();
    perfControl("enable");
    clock.start();
    ticker.start();
    action();
    // A scan that goes on from the event loop has ended when the caption is back.
    while (window.windowTitle() != QLatin1String("Listwright"))
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    const double ms = clock.nsecsElapsed() / 1e6;
    perfControl("disable");
    tick();
    ticker.stop();
    ::close(schedstat);
    return {ms, worst / 1e6, worstOwn / 1e6, statusKb("VmHWM:") / 1024.0, repaints ? repaints->worstMs() : 0.0};
}

// The start in a folder, measured from outside: `program` started in `folder`, its processor
// time and peak memory read from /proc every 10 ms until it has been idle for 500 ms after the
// splash's 1.5 s. Answers the time at which it last used the processor, and its peak memory.
struct StartRun {
    double ms = 0;
    double cpuMs = 0; // processor time until then, all threads: what a busy machine does not change
    double peakMb = 0;
    bool ok = false;
};

long long processTicks(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray line = stat.readAll();
    // The fields after the name, which ends with the last ')': state is field 3, utime 14, stime 15.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    return fields.size() > 12 ? fields[11].toLongLong() + fields[12].toLongLong() : -1;
}

long processKb(qint64 pid, const char *field)
{
    return statusFieldKb(QStringLiteral("/proc/%1/status").arg(pid), field);
}

StartRun measureStart(const QString &program, const QString &folder)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    p.setWorkingDirectory(folder);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    QElapsedTimer clock;
    clock.start();
    p.start(program, {});
    if (!p.waitForStarted(-1)) {
        std::fprintf(stderr, "%s did not start\n", qPrintable(program));
        return {};
    }
    const qint64 pid = p.processId();
    constexpr qint64 SplashMs = 1500, QuietMs = 500, GiveUpMs = 120000;
    long long ticks = processTicks(pid);
    qint64 lastBusy = 0;
    StartRun run;
    while (p.state() == QProcess::Running && clock.elapsed() < GiveUpMs) {
        p.waitForFinished(10);
        const long long now = processTicks(pid);
        if (now < 0)
            break;
        run.peakMb = std::max(run.peakMb, processKb(pid, "VmHWM:") / 1024.0);
        if (now != ticks) {
            ticks = now;
            lastBusy = clock.elapsed();
        }
        if (clock.elapsed() > SplashMs + QuietMs && clock.elapsed() - std::max(lastBusy, SplashMs) >= QuietMs) {
            run.ms = double(lastBusy);
            run.cpuMs = double(ticks) * 1000.0 / double(::sysconf(_SC_CLK_TCK));
            run.ok = true;
            break;
        }
    }
    if (p.state() == QProcess::Running) {
        ::kill(pid_t(pid), SIGTERM);
        if (!p.waitForFinished(5000)) {
            p.kill();
            p.waitForFinished(-1);
        }
    }
    if (!run.ok)
        std::fprintf(stderr, "%s ended or never became idle\n", qPrintable(program));
    return run;
}

struct Job {
    QString name;    // as in the last lines
    QString what;    // as in the table
    QString peer;
    std::vector<double> ours, theirs;
    double gapMs = 0, ownGapMs = 0, peakMb = 0, repaintGapMs = 0;
    void add(const Run &r, double peerMs)
    {
        ours.push_back(r.ms);
        theirs.push_back(peerMs);
        gapMs = std::max(gapMs, r.gapMs);
        ownGapMs = std::max(ownGapMs, r.ownGapMs);
        peakMb = std::max(peakMb, r.peakMb);
        repaintGapMs = std::max(repaintGapMs, r.repaintGapMs);
    }
    // The median of the runs' own ratios, each run beside the peer's made next to it: a machine
    // whose speed drifts meanwhile (a shared virtual machine) weighs on both alike.
    double ratio() const
    {
        std::vector<double> each;
        for (size_t i = 0; i < ours.size() && i < theirs.size(); ++i)
            each.push_back(ours[i] / theirs[i]);
        return median(each);
    }
};

void setChecked(QCheckBox *box, bool on)
{
    if (box->isChecked() != on)
        box->click();
}

// ---- The listing without a window ------------------------------------------------------------

// The program's `--list` with `args`, its output to `out` (or nowhere): its time.
Run timeList(const QString &program, const QStringList &args, const QString &out = {})
{
    Run run;
    run.ms = timePeer(program, QStringList{QStringLiteral("--list")} + args, out);
    return run;
}

// The peak memory in MB of the same, read from outside every 10 ms: a run of its own, not timed.
double listPeakMb(const QString &program, const QStringList &args, const QString &out = {})
{
    QProcess p;
    p.setStandardOutputFile(out.isEmpty() ? QProcess::nullDevice() : out);
    p.setStandardErrorFile(QProcess::nullDevice());
    p.start(program, QStringList{QStringLiteral("--list")} + args);
    double peakMb = 0;
    while (p.state() != QProcess::NotRunning && !p.waitForFinished(10)) // NotRunning: it never started
        peakMb = std::max(peakMb, processKb(p.processId(), "VmHWM:") / 1024.0);
    return peakMb;
}

// The cli job: the listing without a window beside its peers on the 100,000 and 400,000-file
// trees, run by run in turns; with `scale`, the peak memory of the 1,000,000-file JSON export.
void cliJobs(std::vector<Job> &jobs, const QString &program, int runs, const std::function<QString(const char *)> &path,
             const QString &outDir, bool scale)
{
    const QString gdu = QStandardPaths::findExecutable(QStringLiteral("gdu"));
    const QString ncdu = QStandardPaths::findExecutable(QStringLiteral("ncdu"));
    const QString ours = outDir + QStringLiteral("/cli.json"), theirs = outDir + QStringLiteral("/peer.json");
    const char *const trees[2] = {"tree100k", "tree400k"};
    const char *const sizes[2] = {"100k", "400k"};
    const QString files[2] = {QStringLiteral("100,000 files"), QStringLiteral("400,000 files")};
    std::vector<Job> cli;
    for (int t = 0; t < 2; ++t) {
        const QString n = QString::fromLatin1(sizes[t]);
        cli.push_back({"cli folder sizes " + n, "--list --folder-sizes, " + files[t], QStringLiteral("du -sb")});
        cli.push_back({"cli recursive " + n, "--list --recursive, " + files[t], QStringLiteral("find -printf")});
        cli.push_back({"cli json " + n + " vs ncdu", "--list --format json, " + files[t], QStringLiteral("ncdu -o")});
        cli.push_back({"cli json " + n + " vs gdu", "the same JSON export, beside gdu", QStringLiteral("gdu -n -o")});
    }
    for (int r = 0; r < runs; ++r)
        for (int t = 0; t < 2; ++t) {
            const QString tree = path(trees[t]);
            Job *job = &cli[size_t(t) * 4];
            job[0].add(timeList(program, {QStringLiteral("--folder-sizes"), tree}),
                       timePeer(QStringLiteral("du"), {QStringLiteral("-sb"), tree}));
            job[1].add(timeList(program, {QStringLiteral("--recursive"), tree}),
                       timePeer(QStringLiteral("find"), {tree, QStringLiteral("-printf"), QStringLiteral("%p %s\\n")}));
            // Each export writes a new file: none pays for freeing what an export of the other
            // tree left there (the 400,000-file one is 35 MB, 9 ms to cut down to nothing).
            QFile::remove(ours);
            const Run json = timeList(program, {QStringLiteral("--format"), QStringLiteral("json"), tree}, ours);
            if (!ncdu.isEmpty()) {
                QFile::remove(theirs);
                job[2].add(json, timePeer(ncdu, {QStringLiteral("-o"), theirs, tree}));
            }
            if (!gdu.isEmpty()) {
                QFile::remove(theirs);
                job[3].add(json, timePeer(gdu, {QStringLiteral("-n"), QStringLiteral("-o"), theirs, tree}));
            }
        }
    for (int t = 0; t < 2; ++t) { // peak memory, in runs of its own
        const QString tree = path(trees[t]);
        Job *job = &cli[size_t(t) * 4];
        job[0].peakMb = listPeakMb(program, {QStringLiteral("--folder-sizes"), tree});
        job[1].peakMb = listPeakMb(program, {QStringLiteral("--recursive"), tree});
        job[2].peakMb = job[3].peakMb = listPeakMb(program, {QStringLiteral("--format"), QStringLiteral("json"), tree}, ours);
    }
    for (const Job &j : cli)
        if (!j.ours.empty())
            jobs.push_back(j);
    if (ncdu.isEmpty() || gdu.isEmpty())
        std::printf("ncdu or gdu: not installed (apt-get install ncdu gdu)\n");
    if (scale) {
        const std::string tree = path("tree1m").toStdString();
        generateExtra(tree, "../listwright-bench-tree1m-1", "1,000,000 files",
                      [&](std::vector<std::function<void()>> &tasks) { addTree(tasks, tree, 200); });
        const QStringList million{QStringLiteral("--format"), QStringLiteral("json"), path("tree1m")};
        std::printf("cli json export of 1,000,000 files: %.0f ms, peak memory %.0f MB (target 150 MB)\n",
                    timeList(program, million, ours).ms, listPeakMb(program, million, ours));
    }
    QFile::remove(ours);
    QFile::remove(theirs);
}
} // namespace

// The million job's shape (100 folders of 100 folders of 100 files) as a scan tree made in
// memory. The newer one has changed since: in every tenth folder of files its first file is
// gone, in every seventh its second grew by 1,000 bytes, in every fifth a file was added.
void millionTree(ScanTree &made, bool newer)
{
    FoundEntry folder, one;
    folder.kind = FoundEntry::Kind::Folder;
    folder.length = folder.allocated = 4096;
    folder.modified = one.modified = 1700000000;
    one.kind = FoundEntry::Kind::File;
    folder.name = "/bench/million";
    made.enter(folder);
    std::string top, sub, name;
    const auto add = [&](int64_t length) {
        one.name = QByteArrayView(name.data(), qsizetype(name.size()));
        one.length = length;
        one.allocated = (one.length + 4095) / 4096 * 4096;
        made.add(one, true);
    };
    for (int a = 0; a < 100; ++a) {
        top = "top" + std::to_string(a);
        folder.name = QByteArrayView(top.data(), qsizetype(top.size()));
        made.enter(folder);
        for (int b = 0; b < 100; ++b) {
            sub = "sub" + std::to_string(b);
            folder.name = QByteArrayView(sub.data(), qsizetype(sub.size()));
            made.enter(folder);
            const int n = a * 100 + b;
            for (int c = 0; c < 100; ++c) {
                if (newer && c == 0 && n % 10 == 0)
                    continue;
                name = "file" + std::to_string(c);
                add((a * 10000 + b * 100 + c) % 100000 + (newer && c == 1 && n % 7 == 0 ? 1000 : 0));
            }
            if (newer && n % 5 == 0) {
                name = "added";
                add(12345);
            }
            made.leave();
        }
        made.leave();
    }
    made.leave();
}

// A scan file of the million job's shape, made in memory and written to `dir`: read beside
// gdu -f, written beside ncdu -f -o; then compared with a newer one of its shape, as
// `listwright --list --compare OLD NEW --folder-sizes` compares them.
void scanFileJob(const QString &dir, const QString &program, MainWindow &window)
{
    const QString file = dir + QStringLiteral("/million.json");
    ScanTree made;
    millionTree(made, false);
    QFile out(file);
    if (!out.open(QIODevice::WriteOnly))
        return;
    QElapsedTimer clock;
    clock.start();
    writeScanTree(made, [&](QByteArrayView piece) { out.write(piece.data(), piece.size()); });
    out.close();
    const double writeMs = double(clock.nsecsElapsed()) / 1e6;
    const double ncduMs = timePeer(QStringLiteral("ncdu"), {QStringLiteral("-f"), file, QStringLiteral("-o"), QStringLiteral("/dev/null")});
    const uint32_t entries = made.size();
    made = ScanTree();
    timePeer(QStringLiteral("cat"), {file}); // a warm cache
    resetPeakMemory();
    long baseKb = statusKb("VmRSS:");
    ScanTree read;
    clock.restart();
    const ScanFileResult r = readScanFile(file, read);
    const double readMs = double(clock.nsecsElapsed()) / 1e6;
    const double peakMb = double(statusKb("VmHWM:") - baseKb) / 1024;
    const double gduMs = timePeer(QStringLiteral("gdu"), {QStringLiteral("-n"), QStringLiteral("-f"), file});
    std::printf("scanfile: %u entries, %.0f MB of text; read %s in %.0f ms, gdu -n -f %.0f ms, ratio %.2f (target under "
                "0.5); peak memory of the read %.0f MB (%.1f bytes per entry; the tree holds %.1f)\n",
                entries, double(QFileInfo(file).size()) / 1e6, r.ok() ? "whole" : qPrintable(r.message), readMs, gduMs,
                readMs / gduMs, peakMb, peakMb * 1024 * 1024 / entries, double(read.bytesHeld()) / read.size());
    std::printf("scanfile: written from the tree in %.0f ms, ncdu -f -o %.0f ms (reading it too), ratio %.2f\n", writeMs,
                ncduMs, writeMs / ncduMs);
    read = ScanTree();

    // Open Scan in the window: the same file read on a worker, and its top folder shown with
    // sizes, beside gdu's reading of it.
    {
        MainForm &f = window.form();
        setChecked(f.chkFolderSize, true);
        const double windowBaseMb = statusKb("VmRSS:") / 1024.0;
        const Run shown = measure(window, [&] { openScanFile(f, window.scans(), file); }, f.lstFolders);
        std::printf("scanfile: opened in the window, its top folder shown with sizes, in %.0f ms, %.2fx gdu -n -f (target "
                    "under 0.5); %.0f MB above the window's (target 80 MB); longest event gap %.0f ms; %s\n",
                    shown.ms, shown.ms / gduMs, shown.peakMb - windowBaseMb, shown.gapMs, qPrintable(f.txtParentFolder->text()));
        setChecked(f.chkFolderSize, false);
        f.drvDrive->setCurrentIndex(0); // back to the file system: the scan is let go
    }

    // The comparison: both files read, the top folder listed from each with folder sizes, and
    // the compared listing laid out as the saved file.
    const QString newer = dir + QStringLiteral("/million-newer.json");
    millionTree(made, true);
    out.setFileName(newer);
    if (!out.open(QIODevice::WriteOnly))
        return;
    writeScanTree(made, [&](QByteArrayView piece) { out.write(piece.data(), piece.size()); });
    out.close();
    const uint32_t newerEntries = made.size();
    made = ScanTree();
    timePeer(QStringLiteral("cat"), {newer});
    resetPeakMemory();
    baseKb = statusKb("VmRSS:");
    clock.restart();
    qsizetype lines = 0;
    QString parentLine;
    double readBothMs = 0;
    {
        ScanTree older, newerTree;
        const bool whole = readScanFile(file, older).ok() && readScanFile(newer, newerTree).ok();
        readBothMs = double(clock.nsecsElapsed()) / 1e6;
        ListingChoices choices;
        choices.folderSizes = true;
        const auto quiet = [](const QString &, const QString &) {};
        const ComparedListing compared = compareListings(listedFolder(older, 0, choices, quiet),
                                                         listedFolder(newerTree, 0, choices, quiet),
                                                         savedFileLines(choices), false);
        lines = whole ? savedListingLines(compared.snapshot).size() : 0;
        parentLine = compared.snapshot.parentFolderLine;
    }
    const double compareMs = double(clock.nsecsElapsed()) / 1e6;
    const double compareMb = double(statusKb("VmHWM:") - baseKb) / 1024;
    std::printf("scanfile: compared with a newer scan of %u entries here, one after the other, in %.0f ms (reading both "
                "%.0f ms), peak memory %.0f MB; %lld lines, %s\n",
                newerEntries, compareMs, readBothMs, compareMb, (long long)lines, qPrintable(parentLine));
    // The command itself, which reads the two at once.
    const QStringList compare{QStringLiteral("--compare"), file, QStringLiteral("--folder-sizes"), newer};
    std::vector<double> commandMs;
    for (int run = 0; run < 3; ++run)
        commandMs.push_back(timeList(program, compare).ms);
    std::printf("scanfile: listwright --list --compare OLD NEW --folder-sizes: %.0f ms (median of 3; target 2000 ms), "
                "peak memory %.0f MB (target 200 MB)\n",
                median(commandMs), listPeakMb(program, compare));
    QFile::remove(file);
    QFile::remove(newer);
}

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    handBackBigBlocks(); // as the program does: its memory is what is measured
    QApplication app(argc, argv);
    int runs = 3;
    bool scale = false;
    QString folderArg, only, program = QString::fromUtf8(LISTWRIGHT_PROGRAM);
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--runs") == 0 && i + 1 < argc)
            runs = std::max(1, atoi(argv[++i]));
        else if (qstrcmp(argv[i], "--job") == 0 && i + 1 < argc)
            only = QString::fromLocal8Bit(argv[++i]);
        else if (qstrcmp(argv[i], "--program") == 0 && i + 1 < argc)
            program = QFileInfo(QString::fromLocal8Bit(argv[++i])).absoluteFilePath(); // the jobs change folder
        else if (qstrcmp(argv[i], "--scale") == 0)
            scale = true;
        else if (argv[i][0] == '-' || !folderArg.isEmpty()) {
            // Never taken for the folder the trees are generated in.
            std::fprintf(stderr,
                         "usage: listwright_bench [--runs N] [--job size|recursive|save|open|own|start|small|latency|cold|cli|million|scanfile]\n"
                         "                        [--scale] [--program PATH] [FOLDER]\n");
            return 2;
        } else
            folderArg = QString::fromLocal8Bit(argv[i]);
    }
    if (!QFileInfo(program).isExecutable()) {
        std::fprintf(stderr, "listwright_bench: %s is not a program\n", qPrintable(program));
        return 2;
    }
    QTemporaryDir temp, config;
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8()); // the View choices as a fresh install has them
    const QString root = folderArg.isEmpty() ? temp.path() : QDir(folderArg).absolutePath();
    QDir().mkpath(root);
    auto wanted = [&](const char *job) { return only.isEmpty() || only == QLatin1String(job); };
    // The jobs of their own trees need none of the 1.4 million files.
    const bool mainTrees = !QStringList{"small", "latency", "start", "million", "scanfile"}.contains(only);
    if (mainTrees)
        generate(QFile::encodeName(root));
    auto path = [&](const char *name) { return root + '/' + QLatin1String(name); };
    QTemporaryDir outDir;

    BenchBoxes boxes;
    NoPrinters printers;
    NoOpener opener;
    QDir::setCurrent(mainTrees ? path("tree100k") : root);
    MainWindow window(boxes, printers, opener);
    window.load();
    window.show(); // shown, so that the lists lay out and paint what they get
    MainForm &f = window.form();
    auto open = [&](const QString &folder) { f.dirFolder->setPath(QFile::encodeName(folder)); };
    const double baseMb = statusKb("VmRSS:") / 1024.0;

    // Everyone reads from a warm cache.
    for (const char *tree : {"tree100k", "tree400k", "flat100k", "flat400k", "own200k"})
        if (mainTrees)
            timePeer(QStringLiteral("du"), {QStringLiteral("-sb"), path(tree)});

    setChecked(f.chkFolderSize, false);
    setChecked(f.chkRecursive, false);
    setChecked(f.chkSize, true);
    setChecked(f.chkModified, true);

    std::vector<Job> jobs;
    qsizetype recursiveLines = 0, flatLines[2] = {0, 0};
    double holdingMb = 0;

    // The 100,000 and 400,000 cases of a job take turns, run by run, so that both see the
    // machine in the same state and their ratio shows how the job grows. In `what`, %1 stands
    // for the files and %2 for the folders; `runOnce(t, job)` runs case t (0: 100,000 files,
    // 1: 400,000) once and adds it to `job`.
    const char *const trees[2] = {"tree100k", "tree400k"};
    const char *const sizes[2] = {"100k", "400k"};
    auto inTurns = [&](const QString &name, const QString &what, const QString &peer,
                       const std::function<void(int, Job &)> &runOnce) {
        Job pair[2];
        for (int t = 0; t < 2; ++t) {
            const QString caption =
                QString(what).replace("%1", t == 0 ? "100,000" : "400,000").replace("%2", t == 0 ? "5,220" : "20,880");
            pair[t] = {name + ' ' + sizes[t], caption, peer};
        }
        for (int r = 0; r < runs; ++r)
            for (int t = 0; t < 2; ++t)
                runOnce(t, pair[t]);
        jobs.insert(jobs.end(), {pair[0], pair[1]});
    };
    const QString treeFiles = QStringLiteral("%1 files in %2 folders");

    // gdu, the parallel peer of the size scan, when it is installed.
    const QString gdu = QStandardPaths::findExecutable(QStringLiteral("gdu"));
    if (wanted("size")) {
        Job sorted{QStringLiteral("size scan 400k sorted"), QStringLiteral("the 400,000-file scan, size order and size bars"),
                   QStringLiteral("name order")};
        // Show Counts and Disk Usage on, beside the same scan without them, run right before it.
        Job counted[2] = {{QStringLiteral("size scan 100k counts"), QStringLiteral("the 100,000-file scan, counts and disk usage"),
                           QStringLiteral("without")},
                          {QStringLiteral("size scan 400k counts"), QStringLiteral("the 400,000-file scan, counts and disk usage"),
                           QStringLiteral("without")}};
        Job beside[2] = {{QStringLiteral("size scan 100k vs gdu"), QStringLiteral("the same 100,000-file scan, beside gdu"),
                          QStringLiteral("gdu -n -p -a")},
                         {QStringLiteral("size scan 400k vs gdu"), QStringLiteral("the same 400,000-file scan, beside gdu"),
                          QStringLiteral("gdu -n -p -a")}};
        inTurns(QStringLiteral("size scan"), QStringLiteral("folder size scan, ") + treeFiles, QStringLiteral("du -sb"),
                [&](int t, Job &job) {
                    open(path(trees[t]));
                    const double peer = timePeer(QStringLiteral("du"), {QStringLiteral("-sb"), path(trees[t])});
                    const Run run = measure(*f.window, [&] { f.chkFolderSize->click(); });
                    job.add(run, peer);
                    if (!gdu.isEmpty())
                        beside[t].add(run, timePeer(gdu, {QStringLiteral("-n"), QStringLiteral("-p"), QStringLiteral("-a"),
                                                          path(trees[t])}));
                    setChecked(f.chkFolderSize, false);
                    showViewChoices(f, {SortBy::Name, SortBy::Name, false, true, true});
                    counted[t].add(measure(*f.window, [&] { f.chkFolderSize->click(); }), run.ms);
                    setChecked(f.chkFolderSize, false);
                    showViewChoices(f, {});
                    if (t == 1) { // beside the same scan in name order, run right before it
                        showViewChoices(f, {SortBy::Size, SortBy::Size, true});
                        sorted.add(measure(*f.window, [&] { f.chkFolderSize->click(); }), run.ms);
                        setChecked(f.chkFolderSize, false);
                        showViewChoices(f, {});
                    }
                });
        jobs.push_back(sorted);
        jobs.insert(jobs.end(), {counted[0], counted[1]});
        if (!gdu.isEmpty())
            jobs.insert(jobs.end(), {beside[0], beside[1]});
    }

    if (wanted("recursive"))
        inTurns(QStringLiteral("recursive refresh"), QStringLiteral("recursive refresh, ") + treeFiles,
                QStringLiteral("find -printf"), [&](int t, Job &job) {
                    open(path(trees[t]));
                    const double peer = timePeer(QStringLiteral("find"),
                                                 {path(trees[t]), QStringLiteral("-printf"), QStringLiteral("%p %s\\n")});
                    job.add(measure(*f.window, [&] { f.chkRecursive->click(); }), peer);
                    recursiveLines = f.lstBigFileList->count();
                    setChecked(f.chkFolderSize, false);
                    setChecked(f.chkRecursive, false);
                });

    // Save the 400,000-line recursive listing, and the memory that holding it takes.
    if (wanted("recursive") || wanted("save")) {
        open(path("tree400k"));
        f.chkRecursive->click();
        recursiveLines = f.lstBigFileList->count();
        holdingMb = statusKb("VmRSS:") / 1024.0;
        f.txtTitle->setText(QStringLiteral("LISTWRIGHT"));
        f.txtMyFilePath->setText(outDir.path());
        const QString saved = outDir.path() + QStringLiteral("/LISTWRIGHT.txt");
        const QString copy = outDir.path() + QStringLiteral("/copy.txt");
        // The save ends with the file on disk (it is synced before it is renamed into place), so
        // it is also put beside a copy that does the same.
        Job save{QStringLiteral("save 400k lines"), QStringLiteral("save the 400,000-line listing"), QStringLiteral("cat")};
        Job synced{QStringLiteral("save 400k lines vs synced copy"), QStringLiteral("the same save, beside a synced copy"),
                   QStringLiteral("dd fdatasync")};
        for (int r = 0; r < runs; ++r) {
            const Run run = measure(*f.window, [&] { f.cmdSaveToFile->click(); });
            // The older file is freed by a pool thread after the save; the peers do not share
            // the disk with it.
            QThreadPool::globalInstance()->waitForDone();
            save.add(run, timePeer(QStringLiteral("cat"), {saved}, copy));
            synced.add(run, timePeer(QStringLiteral("dd"), {"if=" + saved, "of=" + copy, QStringLiteral("bs=1M"),
                                                            QStringLiteral("conv=fdatasync")}));
        }
        std::printf("saved listing: %lld bytes\n", (long long)QFileInfo(saved).size());
        jobs.push_back(save);
        jobs.push_back(synced);
        setChecked(f.chkFolderSize, false);
        setChecked(f.chkRecursive, false);
    }

    // Open a folder of 100,000 and of 400,000 files, with the size and date columns.
    if (wanted("open"))
        inTurns(QStringLiteral("open folder"), QStringLiteral("open a folder of %1 files"), QStringLiteral("ls -l"),
                [&](int t, Job &job) {
                    const QString flat = path(t == 0 ? "flat100k" : "flat400k");
                    open(path("tree100k")); // away, so that the folder is read again
                    const double peer = timePeer(QStringLiteral("ls"), {QStringLiteral("-l"), flat});
                    job.add(measure(*f.window, [&] { open(flat); }, f.lstBigFileList->viewport()), peer);
                    flatLines[t] = f.lstBigFileList->count();
                });

    // A size scan of a folder with 200,000 files of its own and 200,000 in its one subfolder.
    if (wanted("own")) {
        open(path("own200k"));
        Job own{QStringLiteral("size scan 200k+200k"), QStringLiteral("size scan, 200,000 own + 200,000 below"),
                QStringLiteral("du -sb")};
        for (int r = 0; r < runs; ++r) {
            const double peer = timePeer(QStringLiteral("du"), {QStringLiteral("-sb"), path("own200k")});
            own.add(measure(*f.window, [&] { f.chkFolderSize->click(); }), peer);
            setChecked(f.chkFolderSize, false);
        }
        jobs.push_back(own);
    }

    // The folder size scan of `folder` once, beside `du -sb` on it.
    auto sizeScanBesideDu = [&](const QString &folder, Job &job) {
        open(folder);
        const double peer = timePeer(QStringLiteral("du"), {QStringLiteral("-sb"), folder});
        job.add(measure(*f.window, [&] { f.chkFolderSize->click(); }), peer);
        setChecked(f.chkFolderSize, false);
    };

    // Many small trees, and one big folder beside tiny ones, from a warm cache: what handing
    // the work to the workers costs, and whether one big tree keeps them all busy.
    if (wanted("small")) {
        const std::string small = path("small20k").toStdString(), lopsided = path("lopsided").toStdString();
        generateExtra(small, "../listwright-bench-small20k-1", "20,000 one-file subfolders",
                      [&](std::vector<std::function<void()>> &tasks) { addSmallTrees(tasks, small, 20000); });
        generateExtra(lopsided, "../listwright-bench-lopsided-1", "200,000 files in one subfolder beside three tiny ones",
                      [&](std::vector<std::function<void()>> &tasks) { addLopsided(tasks, lopsided); });
        Job many{QStringLiteral("small trees 20k"), QStringLiteral("folder size scan, 20,000 one-file subfolders"),
                 QStringLiteral("du -sb")};
        Job one{QStringLiteral("one big tree 200k"), QStringLiteral("folder size scan, 200,000 files in 1 of 4 folders"),
                QStringLiteral("du -sb")};
        for (const QString &folder : {path("small20k"), path("lopsided")})
            timePeer(QStringLiteral("du"), {QStringLiteral("-sb"), folder});
        for (int r = 0; r < runs; ++r) {
            sizeScanBesideDu(path("small20k"), many);
            sizeScanBesideDu(path("lopsided"), one);
        }
        jobs.insert(jobs.end(), {many, one});
        open(root);
    }

    // A slow mount: each side scans a fresh mount, so that neither finds anything cached.
    QString latencySkipped;
    if (wanted("latency")) {
        const std::string source = path("slow3k").toStdString();
        generateExtra(source, "../listwright-bench-slow3k-1", "3,000 files in 150 folders",
                      [&](std::vector<std::function<void()>> &tasks) { addSlowTree(tasks, source); });
        const QString mountPoint = outDir.path() + QStringLiteral("/slow");
        Job slow{QStringLiteral("latency 3k"), QStringLiteral("size scan, 3,000 files in 150 folders, 1 ms a call"),
                 QStringLiteral("du -sb")};
        Job slowGdu{QStringLiteral("latency 3k vs gdu"), QStringLiteral("the same slow scan, beside gdu"),
                    QStringLiteral("gdu -n -p -a")};
        const auto slowPeer = [&](const QString &program, const QStringList &args) {
            SlowMount mount(path("slow3k"), mountPoint, 1);
            return mount.up() ? timePeer(program, args) : 0.0;
        };
        for (int r = 0; r < runs && latencySkipped.isEmpty(); ++r) {
            Run run;
            {
                SlowMount mount(path("slow3k"), mountPoint, 1);
                if (!mount.up()) {
                    latencySkipped = QStringLiteral("hangfs.py did not mount (needs /dev/fuse and python3-fusepy)");
                    break;
                }
                open(mountPoint);
                run = measure(*f.window, [&] { f.chkFolderSize->click(); });
                setChecked(f.chkFolderSize, false);
                open(root); // off the mount before it goes
            }
            slow.add(run, slowPeer(QStringLiteral("du"), {QStringLiteral("-sb"), mountPoint}));
            if (!gdu.isEmpty())
                slowGdu.add(run, slowPeer(gdu, {QStringLiteral("-n"), QStringLiteral("-p"), QStringLiteral("-a"), mountPoint}));
        }
        if (latencySkipped.isEmpty()) {
            jobs.push_back(slow);
            if (!gdu.isEmpty())
                jobs.push_back(slowGdu);
        }
    }

    // The 100,000-file size scan from a cold cache: the cache is dropped before each side.
    QString coldSkipped;
    if (wanted("cold")) {
        Job cold{QStringLiteral("cold size scan 100k"), QStringLiteral("folder size scan, 100,000 files, cold cache"),
                 QStringLiteral("du -sb")};
        for (int r = 0; r < runs && coldSkipped.isEmpty(); ++r) {
            open(path("tree100k"));
            if (!dropCaches()) {
                coldSkipped = QStringLiteral("may not write /proc/sys/vm/drop_caches");
                break;
            }
            const double peer = timePeer(QStringLiteral("du"), {QStringLiteral("-sb"), path("tree100k")});
            dropCaches();
            cold.add(measure(*f.window, [&] { f.chkFolderSize->click(); }), peer);
            setChecked(f.chkFolderSize, false);
        }
        if (coldSkipped.isEmpty())
            jobs.push_back(cold);
    }

    // A recursive listing of 1,000,000 lines, for the memory it takes: once.
    double millionMb = 0;
    qsizetype millionLines = 0;
    if (scale && (only.isEmpty() || only == QLatin1String("recursive") || only == QLatin1String("scale"))) {
        const std::string tree = path("tree1m").toStdString();
        generateExtra(tree, "../listwright-bench-tree1m-1", "1,000,000 files",
                      [&](std::vector<std::function<void()>> &tasks) { addTree(tasks, tree, 200); });
        open(path("tree1m"));
        const double peer = timePeer(QStringLiteral("find"), {path("tree1m"), QStringLiteral("-printf"), QStringLiteral("%p %s\\n")});
        Job million{QStringLiteral("recursive refresh 1m"), QStringLiteral("recursive refresh, 1,000,000 files in 52,200 folders"),
                    QStringLiteral("find -printf")};
        million.add(measure(*f.window, [&] { f.chkRecursive->click(); }), peer);
        millionLines = f.lstBigFileList->count();
        millionMb = million.peakMb;
        jobs.push_back(million);
        setChecked(f.chkFolderSize, false);
        setChecked(f.chkRecursive, false);
        open(path("tree100k"));
    }

    // 1,000,000 files in 10,000 folders, for the memory a scan of it takes: once each.
    if (only == QLatin1String("million")) {
        const std::string tree = path("million").toStdString();
        generateExtra(tree, "../listwright-bench-million-1", "1,000,000 files in 10,000 folders",
                      [&](std::vector<std::function<void()>> &tasks) { addMillion(tasks, tree); });
        const QString folder = path("million");
        timePeer(QStringLiteral("du"), {QStringLiteral("-sb"), folder}); // a warm cache
        open(folder);
        Job size{QStringLiteral("million size scan"), QStringLiteral("size scan, 1,000,000 files in 10,000 folders"),
                 QStringLiteral("du -sb")};
        size.add(measure(*f.window, [&] { f.chkFolderSize->click(); }), timePeer(QStringLiteral("du"), {QStringLiteral("-sb"), folder}));
        Job recursive{QStringLiteral("million recursive"), QStringLiteral("recursive refresh, the same"), QStringLiteral("find -printf")};
        recursive.add(measure(*f.window, [&] { f.chkRecursive->click(); }),
                      timePeer(QStringLiteral("find"), {folder, QStringLiteral("-printf"), QStringLiteral("%p %s\\n")}));
        jobs.insert(jobs.end(), {size, recursive});
        setChecked(f.chkFolderSize, false);
        setChecked(f.chkRecursive, false);
        open(root);
        const QString json = outDir.path() + QStringLiteral("/million.json");
        const QStringList args{QStringLiteral("--format"), QStringLiteral("json"), folder};
        std::printf("million: size scan peak %.0f MB (target 80 MB), recursive peak %.0f MB (target 120 MB), "
                    "JSON export peak %.0f MB (target 60 MB), all in the window's process but the export; "
                    "window memory before %.0f MB\n",
                    size.peakMb, recursive.peakMb, listPeakMb(program, args, json), baseMb);
        QFile::remove(json);
        // The scan tree alone, as the walk builds it, beside du.
        struct Quiet : ScanListener {
            using ScanListener::ScanListener;
            ScanEnd problem(const QString &, const QString &) override { return ScanEnd::Completed; }
            ScanEnd pump() override { return ScanEnd::Completed; }
        } listener(ScanOptions{1000, -1});
        ScanTree scanned;
        QElapsedTimer clock;
        clock.start();
        buildScanTree(folder.toUtf8(), listener, scanned);
        const double treeMs = double(clock.nsecsElapsed()) / 1e6;
        const double duMs = timePeer(QStringLiteral("du"), {QStringLiteral("-sb"), folder});
        std::printf("million: scan tree of %u entries, %.1f bytes per entry (target 50), %.0f MB, %lld bytes below; "
                    "built in %.0f ms, %.2fx du -sb\n",
                    scanned.size(), double(scanned.bytesHeld()) / scanned.size(), double(scanned.bytesHeld()) / 1e6,
                    static_cast<long long>(scanned.totals(0).bytes), treeMs, treeMs / duMs);
    }

    if (only == QLatin1String("scanfile"))
        scanFileJob(outDir.path(), program, window);

    if (wanted("cli"))
        cliJobs(jobs, program, runs, path, outDir.path(), scale);

    // Start the program in a folder of 300,000 files with 255-byte names, measured from outside.
    std::vector<double> startMs, startCpuMs;
    double startMb = 0;
    if (wanted("start")) {
        const std::string dir = path("long300k").toStdString();
        generateExtra(dir, "../listwright-bench-long300k-1", "300,000 files with 255-byte names",
                      [&](std::vector<std::function<void()>> &tasks) { addLongNames(tasks, dir, 300000); });
        for (int r = 0; r < runs; ++r) {
            const StartRun run = measureStart(program, path("long300k"));
            if (run.ok) {
                startMs.push_back(run.ms);
                startCpuMs.push_back(run.cpuMs);
            }
            startMb = std::max(startMb, run.peakMb);
        }
    }

    // The table.
    std::printf("\n%d runs each, medians; %u cores; window memory before the jobs %.0f MB\n", runs,
                std::thread::hardware_concurrency(), baseMb);
    std::printf("recursive lines %lld; file lines %lld and %lld; memory holding the 400,000-line listing %.0f MB\n\n",
                (long long)recursiveLines, (long long)flatLines[0], (long long)flatLines[1], holdingMb);
    std::printf("| %-50s | %10s | %-12s | %10s | %5s | %9s | %8s |\n", "job", "Listwright", "peer", "peer", "ratio",
                "event gap", "peak mem");
    std::printf("|%s|%s|%s|%s|%s|%s|%s|\n", std::string(52, '-').c_str(), std::string(12, '-').c_str(),
                std::string(14, '-').c_str(), std::string(12, '-').c_str(), std::string(7, '-').c_str(),
                std::string(11, '-').c_str(), std::string(10, '-').c_str());
    for (const Job &j : jobs)
        std::printf("| %-50s | %7.1f ms | %-12s | %7.1f ms | %5.2f | %6.1f ms | %5.0f MB |\n", qPrintable(j.what),
                    median(j.ours), qPrintable(j.peer), median(j.theirs), j.ratio(), j.gapMs, j.peakMb);
    std::printf("\n");

    auto jobNamed = [&](const std::string &name) {
        const auto j = std::find_if(jobs.begin(), jobs.end(), [&](const Job &j) { return j.name == QLatin1String(name.c_str()); });
        return j == jobs.end() ? nullptr : &*j;
    };
    // Event gaps and memory first; the ratios come last, one line per job.
    for (const Job &j : jobs)
        if (!j.name.startsWith(QLatin1String("save")))
            std::printf("%s event gap: %.1f ms (%.1f ms less its waits for a core)\n", qPrintable(j.name), j.gapMs,
                        j.ownGapMs);
    for (const Job &j : jobs)
        if (j.name != QLatin1String("save 400k lines vs synced copy"))
            std::printf("%s peak memory: %.0f MB\n", qPrintable(j.name), j.peakMb);
    if (holdingMb > 0)
        std::printf("holding the 400k recursive listing memory: %.0f MB\n", holdingMb);
    for (const Job &j : jobs)
        if (j.repaintGapMs > 0)
            std::printf("%s repaint gap: %.1f ms (target 100 ms)\n", qPrintable(j.name), j.repaintGapMs);
    if (millionLines > 0)
        std::printf("recursive listing of %lld lines peak memory: %.0f MB (target 150 MB)\n", (long long)millionLines,
                    millionMb);
    if (!startMs.empty() || startMb > 0)
        std::printf("start in 300k files with 255-byte names: up and idle %.0f ms (target 3000 ms; processor time "
                    "%.0f ms), peak memory %.0f MB (target 150 MB), %zu of %d runs idle\n",
                    median(startMs), median(startCpuMs), startMb, startMs.size(), runs);
    if ((wanted("size") || wanted("latency")) && gdu.isEmpty())
        std::printf("gdu: not installed (apt-get install gdu)\n");
    if (!latencySkipped.isEmpty())
        std::printf("latency: skipped, %s\n", qPrintable(latencySkipped));
    if (!coldSkipped.isEmpty())
        std::printf("cold: skipped, %s\n", qPrintable(coldSkipped));
    for (const Job &j : jobs)
        std::printf("%s: ratio %.2f\n", qPrintable(j.name), j.ratio());
    // The growth: the median of the runs' own ratios, each of a 400,000 case and the 100,000
    // case run just before it, so that the machine's drift over minutes does not enter.
    for (const char *job : {"size scan", "recursive refresh", "open folder"}) {
        const Job *small = jobNamed(job + std::string(" 100k")), *large = jobNamed(job + std::string(" 400k"));
        if (!small || !large)
            continue;
        std::vector<double> growth;
        for (size_t r = 0; r < std::min(small->ours.size(), large->ours.size()); ++r)
            growth.push_back(large->ours[r] / small->ours[r]);
        std::printf("%s 400k vs 100k: ratio %.2f\n", job, median(growth));
    }
    return 0;
}
