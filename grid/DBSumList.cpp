#include "grid/DBSumList.h"

#include "app/data/DatabaseError.h"

#include "grid/FixedPoint.h"

#include <cmath>

// ---- TDBSum ---------------------------------------------------------------

void TDBSum::setGroupOperation(TGroupOperation op)
{
    if (op == m_operation)
        return;
    m_operation = op;
    m_owner->changed();
}

void TDBSum::setFieldName(const QString &name)
{
    if (name == m_fieldName)
        return;
    m_fieldName = name;
    m_owner->changed();
}

void TDBSum::clearTotals()
{
    m_runningTotal = 0;
    m_previousValue = 0;
    m_previousNonNull = false;
    m_nonNullCount = 0;
    m_averageTotal = 0;
}

// ---- TDBSumCollection -----------------------------------------------------

TDBSum *TDBSumCollection::add()
{
    m_items.push_back(std::unique_ptr<TDBSum>(new TDBSum(this)));
    TDBSum *item = m_items.back().get();
    changed();
    return item;
}

void TDBSumCollection::remove(TDBSum *item)
{
    for (auto it = m_items.begin(); it != m_items.end(); ++it) {
        if (it->get() == item) {
            m_items.erase(it);
            changed();
            return;
        }
    }
}

void TDBSumCollection::clear()
{
    if (m_items.empty())
        return;
    m_items.clear();
    changed();
}

TDBSum *TDBSumCollection::find(TGroupOperation op, const QString &fieldName) const
{
    for (const auto &item : m_items) {
        if (item->m_operation == op
            && item->m_fieldName.compare(fieldName, Qt::CaseInsensitive) == 0)
            return item.get();
    }
    return nullptr;
}

void TDBSumCollection::endUpdate()
{
    if (m_updateCount > 0 && --m_updateCount == 0 && m_changedInUpdate) {
        m_changedInUpdate = false;
        m_owner->fullRecount();
    }
}

void TDBSumCollection::changed()
{
    if (m_updateCount > 0) {
        m_changedInUpdate = true;
        return;
    }
    m_owner->fullRecount();
}

// ---- TDBSumListProducer ---------------------------------------------------

TDBSumListProducer::TDBSumListProducer(QObject *parent)
    : QObject(parent)
    , m_items(this)
{
}

TDBSumListProducer::~TDBSumListProducer()
{
    m_destroying = true;
    detach();
}

void TDBSumListProducer::setDataSet(Query *dataSet)
{
    if (dataSet == m_dataSet)
        return;
    detach();
    if (m_dataSet)
        disconnect(m_dataSet, &QObject::destroyed, this, nullptr);
    m_dataSet = dataSet;
    if (m_dataSet)
        connect(m_dataSet, &QObject::destroyed, this, &TDBSumListProducer::dataSetDestroyed);
    clearTotals();
    if (m_active && !m_loading && m_dataSet) {
        attach();
        fullRecount();
    }
    emit SumListChanged();
}

void TDBSumListProducer::setActive(bool active)
{
    if (active == m_active)
        return;
    m_active = active;
    if (m_active) {
        if (!m_loading && m_dataSet) {
            attach();
            fullRecount();
        }
    } else {
        detach();
        clearTotals();
        emit SumListChanged();
    }
}

void TDBSumListProducer::beginLoading()
{
    m_loading = true;
}

void TDBSumListProducer::endLoading()
{
    if (!m_loading)
        return;
    m_loading = false;
    if (m_active && m_dataSet && !attached()) {
        attach();
        fullRecount();
    }
}

qint64 TDBSumListProducer::runningTotal(TGroupOperation op, const QString &fieldName) const
{
    const TDBSum *item = m_items.find(op, fieldName);
    return item ? item->runningTotal() : 0;
}

void TDBSumListProducer::attach()
{
    if (!m_dataSet || attached())
        return;
    // Our own connections only: the data set's earlier listeners stay and are called first.
    Query *q = m_dataSet;
    m_connections << connect(q, &Query::afterOpen, this, &TDBSumListProducer::dataSetAfterOpen)
                  << connect(q, &Query::afterClose, this, &TDBSumListProducer::dataSetAfterClose)
                  << connect(q, &Query::afterEdit, this, &TDBSumListProducer::dataSetAfterEdit)
                  << connect(q, &Query::afterInsert, this, &TDBSumListProducer::dataSetAfterInsert)
                  << connect(q, &Query::afterPost, this, &TDBSumListProducer::dataSetAfterPost)
                  << connect(
                         q, &Query::beforeDelete, this, &TDBSumListProducer::dataSetBeforeDelete)
                  << connect(q, &Query::afterCancel, this, [this] { m_pendingChange = false; })
                  << connect(q, &Query::afterScroll, this, &TDBSumListProducer::dataSetAfterScroll)
                  // The record subtracted before a deletion that failed is still there.
                  << connect(q, &Query::deleteFailed, this, &TDBSumListProducer::fullRecount);
}

