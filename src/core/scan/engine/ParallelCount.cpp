// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/scan/engine/ParallelCount.h"

#include "core/scan/engine/FolderWalker.h"
#include "core/scan/engine/ScanListener.h"
#include "core/scan/engine/TreeCounter.h"
#include "core/shared/FsError.h"
#include "core/shared/Text.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <ctime>
#include <iterator>
#include <map>
#include <mutex>
#include <optional>
#include <sched.h>
#include <sys/resource.h>
#include <thread>

namespace {
// No tree is split deeper than this below its subfolder: by then the pieces are many.
constexpr int MaxSplitDepth = 12;

// Where a piece lies in the walk: the tree's index in the list, then the piece's index among
// the pieces of the folder split above it, and so on. Keys in order are pieces in walk order.
// Held in place, as every piece has one: a tree piece lies at most MaxSplitDepth levels below
// its tree, and a piece of files or a count again one level further.
class Key {
public:
    Key() = default;
    explicit Key(uint32_t tree) : size_(1) { at_[0] = tree; }
    size_t size() const { return size_; }
    friend Key childKey(const Key &parent, uint32_t child)
    {
        Q_ASSERT(parent.size_ < Levels);
        Key key = parent;
        key.at_[key.size_++] = child;
        return key;
    }
    friend bool operator<(const Key &a, const Key &b)
    {
        return std::lexicographical_compare(a.at_.begin(), a.at_.begin() + a.size_, b.at_.begin(), b.at_.begin() + b.size_);
    }

private:
    static constexpr size_t Levels = MaxSplitDepth + 3;
    std::array<uint32_t, Levels> at_{};
    uint8_t size_ = 0;
};

// Files of one folder a worker stats in one piece, when the folder is split: fewer once the
// workers were found waiting on the kernel, where each file costs a call to a server.
constexpr size_t SliceFiles = 4096, SlowSliceFiles = 16;
// Small trees handed to a worker at once: as many as it counts in about 2 ms, 64 at most.
constexpr size_t MaxBatch = 64;
constexpr int64_t BatchNs = 2000000;
// Counted pieces that wake the scan waiting for the first of them.
constexpr size_t WakeAfterPieces = 16;

// A folder split into pieces that the scan, taking a tree's pieces in walk order, is in: its
// key, and how many of its pieces there are and it took.
struct Split {
    Key key;
    uint32_t children, next = 0;
};

// A split folder as read once, shared by the pieces of its files.
struct SplitTop {
    SplitTop(ScanListener *listener, std::shared_ptr<const SplitTop> above) : walker(listener), above(std::move(above)) {}
    FolderWalker walker;
    std::shared_ptr<const SplitTop> above; // the split folder it lies in, if any
};

// The outermost of `top` and the split folders above it that is gone, going up while they
// are: what one walk reports when a folder of its path went. Empty when `top` is there.
QByteArray outermostGone(const SplitTop *top)
{
    QByteArray gone;
    for (; top && folderGone(top->walker.currentFolder()); top = top->above.get())
        gone = top->walker.currentPath();
    return gone;
}

// A piece of work: a tree walked from `path` (split further when work runs short), or files
// `from` to `to` of a split folder.
struct Piece {
    Key key;
    QByteArray path;
    std::shared_ptr<const std::vector<FolderWalker::FolderId>> place; // the split folders above it
    std::shared_ptr<const SplitTop> top; // the split folder whose files it counts
    std::shared_ptr<const SplitTop> in;  // the split folder its tree lies in
    size_t from = 0, to = 0;
    bool own = false; // the scan folder's own files
    // A tree counted again in one walk, after the files and folders the scan met before it.
    std::shared_ptr<SeenFiles> after = nullptr;
    int depth() const { return place ? int(place->size()) : 0; }
};

// Where the count of a tree counted again is kept: after every piece of that tree.
Key againKey(size_t tree)
{
    return childKey(Key(uint32_t(tree)), UINT32_MAX);
}

// A counted piece, and how many pieces follow it in walk order before the next piece of its
// own level (the pieces it was split into).
struct Counted {
    CountedTree tree;
    std::unique_ptr<EntrySink> sink;      // what it met, when the walk has sinks
    // A tree piece, to walk again if need be: its piece, kept unless it is a whole tree of the
    // list (most are), which is walked again from the list.
    bool walkable = false;
    std::shared_ptr<const Piece> source{};
    // The folder it starts at, or whose files it counted: what a folder found removed above it
    // is compared with. None for a whole tree of the list unless it was split or found removed,
    // as nothing lies above it.
    QByteArray folder{};
    uint32_t children = 0;
    bool split = false; // the top folder of a split tree: its sink went into the folder
    bool gone = false; // that folder was found removed: nothing below it is shown
    size_t worker = SIZE_MAX; // the worker that counted it (see Shared::spent)
};

bool isBelowOrAt(const QByteArray &path, const QByteArray &folder)
{
    return path.startsWith(folder) && (path.size() == folder.size() || path[folder.size()] == '/');
}

// How a thread spent a stretch of time: on a core, or waiting in the kernel.
struct Effort {
    int64_t cpuNs = 0, wallNs = 0;
    int64_t processNs = 0; // the whole program's processor time
    long waits = 0; // times it gave up the core of its own accord

