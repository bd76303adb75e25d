#include "app/data/Query.h"

#include "app/data/Connection.h"
#include "app/data/DatabaseError.h"
#include "app/data/Filter.h"
#include "app/data/RowStore.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTimer>

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <unordered_map>

namespace {

// Owns one prepared statement.
struct Statement
{
    sqlite3_stmt *handle = nullptr;
    Statement() = default;
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;
    ~Statement() { sqlite3_finalize(handle); }
};

FieldKind kindOfDeclaredType(const char *declared)
{
    const QByteArray t = QByteArray(declared).toUpper();
    if (t.contains("INT"))
        return FieldKind::Integer;
    for (const char *f : { "REAL", "FLOA", "DOUB", "NUM", "DEC", "MONEY" })
        if (t.contains(f))
            return FieldKind::Float;
    return FieldKind::Text;
}

QString quoted(const QString &identifier)
{
    QString s = identifier;
    s.replace(u'"', QStringLiteral("\"\""));
    return u'"' + s + u'"';
}

QString engineMessage(sqlite3 *db)
{
    return QString::fromUtf8(sqlite3_errmsg(db));
}

// "select * from T ..." -> the table name and the position of the '*'; an empty
// name for any other shape. Read by hand: it runs at every open, searches included.
QString tableOfSelectAll(const QString &firstLine, qsizetype *star)
{
    const QStringView s(firstLine);
    qsizetype i = 0;
    auto skipSpace = [&] {
        const qsizetype from = i;
        while (i < s.size() && s[i].isSpace())
            ++i;
        return i > from;
    };
    auto word = [&](QLatin1StringView w) {
        if (s.mid(i, w.size()).compare(w, Qt::CaseInsensitive) != 0)
            return false;
        i += w.size();
        return true;
    };
    skipSpace();
    if (!word(QLatin1StringView("select")) || !skipSpace() || i >= s.size() || s[i] != u'*')
        return QString();
    *star = i++;
    skipSpace();
    if (!word(QLatin1StringView("from")) || !skipSpace() || i >= s.size())
        return QString();
    const qsizetype begin = i;
    const QChar open = s[i];
    const QChar close = open == u'[' ? u']' : open;
    if (open == u'"' || open == u'[' || open == u'`') {
        const qsizetype end = s.indexOf(close, i + 1);
        if (end < 0)
            return QString();
        return s.mid(begin, end + 1 - begin).toString();
    }
    while (i < s.size() && !s[i].isSpace() && s[i] != u';' && s[i] != u',' && s[i] != u'('
        && s[i] != u')')
        ++i;
    return s.mid(begin, i - begin).toString();
}

QString unquoted(QString name)
{
    if (name.size() >= 2
        && ((name.front() == u'"' && name.back() == u'"')
            || (name.front() == u'[' && name.back() == u']')
            || (name.front() == u'`' && name.back() == u'`')))
        name = name.mid(1, name.size() - 2);
    return name;
}

void bindValue(sqlite3_stmt *st, int index, const QVariant &v)
{
    if (!v.isValid() || v.isNull()) {
        sqlite3_bind_null(st, index);
        return;
    }
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Bool:
        sqlite3_bind_int64(st, index, v.toLongLong());
        return;
    case QMetaType::Double:
    case QMetaType::Float:
        sqlite3_bind_double(st, index, v.toDouble());
        return;
    case QMetaType::QByteArray: {
        const QByteArray b = v.toByteArray();
        sqlite3_bind_blob(st, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        return;
    }
    default: {
        const QByteArray b = v.toString().toUtf8();
        sqlite3_bind_text(st, index, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    }
    }
}

// Whether the engine returns the statement's rows in rowid order: a plain scan of the
// table, or an index searched for one value (equal keys sit in rowid order).
bool scansInRowidOrder(sqlite3 *db, const QByteArray &statement)
{
    Statement st;
    const QByteArray sql = "explain query plan " + statement;
    if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st.handle, nullptr) != SQLITE_OK)
        return false;
    static const QRegularExpression inRowidOrder(QStringLiteral(
        R"(^(SCAN TABLE [^ ]+|SEARCH TABLE [^ ]+ USING (COVERING )?INDEX [^ ]+ \([^=()<>]+=\?\))$)"));
    int steps = 0;
    while (sqlite3_step(st.handle) == SQLITE_ROW) {
        const auto *detail = reinterpret_cast<const char *>(sqlite3_column_text(st.handle, 3));
        if (++steps > 1 || !inRowidOrder.match(QString::fromUtf8(detail ? detail : "")).hasMatch())
            return false;
    }
    return steps == 1;
}

// Banker's rounding, as a float read as a whole number rounds. A number beyond the
// range of a whole number (-2^63 <= v < 2^63), an infinity or a NaN has none.
bool roundToInteger(double v, qint64 *out)
{
    if (!(v >= -9223372036854775808.0 && v < 9223372036854775808.0))
        return false;
    *out = qint64(std::nearbyint(v));
    return true;
}

bool parseInteger(const QString &text, qint64 *out)
{
    bool ok = false;
    const qint64 v = text.trimmed().toLongLong(&ok);
    if (ok)
        *out = v;
    return ok;
}

DatabaseError notAnInteger(const QString &field, const QString &text)
{
    return DatabaseError(
        QStringLiteral("Field '%1': '%2' is not a valid integer value").arg(field, text));
}

bool parseFloat(const QString &text, double *out)
{
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (ok)
        *out = v;
    return ok;
}

} // namespace

