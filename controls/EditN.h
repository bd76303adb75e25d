#pragma once

#include <QLineEdit>

// Value type and alignment of a typed edit box.
enum TEditTypes : quint8 { etString = 0, etInteger = 1, etFloat = 2, etDate = 3, etTime = 4 };
enum TEditAlign : quint8 {
    etAlignRight = 0,
    etAlignLeft = 1,
    etAlignCenter = 2,
    etAlignNone = 3,
    etAlignValue = 4
};

// The single-line text box of every window: a value type that filters typing and
// formats on exit, focus colours, Enter acting as Tab, Esc restoring the entry text.
// (Skeleton: the full behaviour follows.)
class TEditN : public QLineEdit
{
    Q_OBJECT
public:
    explicit TEditN(QWidget *parent = nullptr);
    ~TEditN() override;

    TEditTypes EditType() const { return m_editType; }
    void setEditType(TEditTypes type) { m_editType = type; }

    char EditKeyByTab() const { return m_editKeyByTab; }
    void setEditKeyByTab(char key) { m_editKeyByTab = key; }

signals:
    void OnEnter(QObject *sender);
    void OnExit(QObject *sender);
    void OnChange(QObject *sender);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    TEditTypes m_editType = etString;
    char m_editKeyByTab = 13;
};