    static Effort now()
    {
        Effort e;
        timespec cpu{};
        ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &cpu);
        e.cpuNs = int64_t(cpu.tv_sec) * 1000000000 + cpu.tv_nsec;
        ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu);
        e.processNs = int64_t(cpu.tv_sec) * 1000000000 + cpu.tv_nsec;
        e.wallNs = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
                       .count();
        rusage usage{};
        ::getrusage(RUSAGE_THREAD, &usage);
        e.waits = usage.ru_nvcsw;
        return e;
    }
    // Whether the thread waited on the kernel most of the time since `before`: it was off the
    // core most of that time and gave it up often, while the program left at least half a core
    // unused. A thread that only loses its core to other programs does not give it up of its own
    // accord; one that waits for the others' lock does, but then the cores are busy.
    bool mostlyWaitedSince(const Effort &before) const
    {
        static const int64_t cores = std::max(1u, std::thread::hardware_concurrency());
        const int64_t wall = wallNs - before.wallNs;
        return wall >= 2000000 && (cpuNs - before.cpuNs) * 2 < wall && waits - before.waits >= 4
               && (processNs - before.processNs) * 2 < wall * (2 * cores - 1);
    }
};
} // namespace

struct ParallelCount::Shared : std::enable_shared_from_this<Shared> {
    Shared(const QByteArray &scanFolder, std::vector<QByteArray> trees, LineOf lineOf, size_t maxThreads, bool ownFiles,
           NewPieceSink newPiece, WalkScope scope, bool diskUsage)
        : scanFolder(scanFolder), trees(withOwn(std::move(trees), scanFolder, ownFiles)), lineOf(std::move(lineOf)),
          newPiece(std::move(newPiece)), scope(std::move(scope)), diskUsage(diskUsage),
          maxThreads(maxThreads), ownTree(ownFiles ? this->trees.size() - 1 : SIZE_MAX),
          ahead(std::max<size_t>(4 * maxThreads, 4 * MaxBatch)), spent(maxThreads)
    {
    }

    static std::vector<QByteArray> withOwn(std::vector<QByteArray> trees, const QByteArray &folder, bool own)
    {
        if (own)
            trees.push_back(folder);
        return trees;
    }

    // Starts a worker counted in `threads` already. Never with the mutex held: making a thread
    // takes a while, longer on a busy machine, and the scan's thread waits for the mutex.
    void startWorker();
    void work();
    // Counts a tree again in one walk on a thread of its own, for the scan that waits for it.
    void countAgain(Piece piece);
    // The scan took tree `i`: workers may go on further ahead. Told them now and then, and
    // whenever the scan waits for a piece (see showTaken), not for every small tree.
    void treeTaken(size_t i)
    {
        takenHere = i + 1;
        if (takenHere - takenShown < ahead / 8)
            return;
        {
            const std::lock_guard lock(mutex);
            showTaken();
        }
        workerWake.notify_all();
    }
    // With the mutex held: the trees taken are told to the workers; whether that is news.
    bool showTaken()
    {
        if (taken == takenHere)
            return false;
        taken = takenShown = takenHere;
        return true;
    }
    // Another worker, when there is room and work for it: the workers wait on the kernel.
    void grow();
    // Pieces for any worker.
    void publish(std::vector<Piece> &more);
    size_t sliceFiles() const { return waited.load(std::memory_order_relaxed) ? SlowSliceFiles : SliceFiles; }
    bool canTakeTree() const { return nextTree < trees.size() && nextTree < taken + ahead; }
    // Whether the pieces waiting are too few to keep every worker there is busy to the end.
    bool workShort() const { return pending.size() + std::min(trees.size() - nextTree, ahead) < 4 * threads; }

    const QByteArray scanFolder;
    const std::vector<QByteArray> trees;
    const LineOf lineOf;
    const NewPieceSink newPiece;
    const WalkScope scope;
    const bool diskUsage; // lines show the files' allocated bytes (TreeCounter::setDiskUsage)
    const size_t maxThreads;
    const size_t ownTree; // the index of the own files' piece, if any
    const size_t ahead; // trees counted and not yet taken, at most

