#include "controls/GlgBtn.h"

#include "platform/Region.h"
#include "platform/SysColor.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QShortcutEvent>

#include <algorithm>
#include <array>
#include <cmath>

// The glyph bitmaps live in a static library, so their resources must be registered
// by hand; this has to happen outside any namespace.
static void initGlyphResources()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(glyphs);
        return true;
    }();
    Q_UNUSED(done);
}

namespace {

using namespace SysColor;

constexpr std::array<const char *, 44> kKindNames = { "lgNone", "lgAdd", "lgAlarm", "lgArrow_down",
    "lgArrow_left", "lgArrow_right", "lgArrow_up", "lgCancel", "lgCopy", "lgCut", "lgDay",
    "lgDelete", "lgExcel", "lgExit", "lgExit1", "lgExit2", "lgFind", "lgHelp", "lgHome", "lgLast",
    "lgLeft", "lgLibrary", "lgLower", "lgModi", "lgNew", "lgNext", "lgNo", "lgOk", "lgOpen",
    "lgOut_left", "lgOut_right", "lgPaste", "lgPause", "lgPlay", "lgPrint", "lgPrior", "lgRight",
    "lgSave", "lgSet", "lgStop", "lgTop", "lgUp", "lgWord", "lgWrite" };

// Outline of the whole button.
TRegion shapeRegion(TShape shape, int w, int h, int cornerRadius)
{
    switch (shape) {
    case shCapsule: {
        const int d = std::min(w, h);
        return TRegion::roundRect(0, 0, w, h, d, d);
    }
    case shOval:
        return TRegion::ellipse(0, 0, w, h);
    case shRectangle:
        break;
    }
    if (2 * cornerRadius == 0)
        return TRegion::rect(0, 0, w - 1, h - 1);
    return TRegion::roundRect(0, 0, w, h, 2 * cornerRadius, 2 * cornerRadius);
}

// Ring i of the gradient frame, i pixels in from the outline.
TRegion ringRegion(TShape shape, int w, int h, int cornerRadius, int i)
{
    if (shape == shOval)
        return TRegion::ellipse(i + 1, i + 1, w - i, h - i);
    const int r = shape == shCapsule ? std::min(w, h) / 2 : cornerRadius;
    if (r - i > 0)
        return TRegion::roundRect(i + 1, i + 1, w - i, h - i, 2 * (r - i), 2 * (r - i));
    return TRegion::rect(i + 1, i + 1, w - i - 1, h - i - 1);
}

// One channel of a ring: C0 + round((C1 - C0) * t), halves to even.
int blend(int outer, int inner, double t)
{
    return outer + static_cast<int>(std::nearbyint((inner - outer) * t));
}

// The caption as drawn: '&' marks the next character as the accelerator (underlined)
// and "&&" stands for a single '&'.
struct Caption
{
    QString text;
    int underline = -1;
};

Caption parseCaption(const QString &caption)
{
    Caption c;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == u'&') {
            if (i + 1 >= caption.size())
                break;
            ++i;
            if (caption[i] != u'&')
                c.underline = int(c.text.size());
        }
        c.text.append(caption[i]);
    }
    return c;
}

void drawCaption(QPainter &p, const QRect &rect, const Caption &caption, const QColor &color)
{
    const QFontMetrics fm(p.font());
    const int width = fm.horizontalAdvance(caption.text);
    const int x = rect.left() + (rect.width() - width) / 2;
    const int baseline = rect.top() + fm.ascent();
    p.setPen(color);
    p.drawText(QPoint(x, baseline), caption.text);
    if (caption.underline >= 0) {
        const int ux = x + fm.horizontalAdvance(caption.text.left(caption.underline));
        const int uw = fm.horizontalAdvance(caption.text.mid(caption.underline, 1));
        const int uy = baseline + std::max(1, fm.underlinePos());
        p.fillRect(QRect(ux, uy, uw, std::max(1, fm.lineWidth())), color);
    }
}

