#include "controls/EditN.h"

#include "controls/HintController.h"
#include "platform/Clock.h"
#include "platform/CodePage.h"
#include "platform/DialogService.h"
#include "platform/KeyboardState.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QPalette>
#include <cmath>

namespace {

const QString kRangeMessage = QStringLiteral("Range Max. : -2147483647 <-> 2147483647");
// The design breaks these lines with a carriage return; here the line break is '\n'.
const QString kConvertMessage = QStringLiteral(
    "Range Max. :\n - Integer : -2147483647 <-> 2147483647\n - Float   : 5.0e-324 <-> 1.7e+308");
const QDate kDayZero(1899, 12, 30);

void showMessage(QWidget *parent, const QString &text)
{
    DialogService::instance()->messageBox(
        parent, text, QCoreApplication::applicationName(), MessageFlags::Ok);
}

// The separator of a locale's date or time format: its first character that is
// neither a field letter, a digit, a blank nor a quote.
QChar separatorOf(const QString &format, QChar fallback)
{
    for (QChar c : format) {
        if (!c.isLetterOrNumber() && !c.isSpace() && c != u'\'')
            return c;
    }
    return fallback;
}

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

QString digitsOf(const QString &text)
{
    QString digits;
    for (QChar c : text) {
        if (isDigit(c))
            digits += c;
    }
    return digits;
}

QString twoDigits(int n)
{
    return QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
}

// A minus sign that stands anywhere but first is taken to the front; what stood
// before and after it keeps its order.
QString minusToFront(const QString &text)
{
    const qsizetype i = text.indexOf(u'-');
    if (i <= 0)
        return text;
    return u'-' + text.left(i) + text.mid(i + 1);
}

// Reads "-digits" or, with a decimal separator, "-digits<sep>digits" (either digit
// run may be empty but not both); anything else does not convert.
bool readNumber(const QString &text, QChar decimal, double *out)
{
    QString plain;
    bool seenDigit = false;
    bool seenSep = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c == u'-' && i == 0) {
            plain += c;
        } else if (isDigit(c)) {
            plain += c;
            seenDigit = true;
        } else if (!decimal.isNull() && c == decimal && !seenSep) {
            plain += u'.';
            seenSep = true;
        } else {
            return false;
        }
    }
    if (!seenDigit)
        return false;
    if (plain.endsWith(u'.'))
        plain += u'0';
    if (plain.startsWith(QLatin1String("-.")) || plain.startsWith(u'.'))
        plain.insert(plain.indexOf(u'.'), u'0');
    bool ok = false;
    const double value = QLocale::c().toDouble(plain, &ok);
    if (!ok || !std::isfinite(value))
        return false;
    *out = value;
    return true;
}

// The low 32 bits of the integer part, without the undefined behaviour of casting
// a large double straight to an integer.
qint32 lowBitsOfIntegerPart(double value)
{
    const double whole = std::trunc(value);
    if (std::fabs(whole) < 2147483648.0)
        return qint32(whole);
    double low = std::fmod(whole, 4294967296.0);
    if (low < 0)
        low += 4294967296.0;
    return qint32(quint32(low));
}

bool isCommonAccepted(char16_t k)
{
    return k == 8 || k == 13 || (k >= u'0' && k <= u'9') || k == 35 || k == 36 || k == 37
        || k == 39;
}

// The character a key press types, as the design's character message would carry
// it; -1 for keys that type nothing (arrows, Delete, Insert, function keys).
int characterOf(const QKeyEvent *event)
{
    const auto mods = event->modifiers();
    const int key = event->key();
    const bool ctrl = mods.testFlag(Qt::ControlModifier) && !mods.testFlag(Qt::AltModifier);
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return ctrl ? 10 : 13;
    case Qt::Key_Escape:
        return 27;
    case Qt::Key_Backspace:
        return ctrl ? 127 : 8;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return -1;
    default:
        break;
    }
    if (ctrl && key >= Qt::Key_A && key <= Qt::Key_Z)
        return key - Qt::Key_A + 1;
    const QString text = event->text();
    if (text.isEmpty())
        return -1;
    const char16_t c = text.at(0).unicode();
    if (c < 32 || c == 127)
        return ctrl ? -1 : c;
    return c;
}

} // namespace