    std::atomic<bool> cancelled{false};
    std::atomic<bool> waited{false}; // a worker was found waiting on the kernel
    std::atomic<int64_t> treeNs{0};  // what the last tree counted whole took, about
    std::mutex mutex;
    std::condition_variable workerWake; // a tree was taken, pieces came, or cancelled
    std::condition_variable pieceDone;  // the piece the scan waits for, and a batch, were counted
    size_t nextTree = 0; // the next tree no worker has taken
    size_t taken = 0;    // trees taken by the scan
    size_t threads = 0, busy = 0;
    std::map<Key, Piece> pending;  // pieces of split trees, for any worker
    std::map<Key, Counted> done;   // counted and not yet taken
    std::optional<Key> awaited;    // the piece the scan waits for, if it waits
    // Pieces the scan is done with, by the worker that counted them, for it to reuse or free: a block
    // freed on another thread than the one that took it waits for that thread's allocator,
    // which with many small trees kept both threads waiting on each other.
    std::vector<std::vector<decltype(done)::node_type>> spent;
    std::vector<decltype(done)::node_type> retired; // the scan's thread's only: spent, not yet handed back
    // The scan's thread's only: the pieces counted after the one it last waited for, taken along
    // with it (they mostly come next), and the trees it took, not yet told to the workers.
    decltype(done) early;
    size_t takenHere = 0, takenShown = 0;
    size_t workersStarted = 0;

    // The scan's thread is done with `node`. Handed back with the next piece it takes.
    void retire(decltype(done)::node_type &&node)
    {
        if (!node.empty() && node.mapped().worker < spent.size())
            retired.push_back(std::move(node));
    }
    // Hands the pieces retired to their workers; with the mutex held.
    void handBack()
    {
        for (auto &node : retired)
            spent[node.mapped().worker].push_back(std::move(node));
        retired.clear();
    }

    // What the workers have counted so far, for the progress line.
    std::atomic<int64_t> folders{0}, files{0}, bytes{0};
};

namespace {
// A counted piece as it is taken out of those waiting: held as it was made, never moved.
using CountedNode = decltype(ParallelCount::Shared::done)::node_type;

// Readies a piece the scan is done with for another piece, keeping the room it took: its
// list of lines and its sink's. False when it holds too much to keep.
bool readyForReuse(Counted &c)
{
    if (c.sink && !c.sink->reset())
        return false;
    c.tree.reuse();
    c = Counted{.tree = std::move(c.tree), .sink = std::move(c.sink)}; // all else as new
    return true;
}

// A worker's listener: keeps what the count reports in the piece being counted, goes on until
// the count is cancelled (checked at every entry), shares its progress now and then, and asks
// for another worker while this one mostly waits on the kernel.
class TreeRecorder : public ScanListener {
public:
    explicit TreeRecorder(ParallelCount::Shared &shared) : ScanListener(ScanOptions{0, 0, shared.scope}), shared_(shared) {}

    CountedTree *tree = nullptr;

    ScanEnd problem(const QString &description, const QString &entryName) override
    {
        return fileProblem(description, entryName, QString());
    }
    ScanEnd fileProblem(const QString &description, const QString &name, const QString &folder) override
    {
        tree->problems.push_back({description, name, folder, false, {}, {}});
        tree->lines.emplace_back(); // the lines met after it
        return goOn();
    }
    ScanEnd vanished(const QString &description, const QByteArray &folder, const QByteArray &name) override
    {
        // Kept by their bytes: the thread that shows it looks the folder up again.
        tree->problems.push_back({description, QString(), QString(), true, folder, name});
        tree->problems.back().nativeFolder.detach();
        tree->problems.back().nativeName.detach();
        tree->lines.emplace_back();
        return goOn();
    }

    // Adds what was counted since the last time to the shared progress.
    void share()
    {
        shared_.folders.fetch_add(progress.folders - shared_progress_.folders, std::memory_order_relaxed);
        shared_.files.fetch_add(progress.files - shared_progress_.files, std::memory_order_relaxed);
        shared_.bytes.fetch_add(progress.bytes - shared_progress_.bytes, std::memory_order_relaxed);
        shared_progress_ = progress;
    }

    // Starts watching how the worker spends its time afresh, after a wait for work (which does
    // not count).
    void restartEffort() { effort_ = Effort::now(); }

protected:
    ScanEnd pump() override
    {
        if ((++ticks_ & 7) == 0) {
            if ((ticks_ & 255) == 0)
                share();
            // Every 10 ms of the worker's time: did it wait more than it worked? The coarse
            // clock costs a fraction of the exact one, and is never ahead of it.
            timespec coarse{};
            ::clock_gettime(CLOCK_MONOTONIC_COARSE, &coarse);
            if (int64_t(coarse.tv_sec) * 1000000000 + coarse.tv_nsec - effort_.wallNs >= 10000000) {
                const Effort now = Effort::now();
                if (now.mostlyWaitedSince(effort_))
                    shared_.grow();
                effort_ = now;
            }
        }
        return goOn();
    }

private:
    ScanEnd goOn() const
    {
        return shared_.cancelled.load(std::memory_order_relaxed) ? ScanEnd::Abandoned : ScanEnd::Completed;
    }