// The dotted focus rectangle: every other pixel of the border inverted.
void drawFocusRect(QPainter &p, const QRect &r)
{
    p.save();
    p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QColor white(255, 255, 255);
    auto dot = [&](int x, int y) {
        if ((x + y) % 2 == 0)
            p.fillRect(QRect(x, y, 1, 1), white);
    };
    for (int x = r.left(); x <= r.right(); ++x) {
        dot(x, r.top());
        if (r.bottom() != r.top())
            dot(x, r.bottom());
    }
    for (int y = r.top() + 1; y < r.bottom(); ++y) {
        dot(r.left(), y);
        if (r.right() != r.left())
            dot(r.right(), y);
    }
    p.restore();
}

} // namespace

TGlgBtn::TGlgBtn(QWidget *parent)
    : QAbstractButton(parent)
    , m_buttonColor(clWhite)
    , m_enterColor(14876414)
    , m_frameColor(clSilver)
    , m_transparentColor(clWhite)
{
    initGlyphResources();
    // Focus by Tab; a press takes it only when ShowFocused says so.
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_Hover, false);
    resize(75, 22);
}

TGlgBtn::~TGlgBtn() = default;

QChar TGlgBtn::accelerator(const QString &caption)
{
    const Caption parsed = parseCaption(caption);
    if (parsed.underline < 0)
        return {};
    return parsed.text.at(parsed.underline).toUpper();
}

void TGlgBtn::setText(const QString &caption)
{
    // The base registers Alt+letter; Alt+Shift+letter is the same accelerator.
    QAbstractButton::setText(caption);
    if (m_shiftAcceleratorId != 0) {
        releaseShortcut(m_shiftAcceleratorId);
        m_shiftAcceleratorId = 0;
    }
    const QKeySequence alt = QKeySequence::mnemonic(caption);
    if (!alt.isEmpty()) {
        m_shiftAcceleratorId = grabShortcut(
            QKeySequence(QKeyCombination(Qt::AltModifier | Qt::ShiftModifier, alt[0].key())));
    }
}

QImage TGlgBtn::kindBitmap(TKind kind)
{
    if (kind == lgNone || kind >= kKindNames.size())
        return {};
    initGlyphResources();
    const QString name = QString::fromLatin1(kKindNames[kind]).mid(1).toUpper();
    QImage image(QStringLiteral(":/glyphs/%1.bmp").arg(name));
    return image.convertToFormat(QImage::Format_RGB32);
}

QColor TGlgBtn::color(quint32 value) const
{
    return toQColor(value, palette());
}

void TGlgBtn::setButtonColor(quint32 color)
{
    if (color == m_buttonColor)
        return;
    m_buttonColor = color;
    update();
}

void TGlgBtn::setEnterColor(quint32 color)
{
    if (color == m_enterColor)
        return;
    m_enterColor = color;
    update();
}

void TGlgBtn::setFrameColor(quint32 color)
{
    if (color == m_frameColor)
        return;
    m_frameColor = color;
    update();
}

void TGlgBtn::setFrameWidth(int width)
{
    // The upper bound wins over the lower one on very small buttons.
    width = std::max(width, 4);
    width = std::min(width, std::min(this->width(), height()) / 2);
    m_frameWidth = width;
    update();
}

void TGlgBtn::setGlyph(const QImage &glyph)
{
    m_glyph = glyph.isNull() ? QImage() : glyph.convertToFormat(QImage::Format_RGB32);
    if (m_transparentColor == clNone && !m_glyph.isNull())
        m_transparentColor = fromQColor(QColor(m_glyph.pixel(0, m_glyph.height() - 1)));
    m_kind = lgNone;
    update();
}

void TGlgBtn::setGlyphLayout(TBmpLayout layout)
{
    if (layout == m_glyphLayout)
        return;
    m_glyphLayout = layout;
    update();
}