struct Query::Private
{
    struct Column
    {
        QString name;
        FieldKind kind = FieldKind::Text;
    };
    struct Row
    {
        qint64 rowid = 0;
        const char *data = nullptr;
    };

    Query *q;
    State state = State::Inactive;
    std::vector<Column> columns;
    QString table; // the table written to; empty when the rows are read-only
    bool editable = false;
    RowStore store;
    std::vector<Row> rows;
    std::vector<int> visible; // indexes into rows, in order
    int current = -1; // position in visible (or the pending row)
    bool bof = true, eof = true;
    std::unique_ptr<Filter> filter; // compiled filter text (resolved while open)

    // Incremental result (setIncremental): the rowids read so far, the statements that
    // read more of them and the contents of a row, and a small cache of row contents.
    bool lazy = false;
    std::vector<qint64> ids;
    std::unique_ptr<Statement> rangeStatement, rowStatement;
    int rangeParameter = 0; // index of the range's lower bound
    qint64 scanFrom = 0, scanEnd = 0; // rowids still to scan: scanFrom..scanEnd
    quint64 span = FirstSpan; // rowids scanned in one go, adapted to the time taken
    bool fetching = false;
    sqlite3 *openedOn = nullptr; // the statements belong to this handle
    QTimer *fetchTimer = nullptr;
    mutable RowStore cache;
    mutable std::unordered_map<qint64, const char *> cached;

    static constexpr quint64 FirstSpan = 64;
    // Rows open() waits for: more than a maximised grid shows. Until a result has
    // that many, a turn of reading ends as soon as it has them, so that the screen
    // fills without waiting for the end of the turn.
    static constexpr std::size_t FirstScreen = 50;
    static constexpr qint64 OpenBudgetNs = 20'000'000;
    // Reading the rest goes on in turns of the event loop. The first waits one frame,
    // so that the window paints the first screen before reading goes on; the others
    // read for 40 ms, long enough that repainting the grid between turns costs little
    // and short enough that the window still answers at once.
    static constexpr int FirstTurnDelayMs = 16;
    static constexpr qint64 SliceNs = 40'000'000;
    static constexpr std::size_t CachedRows = 2048;

    // Row being edited or inserted.
    std::vector<QVariant> buffer;
    std::vector<bool> assigned;
    int currentBeforeInsert = -1;

    explicit Private(Query *query)
        : q(query)
    {
    }

    bool pending() const { return state == State::Edit || state == State::Insert; }
    int count() const
    {
        if (lazy)
            return int(ids.size());
        return int(visible.size()) + (state == State::Insert ? 1 : 0);
    }
    bool isBufferPosition(int position) const { return pending() && position == current; }

    sqlite3 *db() const
    {
        Connection *c = q->m_connection;
        return c ? c->handle() : nullptr;
    }

    Cell cellAt(int position, int column) const
    {
        if (lazy) {
            if (position < 0 || position >= int(ids.size()))
                return Cell();
            return cache.cell(lazyRow(ids[std::size_t(position)]), column);
        }
        if (position < 0 || position >= int(visible.size()))
            return Cell();
        return store.cell(rows[std::size_t(visible[std::size_t(position)])].data, column);
    }

    QVariant valueAt(int position, int column) const
    {
        if (column < 0 || column >= int(columns.size()))
            return QVariant();
        if (isBufferPosition(position))
            return buffer[std::size_t(column)];
        return cellAt(position, column).variant();
    }

    void display(void (Query::*signal)()) const
    {
        if (q->m_disableCount == 0)
            emit(q->*signal)();
    }
    void display(void (Query::*signal)(int), int position) const
    {
        if (q->m_disableCount == 0)
            emit(q->*signal)(position);
    }
    void display(void (Query::*signal)(int, int), int first, int last) const
    {
        if (q->m_disableCount == 0)
            emit(q->*signal)(first, last);
    }

    // The contents of one row of an incremental result; null when it is gone.
    const char *lazyRow(qint64 rowid) const
    {
        const auto it = cached.find(rowid);
        if (it != cached.end())
            return it->second;
        if (!rowStatement || db() != openedOn)
            return nullptr;
        if (cached.size() >= CachedRows) {
            cached.clear();
            cache = RowStore(int(columns.size()));
        }
        sqlite3_stmt *st = rowStatement->handle;
        sqlite3_bind_int64(st, 1, rowid);
        const char *data = sqlite3_step(st) == SQLITE_ROW ? cache.add(st, 1) : nullptr;
        sqlite3_reset(st);
        cached.emplace(rowid, data);
        return data;
    }

    void adaptSpan(qint64 tookNs)
    {
        if (tookNs < 2'000'000 && span < (quint64(1) << 24))
            span *= 2;
        else if (tookNs > 8'000'000 && span > FirstSpan)
            span /= 2;
    }

