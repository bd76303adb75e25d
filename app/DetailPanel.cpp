#include "app/DetailPanel.h"

#include "app/data/DataSource.h"
#include "app/data/Query.h"
#include "app/data/Tables.h"

#include <QLabel>
#include <QPainter>
#include <QPlainTextEdit>

namespace {
QString f(const char16_t *name)
{
    return QString::fromUtf16(name);
}
}

DetailPanel::DetailPanel(DataSource *source, QWidget *parent) : QFrame(parent), m_source(source)
{
    using namespace Tables::F;
    setObjectName(QStringLiteral("Panel1"));
    setFixedWidth(376);

    // Rows of the table: top and height; columns: label 1, value 1, label 2, value 2.
    struct Row {
        int top, height;
        const char *label1;
        const char16_t *field1;
        const char *label2;
        const char16_t *field2;
    };
    const Row rows[] = {
        {10, 26, "报刊代号", Code, "报刊名称", Name},
        {36, 22, "报刊种类", Kind, "分类", Category},
        {58, 21, "刊期", Frequency, "出版地", Place},
        {79, 23, "月价", MonthPrice, "全年价", YearPrice},
        {102, 22, "国内统一刊号", nullptr, nullptr, SerialNo},
    };
    const int x0 = 6, x1 = 71, x2 = 156, x3 = 217, x4 = 371;
    for (const Row &r : rows) {
        if (r.field1) {
            cell(QString::fromUtf8(r.label1), x0, r.top, x1 - x0, r.height, false);
            m_values.insert(f(r.field1), cell(QString(), x1, r.top, x2 - x1, r.height, true));
            cell(QString::fromUtf8(r.label2), x2, r.top, x3 - x2, r.height, false);
        } else {
            cell(QString::fromUtf8(r.label1), x0, r.top, x3 - x0, r.height, false);
        }
        m_values.insert(f(r.field2), cell(QString(), x3, r.top, x4 - x3, r.height, true));
    }

    auto *remarksLabel = new QLabel(QStringLiteral("备注/简介："), this);
    remarksLabel->move(8, 131);
    m_remarks = new QPlainTextEdit(this);
    m_remarks->setObjectName(QStringLiteral("DBMemo1"));
    m_remarks->setReadOnly(true);
    m_remarks->setGeometry(8, 147, 357, 118);
    m_remarks->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    connect(source, &DataSource::dataSetChanged, this, &DetailPanel::bind);
    bind(source->dataSet());
}

QLabel *DetailPanel::cell(const QString &text, int x, int y, int w, int h, bool value)
{
    auto *l = new QLabel(text, this);
    m_cells.append(QRect(x, y, w, h));
    l->setGeometry(x + 1, y + 1, w - 1, h - 1);   // inside the cell's frame
    l->setAlignment(value ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    l->setContentsMargins(2, 0, 2, 0);
    if (value) {
        l->setAutoFillBackground(true);
        QPalette p = l->palette();
        p.setColor(QPalette::Window, Qt::white);
        l->setPalette(p);
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    return l;
}

void DetailPanel::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    // Thin frames; neighbouring cells share their lines.
    QPainter p(this);
    p.setPen(palette().color(QPalette::Dark));
    for (const QRect &r : std::as_const(m_cells))
        p.drawRect(r);
}

void DetailPanel::bind(Query *dataSet)
{
    if (m_bound)
        disconnect(m_bound, nullptr, this, nullptr);
    m_bound = dataSet;
    if (dataSet) {
        for (auto sig : {&Query::afterOpen, &Query::afterClose, &Query::afterScroll,
                         &Query::afterPost, &Query::afterCancel, &Query::controlsEnabled}) {
            connect(dataSet, sig, this, &DetailPanel::refresh);
        }
    }
    refresh();
}

void DetailPanel::refresh()
{
    Query *q = m_bound;
    const bool hasRow = q && q->isActive() && q->recordCount() > 0;
    auto read = [&](const QString &name) {
        if (!hasRow)
            return QString();
        const int i = q->fieldIndex(name);
        return i < 0 ? QString() : q->field(i).asString();
    };
    for (auto it = m_values.begin(); it != m_values.end(); ++it)
        it.value()->setText(read(it.key()));
    m_remarks->setPlainText(read(f(Tables::F::Remarks)));
}

QString DetailPanel::valueText(const QString &field) const
{
    QLabel *l = m_values.value(field);
    return l ? l->text() : QString();
}

QString DetailPanel::remarksText() const
{
    return m_remarks->toPlainText();
}
