#pragma once

// Pieces the transfer classes share: the LNS transaction bracket, and how failures are put into
// words for the logger and the user.

#include "lns/lns.h"

#include <QString>

class Logger;

namespace transfer {

// One transaction on the System object. One that cannot be started is neither committed nor
// cancelled, and says why it could not be started; one still open when the bracket ends (an
// error escaped) is cancelled.
class Transaction
{
public:
    explicit Transaction(lns::SystemPtr system);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool started() const { return m_open; }
    // Why the transaction could not be started; empty when it was.
    const QString &startFailure() const { return m_startFailure; }
    // Throws TqmError when the commit fails (nothing of the transaction stays then).
    void commit();
    // Errors of a cancel end there: the caller has nothing left to undo.
    void cancel();

private:
    lns::SystemPtr m_system;
    bool m_open = false;
    QString m_startFailure;
};

// "device / LonMark object / CP" for a red logger line; parts that cannot be reached are left out.
QString cpLocation(const lns::ConfigPropertyPtr &cp);
QString objectLocation(const lns::ObjectPtr &deviceOrLonMarkObject);
// The object's name, or `fallback` when it cannot be read.
QString nameOf(const lns::ObjectPtr &object, const QString &fallback = {});

void logLabel(Logger *logger, const QString &label);
void logRedLine(Logger *logger, const QString &text);

// The device template of a device; throws TqmError when there is no device.
QString templateOf(const lns::AppDevicePtr &device);

} // namespace transfer