    // Scans the next rowid range, stopping early once `enough` rowids are held. On an
    // engine error returns false with its text.
    bool scanRange(std::size_t enough, QString *error)
    {
        sqlite3_stmt *st = rangeStatement->handle;
        const qint64 to = quint64(scanEnd) - quint64(scanFrom) < span
            ? scanEnd
            : qint64(quint64(scanFrom) + span - 1);
        sqlite3_bind_int64(st, rangeParameter, scanFrom);
        sqlite3_bind_int64(st, rangeParameter + 1, to);
        int rc;
        while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
            const qint64 id = sqlite3_column_int64(st, 0);
            ids.push_back(id);
            if (ids.size() >= enough && id < to) {
                sqlite3_reset(st);
                scanFrom = id + 1;
                return true;
            }
        }
        if (rc != SQLITE_DONE) {
            *error = engineMessage(db());
            sqlite3_reset(st);
            return false;
        }
        sqlite3_reset(st);
        if (to == scanEnd)
            fetching = false;
        else
            scanFrom = to + 1;
        return true;
    }

    // Scans ranges until the result is complete, `enough` rowids are held or the time
    // budget is spent, adapting the span to the time each range takes. On an engine
    // error returns false with its text.
    bool scan(qint64 budgetNs, std::size_t enough, QString *error)
    {
        QElapsedTimer clock;
        clock.start();
        while (fetching && ids.size() < enough && clock.nsecsElapsed() < budgetNs) {
            const qint64 started = clock.nsecsElapsed();
            if (!scanRange(enough, error))
                return false;
            adaptSpan(clock.nsecsElapsed() - started);
        }
        return true;
    }

    // Sets up an incremental read of "select * from <table> [where <condition>]".
    // False when the statement has another shape or the engine would not return its
    // rows in rowid order; the caller then reads in full.
    bool startIncremental(const QString &tableText, const QString &rest,
        const QByteArray &statement, const QVariantList &parameters, int columnCount,
        QString *error)
    {
        sqlite3 *handle = db();
        QString condition;
        const QString tail = rest.trimmed();
        if (!tail.isEmpty()) {
            if (!tail.startsWith(QLatin1String("where"), Qt::CaseInsensitive) || tail.size() < 6
                || !tail[5].isSpace())
                return false;
            condition = tail.mid(6);
        }
        if (!scansInRowidOrder(handle, statement))
            return false;
        auto range = std::make_unique<Statement>();
        const QByteArray rangeSql = (QStringLiteral("select rowid from ") + tableText
            + (condition.isEmpty()
                    ? QStringLiteral(" where")
                    : QStringLiteral(" where (") + condition + QStringLiteral(") and"))
            + QStringLiteral(" rowid>=? and rowid<=?"))
                                        .toUtf8();
        if (sqlite3_prepare_v2(
                handle, rangeSql.constData(), int(rangeSql.size()), &range->handle, nullptr)
            != SQLITE_OK)
            return false;
        const int bound = sqlite3_bind_parameter_count(range->handle);
        if (bound != parameters.size() + 2)
            return false;
        for (int i = 0; i < parameters.size(); ++i)
            bindValue(range->handle, i + 1, parameters[i]);
        auto row = std::make_unique<Statement>();
        const QByteArray rowSql = (QStringLiteral("select rowid, * from ") + tableText
            + QStringLiteral(" where rowid=?"))
                                      .toUtf8();
        if (sqlite3_prepare_v2(
                handle, rowSql.constData(), int(rowSql.size()), &row->handle, nullptr)
                != SQLITE_OK
            || sqlite3_column_count(row->handle) != columnCount + 1)
            return false;
        Statement bounds;
        const QByteArray boundsSql
            // Two subqueries: the engine reads one end of the table for each alone,
            // but scans it whole for min and max together.
            = QStringLiteral("select (select min(rowid) from %1), (select max(rowid) from %1)")
                  .arg(tableText)
                  .toUtf8();
        if (sqlite3_prepare_v2(
                handle, boundsSql.constData(), int(boundsSql.size()), &bounds.handle, nullptr)
                != SQLITE_OK
            || sqlite3_step(bounds.handle) != SQLITE_ROW)
            return false;

        lazy = true;
        openedOn = handle;
        rangeStatement = std::move(range);
        rangeParameter = bound - 1;
        rowStatement = std::move(row);
        cache = RowStore(columnCount);
        cached.clear();
        ids.clear();
        span = FirstSpan;
        fetching = sqlite3_column_type(bounds.handle, 0) != SQLITE_NULL;
        scanFrom = sqlite3_column_int64(bounds.handle, 0);
        scanEnd = sqlite3_column_int64(bounds.handle, 1);

        // The first screen now; the rest from the event loop.
        scan(OpenBudgetNs, FirstScreen, error);
        return true;
    }

    void stopFetching()
    {
        fetching = false;
        if (fetchTimer)
            fetchTimer->stop();
    }

    // Turns an incremental result into a full one (for filters and writing).
    void readInFull()
    {
        if (!lazy)
            return;
        const std::size_t before = ids.size();
        QString error;
        if (!scan(std::numeric_limits<qint64>::max(), std::numeric_limits<std::size_t>::max(),
                &error))
            throw DatabaseError(QStringLiteral("读取查询结果失败：%1").arg(error));
        stopFetching();
        RowStore full(int(columns.size()));
        std::vector<Row> all;
        all.reserve(ids.size());
        sqlite3_stmt *st = rowStatement->handle;
        for (const qint64 id : ids) {
            sqlite3_bind_int64(st, 1, id);
            const int rc = sqlite3_step(st);
            if (rc == SQLITE_ROW)
                all.push_back({ id, full.add(st, 1) });
            sqlite3_reset(st);
            if (rc != SQLITE_ROW && rc != SQLITE_DONE)
                fail(QStringLiteral("读取查询结果失败"));
        }
        const bool grew = ids.size() != before;
        store = std::move(full);
        rows = std::move(all);
        visible.resize(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            visible[i] = int(i);
        dropIncremental();
        editable = true;
        moveTo(current < 0 ? 0 : current);
        if (grew) {
            display(&Query::rowsReset);
            display(&Query::currentChanged, current);
        }
    }

    void dropIncremental()
    {
        stopFetching();
        lazy = false;
        std::vector<qint64>().swap(ids);
        rangeStatement.reset();
        rowStatement.reset();
        cache = RowStore();
        cached.clear();
        openedOn = nullptr;
    }

    void reset()
    {
        dropIncremental();
        state = State::Inactive;
        columns.clear();
        table.clear();
        editable = false;
        store = RowStore();
        rows.clear();
        visible.clear();
        current = -1;
        bof = eof = true;
        buffer.clear();
        assigned.clear();
        filter.reset();
    }

    int fieldIndex(const QString &name) const
    {
        for (std::size_t i = 0; i < columns.size(); ++i)
            if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0)
                return int(i);
        return -1;
    }

    // Null for an empty text, which lets every row through.
    std::unique_ptr<Filter> compiledFilter(const QString &text) const
    {
        if (text.trimmed().isEmpty())
            return nullptr;
        auto f = Filter::parse(text);
        f->resolve([this](const QString &n) { return fieldIndex(n); },
            [this](int c) { return columns[std::size_t(c)].kind; });
        return f;
    }

    // Rebuilds the visible rows from the filter in force.
    void applyFilter(const Filter *active)
    {
        visible.clear();
        visible.reserve(rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Row &row = rows[i];
            if (!row.data)
                continue; // deleted
            if (active && !active->matches([&](int c) { return store.cell(row.data, c); }))
                continue;
            visible.push_back(int(i));
        }
    }

    void moveTo(int position)
    {
        const int n = count();
        current = n == 0 ? -1 : std::clamp(position, 0, n - 1);
        bof = eof = n == 0;
    }

    [[noreturn]] void fail(const QString &doing) const
    {
        throw DatabaseError(QStringLiteral("%1：%2").arg(
            doing, db() ? engineMessage(db()) : QStringLiteral("数据库未连接")));
    }

    void requireEditable(const QString &doing)
    {
        if (state == State::Inactive)
            throw DatabaseError(QStringLiteral("%1：查询未打开").arg(doing));
        readInFull();
        if (!editable || !db())
            throw DatabaseError(QStringLiteral("%1：查询结果不可修改").arg(doing));
    }

    // Reads one row of the table back as stored (affinity, defaults).
    const char *readBack(qint64 rowid)
    {
        Statement st;
        const QByteArray sql
            = QStringLiteral("select rowid, * from %1 where rowid=?").arg(quoted(table)).toUtf8();
        if (sqlite3_prepare_v2(db(), sql.constData(), int(sql.size()), &st.handle, nullptr)
            != SQLITE_OK)
            return nullptr;
        sqlite3_bind_int64(st.handle, 1, rowid);
        if (sqlite3_step(st.handle) != SQLITE_ROW
            || sqlite3_column_count(st.handle) != int(columns.size()) + 1)
            return nullptr;
        return store.add(st.handle, 1);
    }

    // Runs one writing statement with its values; returns the number of changed rows.
    int write(const QString &sql, const std::vector<QVariant> &values, const QString &doing)
    {
        Statement st;
        const QByteArray text = sql.toUtf8();
        if (sqlite3_prepare_v2(db(), text.constData(), int(text.size()), &st.handle, nullptr)
            != SQLITE_OK)
            fail(doing);
        for (std::size_t i = 0; i < values.size(); ++i)
            bindValue(st.handle, int(i) + 1, values[i]);
        if (sqlite3_step(st.handle) != SQLITE_DONE)
            fail(doing);
        return sqlite3_changes(db());
    }
};

