#include "lns/embedded/sqlitedb.h"

#include "base/tqmerror.h"

#include <QUrl>

#include <sqlite3.h>

#include <algorithm>
#include <vector>

namespace embedded::sqlite {

namespace {

constexpr int BusyTimeoutMs = 5000;

std::vector<sqlite3 *> &openConnections()
{
    static std::vector<sqlite3 *> connections;
    return connections;
}

TqmError failure(const QString &source, const QString &what, sqlite3 *db)
{
    return TqmError(TqmError::LnsDatabase, source,
                    QStringLiteral("%1: %2").arg(what, QString::fromUtf8(db ? sqlite3_errmsg(db) : "out of memory")));
}

// Before the first connection: SQLite's memory statistics take a global lock and keep counts on
// every allocation and release, and nothing here reads them. Its page cache would also reserve
// room for its first twenty pages in one block and write a header into each, so that a program
// opening a network touches all of that memory whether it reads those pages or not; the cache
// now takes its pages one at a time, as it does beyond the first twenty anyway.
void configureLibrary()
{
    static const bool configured = [] {
        sqlite3_config(SQLITE_CONFIG_MEMSTATUS, 0);
        sqlite3_config(SQLITE_CONFIG_PAGECACHE, nullptr, 0, 0);
        return true;
    }();
    (void)configured;
}

} // namespace

Statement::Statement(sqlite3 *db, const QString &sql, const QString &source) : m_db(db), m_sql(sql), m_source(source)
{
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &m_statement, nullptr) != SQLITE_OK)
        throw failure(m_source, m_sql, m_db);
}

Statement::~Statement()
{
    sqlite3_finalize(m_statement);
}

void Statement::fail()
{
    const TqmError error = failure(m_source, m_sql, m_db);
    finish();
    throw error;
}

Statement &Statement::run(const QVariantList &values)
{
    finish();
    sqlite3_clear_bindings(m_statement);
    for (int i = 0; i < values.size(); ++i)
        bind(i + 1, values[i]);
    return *this;
}

void Statement::bind(int parameter, const QVariant &value)
{
    int result = SQLITE_OK;
    switch (value.isNull() ? QMetaType::UnknownType : value.typeId()) {
    case QMetaType::UnknownType:
        result = sqlite3_bind_null(m_statement, parameter);
        break;
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::LongLong:
        result = sqlite3_bind_int64(m_statement, parameter, value.toLongLong());
        break;
    case QMetaType::Double:
    case QMetaType::Float:
        result = sqlite3_bind_double(m_statement, parameter, value.toDouble());
        break;
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        result = bytes.isNull() ? sqlite3_bind_null(m_statement, parameter)
                                : sqlite3_bind_blob64(m_statement, parameter, bytes.constData(),
                                                      sqlite3_uint64(bytes.size()), SQLITE_TRANSIENT);
        break;
    }
    default: {
        const QString text = value.toString();
        const QByteArray utf8 = text.toUtf8();
        result = text.isNull() ? sqlite3_bind_null(m_statement, parameter)
                               : sqlite3_bind_text64(m_statement, parameter, utf8.constData(),
                                                     sqlite3_uint64(utf8.size()), SQLITE_TRANSIENT, SQLITE_UTF8);
        break;
    }
    }
    if (result != SQLITE_OK)
        fail();
}

bool Statement::next()
{
    const int result = sqlite3_step(m_statement);
    if (result == SQLITE_ROW)
        return true;
    if (result != SQLITE_DONE)
        fail();
    return false;
}

int Statement::columnCount() const
{
    return sqlite3_column_count(m_statement);
}

QVariant Statement::value(int column) const
{
    switch (sqlite3_column_type(m_statement, column)) {
    case SQLITE_INTEGER:
        return QVariant(qint64(sqlite3_column_int64(m_statement, column)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_column_double(m_statement, column));
    case SQLITE_NULL:
        return QVariant(QMetaType::fromType<std::nullptr_t>());
    case SQLITE_BLOB: {
        const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_statement, column));
        return QVariant(QByteArray(bytes, sqlite3_column_bytes(m_statement, column)));
    }
    default: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_column_text(m_statement, column));
        return QVariant(QString::fromUtf8(text, sqlite3_column_bytes(m_statement, column)));
    }
    }
}

void Statement::finish()
{
    // The error a reset repeats was reported by the step that met it.
    sqlite3_reset(m_statement);
}

Connection::Connection(const QString &filePath, OpenMode mode, const QString &source) : m_source(source)
{
    configureLibrary();
    int flags = SQLITE_OPEN_NOMUTEX;
    QByteArray name = filePath.toUtf8();
    switch (mode) {
    case OpenMode::ReadWrite:
        flags |= SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
        break;
    case OpenMode::ReadOnly:
        flags |= SQLITE_OPEN_READONLY;
        break;
    case OpenMode::ReadAsItStands:
        flags |= SQLITE_OPEN_READONLY | SQLITE_OPEN_URI;
        name = QUrl::fromLocalFile(filePath).toEncoded() + "?immutable=1";
        break;
    }
    if (sqlite3_open_v2(name.constData(), &m_db, flags, nullptr) != SQLITE_OK) {
        const TqmError error = failure(m_source, QStringLiteral("Cannot open the database \"%1\"").arg(filePath), m_db);
        sqlite3_close_v2(m_db);
        throw error;
    }
    sqlite3_busy_timeout(m_db, BusyTimeoutMs);
    openConnections().push_back(m_db);
}

Connection::~Connection()
{
    m_statements.clear(); // finalised before the connection closes
    std::erase(openConnections(), m_db);
    sqlite3_close_v2(m_db);
}

Statement &Connection::prepared(const QString &sql)
{
    auto found = m_statements.find(sql);
    if (found == m_statements.end())
        found = m_statements.emplace(sql, std::make_unique<Statement>(m_db, sql, m_source)).first;
    return *found->second;
}

void Connection::exec(const QString &sql, const QVariantList &values)
{
    Statement &statement = prepared(sql).run(values);
    while (statement.next()) {
    }
    statement.finish();
}

QVariant Connection::scalar(const QString &sql, const QVariantList &values)
{
    Statement &statement = prepared(sql).run(values);
    const QVariant value = statement.next() ? statement.value(0) : QVariant();
    statement.finish();
    return value;
}

QList<QVariantList> Connection::rows(const QString &sql, const QVariantList &values)
{
    Statement &statement = prepared(sql).run(values);
    QList<QVariantList> result;
    const int columns = statement.columnCount();
    while (statement.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int c = 0; c < columns; ++c)
            row.append(statement.value(c));
        result.append(row);
    }
    statement.finish();
    return result;
}

qint64 Connection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

void Connection::forEachOpen(const std::function<void(sqlite3 *)> &each)
{
    for (sqlite3 *db : openConnections())
        each(db);
}

} // namespace embedded::sqlite
