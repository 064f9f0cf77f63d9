#pragma once

// Pieces the transfer operations of cParams share: the parameters in kind order, the LNS
// transaction bracket, and how failures are put into words for the logger and the user.

#include "lns/lns.h"

#include <QList>
#include <QString>

class cParams;
class cParam;
class cConfigProp;
class Logger;

namespace transfer {

// Each kind's list in the order in which the LNS passes walk them: 1-byte, 2-byte, check box,
// combo box, option button, text box, text.
QList<QList<cParam *>> kindsInLnsOrder(const cParams &params);
QList<cConfigProp *> images(const cParams &params);

// One transaction on the System object. One that cannot be started is neither committed nor
// cancelled; one still open when the bracket ends (an error escaped) is cancelled.
class Transaction
{
public:
    explicit Transaction(lns::SystemPtr system);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool started() const { return m_open; }
    // Errors of commit and cancel end there: the caller has nothing left to undo.
    void commit(Logger *logger);
    void cancel();

private:
    lns::SystemPtr m_system;
    bool m_open = false;
};

// "device / LonMark object / CP" for a red logger line; parts that cannot be reached are left out.
QString cpLocation(const lns::ConfigPropertyPtr &cp);
QString objectLocation(const lns::ObjectPtr &deviceOrLonMarkObject);

void logLabel(Logger *logger, const QString &label);
void logRedLine(Logger *logger, const QString &text);

// The device template of the device holding a LonMark object, or of the device itself.
QString templateOf(const lns::AppDevicePtr &device);

} // namespace transfer