// Every edit of the user passes this validator, whatever its route (typing,
// pasting, dropping, an input method); the program's own assignments pass too
// but are never cut.
class TEditNByteLimit : public QValidator
{
public:
    explicit TEditNByteLimit(TEditN *edit)
        : QValidator(edit)
        , m_edit(edit)
    {
    }
    State validate(QString &input, int &pos) const override
    {
        return m_edit->limitInput(input, pos);
    }

private:
    TEditN *m_edit;
};

TEditN::TEditN(QWidget *parent)
    : QLineEdit(parent)
    , m_color(14671839)
{
    setFrame(false);
    setMouseTracking(true);
    setColor(m_colorOnNotFocus);
    const QLocale loc = locale();
    const QString point = loc.decimalPoint();
    m_decimalChar = point.isEmpty() ? QChar(u'.') : point.at(0);
    m_dateSepChar = separatorOf(loc.dateFormat(QLocale::ShortFormat), u'/');
    m_timeSepChar = separatorOf(loc.timeFormat(QLocale::ShortFormat), u':');
    const QDateTime now = Clock::instance()->now();
    m_valueDate = double(kDayZero.daysTo(now.date()));
    m_valueTime = now.time().msecsSinceStartOfDay() / 86400000.0;
    setValidator(new TEditNByteLimit(this));
    connect(this, &QLineEdit::textChanged, this, &TEditN::TextChanged);
    KeyboardState::instance(); // start watching the Insert key before the first press
    if (THintController *hints = THintController::instance())
        hints->RegisterEdit(this, [this](const QPoint &p) { return ShowTextHint(p); });
}

TEditN::~TEditN()
{
    if (THintController *hints = THintController::instance())
        hints->UnregisterEdit(this);
}

QColor TEditN::toQColor(quint32 value)
{
    if (value == clNone)
        return QColor();
    if ((value & 0xFF000000u) == 0xFF000000u) {
        const QPalette pal = QGuiApplication::palette();
        switch (value & 0xFFu) {
        case 5:
            return pal.color(QPalette::Base); // window background
        case 8:
            return pal.color(QPalette::Text); // window text
        case 15:
            return pal.color(QPalette::Button); // button face
        case 16:
            return pal.color(QPalette::Dark); // button shadow
        case 20:
            return pal.color(QPalette::Light); // button highlight
        default:
            return pal.color(QPalette::Window);
        }
    }
    return QColor(int(value & 0xFF), int((value >> 8) & 0xFF), int((value >> 16) & 0xFF));
}

void TEditN::setColor(quint32 value)
{
    m_color = value;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, toQColor(value));
    setPalette(pal);
}

QColor TEditN::FontColor() const
{
    return palette().color(QPalette::Text);
}

void TEditN::applyColors(quint32 background, quint32 font)
{
    m_color = background;
    QPalette pal = palette();
    pal.setColor(QPalette::Base, toQColor(background));
    pal.setColor(QPalette::Text, toQColor(font));
    setPalette(pal);
}