    ParallelCount::Shared &shared_;
    ScanProgress shared_progress_;
    unsigned ticks_ = 0;
    Effort effort_;
};

// One worker's counting: pieces in, counted pieces and further pieces out.
class PieceCounter {
public:
    PieceCounter(ParallelCount::Shared &shared, size_t worker = SIZE_MAX)
        : shared_(shared), worker_(worker), recorder_(shared), counter_(recorder_, shared.scanFolder)
    {
        counter_.setDiskUsage(shared.diskUsage);
    }

    TreeRecorder &recorder() { return recorder_; }

    // Counts `piece`; splits it first when `split` and it is a tree.
    void count(const Piece &piece, bool split, std::vector<CountedNode> &counted, std::vector<Piece> &more)
    {
        CountedNode node = newCounted(piece.key);
        Counted &c = node.mapped();
        if (piece.top)
            c.folder = piece.top->walker.currentPath();
        else if (piece.key.size() > 1)
            c.folder = piece.path;
        recorder_.tree = &c.tree;
        newSink(c);
        c.walkable = c.sink && !piece.own && !piece.top;
        if (c.walkable && piece.key.size() > 1)
            c.source = std::make_shared<const Piece>(piece);
        TreeCounter::FileSeen fileSeen;
        if (shared_.lineOf)
            fileSeen = [&](const QByteArray &folder, const char *name, int64_t length, int64_t modified) {
                shared_.lineOf(c.tree.lines.back(), folder, name, {length, modified});
            };
        try {
            if (piece.own) {
                c.tree.end = counter_.countFiles(c.tree.tally);
            } else if (piece.top) {
                QByteArray gone;
                c.tree.end = counter_.countFilesOf(piece.top->walker, piece.from, piece.to, c.tree.tally, fileSeen,
                                                   gone, [&] { return outermostGone(piece.top.get()); });
                goneAt(c, gone);
            } else {
                TreeCounter::GoneAbove goneAbove;
                if (piece.in)
                    goneAbove = [in = piece.in] { return outermostGone(in.get()); };
                counter_.setPlace(piece.place ? *piece.place : std::vector<FolderWalker::FolderId>(),
                                  piece.in ? &piece.in->walker.currentFolder() : nullptr, std::move(goneAbove));
                if (piece.after) // it goes on from there, as the one walk through all the trees
                    counter_.resumeWith(std::move(*piece.after));
                const bool trySplit = split && piece.depth() < MaxSplitDepth;
                if (!trySplit || !splitTree(piece, c, fileSeen, counted, more)) {
                    if (trySplit)
                        newSink(c); // what the split told is told again by the walk
                    c.tree.end = counter_.count(piece.path, c.tree.tally, fileSeen);
                }
                goneAt(c, counter_.reportedAbove());
            }
        } catch (const ScanInterrupted &interrupted) { // cancelled while a split folder was read
            c.tree.end = interrupted.end;
        } catch (const std::exception &e) {
            recorder_.problem(errorDescription(e), displayName(piece.path));
        }
        c.tree.seen = counter_.takeSeen();
        c.tree.passedOver += counter_.takePassedOver();
        counter_.setSink(nullptr);
        recorder_.share();
        counted.push_back(std::move(node));
    }

    // Keeps the pieces in `spent` that can serve again, and frees the others.
    void reuse(std::vector<CountedNode> &spent)
    {
        for (CountedNode &node : spent)
            if (spare_.size() < MaxSpare && readyForReuse(node.mapped()))
                spare_.push_back(std::move(node));
        spent.clear();
    }

private:
    // A counted piece for `key`: one that served before, when there is one.
    CountedNode newCounted(const Key &key)
    {
        CountedNode node;
        if (spare_.empty()) {
            decltype(ParallelCount::Shared::done) one;
            one.try_emplace(key);
            node = one.extract(one.begin());
        } else {
            node = std::move(spare_.back());
            spare_.pop_back();
        }
        node.key() = key;
        node.mapped().worker = worker_;
        return node;
    }

    // An empty sink for what `c` meets, when the walk has sinks.
    void newSink(Counted &c)
    {
        if (!shared_.newPiece)
            return;
        if (!c.sink || !c.sink->reset())
            c.sink = shared_.newPiece();
        counter_.setSink(c.sink.get());
    }

    // A piece that reported `folder` gone (none when empty): nothing else below it is shown.
    static void goneAt(Counted &c, const QByteArray &folder)
    {
        if (folder.isEmpty())
            return;
        c.gone = true;
        c.folder = folder;
    }