void TGlgBtn::setKind(TKind kind)
{
    if (kind == m_kind)
        return;
    m_kind = kind;
    m_glyph = kindBitmap(kind);
    update();
}

void TGlgBtn::setGlyphsNum(int count)
{
    m_glyphsNum = std::clamp(count, 1, 3);
    update();
}

void TGlgBtn::setGlyphSpace(int space)
{
    m_glyphSpace = std::max(space, 0);
    update();
}

void TGlgBtn::setCornerRadius(int radius)
{
    radius = std::max(radius, 2);
    radius = std::min(radius, std::min(width(), height()));
    m_cornerRadius = radius;
    update();
}

void TGlgBtn::setShape(TShape shape)
{
    if (shape == m_shape)
        return;
    m_shape = shape;
    update();
}

void TGlgBtn::setTextStyle(TTextStyle style)
{
    if (style == m_textStyle)
        return;
    m_textStyle = style;
    update();
}

void TGlgBtn::setTransparentColor(quint32 color)
{
    if (color == m_transparentColor)
        return;
    m_transparentColor = color;
    update();
}

TGlgBtn::Layout TGlgBtn::computeLayout(
    TBmpLayout layout, int w, int h, int gw, int gh, int s, int tw, int th)
{
    // Division truncates towards zero, as the caption positions may go negative.
    Layout l;
    switch (layout) {
    case lyLeft:
    case lyRight: {
        const int m = gw + s + tw < w ? (w - gw - s - tw) / 2 : 0;
        l.glyphTop = gh < h ? (h - gh) / 2 : 0;
        l.textTop = (h - th) / 2;
        if (layout == lyLeft) {
            l.glyphLeft = m;
            l.textLeft = l.glyphLeft + gw + s;
        } else {
            l.glyphLeft = w - m - gw;
            l.textLeft = l.glyphLeft - tw - s;
        }
        break;
    }
    case lyTop:
    case lyBottom: {
        const int m = gh + s + th < h ? (h - gh - s - th) / 2 : 0;
        l.glyphLeft = gw < w ? (w - gw) / 2 : 0;
        l.textLeft = (w - tw) / 2;
        if (layout == lyTop) {
            l.glyphTop = m;
            l.textTop = l.glyphTop + gh + s;
        } else {
            l.glyphTop = h - m - gh;
            l.textTop = l.glyphTop - s - th;
        }
        break;
    }
    case lyCenter:
        l.glyphLeft = gw < w ? (w - gw) / 2 : 0;
        l.glyphTop = gh < h ? (h - gh) / 2 : 0;
        l.textLeft = (w - tw) / 2;
        l.textTop = (h - th) / 2;
        break;
    }
    return l;
}

void TGlgBtn::paintEvent(QPaintEvent *)
{
    const int w = width();
    const int h = height();
    m_glyphCellWidth = m_glyph.isNull() ? 0 : m_glyph.width() / m_glyphsNum;
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing, false);
        p.setFont(font());
        paintFaceAndOutline(p);
        const QColor innermost = paintFrameRings(p);
        const QFontMetrics fm(font());
        const QSize caption(fm.horizontalAdvance(text()), fm.height());
        const int gh = m_glyphCellWidth > 0 ? m_glyph.height() : 0;
        m_layout = computeLayout(m_glyphLayout, w, h, m_glyphCellWidth, gh, m_glyphSpace,
            caption.width(), caption.height());
        if (m_glyphCellWidth > 0)
            paintGlyph(p, innermost);
        paintCaption(p, caption);
        if (drawsFocus())
            drawFocusRect(p, QRect(QPoint(2, 2), QPoint(w - 3, h - 3)));
    }
    if (w > MaxWidth || h > MaxHeight)
        resize(std::min(w, MaxWidth), std::min(h, MaxHeight));
}