// ---------------------------------------------------------------- Field

QString Field::fieldName() const
{
    return m_query->fieldName(m_index);
}

FieldKind Field::kind() const
{
    return m_query->fieldKind(m_index);
}

bool Field::isNull() const
{
    return !value().isValid();
}

QVariant Field::value() const
{
    const auto &d = m_query->d;
    if (d->state == Query::State::Inactive || d->current < 0)
        return QVariant();
    return d->valueAt(d->current, m_index);
}

QString Field::asString() const
{
    const QVariant v = value();
    if (!v.isValid())
        return QString();
    if (v.typeId() == QMetaType::Double)
        return floatText(v.toDouble());
    if (v.typeId() == QMetaType::QByteArray)
        return QString::fromUtf8(v.toByteArray());
    return v.toString();
}

qint64 Field::asInteger() const
{
    const QVariant v = value();
    if (!v.isValid())
        return 0;
    if (v.typeId() == QMetaType::LongLong)
        return v.toLongLong();
    // A stored number beyond the range of a whole number (an infinity written by
    // another program, say) is refused like a text, never wrapped.
    qint64 i = 0;
    const bool ok = v.typeId() == QMetaType::Double ? roundToInteger(v.toDouble(), &i)
                                                    : parseInteger(asString(), &i);
    if (!ok)
        throw notAnInteger(fieldName(), asString());
    return i;
}

double Field::asFloat() const
{
    const QVariant v = value();
    if (!v.isValid())
        return 0;
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::LongLong)
        return v.toDouble();
    double f = 0;
    if (!parseFloat(asString(), &f))
        throw DatabaseError(QStringLiteral("Field '%1': '%2' is not a valid floating point value")
                                .arg(fieldName(), asString()));
    return f;
}