    // Reads the top folder of the tree and counts it as one walk would up to its first
    // subfolder: its files (in slices left to other workers when they are many), then the
    // links among its subfolders; each subfolder's tree is left as a piece of its own. False
    // when the folder cannot be walked or searched: counted whole, it is reported as a walk
    // reports it.
    bool splitTree(const Piece &piece, Counted &c, const TreeCounter::FileSeen &fileSeen,
                   std::vector<CountedNode> &counted, std::vector<Piece> &more)
    {
        auto top = std::make_shared<SplitTop>(&recorder_, piece.in);
        counter_.prepare(top->walker);
        const bool started = top->walker.StartWalk(piece.path, dir_, counter_.parentOf(piece.path));
        top->walker.setSink(nullptr); // its files are told by the pieces that count them
        if (!started || (shared_.newPiece && !top->walker.startWalked())) { // a sink is told it is passed over
            counter_.takeSeen(); // the walk of the whole tree starts afresh
            return false;
        }
        const FolderWalker &walker = top->walker;
        const size_t files = walker.currentFiles().size(), slice = shared_.sliceFiles();
        // One that may be read but not searched is one problem, as its walk says it.
        if ((files > 0 || !walker.currentSubfolders().empty()) && !folderSearchable(walker.currentFolder())) {
            counter_.takeSeen(); // the walk of the whole tree starts afresh
            return false;
        }
        c.folder = walker.currentPath();
        const bool sliced = files > slice;
        uint32_t child = 0;
        if (sliced)
            for (size_t from = 0; from < files; from += slice)
                more.push_back({childKey(piece.key, child++), {}, {}, top, {}, from, std::min(files, from + slice)});
        const Key linksKey = childKey(piece.key, sliced ? child++ : 0);
        auto place = std::make_shared<std::vector<FolderWalker::FolderId>>();
        if (piece.place)
            *place = *piece.place;
        place->push_back(walker.currentId());
        for (const SubfolderEntry &entry : walker.currentSubfolders())
            if (!entry.isLink)
                more.push_back({childKey(piece.key, child++), joinPath(c.folder, entry.name), place, {}, top, 0, 0});
        c.children = child;
        c.split = true;
        c.tree.passedOver = walker.passedOver();
        // The other workers can start on the pieces while this one counts the files.
        shared_.publish(more);
        if (sliced) {
            CountedNode linksNode = newCounted(linksKey);
            Counted &links = linksNode.mapped();
            links.folder = c.folder;
            newSink(links);
            counter_.countFolderLinks(walker, links.tree.tally);
            counter_.setSink(c.sink.get());
            links.tree.seen = counter_.takeSeen();
            counted.push_back(std::move(linksNode));
        } else {
            QByteArray gone;
            c.tree.end = counter_.countFilesOf(walker, 0, files, c.tree.tally, fileSeen, gone,
                                               [&] { return outermostGone(top.get()); });
            goneAt(c, gone);
            if (c.tree.end == ScanEnd::Completed && !c.gone)
                counter_.countFolderLinks(walker, c.tree.tally);
        }
        return true;
    }

    ParallelCount::Shared &shared_;
    const size_t worker_; // its index among the workers; SIZE_MAX for a count again
    TreeRecorder recorder_;
    TreeCounter counter_;
    DirectoryList dir_;
    // Pieces the scan was done with, ready to serve again: a small tree's blocks are taken once.
    static constexpr size_t MaxSpare = 512;
    std::vector<CountedNode> spare_;
};
} // namespace

ParallelCount::ParallelCount(const QByteArray &scanFolder, std::vector<QByteArray> trees, int workers, int maxWorkers,
                             LineOf lineOf, bool ownFiles, NewPieceSink newPiece, WalkScope scope, bool diskUsage)
    : shared_(std::make_shared<Shared>(scanFolder, std::move(trees), std::move(lineOf),
                                       size_t(std::max({workers, maxWorkers, 1})), ownFiles, std::move(newPiece),
                                       std::move(scope), diskUsage))
{
    if (shared_->trees.empty())
        return;
    const int first = std::max(workers, 1);
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->threads = size_t(first);
    }
    for (int i = 0; i < first; ++i)
        shared_->startWorker();
}

ParallelCount::~ParallelCount()
{
    cancel(); // the workers end on their own, and the last one frees what they share
    // What the scan was done with or took along goes now, not with a worker left behind.
    shared_->retired.clear();
    shared_->early.clear();
}

void ParallelCount::cancel()
{
    std::vector<decltype(Shared::done)::node_type> dropped; // freed once the mutex is let go
    {
        const std::lock_guard lock(shared_->mutex);
        shared_->cancelled = true;
        for (auto &pieces : shared_->spent) {
            std::move(pieces.begin(), pieces.end(), std::back_inserter(dropped));
            pieces.clear();
        }
    }
    shared_->workerWake.notify_all();
}