void TGlgBtn::paintFaceAndOutline(QPainter &p)
{
    // Pressed: dark above and left, light below and right (the rings cover the
    // other halves of both outlines); red all round while the focus is shown.
    const QColor first = color(m_pressed ? clBlack : clBtnShadow);
    const QColor second = color(m_pressed ? clBtnHighlight : clBtnShadow);
    const bool focusMarks = drawsFocus();
    TRegion outline = shapeRegion(m_shape, width(), height(), m_cornerRadius);
    outline.fill(p, color(faceColor()));
    outline.paintFrame(p, focusMarks ? color(clRed) : first);
    outline.offset(1, 1);
    outline.paintFrame(p, focusMarks ? color(clRed) : second);
}

QColor TGlgBtn::paintFrameRings(QPainter &p)
{
    // Rings from FrameColor at the edge into the face colour along a quarter
    // circle; the last ring's colour is what shows through the glyph's transparent
    // pixels.
    const int n = m_frameWidth + (m_frameWidth % 2);
    const QColor c1 = color(faceColor());
    const QColor c0 = color(m_frameColor);
    QColor brush = c1;
    for (int i = 0; i < n; ++i) {
        const double t = std::sqrt(double(n * n - (n - i) * (n - i))) / n;
        brush = QColor(blend(c0.red(), c1.red(), t), blend(c0.green(), c1.green(), t),
            blend(c0.blue(), c1.blue(), t));
        ringRegion(m_shape, width(), height(), m_cornerRadius, i).paintFrame(p, brush);
    }
    return brush;
}

void TGlgBtn::paintGlyph(QPainter &p, const QColor &brush)
{
    const int shift = m_pressed ? 1 : 0;
    int cell = 0;
    if (m_pressed && m_glyphsNum == 3)
        cell = 2;
    else if (!isEnabled() && m_glyphsNum >= 2)
        cell = 1;
    QImage src = m_glyph.copy(cell * m_glyphCellWidth, 0, m_glyphCellWidth, m_glyph.height());
    const QColor key = color(m_transparentColor);
    if (key.isValid()) {
        const QRgb keyRgb = key.rgb() | 0xFF000000u;
        const QRgb fill = brush.rgb() | 0xFF000000u;
        for (int y = 0; y < src.height(); ++y) {
            auto *line = reinterpret_cast<QRgb *>(src.scanLine(y));
            for (int x = 0; x < src.width(); ++x) {
                if ((line[x] | 0xFF000000u) == keyRgb)
                    line[x] = fill;
            }
        }
    }
    p.drawImage(QPoint(m_layout.glyphLeft + shift, m_layout.glyphTop + shift), src);
}

void TGlgBtn::paintCaption(QPainter &p, const QSize &size)
{
    // An effect copy first, then the caption itself; both move by one while pressed.
    const int shift = m_pressed ? 1 : 0;
    const Caption parsed = parseCaption(text());
    const QRect textRect(QPoint(m_layout.textLeft, m_layout.textTop), size);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    switch (m_textStyle) {
    case txNone:
        break;
    case txLowered:
        drawCaption(p, textRect.translated(1 + shift, 1 + shift), parsed, color(clBtnHighlight));
        break;
    case txRaised:
        drawCaption(p, textRect.translated(-1 + shift, -1 + shift), parsed, color(clBtnHighlight));
        break;
    case txShadowed:
        drawCaption(p, textRect.translated(2 + shift, 2 + shift), parsed, color(clBtnShadow));
        break;
    }
    QColor main = palette().color(QPalette::Active, QPalette::ButtonText);
    if (!isEnabled())
        main = color(m_textStyle == txShadowed ? clBtnFace : clBtnShadow);
    drawCaption(p, textRect.translated(shift, shift), parsed, main);
}

void TGlgBtn::click()
{
    if (m_showFocused)
        setFocus(Qt::OtherFocusReason);
    update();
    m_pressed = false;
    emit clicked(false);
}

bool TGlgBtn::hitButton(const QPoint &pos) const
{
    return shapeRegion(m_shape, width(), height(), m_cornerRadius).contains(pos);
}

