// SPDX-License-Identifier: GPL-3.0-or-later
#include "window/output/SaveScan.h"

#include "core/output/AtomicTextFile.h"
#include "core/output/NcduExport.h"
#include "core/output/ScanFileWriter.h"
#include "window/output/SaveCloseQuestion.h"
#include "core/scan/CallWait.h"
#include "core/shared/FsError.h"
#include "core/shared/MessageBoxes.h"
#include "core/shared/Text.h"
#include "window/scan/DirFolderView.h"
#include "window/scan/ScanPump.h"
#include "window/scan/ScanSession.h"
#include "window/scan/ScanSteps.h"
#include "window/scan/ScanTreeWalk.h"
#include "window/shared/MainForm.h"
#include "window/shared/ScanFileDialog.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMainWindow>
#include <QScopeGuard>
#include <QStatusBar>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <utility>

namespace {
const QString Title = QStringLiteral("Listwright - Save Scan As");

// While a walk is being saved its progress line names the folder it reads: the wait's own
// line, which names the file's folder, is left out until the walk is done.
class WalkLine {
public:
    WalkLine(MainForm &f, const std::shared_ptr<const std::atomic<bool>> &walked)
        : waitLine_(std::exchange(CallWait::hooks.status, [&f, walked, this](const QString &line) {
              if (line.isEmpty() || *walked) {
                  if (waitLine_)
                      waitLine_(line);
              } else if (f.window->windowTitle() != IdleCaption) {
                  advanceCaption(f);
              }
          }))
    {
    }
    ~WalkLine() { CallWait::hooks.status = std::move(waitLine_); }
    WalkLine(const WalkLine &) = delete;
    WalkLine &operator=(const WalkLine &) = delete;

private:
    std::function<void(const QString &)> waitLine_;
};
} // namespace

void mnuSaveScan_Click(MainForm &f, ScanSession &session)
{
    const QString path = askScanFile(f, Title, true);
    if (path.isEmpty())
        return;
    const QByteArray target = QFile::encodeName(path);
    const QByteArray scanned = f.dirFolder->path();
    // Set on the worker: whether a failure is the walk's (the folder could not be opened), and
    // whether the text is all made, after which only the file's own writing is waited for.
    auto walking = std::make_shared<std::atomic<bool>>(false);
    auto made = std::make_shared<std::atomic<bool>>(false);
    try {
        const SavedFile file = savedFile(target);
        // The look of a scan, gone again on every way out.
        f.window->setCursor(Qt::WaitCursor);
        f.window->setWindowTitle(ScanningCaption);
        const auto idle = qScopeGuard([&f] { endScanLook(f); });
        auto progress = std::make_shared<SaveProgress>();
        auto watch = std::make_shared<ExportWatch>();
        std::function<void(const TextSink &)> produce;
        const std::shared_ptr<const ScanTree> kept = keptScanOf(f, scanned, session.options.scope);
        const bool walks = !f.OpenedScan && !kept;
        if (f.OpenedScan) {
            produce = [tree = f.OpenedScan, from = f.ScanFolder](const TextSink &put) { writeScanTree(*tree, put, from); };
        } else if (kept) { // as the window's scan of it saw it
            produce = [kept](const TextSink &put) { writeScanTree(*kept, put, 0); };
        } else {
            // Problems met on the way are marked in the file, as the export marks them.
            produce = [scanned, scope = session.options.scope, watch, walking](const TextSink &put) {
                *walking = true;
                ncduExport(scanned, [](const QString &, const QString &) {}, [&](QByteArrayView piece) {
                    *walking = false;
                    put(piece);
                    *walking = true;
                }, 0, scope, watch.get());
                *walking = false;
            };
        }
        AbandonableCall<bool> pending([file, produce, progress, made] {
            writeFileAtomically(file.folder, file.name, [&](const TextSink &put) {
                produce(put);
                *made = true;
            }, progress.get());
            return true;
        });
        // The window waits as for any call on the file system (see CallWait), showing how far
        // the walk has come; Esc, or anything else asked for, gives the save up while the text
        // is being made. Once it is made, the file's writing is waited for.
        const SaveCloseQuestion question(f, Title);
        std::optional<WalkLine> line;
        if (walks)
            line.emplace(f, made);
        QElapsedTimer shown;
        try {
            CallWait::wait(file.folder, [&](int ms) {
                if (line && !*made && (!shown.isValid() || shown.elapsed() >= session.progressIntervalMs)) {
                    shown.start();
                    showScanProgress(f, watch->progress());
                }
                return pending.answeredWithin(ms);
            }, made.get());
        } catch (const FsError &) {
            // Given up: the walk ends at its next pump, and the file is never put in place.
            progress->givenUp = true;
            watch->stop();
            f.StatusBar1->clearMessage();
            return;
        }
        f.StatusBar1->clearMessage();
        pending.take();
        f.StatusBar1->showMessage(QStringLiteral("Scan saved to ") + displayName(target), 5000);
    } catch (const std::exception &e) {
        f.boxes->show(errorDescription(e) + u'\r' + displayName(*walking ? scanned : target), Title);
    }
}