namespace {
void requireFieldWrite(const Query *q, int index)
{
    if (q->state() != Query::State::Edit && q->state() != Query::State::Insert)
        throw DatabaseError(QStringLiteral("Field '%1': dataset not in edit or insert mode")
                                .arg(q->fieldName(index)));
    if (index < 0 || index >= q->fieldCount())
        throw DatabaseError(QStringLiteral("Field index %1 out of range").arg(index));
}
} // namespace

void Field::setAsString(const QString &v)
{
    requireFieldWrite(m_query, m_index);
    switch (kind()) {
    case FieldKind::Integer: {
        qint64 i = 0;
        if (v.trimmed().isEmpty()) {
            clear();
            return;
        }
        if (!parseInteger(v, &i))
            throw notAnInteger(fieldName(), v);
        m_query->assign(m_index, QVariant(i));
        return;
    }
    case FieldKind::Float: {
        double f = 0;
        if (v.trimmed().isEmpty()) {
            clear();
            return;
        }
        if (!parseFloat(v, &f))
            throw DatabaseError(
                QStringLiteral("Field '%1': '%2' is not a valid floating point value")
                    .arg(fieldName(), v));
        m_query->assign(m_index, QVariant(f));
        return;
    }
    case FieldKind::Text:
        m_query->assign(m_index, QVariant(v));
        return;
    }
}

void Field::setAsInteger(qint64 v)
{
    requireFieldWrite(m_query, m_index);
    switch (kind()) {
    case FieldKind::Integer:
        m_query->assign(m_index, QVariant(v));
        return;
    case FieldKind::Float:
        m_query->assign(m_index, QVariant(double(v)));
        return;
    case FieldKind::Text:
        m_query->assign(m_index, QVariant(QString::number(v)));
        return;
    }
}

void Field::setAsFloat(double v)
{
    requireFieldWrite(m_query, m_index);
    switch (kind()) {
    case FieldKind::Integer: {
        qint64 i = 0;
        if (!roundToInteger(v, &i))
            throw notAnInteger(fieldName(), QString::number(v));
        m_query->assign(m_index, QVariant(i));
        return;
    }
    case FieldKind::Float:
        m_query->assign(m_index, QVariant(v));
        return;
    case FieldKind::Text:
        m_query->assign(m_index, QVariant(floatText(v)));
        return;
    }
}

void Field::clear()
{
    requireFieldWrite(m_query, m_index);
    m_query->assign(m_index, QVariant());
}

// ---------------------------------------------------------------- Query

Query::Query(QObject *parent)
    : QObject(parent)
    , d(std::make_unique<Private>(this))
{
    d->fetchTimer = new QTimer(this);
    d->fetchTimer->setSingleShot(true);
    d->fetchTimer->setInterval(0);
    connect(d->fetchTimer, &QTimer::timeout, this, [this] { fetchMore(Private::SliceNs); });
}

Query::~Query() = default;

void Query::setConnection(Connection *connection)
{
    if (connection == m_connection)
        return;
    close();
    m_connection = connection;
}

void Query::setSql(const QStringList &lines)
{
    close();
    m_sql = lines;
    m_parameters.clear();
}

void Query::clearSql()
{
    setSql({});
}

void Query::addSqlLine(const QString &line)
{
    close();
    m_sql << line;
}

void Query::setParameters(const QVariantList &values)
{
    m_parameters = values;
}

