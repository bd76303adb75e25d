#pragma once

#include "app/data/Query.h"

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <vector>

class TDBSumCollection;

enum TGroupOperation { goSum = 0, goAvg = 1, goCount = 2 };

// One total kept by a sum list: a sum, an average or a count of one field (or of
// the records, for a count without a field).
class TDBSum
{
public:
    TGroupOperation groupOperation() const { return m_operation; }
    void setGroupOperation(TGroupOperation op);
    QString fieldName() const { return m_fieldName; }
    void setFieldName(const QString &name);

    // Value x 10000: the sum, the average or the count.
    qint64 runningTotal() const { return m_runningTotal; }
    // The field's value when the current record was opened for editing (0 for a new one).
    qint64 previousValue() const { return m_previousValue; }
    qint64 nonNullCount() const { return m_nonNullCount; }

private:
    friend class TDBSumListProducer;
    friend class TDBSumCollection;
    explicit TDBSum(TDBSumCollection *owner)
        : m_owner(owner)
    {
    }
    void clearTotals();

    TDBSumCollection *m_owner;
    TGroupOperation m_operation = goSum;
    QString m_fieldName;
    qint64 m_runningTotal = 0;
    qint64 m_previousValue = 0;
    bool m_previousNonNull = false; // the edited record counted before the change
    qint64 m_nonNullCount = 0; // goAvg: records with a value
    qint64 m_averageTotal = 0; // goAvg: sum of the values, fixed point
};

// The items of a sum list. Adding, removing or changing an item recounts, except
// inside beginUpdate()/endUpdate(), whose end recounts once.
class TDBSumCollection
{
public:
    explicit TDBSumCollection(class TDBSumListProducer *owner)
        : m_owner(owner)
    {
    }

    TDBSum *add();
    void remove(TDBSum *item);
    void clear();
    int count() const { return int(m_items.size()); }
    TDBSum *item(int index) const { return m_items.at(size_t(index)).get(); }
    // The first item with this operation and field name (compared without regard to case).
    TDBSum *find(TGroupOperation op, const QString &fieldName) const;

    void beginUpdate() { ++m_updateCount; }
    void endUpdate();

private:
    friend class TDBSum;
    void changed();

    class TDBSumListProducer *m_owner;
    std::vector<std::unique_ptr<TDBSum>> m_items;
    int m_updateCount = 0;
    bool m_changedInUpdate = false;
};

// Keeps footer totals of a data set: attaches to its notifications beside any earlier
// listeners, recounts everything when it opens or its filter changes, and moves the
// totals step by step when records are edited, appended, posted or deleted. Posting,
// deleting and cancelling never walk the data set.
class TDBSumListProducer : public QObject
{
    Q_OBJECT
public:
    explicit TDBSumListProducer(QObject *parent = nullptr);
    ~TDBSumListProducer() override;

    Query *dataSet() const { return m_dataSet; }
    void setDataSet(Query *dataSet);

    bool active() const { return m_active; }
    void setActive(bool active);
    bool attached() const { return !m_connections.isEmpty(); }

    // While loading, the data set and Active are only stored; endLoading attaches.
    void beginLoading();
    void endLoading();
    bool loading() const { return m_loading; }

    bool externalRecalc() const { return m_externalRecalc; }
    void setExternalRecalc(bool on) { m_externalRecalc = on; }

    TDBSumCollection *sumCollection() { return &m_items; }
    const TDBSumCollection *sumCollection() const { return &m_items; }

    // The running total (value x 10000) of the item with this operation and field;
    // 0 when there is none.
    qint64 runningTotal(TGroupOperation op, const QString &fieldName) const;

    bool recounting() const { return m_recounting; }
    bool recordedFilterOn() const { return m_recordedFilterOn; }
    QString recordedFilterText() const { return m_recordedFilterText; }

    // Recounts every item over the records the data set shows, when active, attached,
    // not loading and the data set is open. Leaves the data set on its first record.
    void fullRecount();

    // How many times a recount walked the data set (first/next over every record).
    int walkCount() const { return m_walkCount; }

signals:
    void SumListChanged();
    void RecalcAll();
    void AfterRecalcAll();

private:
    void attach();
    void detach();
    void clearTotals();
    bool canRecount() const;

    void dataSetAfterOpen();
    void dataSetAfterClose();
    void dataSetAfterEdit();
    void dataSetAfterInsert();
    void dataSetAfterPost();
    void dataSetBeforeDelete();
    void dataSetAfterScroll();
    void dataSetDestroyed();

    struct FieldValue
    {
        bool found = false;
        bool isNull = true;
        double value = 0;
    };
    FieldValue currentValue(const TDBSum *item) const;
    static FieldValue readValue(const Field &field);
    static qint64 contribution(const TDBSum *item, const FieldValue &v);
    static void recomputeAverage(TDBSum *item);

    Query *m_dataSet = nullptr;
    QList<QMetaObject::Connection> m_connections;
    TDBSumCollection m_items;
    bool m_active = false;
    bool m_loading = false;
    bool m_destroying = false;
    bool m_externalRecalc = false;
    bool m_recounting = false;
    bool m_pendingChange = false; // an edit or insert is waiting for its post or cancel
    bool m_recordedFilterOn = false;
    QString m_recordedFilterText;
    int m_walkCount = 0;

    friend class TDBSumCollection;
};

// The sum list a record grid makes for itself and binds to its data set.
class TGridSumList : public TDBSumListProducer
{
    Q_OBJECT
public:
    using TDBSumListProducer::TDBSumListProducer;
};
