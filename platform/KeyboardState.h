#pragma once

// The state of the Insert key, shared by every edit box of the program: pressing
// Insert toggles overwrite mode for the whole application, and holding it down
// counts as overwrite too. Tests install a state of their own.
class KeyboardState
{
public:
    virtual ~KeyboardState();

    virtual bool insertToggled() const = 0;
    virtual bool insertHeld() const = 0;
    bool isOverwriteMode() const { return insertToggled() || insertHeld(); }

    // The application-wide state; the first call installs an event filter on the
    // running application that watches the Insert key.
    static KeyboardState *instance();
    // Installs a replacement (tests); nullptr restores the application's. Not owned.
    static void setInstance(KeyboardState *state);
};

// A keyboard state that only changes when told to.
class FixedKeyboardState : public KeyboardState
{
public:
    explicit FixedKeyboardState(bool toggled = false, bool held = false)
        : m_toggled(toggled)
        , m_held(held)
    {
    }
    bool insertToggled() const override { return m_toggled; }
    bool insertHeld() const override { return m_held; }
    void setToggled(bool on) { m_toggled = on; }
    void setHeld(bool on) { m_held = on; }

private:
    bool m_toggled;
    bool m_held;
};