void TDBSumListProducer::detach()
{
    for (const auto &c : std::as_const(m_connections))
        disconnect(c);
    m_connections.clear();
    m_pendingChange = false;
}

void TDBSumListProducer::clearTotals()
{
    for (int i = 0; i < m_items.count(); ++i)
        m_items.item(i)->clearTotals();
}

bool TDBSumListProducer::canRecount() const
{
    return m_active && attached() && !m_loading && !m_destroying && m_dataSet
        && m_dataSet->isActive();
}

namespace {

// Puts the data set's controls back and ends the recount whatever happens in the walk.
class RecountWalk
{
public:
    RecountWalk(Query *q, bool &recounting)
        : m_q(q)
        , m_recounting(recounting)
    {
        m_q->disableControls();
        m_recounting = true;
    }
    ~RecountWalk()
    {
        m_q->enableControls();
        m_recounting = false;
    }
    RecountWalk(const RecountWalk &) = delete;
    RecountWalk &operator=(const RecountWalk &) = delete;

private:
    Query *m_q;
    bool &m_recounting;
};

} // namespace

void TDBSumListProducer::fullRecount()
{
    if (!canRecount())
        return;
    clearTotals();
    m_pendingChange = false;
    emit SumListChanged();
    emit RecalcAll();

    auto finish = [this] {
        emit AfterRecalcAll();
        m_recordedFilterOn = m_dataSet->isFiltered();
        m_recordedFilterText = m_dataSet->filter();
        m_recounting = false;
        emit SumListChanged();
    };
    if (m_externalRecalc) {
        finish();
        return;
    }
    bool anything = false;
    for (int i = 0; i < m_items.count(); ++i) {
        const TDBSum *item = m_items.item(i);
        if (!item->fieldName().isEmpty() || item->groupOperation() == goCount)
            anything = true;
    }
    if (anything) {
        // Field positions are looked up once for the walk.
        std::vector<int> fields;
        for (int i = 0; i < m_items.count(); ++i) {
            const QString name = m_items.item(i)->fieldName();
            fields.push_back(name.isEmpty() ? -1 : m_dataSet->fieldIndex(name));
        }
        try {
            RecountWalk walk(m_dataSet, m_recounting);
            ++m_walkCount;
            m_dataSet->first();
            while (!m_dataSet->eof()) {
                for (int i = 0; i < m_items.count(); ++i) {
                    TDBSum *item = m_items.item(i);
                    FieldValue v;
                    if (fields[size_t(i)] >= 0) {
                        v = readValue(m_dataSet->field(fields[size_t(i)]));
                    }
                    switch (item->m_operation) {
                    case goSum:
                        if (v.found && !v.isNull)
                            item->m_runningTotal = FixedPoint::add(item->m_runningTotal, v.value);
                        break;
                    case goAvg:
                        if (v.found && !v.isNull) {
                            ++item->m_nonNullCount;
                            item->m_averageTotal = FixedPoint::add(item->m_averageTotal, v.value);
                        }
                        break;
                    case goCount:
                        item->m_runningTotal += contribution(item, v);
                        break;
                    }
                }
                m_dataSet->next();
            }
            m_dataSet->first();
            for (int i = 0; i < m_items.count(); ++i)
                recomputeAverage(m_items.item(i));
        } catch (...) {
            // Totals of a broken walk would be wrong: show none, then report the error.
            clearTotals();
            emit SumListChanged();
            throw;
        }
    }
    finish();
}

TDBSumListProducer::FieldValue TDBSumListProducer::currentValue(const TDBSum *item) const
{
    FieldValue v;
    if (!m_dataSet || item->fieldName().isEmpty())
        return v;
    const int index = m_dataSet->fieldIndex(item->fieldName());
    if (index < 0)
        return v;
    return readValue(m_dataSet->field(index));
}

// A value that is no number (a text stored in a numeric column by another program)
// is left out of the totals like a null, rather than stopping the command that
// moved the data set; so is an infinity or a NaN, which no total can hold.
TDBSumListProducer::FieldValue TDBSumListProducer::readValue(const Field &f)
{
    FieldValue v;
    v.found = true;
    v.isNull = f.isNull();
    if (!v.isNull) {
        try {
            v.value = f.asFloat();
            v.isNull = !std::isfinite(v.value);
        } catch (const DatabaseError &) {
            v.isNull = true;
        }
    }
    if (v.isNull)
        v.value = 0;
    return v;
}

