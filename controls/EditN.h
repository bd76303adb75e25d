#pragma once

#include <QLineEdit>
#include <QValidator>

class QKeyEvent;

// Value type and alignment of a typed edit box.
enum TEditTypes : quint8 { etString = 0, etInteger = 1, etFloat = 2, etDate = 3, etTime = 4 };
enum TEditAlign : quint8 {
    etAlignRight = 0,
    etAlignLeft = 1,
    etAlignCenter = 2,
    etAlignNone = 3,
    etAlignValue = 4
};

// The single-line text box of every window. Its value type filters what is typed,
// keeps ValueInteger/ValueFloat in step with the text on every change and checks
// and formats the text when the box loses the focus (numbers padded and given
// their decimals, dates and times completed from what was typed). Background and
// text colours follow the focus and the application's overwrite mode; a chosen
// character (Enter by default) moves on like Tab; Esc puts back the text the box
// had on entry; a box too narrow for its text shows it in the hint controller.
//
// Colours are 0x00BBGGRR values (red in the low byte). Lengths in the padding
// rules count bytes of the text in code page 936. Dates and times are days since
// 30 December 1899, the fraction being the time of day.
//
// A read-only box stays unchangeable by every route: typing, Delete, cut, paste and
// the context menu alike.
class TEditN : public QLineEdit
{
    Q_OBJECT
public:
    explicit TEditN(QWidget *parent = nullptr);
    ~TEditN() override;

    // Named colour values.
    static constexpr quint32 clWhite = 0x00FFFFFF;
    static constexpr quint32 clBlack = 0x00000000;
    static constexpr quint32 clBlue = 0x00FF0000;
    static constexpr quint32 clAqua = 0x00FFFF00;
    static constexpr quint32 clNone = 0x1FFFFFFF;
    // 0x00BBGGRR to QColor; 0xFF0000nn system colours map onto the palette.
    static QColor toQColor(quint32 value);

    quint32 Color() const { return m_color; }
    void setColor(quint32 value);
    quint32 ColorOnFocus() const { return m_colorOnFocus; }
    void setColorOnFocus(quint32 value) { m_colorOnFocus = value; }
    quint32 ColorOnNotFocus() const { return m_colorOnNotFocus; }
    void setColorOnNotFocus(quint32 value) { m_colorOnNotFocus = value; }
    quint32 FontColorOnFocus() const { return m_fontColorOnFocus; }
    void setFontColorOnFocus(quint32 value) { m_fontColorOnFocus = value; }
    quint32 FontColorOnNotFocus() const { return m_fontColorOnNotFocus; }
    void setFontColorOnNotFocus(quint32 value) { m_fontColorOnNotFocus = value; }
    quint32 FontColorOnOverWrite() const { return m_fontColorOnOverWrite; }
    void setFontColorOnOverWrite(quint32 value) { m_fontColorOnOverWrite = value; }
    // The text colour now shown; invalid until the box first sets one (the font's own).
    QColor FontColor() const;

    TEditTypes EditType() const { return m_editType; }
    void setEditType(TEditTypes type) { m_editType = type; }
    char EditKeyByTab() const { return m_editKeyByTab; }
    void setEditKeyByTab(char key) { m_editKeyByTab = key; }
    TEditAlign EditAlign() const { return m_editAlign; }
    void setEditAlign(TEditAlign align);
    int EditLengthAlign() const { return m_editLengthAlign; }
    void setEditLengthAlign(int length) { m_editLengthAlign = length; }
    int EditPrecision() const { return m_editPrecision; }
    void setEditPrecision(int precision) { m_editPrecision = precision; }

    double ValueFloat() const { return m_valueFloat; }
    void setValueFloat(double value) { m_valueFloat = value; }
    qint32 ValueInteger() const { return m_valueInteger; }
    void setValueInteger(qint32 value) { m_valueInteger = value; }
    double ValueDate() const { return m_valueDate; }
    void setValueDate(double value) { m_valueDate = value; }
    double ValueTime() const { return m_valueTime; }
    void setValueTime(double value) { m_valueTime = value; }
    bool TimeSeconds() const { return m_timeSeconds; }
    void setTimeSeconds(bool on) { m_timeSeconds = on; }

