#include "platform/KeyboardState.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWindow>

namespace {

// Watches the key events that reach the program's windows. Every key event from
// the window system arrives at a window first and is only then handed to the
// focused widget, so looking at windows alone sees each press exactly once.
class AppKeyboardState : public QObject, public KeyboardState
{
public:
    AppKeyboardState()
    {
        if (QCoreApplication *app = QCoreApplication::instance())
            app->installEventFilter(this);
    }
    bool insertToggled() const override { return m_toggled; }
    bool insertHeld() const override { return m_held; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if ((type == QEvent::KeyPress || type == QEvent::KeyRelease)
            && qobject_cast<QWindow *>(watched)) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() == Qt::Key_Insert) {
                if (type == QEvent::KeyPress) {
                    m_held = true;
                    // Shift+Insert pastes and Ctrl+Insert copies; only the bare key
                    // switches the mode, and a held key does not flicker it.
                    const auto mods = key->modifiers()
                        & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
                    if (!key->isAutoRepeat() && mods == Qt::NoModifier)
                        m_toggled = !m_toggled;
                } else if (!key->isAutoRepeat()) {
                    m_held = false;
                }
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool m_toggled = false;
    bool m_held = false;
};

KeyboardState *g_override = nullptr;

} // namespace

KeyboardState::~KeyboardState() = default;

KeyboardState *KeyboardState::instance()
{
    if (g_override)
        return g_override;
    static AppKeyboardState real;
    return &real;
}

void KeyboardState::setInstance(KeyboardState *state)
{
    g_override = state;
}