void TEditN::setEditAlign(TEditAlign align)
{
    if (align == m_editAlign)
        return;
    m_editAlign = align;
    if (align == etAlignRight)
        setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    else if (align == etAlignCenter)
        setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    else
        setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

bool TEditN::IsOverwriteMode()
{
    return KeyboardState::instance()->isOverwriteMode();
}

int TEditN::designMaxLength() const
{
    // QLineEdit's own default stands for "no limit".
    return m_maxLength >= 32767 ? 0 : m_maxLength;
}

void TEditN::setDesignMaxLength(int length)
{
    // The limit stops what the user adds; it never shortens the text or moves the
    // caret (QLineEdit's own character limit is left unlimited).
    setMaxLength(length);
}

QValidator::State TEditN::limitInput(QString &input, int &pos)
{
    const QString before = m_lastText;
    const int limit = designMaxLength();
    // An assignment by the program leaves no undo step behind; it is never cut,
    // and neither is an edit that does not make the text longer.
    if (limit == 0 || !isUndoAvailable() || cp936Length(input) <= limit
        || cp936Length(input) <= cp936Length(before))
        return QValidator::Acceptable;
    qsizetype head = 0;
    while (head < before.size() && head < input.size() && before.at(head) == input.at(head))
        ++head;
    qsizetype tail = 0;
    while (tail < before.size() - head && tail < input.size() - head
        && before.at(before.size() - 1 - tail) == input.at(input.size() - 1 - tail))
        ++tail;
    QString inserted = input.mid(head, input.size() - head - tail);
    const QString front = input.left(head);
    const QString back = input.right(tail);
    while (!inserted.isEmpty() && cp936Length(front + inserted + back) > limit) {
        inserted.chop(1);
        if (!inserted.isEmpty() && inserted.back().isHighSurrogate())
            inserted.chop(1);
    }
    if (inserted.isEmpty())
        return QValidator::Invalid;
    input = front + inserted + back;
    pos = int(head + inserted.size());
    m_limitRewrote = true;
    return QValidator::Acceptable;
}

bool TEditN::fitsLimit(const QString &value) const
{
    // Formatting must not make the text longer than the limit: a padded or
    // completed number cut short would mean another value than the one it was
    // formatted from.
    const int limit = designMaxLength();
    return limit == 0 || cp936Length(value) <= limit || cp936Length(value) <= cp936Length(text());
}

bool TEditN::growText(const QString &value)
{
    return fitsLimit(value) && assignText(value);
}

bool TEditN::assignText(const QString &value)
{
    // An identical text is no change (and QLineEdit would move the caret for it).
    if (value != text())
        setText(value);
    return text() == value;
}

QChar TEditN::currentDecimalChar() const
{
    const QString point = locale().decimalPoint();
    return point.isEmpty() ? QChar(u'.') : point.at(0);
}

void TEditN::moveToNextControl()
{
    focusNextChild();
}

void TEditN::CancelOwnHint()
{
    THintController *hints = THintController::instance();
    if (hints && hints->CurrentEdit() == this)
        hints->CancelHint();
}

// ---------------------------------------------------------------- keyboard

void TEditN::keyPressEvent(QKeyEvent *event)
{
    CancelOwnHint();
    const int code = characterOf(event);
    if (code < 0) {
        // A key that types nothing goes to the edit's own handling, which
        // refuses Delete, cut and paste in a read-only box.
        if (event->key() != 0)
            QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();

    // In overwrite mode the character replaces the one after the caret.
    if (IsOverwriteMode() && !hasSelectedText() && cursorPosition() < text().size())
        setSelection(cursorPosition(), 1);

    char16_t key = char16_t(code);
    if (key == char16_t(quint8(m_editKeyByTab))) {
        moveToNextControl();
        return;
    }
    if (key == 27 && !isReadOnly()) {
        assignText(m_savedText);
        key = 15;
    }
    if (isReadOnly())
        return;
    {
        QPalette pal = palette();
        pal.setColor(QPalette::Text,
            toQColor(IsOverwriteMode() ? m_fontColorOnOverWrite : m_fontColorOnFocus));
        setPalette(pal);
    }
    key = FilterKey(key);
    if (key == 0 || key == 15)
        return; // rejected: nothing is inserted
    if (key == char16_t(code)) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent replaced(event->type(), event->key(), event->modifiers(), QString(QChar(key)),
        event->isAutoRepeat(), event->count());
    QLineEdit::keyPressEvent(&replaced);
}

void TEditN::inputMethodEvent(QInputMethodEvent *event)
{
    // What an input method commits is typed, one character after the other, so it
    // passes the filter of the box's type like the keyboard's characters.
    const QString commit = event->commitString();
    if (commit.isEmpty() || isReadOnly()) {
        QLineEdit::inputMethodEvent(event);
        return;
    }
    QInputMethodEvent rest(event->preeditString(), event->attributes());
    QLineEdit::inputMethodEvent(&rest);
    for (qsizetype i = 0; i < commit.size(); ++i) {
        qsizetype n = commit.at(i).isHighSurrogate() && i + 1 < commit.size() ? 2 : 1;
        QKeyEvent typed(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, commit.mid(i, n));
        keyPressEvent(&typed);
        i += n - 1;
    }
    event->accept();
}

char16_t TEditN::FilterKey(char16_t key)
{
    const QString t = text();
    // Typing over a selection that starts at the first character is not filtered:
    // the change handling removes what does not belong to a number.
    const bool overStart = hasSelectedText() && selectionStart() == 0;
    switch (m_editType) {
    case etString:
        if (m_firstCharUpper
            && (t.isEmpty() || selectedText() == t || m_firstCharUpList.contains(t.back()))) {
            const QString up = locale().toUpper(QString(QChar(key)));
            if (up.size() == 1)
                key = up.at(0).unicode();
        }
        return key;
    case etInteger:
        if (overStart)
            return key;
        if ((t.contains(u'-') || key == u'-') && designMaxLength() == 0)
            setDesignMaxLength(11);
        if (!isCommonAccepted(key) && key != u'-')
            return 15;
        if (key == u'-' && t.contains(u'-'))
            return 15;
        return key;
    case etFloat:
        if (overStart)
            return key;
        if (!isCommonAccepted(key) && key != u'-' && key != u',' && key != u'.')
            return 15;
        if (key == u'-' && t.contains(u'-'))
            return 15;
        if (key == u',' || key == u'.') {
            if (t.contains(u',') || t.contains(u'.'))
                return 15;
            key = currentDecimalChar().unicode();
        }
        return key;
    case etDate:
    case etTime:
        return isCommonAccepted(key) ? key : 15;
    }
    return key;
}

// ---------------------------------------------------------------- focus and mouse

void TEditN::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    if (!m_entered)
        DoEnter();
}

void TEditN::focusOutEvent(QFocusEvent *event)
{
    // A message box or menu taking the focus for a while is no exit: the box is
    // still the window's current control when it comes back.
    const Qt::FocusReason reason = event->reason();
    if (m_entered && reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
        DoExit();
    QLineEdit::focusOutEvent(event);
}

void TEditN::DoEnter()
{
    m_entered = true;
    if (m_editType == etFloat && designMaxLength() == 0)
        setDesignMaxLength(16);
    if (isReadOnly()) {
        emit OnEnter(this);
        return;
    }
    applyColors(m_colorOnFocus, m_fontColorOnFocus);
    m_savedText = text();
    if (m_widthOnFocus > 0) {
        m_savedWidth = width();
        m_widened = true;
        resize(m_widthOnFocus, height());
    }
    if (m_editType == etDate)
        setDesignMaxLength(10);
    else if (m_editType == etTime)
        setDesignMaxLength(m_timeSeconds ? 8 : 5);
    emit OnEnter(this);
}

void TEditN::DoExit()
{
    m_entered = false;
    applyColors(m_colorOnNotFocus, m_fontColorOnNotFocus);
    if (m_widened) {
        m_widened = false;
        resize(m_savedWidth, height());
    }
    switch (m_editType) {
    case etString:
        ExitFormatString();
        break;
    case etInteger:
    case etFloat:
        ExitFormatNumber();
        break;
    case etDate:
        DateCheck();
        break;
    case etTime:
        TimeCheck();
        break;
    }
    CancelOwnHint();
    emit OnExit(this);
}

void TEditN::mouseMoveEvent(QMouseEvent *event)
{
    const auto keys
        = event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
    if (m_textHint && event->buttons() == Qt::NoButton && keys == Qt::NoModifier && !hasFocus()) {
        if (THintController *hints = THintController::instance())
            hints->BeginWait(this);
    }
    QLineEdit::mouseMoveEvent(event);
}

void TEditN::mousePressEvent(QMouseEvent *event)
{
    CancelOwnHint();
    QLineEdit::mousePressEvent(event);
}

void TEditN::leaveEvent(QEvent *event)
{
    CancelOwnHint();
    QLineEdit::leaveEvent(event);
}

// The hint must not outlive what it stands over: the box hidden (also with its
// window, closed or not), disabled, or its window no longer the active one. None of
// these gives the box a leave notification.
void TEditN::hideEvent(QHideEvent *event)
{
    CancelOwnHint();
    QLineEdit::hideEvent(event);
}

void TEditN::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange && !isEnabled())
        CancelOwnHint();
    QLineEdit::changeEvent(event);
}