void Query::open()
{
    if (d->state != State::Inactive)
        return;
    const QString statement = m_sql.join(u'\n');
    const QString doing = QStringLiteral("打开查询失败（%1）").arg(statement.simplified());
    sqlite3 *db = d->db();
    if (!db)
        throw DatabaseError(QStringLiteral("%1：数据库未连接").arg(doing));

    // Ask the engine for each row's rowid beside it, so that post and delete can
    // address exactly the row shown; only "select * from T" has that shape.
    qsizetype star = 0;
    const QString table = tableOfSelectAll(m_sql.value(0), &star);
    Statement st;
    bool withRowid = false;
    if (!table.isEmpty()) {
        const QString rewritten
            = statement.left(star) + QStringLiteral("rowid, ") + statement.mid(star);
        const QByteArray sql = rewritten.toUtf8();
        withRowid = sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st.handle, nullptr)
            == SQLITE_OK;
    }
    if (!withRowid) {
        sqlite3_finalize(st.handle);
        st.handle = nullptr;
        const QByteArray sql = statement.toUtf8();
        if (sqlite3_prepare_v2(db, sql.constData(), int(sql.size()), &st.handle, nullptr)
            != SQLITE_OK)
            throw DatabaseError(QStringLiteral("%1：%2").arg(doing, engineMessage(db)));
    }
    if (!st.handle)
        throw DatabaseError(QStringLiteral("%1：语句为空").arg(doing));

    const int expected = sqlite3_bind_parameter_count(st.handle);
    if (expected != m_parameters.size())
        throw DatabaseError(QStringLiteral("%1：语句需要 %2 个参数，给出了 %3 个")
                                .arg(doing)
                                .arg(expected)
                                .arg(m_parameters.size()));
    for (int i = 0; i < expected; ++i)
        bindValue(st.handle, i + 1, m_parameters[i]);

    const int first = withRowid ? 1 : 0;
    const int n = sqlite3_column_count(st.handle) - first;
    std::vector<Private::Column> columns(std::size_t(std::max(n, 0)));
    std::vector<bool> declared(columns.size());
    for (int c = 0; c < n; ++c) {
        columns[std::size_t(c)].name = QString::fromUtf8(sqlite3_column_name(st.handle, c + first));
        const char *type = sqlite3_column_decltype(st.handle, c + first);
        declared[std::size_t(c)] = type != nullptr;
        if (type)
            columns[std::size_t(c)].kind = kindOfDeclaredType(type);
    }

    bool incremental = false;
    if (m_incremental && withRowid && !m_filtered
        && std::all_of(declared.begin(), declared.end(), [](bool b) { return b; })) {
        QString error;
        const qsizetype tableEnd = statement.indexOf(table, star) + table.size();
        incremental = d->startIncremental(
            table, statement.mid(tableEnd), sqlite3_sql(st.handle), m_parameters, n, &error);
        if (!error.isEmpty()) {
            d->reset();
            throw DatabaseError(QStringLiteral("%1：%2").arg(doing, error));
        }
    }

    RowStore store(n);
    std::vector<Private::Row> rows;
    int rc = SQLITE_DONE;
    while (!incremental && (rc = sqlite3_step(st.handle)) == SQLITE_ROW) {
        const qint64 rowid
            = withRowid ? sqlite3_column_int64(st.handle, 0) : qint64(rows.size()) + 1;
        rows.push_back({ rowid, store.add(st.handle, first) });
    }
    if (rc != SQLITE_DONE)
        throw DatabaseError(QStringLiteral("%1：%2").arg(doing, engineMessage(db)));

    // Expressions have no declared type: their first value decides.
    for (int c = 0; c < n; ++c) {
        if (declared[std::size_t(c)])
            continue;
        for (const auto &row : rows) {
            const Cell cell = store.cell(row.data, c);
            if (cell.isNull())
                continue;
            columns[std::size_t(c)].kind = cell.tag == Cell::Integer ? FieldKind::Integer
                : cell.tag == Cell::Float                            ? FieldKind::Float
                                                                     : FieldKind::Text;
            break;
        }
    }

    d->columns = std::move(columns);
    // The filter text only has to make sense while it is in force.
    std::unique_ptr<Filter> compiled;
    try {
        compiled = d->compiledFilter(m_filterText);
    } catch (const DatabaseError &) {
        if (m_filtered) {
            d->reset();
            throw;
        }
    }
    d->store = std::move(store);
    d->rows = std::move(rows);
    d->table = unquoted(table);
    d->editable = withRowid && !incremental;
    d->filter = std::move(compiled);
    if (!incremental)
        d->applyFilter(m_filtered ? d->filter.get() : nullptr);
    d->state = State::Browse;
    d->moveTo(0);
    d->bof = true;

    d->display(&Query::rowsReset);
    d->display(&Query::currentChanged, d->current);
    emit afterOpen();
    emit afterScroll();
    if (d->lazy && d->state != State::Inactive) {
        if (d->fetching)
            d->fetchTimer->start(Private::FirstTurnDelayMs);
        else
            emit fetchFinished();
    }
}

bool Query::isFetching() const
{
    return d->lazy && d->fetching;
}

void Query::fetchAll()
{
    // The first turn of a short result stops at a screen's worth.
    while (d->lazy && d->fetching && d->db() == d->openedOn)
        fetchMore(std::numeric_limits<qint64>::max());
    if (d->lazy && d->fetching)
        fetchMore(0); // the connection went: say so
}

void Query::fetchMore(qint64 sliceNs)
{
    if (!d->lazy || !d->fetching)
        return;
    if (d->db() != d->openedOn) {
        // The connection was closed under the result: keep what was read.
        d->stopFetching();
        emit fetchFailed(QStringLiteral("读取查询结果失败：数据库连接已关闭"));
        return;
    }
    const int before = int(d->ids.size());
    QString error;
    const std::size_t enough = d->ids.size() < Private::FirstScreen
        ? Private::FirstScreen
        : std::numeric_limits<std::size_t>::max();
    if (!d->scan(sliceNs, enough, &error))
        d->stopFetching();
    const int last = int(d->ids.size()) - 1;
    if (last >= before) {
        d->display(&Query::rowsAppended, before, last);
        if (d->current < 0) {
            // The first rows of a result that had none at open.
            d->moveTo(0);
            d->bof = true;
            d->display(&Query::currentChanged, d->current);
            emit afterScroll();
        }
    }
    // A listener may have closed or reopened the data set.
    if (!d->lazy)
        return;
    if (!error.isEmpty())
        emit fetchFailed(QStringLiteral("读取查询结果失败：%1").arg(error));
    else if (!d->fetching)
        emit fetchFinished();
    else
        d->fetchTimer->start(0);
}

void Query::close()
{
    if (d->state == State::Inactive)
        return;
    d->reset();
    d->display(&Query::rowsReset);
    emit afterClose();
}

bool Query::isActive() const
{
    return d->state != State::Inactive;
}

Query::State Query::state() const
{
    return d->state;
}

int Query::recordCount() const
{
    return d->count();
}

int Query::recNo() const
{
    return d->current;
}

void Query::checkBrowseMode()
{
    if (d->pending())
        post();
}

void Query::setRecNo(int position)
{
    if (d->state == State::Inactive || position == d->current)
        return;
    checkBrowseMode();
    const int before = d->current;
    d->moveTo(position);
    if (d->current != before) {
        d->display(&Query::currentChanged, d->current);
        emit afterScroll();
    }
}

void Query::first()
{
    if (d->state == State::Inactive)
        return;
    checkBrowseMode();
    const int before = d->current;
    d->moveTo(0);
    d->bof = true;
    if (d->current != before)
        d->display(&Query::currentChanged, d->current);
    emit afterScroll();
}

