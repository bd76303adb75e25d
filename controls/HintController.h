#pragma once

#include <QList>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>

class TEditN;

// A hint callback: asks its box to show its text for the given mouse position
// (screen coordinates); true when it did.
using THintProc = std::function<bool(const QPoint &)>;
using THintProcList = QList<THintProc>;

// The one hint window of the program. Every typed edit box registers with it; when
// the mouse rests on a box without the focus for two timer ticks the box is asked
// to show its text, which it does (when the text does not fit) by laying this
// window over itself. Mouse presses, keys, the mouse leaving, focus exit and the
// mouse moving over the hint all take it away again.
//
// The program entry creates the controller before any window and keeps it until
// the last box is gone; boxes made while there is none simply show no hints.
class THintController : public QWidget
{
    Q_OBJECT
public:
    enum State { Idle = 0, Waiting = 1, Shown = 2 };
    static constexpr int TimerInterval = 300;

    // The first controller made becomes the program's; it stays so until destroyed.
    THintController();
    ~THintController() override;
    static THintController *instance();

    void RegisterEdit(TEditN *edit, THintProc callback);
    void UnregisterEdit(TEditN *edit);
    void BeginWait(TEditN *edit);
    void CancelHint();
    void TimerTick();
    void TryShowHint(TEditN *edit);

    // Places the window over rect (its height grows by four pixels), keeps it on
    // the desktop and shows it with caption text, without taking the activation.
    void ActivateHint(const QRect &rect, const QString &caption);
    // Moves rect, keeping its size, so that it lies within desktop: leftwards or
    // upwards past the right or bottom edge, rightwards past the left edge.
    static QRect KeepOnDesktop(QRect rect, const QRect &desktop);

    int HintState() const { return m_hintState; }
    TEditN *CurrentEdit() const { return m_currentEdit; }
    int Ticks() const { return m_ticks; }
    QString Caption() const { return m_caption; }
    const QList<TEditN *> &Edits() const { return m_edits; }
    qsizetype CallbackCount() const { return m_callbacks.size(); }
    // Whether the delay timer is switched on.
    bool TimerActive() const { return m_timerOn; }
    // With manual ticks the timer is only switched on and off in name and ticks
    // come from TimerTick() calls alone (tests).
    void setManualTicks(bool manual);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    void switchTimer(bool on);

    QList<TEditN *> m_edits;
    THintProcList m_callbacks;
    QTimer m_hintTimer;
    int m_ticks = 0;
    TEditN *m_currentEdit = nullptr;
    int m_hintState = Idle;
    QString m_caption;
    bool m_timerOn = false;
    bool m_manualTicks = false;
};
