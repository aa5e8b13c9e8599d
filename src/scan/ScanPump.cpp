#include "scan/ScanPump.h"

#include "scan/ScanErrorReport.h"

#include <QCoreApplication>

ScanPump::ScanPump(MainForm &f, ScanSession &session, const ScanSession::Request &request)
    : f_(f), session_(session), request_(request), sizeScan_(session, request)
{
}

ScanEnd ScanPump::pump()
{
    ++pumps;
    QCoreApplication::processEvents();
    return session_.verdict(request_);
}

ScanEnd ScanPump::problem(const QString &description, const QString &entryName)
{
    reportScanError(f_, description, entryName);
    // The boxes run a loop of their own, in which a newer request may have come.
    return session_.verdict(request_);
}