void ParallelCount::Shared::startWorker()
{
    std::thread([shared = shared_from_this()] { shared->work(); }).detach();
}

void ParallelCount::Shared::countAgain(Piece piece)
{
    std::thread([shared = shared_from_this(), piece = std::move(piece)] {
        ownCurrentFolder();
        PieceCounter counter(*shared);
        std::vector<CountedNode> counted;
        std::vector<Piece> more; // stays empty: the tree is walked whole
        counter.count(piece, false, counted, more);
        {
            const std::lock_guard lock(shared->mutex);
            Counted &c = counted.front().mapped();
            if (shared->cancelled || c.tree.end == ScanEnd::Abandoned)
                return;
            c.folder.detach(); // the thread that takes it shares no text with this one
            shared->done.insert(std::move(counted.front()));
        }
        shared->pieceDone.notify_all();
    }).detach();
}

void ParallelCount::Shared::grow()
{
    waited.store(true, std::memory_order_relaxed);
    {
        const std::lock_guard lock(mutex);
        if (cancelled || threads >= maxThreads || (pending.empty() && !canTakeTree()))
            return;
        ++threads; // counted under the lock that checks for room, so the workers never pass their ceiling
    }
    startWorker();
}

void ParallelCount::Shared::publish(std::vector<Piece> &more)
{
    if (more.empty())
        return;
    {
        const std::lock_guard lock(mutex);
        for (Piece &piece : more)
            pending.emplace(piece.key, std::move(piece));
    }
    more.clear();
    workerWake.notify_all();
}

void ParallelCount::Shared::work()
{
    // A counting thread gives way to the window's thread whenever that wakes to pump events:
    // the scheduler treats it as batch work, never as one to be woken at once, and of a lower
    // weight, so that the window's thread gets a core soon after it wakes while the counting
    // threads hold both (it waited up to 16 ms for one).
    const sched_param batchWork{};
    ::sched_setscheduler(0, SCHED_BATCH, &batchWork);
    ::setpriority(PRIO_PROCESS, id_t(::gettid()), 5);
    ownCurrentFolder();
    size_t worker = SIZE_MAX;
    {
        const std::lock_guard lock(mutex);
        if (workersStarted < spent.size()) // always: no more than maxThreads are started
            worker = workersStarted++;
    }
    PieceCounter counter(*this, worker);
    std::vector<Piece> batch, more;
    std::vector<CountedNode> counted;
    std::vector<CountedNode> toFree;
    bool idled = true; // since its effort was last watched afresh
    for (;;) {
        batch.clear();
        more.clear();
        counted.clear();
        bool split = false;
        {
            std::unique_lock lock(mutex);
            const auto ready = [this] {
                return cancelled || !pending.empty() || canTakeTree() || (nextTree >= trees.size() && busy == 0);
            };
            if (!ready()) {
                idled = true;
                workerWake.wait(lock, ready);
            }
            if (worker < spent.size())
                toFree.swap(spent[worker]);
            if (cancelled)
                return;
            if (!pending.empty()) {
                batch.push_back(std::move(pending.begin()->second));
                pending.erase(pending.begin());
            } else if (canTakeTree()) {
                // Batches of small trees, and smaller ones while the trees left are few, so that
                // the last ones spread.
                const size_t left = std::min(trees.size(), taken + ahead) - nextTree;
                const int64_t perTree = treeNs.load(std::memory_order_relaxed);
                const size_t quick = perTree > 0 ? size_t(BatchNs / perTree) : 1;
                const size_t n = std::clamp<size_t>(std::min(quick, left / (threads * 4)), 1, MaxBatch);
                for (size_t k = 0; k < n; ++k, ++nextTree)
                    batch.push_back({Key(uint32_t(nextTree)), trees[nextTree], {}, {}, {}, 0, 0, nextTree == ownTree});
            } else {
                return; // all counted
            }
            split = batch.size() == 1 && !batch.front().own && workShort();
            ++busy;
        }
        counter.reuse(toFree);
        if (std::exchange(idled, false))
            counter.recorder().restartEffort();
        const auto started = std::chrono::steady_clock::now();
        for (const Piece &piece : batch)
            counter.count(piece, split, counted, more);
        if (!split && batch.front().key.size() == 1)
            treeNs.store(std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - started)
                                 .count() / int64_t(batch.size()),
                         std::memory_order_relaxed);
        bool allIdle = false; // the others may end, unless more pieces come
        bool wakeScan = false;
        {
            const std::lock_guard lock(mutex);
            allIdle = --busy == 0;
            if (cancelled)
                return;
            for (CountedNode &node : counted) {
                Counted &c = node.mapped();
                if (c.tree.end == ScanEnd::Abandoned)
                    return;
                c.folder.detach(); // the thread that takes it shares no text with this one
                done.insert(std::move(node));
            }
            // The scan wakes for the piece it waits for, once it is counted and a batch of pieces
            // waits to be taken or the workers are out of work: it takes those after it without
            // waiting, and wakes by itself when a pump is due. Woken for every piece, it took a
            // core from a worker every half millisecond.
            wakeScan = awaited && done.contains(*awaited) && (allIdle || done.size() >= WakeAfterPieces);
        }
        if (wakeScan)
            pieceDone.notify_all();
        if (allIdle)
            workerWake.notify_all();
    }
}