void Query::last()
{
    if (d->state == State::Inactive)
        return;
    checkBrowseMode();
    const int before = d->current;
    d->moveTo(d->count() - 1);
    d->eof = true;
    if (d->current != before)
        d->display(&Query::currentChanged, d->current);
    emit afterScroll();
}

void Query::next()
{
    if (d->state == State::Inactive)
        return;
    checkBrowseMode();
    if (d->current + 1 >= d->count()) {
        d->eof = true;
        return;
    }
    ++d->current;
    d->bof = d->eof = false;
    d->display(&Query::currentChanged, d->current);
    emit afterScroll();
}

void Query::prior()
{
    if (d->state == State::Inactive)
        return;
    checkBrowseMode();
    if (d->current <= 0) {
        d->bof = true;
        return;
    }
    --d->current;
    d->bof = d->eof = false;
    d->display(&Query::currentChanged, d->current);
    emit afterScroll();
}

bool Query::eof() const
{
    return d->state == State::Inactive || d->count() == 0 || d->eof;
}

bool Query::bof() const
{
    return d->state == State::Inactive || d->count() == 0 || d->bof;
}

int Query::fieldCount() const
{
    return int(d->columns.size());
}

QString Query::fieldName(int index) const
{
    return index >= 0 && index < fieldCount() ? d->columns[std::size_t(index)].name : QString();
}

FieldKind Query::fieldKind(int index) const
{
    return index >= 0 && index < fieldCount() ? d->columns[std::size_t(index)].kind
                                              : FieldKind::Text;
}

int Query::fieldIndex(const QString &name) const
{
    return d->fieldIndex(name);
}

Field Query::fieldByName(const QString &name)
{
    const int index = d->fieldIndex(name);
    if (index < 0)
        throw DatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return Field(this, index);
}

QVariant Query::valueAt(int position, int fieldIndex) const
{
    return d->valueAt(position, fieldIndex);
}

QString Query::displayTextAt(int position, int fieldIndex) const
{
    if (fieldIndex < 0 || fieldIndex >= fieldCount())
        return QString();
    if (d->isBufferPosition(position)) {
        const QVariant v = d->buffer[std::size_t(fieldIndex)];
        if (!v.isValid())
            return QString();
        return v.typeId() == QMetaType::Double ? floatText(v.toDouble()) : v.toString();
    }
    return d->cellAt(position, fieldIndex).text();
}

void Query::assign(int index, const QVariant &value)
{
    d->buffer[std::size_t(index)] = value;
    d->assigned[std::size_t(index)] = true;
    d->display(&Query::rowChanged, d->current);
}

void Query::append()
{
    d->requireEditable(QStringLiteral("新增记录失败"));
    checkBrowseMode();
    d->currentBeforeInsert = d->current;
    d->buffer.assign(d->columns.size(), QVariant());
    d->assigned.assign(d->columns.size(), false);
    d->state = State::Insert;
    d->current = int(d->visible.size());
    d->bof = d->eof = false;
    d->display(&Query::rowInserted, d->current);
    d->display(&Query::currentChanged, d->current);
    emit afterInsert();
    emit afterScroll();
}

void Query::edit()
{
    if (d->pending())
        return;
    d->requireEditable(QStringLiteral("修改记录失败"));
    if (d->count() == 0) {
        // Editing an empty data set starts a new row, as the design's engine does.
        append();
        return;
    }
    d->buffer.resize(d->columns.size());
    for (std::size_t c = 0; c < d->columns.size(); ++c)
        d->buffer[c] = d->cellAt(d->current, int(c)).variant();
    d->assigned.assign(d->columns.size(), false);
    d->state = State::Edit;
    emit afterEdit();
}

void Query::post()
{
    if (!d->pending())
        return;
    const QString doing = QStringLiteral("保存记录失败（%1）").arg(d->table);
    if (!d->db())
        throw DatabaseError(QStringLiteral("%1：数据库未连接").arg(doing));

    QStringList names;
    std::vector<QVariant> values;
    for (std::size_t c = 0; c < d->columns.size(); ++c)
        if (d->assigned[c]) {
            names << quoted(d->columns[c].name);
            values.push_back(d->buffer[c]);
        }

    if (d->state == State::Insert) {
        const QString sql = names.isEmpty()
            ? QStringLiteral("insert into %1 default values").arg(quoted(d->table))
            : QStringLiteral("insert into %1 (%2) values (%3)")
                  .arg(quoted(d->table), names.join(u','),
                      QStringList(names.size(), QStringLiteral("?")).join(u','));
        d->write(sql, values, doing);
        const qint64 rowid = sqlite3_last_insert_rowid(d->db());
        const char *data = d->readBack(rowid);
        if (!data)
            data = d->store.add(d->buffer);
        d->rows.push_back({ rowid, data });
        // The new row stays visible, whatever the filter says, until it is applied again.
        d->visible.push_back(int(d->rows.size()) - 1);
    } else {
        Private::Row &row = d->rows[std::size_t(d->visible[std::size_t(d->current)])];
        if (!names.isEmpty()) {
            values.push_back(QVariant(row.rowid));
            const QString sql = QStringLiteral("update %1 set %2=? where rowid=?")
                                    .arg(quoted(d->table), names.join(QStringLiteral("=?,")));
            if (d->write(sql, values, doing) == 0)
                throw DatabaseError(QStringLiteral("%1：该记录已不在表中").arg(doing));
            const char *data = d->readBack(row.rowid);
            row.data = data ? data : d->store.add(d->buffer);
        }
    }
    d->state = State::Browse;
    d->buffer.clear();
    d->assigned.clear();
    d->display(&Query::rowChanged, d->current);
    emit afterPost();
}