bool TEditN::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate)
        CancelOwnHint();
    return QLineEdit::event(event);
}

// ---------------------------------------------------------------- change handling

void TEditN::TextChanged()
{
    m_lastText = text();
    // A text assigned by the program (it leaves no undo step) shows its beginning,
    // as an edit control shows an assigned text; the user's editing keeps its caret.
    if (!isUndoAvailable() && !m_limitRewrote)
        setCursorPosition(0);
    m_limitRewrote = false;
    // Every assignment to the text below comes back here first (a nested run),
    // so each step reads the text as it stands now.
    if ((m_editType != etInteger && m_editType != etFloat) || text().isEmpty()) {
        emit OnChange(this);
        return;
    }
    const QString allowed = m_editType == etInteger ? QStringLiteral("+-0123456789")
                                                    : QStringLiteral("+,-.0123456789");
    QString kept;
    for (QChar c : text()) {
        if (allowed.contains(c))
            kept += c;
    }
    assignText(kept);
    if (text().isEmpty()) {
        emit OnChange(this);
        return;
    }
    m_valueFloat = 0;
    m_valueInteger = 0;
    for (;;) {
        const QString t = text();
        qsizetype i = 0;
        while (i < t.size()
            && (isDigit(t.at(i)) || t.at(i) == u',' || t.at(i) == u'-' || t.at(i) == u'.'))
            ++i;
        if (i == t.size())
            break;
        assignText(t.left(i) + t.mid(i + 1));
        if (text() == t)
            break; // the edit refused the assignment; do not spin
    }
    if (text() == QLatin1String("-"))
        return;
    m_workText = minusToFront(text());

    bool converted = true;
    if (m_editType == etInteger) {
        double probe = 0;
        converted = readNumber(m_workText, QChar(), &probe);
        if (converted) {
            m_rangeProbe = probe;
            if (m_rangeProbe > 2147483647.0L || m_rangeProbe < -2147483647.0L) {
                showMessage(this, kRangeMessage);
                m_valueInteger = 0;
            } else {
                m_valueInteger = qint32(probe);
                m_valueFloat = double(m_valueInteger);
            }
        }
    } else {
        double value = 0;
        converted = readNumber(m_workText, currentDecimalChar(), &value);
        if (converted) {
            m_valueFloat = value;
            m_valueInteger = lowBitsOfIntegerPart(value);
        }
    }
    if (!converted) {
        showMessage(this, kConvertMessage);
        m_valueInteger = 0;
        m_valueFloat = 0;
    }
    emit OnChange(this);
}