namespace {
// Shows the workers' progress in `listener`'s, on top of `before`, the scan's when it took its
// first tree.
struct ProgressShower {
    ScanListener &listener;
    const ParallelCount::Shared &s;
    const ScanProgress &before;

    void operator()() const
    {
        listener.progress.folders = before.folders + s.folders.load(std::memory_order_relaxed);
        listener.progress.files = before.files + s.files.load(std::memory_order_relaxed);
        listener.progress.bytes = before.bytes + s.bytes.load(std::memory_order_relaxed);
    }
};

// Retires a piece taken once the scan is done with it, however the step that took it ends.
struct Retired {
    ParallelCount::Shared &s;
    CountedNode &node;
    ~Retired() { s.retire(std::move(node)); }
};

// Waits until the piece `key` is counted and takes it into `piece`, ticking `listener` at least
// every pump interval of it meanwhile, with the workers' progress shown; the listener's end,
// or Abandoned once the count is cancelled from outside (the piece then never comes).
ScanEnd awaitPiece(ParallelCount::Shared &s, const Key &key, ScanListener &listener,
                   const ProgressShower &showProgress, CountedNode &piece)
{
    for (bool waited = false;; waited = true) {
        // After every wait; and before the first when a pump is due, as pieces counted long
        // before come one after another without a wait.
        if (waited || listener.msUntilPump() == 0) {
            showProgress();
            if (const ScanEnd end = listener.tick(); end != ScanEnd::Completed)
                return end;
            if (s.cancelled)
                return ScanEnd::Abandoned;
        }
        if (auto early = s.early.extract(key)) {
            piece = std::move(early);
            return ScanEnd::Completed;
        }
        {
            // Until the piece is counted, or the next pump is due.
            const auto wait = std::chrono::milliseconds(std::max<qint64>(1, listener.msUntilPump()));
            std::unique_lock lock(s.mutex);
            s.handBack();
            if (s.showTaken())
                s.workerWake.notify_all();
            s.awaited = key;
            const bool counted = s.pieceDone.wait_for(lock, wait, [&] { return s.done.contains(key); });
            s.awaited.reset();
            if (counted) {
                piece = s.done.extract(key);
                s.early.merge(s.done); // what was counted after it: taken along, without a lock each
                return ScanEnd::Completed;
            }
        }
    }
}
} // namespace

const ScanProgress &ParallelCount::progressBefore(ScanListener &listener)
{
    if (!before_)
        before_ = listener.progress;
    return *before_;
}

ScanEnd ParallelCount::take(size_t i, ScanListener &listener, CountedTree &tree)
{
    Shared &s = *shared_;
    const ProgressShower showProgress{listener, s, progressBefore(listener)};
    listener.progress.folder = s.trees[i];
    // The pieces of the tree in walk order: each piece, then the pieces it was split into.
    std::vector<Split> splits;
    Key key{uint32_t(i)};
    QByteArray skipped; // a folder found removed: the pieces below it are not shown
    bool first = true;
    for (;;) {
        CountedNode node;
        const Retired retired{s, node};
        if (const ScanEnd end = awaitPiece(s, key, listener, showProgress, node); end != ScanEnd::Completed)
            return end;
        Counted &piece = node.mapped();
        if (skipped.isEmpty() || !isBelowOrAt(piece.folder, skipped)) {
            if (first) {
                tree = std::move(piece.tree);
                first = false;
            } else {
                CountedTree &more = piece.tree;
                tree.lines.back().append(more.lines.front());
                for (size_t p = 0; p < more.problems.size(); ++p) {
                    tree.problems.push_back(std::move(more.problems[p]));
                    tree.lines.push_back(std::move(more.lines[p + 1]));
                }
                // A folder two pieces both walked (a bind mount of one in another piece) is
                // walked once by one walk: the tree must be counted again as one.
                if (tree.seen.sharesFolderWith(more.seen))
                    tree.countAgain = true;
                tree.tally += more.tally;
                tree.tally -= tree.seen.merge(more.seen);
                tree.passedOver += more.passedOver;
                tree.end = more.end;
            }
            if (tree.end != ScanEnd::Completed)
                break;
            if (piece.gone)
                skipped = piece.folder;
            else if (piece.children > 0)
                splits.push_back({key, piece.children}); // its pieces come next
        }
        while (!splits.empty() && splits.back().next == splits.back().children)
            splits.pop_back();
        if (splits.empty())
            break;
        key = childKey(splits.back().key, splits.back().next++);
    }
    s.treeTaken(i);
    showProgress();
    return ScanEnd::Completed;
}