void Query::cancel()
{
    if (!d->pending())
        return;
    const bool inserting = d->state == State::Insert;
    const int pendingPosition = d->current;
    d->state = State::Browse;
    d->buffer.clear();
    d->assigned.clear();
    if (inserting) {
        d->display(&Query::rowRemoved, pendingPosition);
        d->moveTo(d->currentBeforeInsert < 0 ? 0 : d->currentBeforeInsert);
        d->display(&Query::currentChanged, d->current);
    } else {
        d->display(&Query::rowChanged, d->current);
    }
    emit afterCancel();
    if (inserting)
        emit afterScroll();
}

void Query::deleteRecord()
{
    d->requireEditable(QStringLiteral("删除记录失败"));
    if (d->state == State::Insert) {
        cancel();
        return;
    }
    if (d->state == State::Edit)
        cancel();
    if (d->count() == 0)
        throw DatabaseError(QStringLiteral("删除记录失败：没有记录"));

    emit beforeDelete();
    // A listener may have moved or closed the data set.
    if (d->state != State::Browse || d->current < 0 || d->count() == 0)
        return;
    const int position = d->current;
    const std::size_t index = std::size_t(d->visible[std::size_t(position)]);
    const QString doing = QStringLiteral("删除记录失败（%1）").arg(d->table);
    int deleted = 0;
    try {
        deleted = d->write(QStringLiteral("delete from %1 where rowid=?").arg(quoted(d->table)),
            { QVariant(d->rows[index].rowid) }, doing);
    } catch (...) {
        // Listeners that acted on beforeDelete learn that the row stays.
        emit deleteFailed();
        throw;
    }
    if (deleted == 0) {
        emit deleteFailed();
        throw DatabaseError(QStringLiteral("%1：该记录已不在表中").arg(doing));
    }
    d->rows[index].data = nullptr;
    d->visible.erase(d->visible.begin() + position);
    d->display(&Query::rowRemoved, position);
    d->moveTo(position);
    d->display(&Query::currentChanged, d->current);
    emit afterScroll();
}

void Query::refilter()
{
    checkBrowseMode();
    d->applyFilter(m_filtered ? d->filter.get() : nullptr);
    d->moveTo(0);
    d->bof = true;
    d->display(&Query::rowsReset);
    d->display(&Query::currentChanged, d->current);
    emit afterScroll();
}

void Query::setFilter(const QString &text)
{
    if (text == m_filterText)
        return;
    // A bad text changes nothing: it is checked before anything is set.
    std::unique_ptr<Filter> compiled = isActive() ? d->compiledFilter(text) : Filter::parse(text);
    if (isActive()) {
        d->readInFull();
        checkBrowseMode();
    }
    m_filterText = text;
    d->filter = std::move(compiled);
    if (isActive())
        refilter();
}

void Query::setFiltered(bool on)
{
    if (on == m_filtered)
        return;
    if (isActive()) {
        if (on && !d->filter)
            d->filter = d->compiledFilter(m_filterText); // throws for a bad text
        d->readInFull();
        checkBrowseMode();
    }
    m_filtered = on;
    if (isActive())
        refilter();
}

void Query::setFilter(const QString &text, bool on)
{
    if (text == m_filterText && on == m_filtered)
        return;
    std::unique_ptr<Filter> compiled;
    if (text != m_filterText || (on && !d->filter))
        compiled = isActive() ? d->compiledFilter(text) : Filter::parse(text);
    if (isActive())
        checkBrowseMode();
    if (compiled) {
        m_filterText = text;
        d->filter = std::move(compiled);
    }
    m_filtered = on;
    if (isActive())
        refilter();
}

void Query::disableControls()
{
    ++m_disableCount;
}

void Query::enableControls()
{
    if (m_disableCount == 0)
        return;
    if (--m_disableCount == 0)
        emit controlsEnabled();
}

Query::Bookmark Query::bookmark() const
{
    if (d->state != State::Browse && d->state != State::Edit)
        return 0;
    if (d->lazy)
        return d->current < 0 || d->current >= int(d->ids.size()) ? 0
                                                                  : d->ids[std::size_t(d->current)];
    if (d->current < 0 || d->current >= int(d->visible.size()))
        return 0;
    return d->rows[std::size_t(d->visible[std::size_t(d->current)])].rowid;
}

bool Query::gotoBookmark(Bookmark bookmark)
{
    if (!isActive() || bookmark == 0)
        return false;
    if (d->lazy) {
        fetchAll();
        const auto it = std::find(d->ids.begin(), d->ids.end(), bookmark);
        if (it == d->ids.end())
            return false;
        setRecNo(int(it - d->ids.begin()));
        return true;
    }
    for (std::size_t i = 0; i < d->visible.size(); ++i)
        if (d->rows[std::size_t(d->visible[i])].rowid == bookmark) {
            setRecNo(int(i));
            return true;
        }
    return false;
}

QString Query::tableName() const
{
    if (isActive() && !d->table.isEmpty())
        return d->table;
    static const QRegularExpression re(
        QStringLiteral(R"(\bfrom\s+("[^"]+"|\[[^\]]+\]|`[^`]+`|[^\s;,()]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const auto m = re.match(m_sql.value(0));
    return m.hasMatch() ? unquoted(m.captured(1)) : QString();
}