    bool FirstCharUpper() const { return m_firstCharUpper; }
    void setFirstCharUpper(bool on) { m_firstCharUpper = on; }
    QString FirstCharUpList() const { return m_firstCharUpList; }
    void setFirstCharUpList(const QString &list) { m_firstCharUpList = list; }
    int WidthOnFocus() const { return m_widthOnFocus; }
    void setWidthOnFocus(int width) { m_widthOnFocus = width; }
    bool TextHint() const { return m_textHint; }
    void setTextHint(bool on) { m_textHint = on; }
    // The 3-D look of a framed box; the program's boxes are flat (a framed box
    // without it has a single flat border). Only the hint geometry reads it.
    bool Ctl3D() const { return m_ctl3D; }
    void setCtl3D(bool on) { m_ctl3D = on; }

    // Separators taken from the locale at construction; the date and time checks
    // build their texts with them.
    QChar DecimalChar() const { return m_decimalChar; }
    QChar DateSepChar() const { return m_dateSepChar; }
    void setDateSepChar(QChar c) { m_dateSepChar = c; }
    QChar TimeSepChar() const { return m_timeSepChar; }
    void setTimeSepChar(QChar c) { m_timeSepChar = c; }

    // The length limit in code-page-936 bytes for what is typed, pasted or composed
    // (32767 or less than 1: no limit). A text assigned by the program is never cut.
    int maxLength() const { return m_maxLength; }
    void setMaxLength(int length) { m_maxLength = length <= 0 ? 32767 : length; }

    // The text the box had when it last received the focus while editable.
    QString SavedText() const { return m_savedText; }

    // Overwrite mode is the application's Insert-key state, not the box's own.
    static bool IsOverwriteMode();

    // Shows the whole text in the hint controller when it does not fit the box;
    // true when the hint is shown. The point is not used: the hint covers the box.
    virtual bool ShowTextHint(const QPoint &point);
    // True when the text fits the box's width in the box's font.
    bool TextFits(const QString &text) const;

signals:
    void OnEnter(QObject *sender);
    void OnExit(QObject *sender);
    void OnChange(QObject *sender);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    friend class TEditNByteLimit;
    void TextChanged();
    // Holds an edit of the user to maxLength() bytes: what was inserted is cut from
    // its end until it fits; nothing fitting refuses the edit.
    QValidator::State limitInput(QString &input, int &pos);
    // Assigns a longer text only while it fits maxLength(); false when it did not.
    bool growText(const QString &value);
    bool fitsLimit(const QString &value) const;
    void DoEnter();
    void DoExit();
    void ExitFormatString();
    void ExitFormatNumber();
    void DateCheck();
    void TimeCheck();
    // Applies the filter of the box's type to one typed character; returns the
    // character to hand on, 0 to swallow, 15 for a rejected one.
    char16_t FilterKey(char16_t key);
    void CancelOwnHint();
    void applyColors(quint32 background, quint32 font);
    void setDesignMaxLength(int length);
    // Assigns the text unless it is already there; false when the box refused it.
    bool assignText(const QString &value);
    int designMaxLength() const;
    QChar currentDecimalChar() const;
    void moveToNextControl();

    quint32 m_color;
    quint32 m_colorOnFocus = clWhite;
    quint32 m_colorOnNotFocus = 14671839;
    quint32 m_fontColorOnFocus = clBlue;
    quint32 m_fontColorOnNotFocus = clBlack;
    quint32 m_fontColorOnOverWrite = clBlue;
    bool m_fontColorSet = false;
    quint32 m_fontColor = clBlack;
    TEditTypes m_editType = etString;
    TEditAlign m_editAlign = etAlignNone;
    char m_editKeyByTab = 13;
    int m_editLengthAlign = 0;
    qint32 m_valueInteger = 0;
    double m_valueFloat = 0;
    QChar m_decimalChar;
    int m_editPrecision = 0;
    bool m_firstCharUpper = false;
    QString m_firstCharUpList = QStringLiteral(" (");
    long double m_rangeProbe = 0;
    QString m_workText;
    int m_widthOnFocus = 0;
    int m_savedWidth = 0;
    bool m_widened = false;
    QString m_savedText;
    QChar m_dateSepChar;
    QChar m_timeSepChar;
    bool m_timeSeconds = false;
    double m_valueDate = 0;
    double m_valueTime = 0;
    bool m_textHint = true;
    bool m_ctl3D = false;
    int m_maxLength = 32767;
    // The text before the change being validated, and whether the length limit
    // rewrote the user's edit (which is then no assignment by the program).
    QString m_lastText;
    bool m_limitRewrote = false;
    // Between the entry and exit handling; the focus leaving for another window
    // (a message box, a menu) and coming back is no exit and no entry.
    bool m_entered = false;
};