// ---------------------------------------------------------------- exit formatting

void TEditN::ExitFormatString()
{
    if (text().isEmpty())
        return;
    if (m_firstCharUpper) {
        const QString t = text();
        assignText(locale().toUpper(t.left(1)) + t.mid(1));
    }
    const int target = m_editLengthAlign;
    if (m_editAlign == etAlignNone || target <= 0 || cp936Length(text()) >= target)
        return;
    // Lengths count code-page bytes: a CJK character takes the room of two spaces.
    switch (m_editAlign) {
    case etAlignRight:
        while (cp936Length(text()) < target && growText(u' ' + text())) { }
        break;
    case etAlignLeft:
        while (text().startsWith(u' ') && assignText(text().mid(1))) { }
        while (cp936Length(text()) < target && growText(text() + u' ')) { }
        break;
    case etAlignCenter: {
        // Half the missing room in front, rounded half to even; then one space more
        // behind than fills the rest, so the result is one longer than the target.
        const int missing = target - cp936Length(text());
        int front = missing / 2;
        if (missing % 2 != 0 && front % 2 != 0)
            ++front;
        for (int i = 0; i < front && growText(u' ' + text()); ++i) { }
        const int behind = target - cp936Length(text()) + 1;
        for (int i = 0; i < behind && growText(text() + u' '); ++i) { }
        break;
    }
    default:
        break;
    }
}