void TGlgBtn::press(QMouseEvent *event)
{
    const Qt::MouseButton button = event->button();
    const QPoint pos = event->position().toPoint();
    event->accept();
    emit mouseDown(button, pos);
    if (button == Qt::LeftButton)
        m_clickArmed = true;
    if (button == Qt::RightButton)
        return;
    if (m_showFocused)
        setFocus(Qt::MouseFocusReason);
    if (hitButton(pos)) {
        m_pressBeganInside = true;
        m_pressed = true;
        update();
    } else {
        m_pressBeganInside = false;
    }
}

void TGlgBtn::mousePressEvent(QMouseEvent *event)
{
    press(event);
}

void TGlgBtn::mouseDoubleClickEvent(QMouseEvent *event)
{
    // A double click is a second press, so a quick double click clicks twice.
    press(event);
}

void TGlgBtn::mouseReleaseEvent(QMouseEvent *event)
{
    const Qt::MouseButton button = event->button();
    const QPoint pos = event->position().toPoint();
    event->accept();
    if (button == Qt::LeftButton) {
        const bool armed = m_clickArmed;
        m_clickArmed = false;
        // The click counts anywhere in the rectangle, even where the shape is cut away.
        if (armed && rect().contains(pos)) {
            // The command may close and delete the window that holds this button.
            const QPointer<TGlgBtn> alive(this);
            click();
            if (!alive)
                return;
        }
    }
    emit mouseUp(button, pos);
    if (button == Qt::RightButton)
        return;
    if (m_pressBeganInside) {
        m_pressed = false;
        update();
    }
}

void TGlgBtn::mouseMoveEvent(QMouseEvent *event)
{
    // The pressed look stays while the pointer is off the button and the mouse is held.
    event->accept();
}

void TGlgBtn::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        click();
        return;
    }
    // A button takes no characters, so a letter typed on it is offered to the
    // window's buttons as an accelerator, as Alt+letter is from anywhere.
    const auto chords = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (!(event->modifiers() & chords) && event->text().size() == 1) {
        const QChar typed = event->text().at(0).toUpper();
        if (typed.isLetterOrNumber()) {
            const auto buttons = window()->findChildren<TGlgBtn *>();
            for (TGlgBtn *b : buttons) {
                if (b->isEnabled() && b->isVisible() && accelerator(b->text()) == typed) {
                    event->accept();
                    b->click();
                    return;
                }
            }
        }
    }
    // Space and the arrows are not ours; let the window have them.
    QWidget::keyPressEvent(event);
}

void TGlgBtn::keyReleaseEvent(QKeyEvent *event)
{
    QWidget::keyReleaseEvent(event);
}

bool TGlgBtn::event(QEvent *event)
{
    if (event->type() == QEvent::Shortcut) {
        // The '&' accelerator of the caption (Qt registers it from the text).
        auto *se = static_cast<QShortcutEvent *>(event);
        if (se->isAmbiguous()) {
            if (focusPolicy() != Qt::NoFocus)
                setFocus(Qt::ShortcutFocusReason);
        } else if (isEnabled()) {
            click();
        }
        return true;
    }
    return QAbstractButton::event(event);
}

void TGlgBtn::enterEvent(QEnterEvent *event)
{
    event->accept();
    if (!isEnabled())
        return;
    m_mouseInside = true;
    repaint();
}

void TGlgBtn::leaveEvent(QEvent *event)
{
    event->accept();
    if (!m_mouseInside)
        return;
    m_mouseInside = false;
    repaint();
}

void TGlgBtn::focusInEvent(QFocusEvent *event)
{
    event->accept();
    if (m_showFocused)
        update();
}

void TGlgBtn::focusOutEvent(QFocusEvent *event)
{
    event->accept();
    update();
}

void TGlgBtn::changeEvent(QEvent *event)
{
    QAbstractButton::changeEvent(event);
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange)
        update();
}
