#include "controls/HintController.h"

#include "controls/EditN.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace {
THintController *g_instance = nullptr;
}

THintController::THintController()
    : QWidget(nullptr,
        Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus
            | Qt::WindowTransparentForInput | Qt::WindowStaysOnTopHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setMouseTracking(true);
    if (!g_instance)
        g_instance = this;
    connect(&m_hintTimer, &QTimer::timeout, this, &THintController::TimerTick);
    CancelHint();
}

THintController::~THintController()
{
    if (g_instance == this)
        g_instance = nullptr;
}

THintController *THintController::instance()
{
    return g_instance;
}

void THintController::RegisterEdit(TEditN *edit, THintProc callback)
{
    m_edits.append(edit);
    m_callbacks.append(std::move(callback));
}

void THintController::UnregisterEdit(TEditN *edit)
{
    if (edit == m_currentEdit)
        CancelHint();
    const qsizetype i = m_edits.indexOf(edit);
    if (i < 0)
        return;
    m_edits.removeAt(i);
    m_callbacks.removeAt(i);
}

void THintController::BeginWait(TEditN *edit)
{
    if (edit != m_currentEdit)
        CancelHint();
    if (!m_currentEdit) {
        m_currentEdit = edit;
        m_hintState = Waiting;
        switchTimer(true);
    }
}

void THintController::CancelHint()
{
    switchTimer(false);
    m_hintTimer.setInterval(TimerInterval);
    m_ticks = 0;
    if (m_hintState == Shown)
        hide();
    m_currentEdit = nullptr;
    m_hintState = Idle;
}

void THintController::TimerTick()
{
    if (m_hintState != Waiting)
        return;
    if (m_ticks > 0)
        TryShowHint(m_currentEdit);
    else
        ++m_ticks;
}

void THintController::TryShowHint(TEditN *edit)
{
    m_ticks = 0;
    const qsizetype i = m_edits.indexOf(edit);
    const bool shown = i >= 0 && m_callbacks.at(i) && m_callbacks.at(i)(QCursor::pos());
    if (shown)
        m_hintState = Shown;
    else
        CancelHint();
}

void THintController::ActivateHint(const QRect &rect, const QString &caption)
{
    m_caption = caption;
    QRect r = rect.adjusted(0, 0, 0, 4);
    QScreen *screen = QGuiApplication::screenAt(r.topLeft());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (screen)
        r = KeepOnDesktop(r, screen->availableGeometry());
    setGeometry(r);
    show();
    raise();
    update();
}

QRect THintController::KeepOnDesktop(QRect rect, const QRect &desktop)
{
    if (rect.right() > desktop.right())
        rect.moveRight(desktop.right());
    if (rect.bottom() > desktop.bottom())
        rect.moveBottom(desktop.bottom());
    if (rect.left() < desktop.left())
        rect.moveLeft(desktop.left());
    return rect;
}

void THintController::setManualTicks(bool manual)
{
    m_manualTicks = manual;
    if (manual)
        m_hintTimer.stop();
    else if (m_timerOn)
        m_hintTimer.start();
}

void THintController::switchTimer(bool on)
{
    m_timerOn = on;
    if (on && !m_manualTicks)
        m_hintTimer.start(TimerInterval);
    else
        m_hintTimer.stop();
}

void THintController::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect frame = rect();
    p.fillRect(frame, TEditN::toQColor(TEditN::clAqua));
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(frame.adjusted(0, 0, -1, -1));
    // The client area lies inside the one-pixel frame; the text keeps one more
    // pixel off it. Plain drawText shows '&' as itself.
    p.setFont(font());
    p.drawText(
        frame.adjusted(2, 2, -2, -2), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, m_caption);
}

void THintController::mouseMoveEvent(QMouseEvent *event)
{
    CancelHint();
    QWidget::mouseMoveEvent(event);
}