void TEditN::ExitFormatNumber()
{
    const int target = m_editLengthAlign;
    if (m_editType == etInteger && m_editAlign == etAlignValue && target > 0) {
        while (cp936Length(text()) < target && growText(u'0' + text())) { }
    }
    if (text().indexOf(u'-') > 0)
        assignText(minusToFront(text()));
    if (m_editType != etFloat)
        return;
    const int p = m_editPrecision;
    if (p > 0) {
        if (text().isEmpty())
            assignText(QStringLiteral("0"));
        m_decimalChar = currentDecimalChar();
        // The decimals are completed only when all of them fit the length limit;
        // otherwise the text keeps its shorter form, which means the same number.
        const qsizetype sep = text().indexOf(m_decimalChar);
        if (sep < 0) {
            if (fitsLimit(text() + m_decimalChar + QString(p, u'0'))
                && assignText(text() + m_decimalChar)) {
                for (int i = 0; i < p && assignText(text() + u'0'); ++i) { }
            }
        } else {
            const qsizetype after = text().size() - sep - 1;
            if (after > p)
                assignText(text().left(sep + 1 + p));
            const qsizetype missing = p - (text().size() - sep - 1);
            if (missing > 0 && fitsLimit(text() + QString(missing, u'0'))) {
                while (text().size() - sep - 1 < p && assignText(text() + u'0')) { }
            }
        }
    }
    if (m_editAlign == etAlignValue && target > 0) {
        for (;;) {
            const QString t = text();
            if (cp936Length(t) >= target)
                break;
            const QString padded = t.startsWith(u'-') ? QStringLiteral("-0") + t.mid(1) : u'0' + t;
            if (!growText(padded))
                break;
        }
    }
}

void TEditN::DateCheck()
{
    const QDate today = Clock::instance()->today();
    const QString ds(m_dateSepChar);
    const QString mm = twoDigits(today.month());
    const QString yyyy = QStringLiteral("%1").arg(today.year(), 4, 10, QLatin1Char('0'));
    const QString s = digitsOf(text());
    QString done;
    switch (s.size()) {
    case 0:
        done = twoDigits(today.day()) + ds + mm + ds + yyyy;
        break;
    case 1:
        done = u'0' + s + ds + mm + ds + yyyy;
        break;
    case 2:
        done = s + ds + mm + ds + yyyy;
        break;
    case 3:
        done = s.left(2) + ds + u'0' + s.at(2) + ds + yyyy;
        break;
    case 4:
        done = s.left(2) + ds + s.mid(2, 2) + ds + yyyy;
        break;
    case 5:
        done = s.left(2) + ds + s.mid(2, 2) + ds + yyyy.left(3) + s.mid(4);
        break;
    case 6:
        done = s.left(2) + ds + s.mid(2, 2) + ds + yyyy.left(2) + s.mid(4);
        break;
    case 7:
        done = s.left(2) + ds + s.mid(2, 2) + ds + yyyy.left(1) + s.mid(4);
        break;
    case 8:
    case 9:
    case 10:
        done = s.left(2) + ds + s.mid(2, 2) + ds + s.mid(4, 4);
        break;
    default:
        done = s;
        break;
    }
    // Day, month, year in this order whatever the locale's own order.
    QDate date;
    if (done.size() == 10 && done.at(2) == m_dateSepChar && done.at(5) == m_dateSepChar
        && digitsOf(done).size() == 8) {
        const int day = done.mid(0, 2).toInt();
        const int month = done.mid(3, 2).toInt();
        const int year = done.mid(6, 4).toInt();
        if (year >= 1 && QDate::isValid(year, month, day))
            date = QDate(year, month, day);
    }
    if (date.isValid()) {
        assignText(done);
        m_valueDate = double(kDayZero.daysTo(date));
        m_valueFloat = m_valueDate;
        m_valueInteger = qint32(kDayZero.daysTo(date));
    } else {
        showMessage(this, QStringLiteral("Date incorrect"));
        m_valueDate = double(kDayZero.daysTo(today));
        m_valueFloat = m_valueDate;
        m_valueInteger = qint32(kDayZero.daysTo(today));
    }
}

