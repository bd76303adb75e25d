#pragma once

#include <QObject>
#include <QPointer>

class Query;

// Connects a data set to the controls that show it. Rebinding it to another data
// set rebinds every control that follows it.
class DataSource : public QObject
{
    Q_OBJECT
public:
    explicit DataSource(QObject *parent = nullptr) : QObject(parent) {}

    Query *dataSet() const { return m_dataSet; }
    void setDataSet(Query *dataSet)
    {
        if (m_dataSet == dataSet)
            return;
        m_dataSet = dataSet;
        emit dataSetChanged(dataSet);
    }

signals:
    void dataSetChanged(Query *dataSet);

private:
    QPointer<Query> m_dataSet;
};