// What one record adds to an item: the value for sums and averages, one (x 10000)
// for a count.
qint64 TDBSumListProducer::contribution(const TDBSum *item, const FieldValue &v)
{
    if (item->m_operation == goCount) {
        if (item->m_fieldName.isEmpty())
            return FixedPoint::Scale;
        return v.found && !v.isNull ? FixedPoint::Scale : 0;
    }
    return v.found && !v.isNull ? FixedPoint::fromDouble(v.value) : 0;
}

void TDBSumListProducer::recomputeAverage(TDBSum *item)
{
    if (item->m_operation != goAvg)
        return;
    item->m_runningTotal = item->m_nonNullCount == 0
        ? 0
        : FixedPoint::divide(item->m_averageTotal, item->m_nonNullCount);
}

void TDBSumListProducer::dataSetAfterOpen()
{
    fullRecount();
}

void TDBSumListProducer::dataSetAfterClose()
{
    clearTotals();
    m_pendingChange = false;
    m_recounting = false;
    emit SumListChanged();
}

void TDBSumListProducer::dataSetAfterEdit()
{
    for (int i = 0; i < m_items.count(); ++i) {
        TDBSum *item = m_items.item(i);
        const FieldValue v = currentValue(item);
        item->m_previousValue = contribution(item, v);
        item->m_previousNonNull = item->m_operation == goCount && item->m_fieldName.isEmpty()
            ? true
            : v.found && !v.isNull;
    }
    m_pendingChange = true;
}

void TDBSumListProducer::dataSetAfterInsert()
{
    for (int i = 0; i < m_items.count(); ++i) {
        m_items.item(i)->m_previousValue = 0;
        m_items.item(i)->m_previousNonNull = false;
    }
    m_pendingChange = true;
}

void TDBSumListProducer::dataSetAfterPost()
{
    // A post that no edit or insert announced changes nothing we counted; adding its
    // values again would count the record twice.
    if (!m_pendingChange)
        return;
    m_pendingChange = false;
    for (int i = 0; i < m_items.count(); ++i) {
        TDBSum *item = m_items.item(i);
        const FieldValue v = currentValue(item);
        switch (item->m_operation) {
        case goSum:
            if (v.found && !v.isNull)
                item->m_runningTotal
                    = FixedPoint::add(item->m_runningTotal - item->m_previousValue, v.value);
            else
                item->m_runningTotal -= item->m_previousValue;
            break;
        case goAvg: {
            if (v.found && !v.isNull)
                item->m_averageTotal
                    = FixedPoint::add(item->m_averageTotal - item->m_previousValue, v.value);
            else
                item->m_averageTotal -= item->m_previousValue;
            item->m_nonNullCount
                += (v.found && !v.isNull ? 1 : 0) - (item->m_previousNonNull ? 1 : 0);
            recomputeAverage(item);
            break;
        }
        case goCount:
            item->m_runningTotal += contribution(item, v) - item->m_previousValue;
            break;
        }
        item->m_previousValue = 0;
        item->m_previousNonNull = false;
    }
    emit SumListChanged();
}

void TDBSumListProducer::dataSetBeforeDelete()
{
    const Query::State state = m_dataSet->state();
    // A record still being inserted was never counted; one being edited was counted
    // with the value it had when the edit began, not with the pending change.
    if (state == Query::State::Insert) {
        m_pendingChange = false;
        return;
    }
    const bool editing = state == Query::State::Edit && m_pendingChange;
    m_pendingChange = false;
    for (int i = 0; i < m_items.count(); ++i) {
        TDBSum *item = m_items.item(i);
        const FieldValue v = currentValue(item);
        const qint64 counted = editing ? item->m_previousValue : contribution(item, v);
        const bool countedNonNull = editing ? item->m_previousNonNull : v.found && !v.isNull;
        switch (item->m_operation) {
        case goSum:
            if (editing)
                item->m_runningTotal -= counted;
            else
                item->m_runningTotal = FixedPoint::subtract(item->m_runningTotal, v.value);
            break;
        case goAvg:
            if (editing)
                item->m_averageTotal -= counted;
            else
                item->m_averageTotal = FixedPoint::subtract(item->m_averageTotal, v.value);
            item->m_nonNullCount -= countedNonNull ? 1 : 0;
            recomputeAverage(item);
            break;
        case goCount:
            item->m_runningTotal -= counted;
            break;
        }
    }
    emit SumListChanged();
}

void TDBSumListProducer::dataSetAfterScroll()
{
    if (m_recounting || !m_dataSet)
        return;
    const bool filtered = m_dataSet->isFiltered();
    if ((filtered && m_dataSet->filter() != m_recordedFilterText) || filtered != m_recordedFilterOn)
        fullRecount();
}

void TDBSumListProducer::dataSetDestroyed()
{
    m_connections.clear(); // the connections went with the data set
    m_dataSet = nullptr;
    m_pendingChange = false;
    clearTotals();
    emit SumListChanged();
}