void TEditN::TimeCheck()
{
    const QTime now = Clock::instance()->now().time();
    const QString ts(m_timeSepChar);
    const QString full
        = twoDigits(now.hour()) + ts + twoDigits(now.minute()) + ts + twoDigits(now.second());
    const QString current = m_timeSeconds ? full : full.left(5);
    const QString s = digitsOf(text());
    QString done;
    if (m_timeSeconds) {
        switch (s.size()) {
        case 0:
            done = full;
            break;
        case 1:
            done = u'0' + s + ts + QStringLiteral("00") + ts + QStringLiteral("00");
            break;
        case 2:
            done = s + ts + QStringLiteral("00") + ts + QStringLiteral("00");
            break;
        case 3:
            done = s.left(2) + ts + u'0' + s.at(2) + ts + QStringLiteral("00");
            break;
        case 4:
            done = s.left(2) + ts + s.mid(2, 2) + ts + QStringLiteral("00");
            break;
        case 5:
            done = s.left(2) + ts + s.mid(2, 2) + ts + u'0' + s.at(4);
            break;
        case 6:
        case 7:
        case 8:
            done = s.left(2) + ts + s.mid(2, 2) + ts + s.mid(4, 2);
            break;
        default:
            done = s;
            break;
        }
    } else {
        switch (s.size()) {
        case 0:
            done = full.left(5);
            break;
        case 1:
            done = u'0' + s + ts + QStringLiteral("00");
            break;
        case 2:
            done = s + ts + QStringLiteral("00");
            break;
        case 3:
            done = s.left(2) + ts + u'0' + s.at(2);
            break;
        case 4:
        case 5:
            done = s.left(2) + ts + s.mid(2, 2);
            break;
        default:
            done = s;
            break;
        }
    }
    // hh<sep>mm or hh<sep>mm<sep>ss
    int seconds = -1;
    const bool shaped = (done.size() == 5 || done.size() == 8) && done.at(2) == m_timeSepChar
        && (done.size() == 5 || done.at(5) == m_timeSepChar)
        && digitsOf(done).size() == (done.size() == 5 ? 4 : 6);
    if (shaped) {
        const int h = done.mid(0, 2).toInt();
        const int m = done.mid(3, 2).toInt();
        const int sec = done.size() == 8 ? done.mid(6, 2).toInt() : 0;
        if (h <= 23 && m <= 59 && sec <= 59)
            seconds = h * 3600 + m * 60 + sec;
    }
    if (seconds >= 0) {
        assignText(done);
        m_valueTime = seconds / 86400.0;
    } else {
        showMessage(this, QStringLiteral("Time incorrect"));
        assignText(current);
        m_valueTime = QTime(0, 0).secsTo(now) / 86400.0;
        // The text shows whole seconds; the value keeps the clock's.
    }
    m_valueFloat = m_valueTime;
}

// ---------------------------------------------------------------- hint

bool TEditN::TextFits(const QString &text) const
{
    // Room lost to the border: none without a frame, 4 pixels for the flat single
    // border, 6 for the 3-D one.
    const int border = !hasFrame() ? 0 : (m_ctl3D ? 6 : 4);
    return QFontMetrics(font()).horizontalAdvance(text) <= width() - border;
}

bool TEditN::ShowTextHint(const QPoint &)
{
    THintController *hints = THintController::instance();
    const QString s = text();
    if (!hints || TextFits(s))
        return false;
    hints->setFont(font());
    const int w = QFontMetrics(hints->font()).horizontalAdvance(s);
    const QPoint origin = mapToGlobal(QPoint(0, 0));
    int left = origin.x();
    int top = origin.y();
    int right = mapToGlobal(QPoint(w + 5, 0)).x();
    int bottom = top + height() - 4;
    if (hasFrame() && m_ctl3D) {
        --top;
        --left;
        bottom -= 3;
    } else if (!hasFrame()) {
        top -= 2;
        left -= 2;
        right -= 2;
    }
    hints->ActivateHint(QRect(left, top, right - left, bottom - top), s);
    return true;
}
