#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <memory>

class Connection;
class Query;

// How a column's values are read and written; taken from the declared column
// type, not from the storage class of one value.
enum class FieldKind { Integer, Float, Text };

// A handle on one field of a query's current row (or of the row being edited).
// Cheap to copy; valid while the query keeps its columns.
class Field
{
public:
    Field(Query *query, int index)
        : m_query(query)
        , m_index(index)
    {
    }

    int index() const { return m_index; }
    QString fieldName() const;
    FieldKind kind() const;

    bool isNull() const;
    QString asString() const; // a null reads as ""
    qint64 asInteger() const; // a null reads as 0; a text that is no number throws DatabaseError
    double asFloat() const; // a null reads as 0
    QVariant value() const; // invalid QVariant for null

    // Assigning needs the query in Edit or Insert state.
    void setAsString(const QString &v);
    void setAsInteger(qint64 v);
    void setAsFloat(double v);
    void clear(); // sets the field to null

private:
    Query *m_query;
    int m_index;
};

// A data set over one SQL statement: the rows it returned, a current row, a filter,
// editing that writes through at once, and the notifications that grids and sum
// lists attach to. Rows are addressed by SQLite's rowid, kept beside each row.
//
// Notifications are Qt signals; several listeners are called in attachment order.
class Query : public QObject
{
    Q_OBJECT
public:
    enum class State { Inactive, Browse, Edit, Insert };
    using Bookmark = qint64; // the rowid of a row; 0 for none

    explicit Query(QObject *parent = nullptr);
    ~Query() override;

    void setConnection(Connection *connection);
    Connection *connection() const { return m_connection; }

    // Statement lines, joined with a line break. Changing the statement closes the query;
    // setSql() and clearSql() also drop the parameters of the previous statement.
    QStringList sql() const { return m_sql; }
    void setSql(const QStringList &lines);
    void clearSql();
    void addSqlLine(const QString &line);
    // Values bound to the statement's '?' placeholders, in order, at the next open().
    // Keywords typed by the user go here and never into the statement's text. Their
    // number must match the placeholders, or open() throws DatabaseError.
    void setParameters(const QVariantList &values);
    QVariantList parameters() const { return m_parameters; }

    // Incremental reading, for large read-only results shown in a grid: open() keeps
    // only the rowids of the result, reads them in bounded rowid ranges from the event
    // loop (never more than a few milliseconds at a time) and reads row contents on
    // demand through a small cache. open() returns with the first screen of rows; the
    // rest follow, announced by rowsAppended, until fetchFinished. Rows, order and
    // values are those of a full read. Only a plain "select * from T", optionally with
    // a where line, is read this way, and only while no filter is in force; anything
    // else reads in full. A filter change or a write first reads the whole result.
    void setIncremental(bool on) { m_incremental = on; }
    bool isIncremental() const { return m_incremental; }
    bool isFetching() const; // an incremental result is still arriving
    void fetchAll(); // reads the rest of the result now

    // Runs the statement; a rejected statement throws DatabaseError and leaves the
    // query closed. Raises afterOpen and then afterScroll.
    void open();
    void close(); // raises afterClose when it was open
    bool isActive() const;
    State state() const;

    // Rows, counting only those the filter lets through.
    int recordCount() const;
    bool isEmpty() const { return recordCount() == 0; }
    int recNo() const; // 0-based position of the current row, -1 when empty
    void setRecNo(int position); // raises afterScroll when the row changes
    void first();
    void next();
    void prior();
    void last();
    bool eof() const; // true after next() past the last row, or when empty
    bool bof() const;

    // Fields.
    int fieldCount() const;
    QString fieldName(int index) const;
    FieldKind fieldKind(int index) const;
    int fieldIndex(const QString &name) const; // -1 when absent; names compare case-blind
    Field fieldByName(const QString &name); // throws DatabaseError when absent
    Field field(int index) { return Field(this, index); }

    // Values of any row the filter lets through, without moving the current row
    // (for display). An invalid QVariant is null.
    QVariant valueAt(int position, int fieldIndex) const;
    QString displayTextAt(int position, int fieldIndex) const;

    // Writing. Post stores the row at once (one statement); there are no transactions.
    // Only a query over "select * from T ..." can write (its rows carry their rowid);
    // any other statement gives read-only rows, and writing throws DatabaseError.
    // Moving to another row, or changing the filter, posts a pending change first.
    void append(); // new empty row at the end, current; raises afterInsert, afterScroll
    void edit(); // current row into editing; raises afterEdit. On an empty data
                 // set it appends instead, as the design's engine does.
    void post(); // INSERTs the assigned fields, or UPDATEs them by rowid; raises
                 // afterPost. A failed post throws and keeps the pending state. A
                 // posted row stays visible until the filter is applied again.
    void cancel(); // drops the pending change; raises afterCancel (then afterScroll
                   // when a pending new row was dropped)
    void deleteRecord(); // raises beforeDelete, deletes by rowid, then afterScroll; the next
                         // row (or the new last row) becomes current. A failed delete
                         // throws and keeps the row.

    // Filter: "field=number", comparisons (= <> < > <= >=) of a field with a number or
    // a text in '...' or "...", joined by and/or ("and" binds tighter), parentheses
    // allowed. Texts compare ASCII case-blind, numeric fields as numbers; a null
    // matches nothing. A malformed filter, or an unknown field while the query is open,
    // throws DatabaseError naming the text and changes nothing. On an open query a
    // change of text or flag moves to the first row and raises afterScroll once.
    QString filter() const { return m_filterText; }
    void setFilter(const QString &text);
    bool isFiltered() const { return m_filtered; }
    void setFiltered(bool on);
    // Both at once: the query is filtered again and notified only once.
    void setFilter(const QString &text, bool on);

    // Suspends the updating of bound controls; counted.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return m_disableCount > 0; }

    Bookmark bookmark() const; // rowid of the current row
    bool gotoBookmark(Bookmark bookmark); // false when the row is not visible

    // Name of the table that post and delete write to: the table after "from" in the
    // statement's first line.
    QString tableName() const;

signals:
    void afterOpen();
    void afterClose();
    void afterEdit();
    void afterInsert();
    void afterPost();
    void beforeDelete();
    void afterCancel();
    void afterScroll();
    // A deletion announced by beforeDelete did not happen: the row is still there.
    void deleteFailed();

    // For display adapters (grid models). Not raised while controls are disabled;
    // controlsEnabled() follows the last enableControls().
    void rowsReset(); // open, close, filter change: read everything again
    void rowInserted(int position); // a row became visible at this position
    void rowRemoved(int position);
    void rowChanged(int position); // values of this row changed (edit buffer or post)
    void currentChanged(int position);
    void controlsEnabled();
    // Rows first..last were added at the end of an incremental result.
    void rowsAppended(int first, int last);
    // An incremental result is complete; recordCount() is now exact.
    void fetchFinished();
    // Reading the rest of an incremental result failed; the rows read so far stay.
    void fetchFailed(const QString &message);

private:
    friend class Field;
    void assign(int index, const QVariant &value);
    void checkBrowseMode(); // posts a pending edit or insert
    void refilter();
    void fetchMore(qint64 sliceNs);
    struct Private;
    std::unique_ptr<Private> d;
    Connection *m_connection = nullptr;
    QStringList m_sql;
    QVariantList m_parameters;
    QString m_filterText;
    bool m_filtered = false;
    bool m_incremental = false;
    int m_disableCount = 0;
};
