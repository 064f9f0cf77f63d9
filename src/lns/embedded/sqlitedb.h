#pragma once

// A small owner of SQLite's C objects: a connection and the statements prepared on it. Values
// go in and come out as QVariant (integers as qint64, reals as double, text as QString, blobs as
// QByteArray, NULL as a null variant); every failure is a TqmError(LnsDatabase) that carries
// SQLite's own message and the statement it came from.

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <unordered_map>

struct sqlite3;
struct sqlite3_stmt;

namespace embedded::sqlite {

// One prepared statement. A run binds its values and steps through the rows; the next run, or
// finish(), ends it, so that no read transaction stays open between two runs.
class Statement
{
public:
    Statement(sqlite3 *db, const QString &sql, const QString &source);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    // Starts a run with these values for the parameters, in order (a parameter without a value
    // is NULL; so are a null variant, a null string and a null byte array).
    Statement &run(const QVariantList &values = {});
    // The next row; false once there is none.
    bool next();
    int columnCount() const;
    QVariant value(int column) const;
    void finish();

private:
    [[noreturn]] void fail();
    void bind(int parameter, const QVariant &value);

    sqlite3 *m_db;
    sqlite3_stmt *m_statement = nullptr;
    QString m_sql;
    QString m_source;
};

enum class OpenMode {
    ReadWrite,      // created when missing
    ReadOnly,       // reads what writers share (their log and its index)
    ReadAsItStands, // reads the file alone, for a directory where SQLite cannot make what it shares
};

class Connection
{
public:
    // Waits up to five seconds for another connection's lock before a statement gives up.
    // `source` names the errors' origin.
    Connection(const QString &filePath, OpenMode mode, const QString &source);
    ~Connection();
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Statements are prepared on their first run and kept until the connection closes.
    Statement &prepared(const QString &sql);
    void exec(const QString &sql, const QVariantList &values = {});
    // The first column of the first row; an invalid variant when there is no row.
    QVariant scalar(const QString &sql, const QVariantList &values = {});
    QList<QVariantList> rows(const QString &sql, const QVariantList &values = {});
    qint64 lastInsertId() const;

    sqlite3 *handle() const { return m_db; }
    // Every connection open in this process, for tools that watch what they do.
    static void forEachOpen(const std::function<void(sqlite3 *)> &each);

private:
    sqlite3 *m_db = nullptr;
    QString m_source;
    std::unordered_map<QString, std::unique_ptr<Statement>> m_statements;
};

} // namespace embedded::sqlite