ScanEnd ParallelCount::recount(size_t i, SeenFiles before, ScanListener &listener, CountedTree &tree)
{
    Shared &s = *shared_;
    const ProgressShower showProgress{listener, s, progressBefore(listener)};
    listener.progress.folder = s.trees[i];
    Piece piece;
    piece.key = againKey(i);
    piece.path = s.trees[i];
    piece.after = std::make_shared<SeenFiles>(std::move(before));
    s.countAgain(std::move(piece));
    CountedNode counted;
    if (const ScanEnd end = awaitPiece(s, againKey(i), listener, showProgress, counted); end != ScanEnd::Completed)
        return end;
    tree = std::move(counted.mapped().tree);
    showProgress();
    return ScanEnd::Completed;
}

namespace {
// Tells `listener` the problems of a counted piece, in the order its walk met them.
ScanEnd tellProblems(const CountedTree &tree, ScanListener &listener)
{
    for (const CountedTree::Problem &problem : tree.problems)
        if (const ScanEnd end = problem.vanished ? listener.vanished(problem.description, problem.nativeFolder, problem.nativeName)
                                : problem.folder.isEmpty()
                                    ? listener.problem(problem.description, problem.entryName)
                                    : listener.fileProblem(problem.description, problem.entryName, problem.folder);
            end != ScanEnd::Completed)
            return end;
    return ScanEnd::Completed;
}
} // namespace

ScanEnd ParallelCount::stream(size_t i, ScanListener &listener, SeenFiles &seen, PieceTaker &taker, int64_t *passedOver)
{
    Shared &s = *shared_;
    const ProgressShower showProgress{listener, s, progressBefore(listener)};
    listener.progress.folder = s.trees[i];
    // The folders split into pieces that the walk is in, as in take().
    std::vector<Split> splits;
    Key key{uint32_t(i)};
    QByteArray skipped; // a folder found removed: the pieces below it are not told
    for (;;) {
        CountedNode node;
        const Retired retired{s, node};
        if (const ScanEnd end = awaitPiece(s, key, listener, showProgress, node); end != ScanEnd::Completed)
            return end;
        Counted &piece = node.mapped();
        if (skipped.isEmpty() || !isBelowOrAt(piece.folder, skipped)) {
            if (piece.walkable && seen.sharesFolderWith(piece.tree.seen)) {
                // It walked a folder met before: walked again whole, after everything before
                // it, it passes that folder over as one walk does, and its own pieces are not
                // taken. Rare.
                Piece again = piece.source ? *piece.source : Piece{key, s.trees[i], {}, {}, {}, 0, 0, false, nullptr};
                again.key = childKey(key, UINT32_MAX);
                again.after = std::make_shared<SeenFiles>(seen);
                s.countAgain(std::move(again));
                CountedNode walkedAgain;
                if (const ScanEnd end = awaitPiece(s, childKey(key, UINT32_MAX), listener, showProgress, walkedAgain);
                    end != ScanEnd::Completed)
                    return end;
                piece = std::move(walkedAgain.mapped());
                seen = std::move(piece.tree.seen); // what went before, and all it met
            } else {
                seen.merge(piece.tree.seen);
            }
            // A big piece (a folder of many files of its own) goes in in parts, between pumps.
            if (piece.sink)
                while (!taker.takeSome(*piece.sink))
                    if (const ScanEnd end = listener.tick(); end != ScanEnd::Completed)
                        return end;
            if (passedOver)
                *passedOver += piece.tree.passedOver;
            if (const ScanEnd end = tellProblems(piece.tree, listener); end != ScanEnd::Completed)
                return end;
            if (piece.tree.end != ScanEnd::Completed)
                return piece.tree.end;
            if (piece.gone) {
                skipped = piece.folder;
                if (piece.split)
                    taker.leaveFolder(); // nothing more in it is told
            } else if (piece.split) {
                splits.push_back({key, piece.children}); // left after its last piece
            }
        }
        while (!splits.empty() && splits.back().next == splits.back().children) {
            splits.pop_back();
            taker.leaveFolder();
        }
        if (splits.empty())
            break;
        key = childKey(splits.back().key, splits.back().next++);
    }
    s.treeTaken(i);
    showProgress();
    return ScanEnd::Completed;
}
