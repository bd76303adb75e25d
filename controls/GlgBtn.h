#pragma once

#include <QAbstractButton>
#include <QImage>

class QPainter;

// Built-in glyph kinds; every value but lgNone names a bitmap resource G<NAME>.
enum TKind : quint8 {
    lgNone,
    lgAdd,
    lgAlarm,
    lgArrow_down,
    lgArrow_left,
    lgArrow_right,
    lgArrow_up,
    lgCancel,
    lgCopy,
    lgCut,
    lgDay,
    lgDelete,
    lgExcel,
    lgExit,
    lgExit1,
    lgExit2,
    lgFind,
    lgHelp,
    lgHome,
    lgLast,
    lgLeft,
    lgLibrary,
    lgLower,
    lgModi,
    lgNew,
    lgNext,
    lgNo,
    lgOk,
    lgOpen,
    lgOut_left,
    lgOut_right,
    lgPaste,
    lgPause,
    lgPlay,
    lgPrint,
    lgPrior,
    lgRight,
    lgSave,
    lgSet,
    lgStop,
    lgTop,
    lgUp,
    lgWord,
    lgWrite
};

// Where the glyph stands relative to the caption.
enum TBmpLayout : quint8 { lyLeft, lyTop, lyRight, lyBottom, lyCenter };
// Outline of the button.
enum TShape : quint8 { shCapsule, shOval, shRectangle };
// Caption effect.
enum TTextStyle : quint8 { txNone, txLowered, txRaised, txShadowed };

// The owner-drawn command button of every window: a face that changes colour under
// the pointer, a frame that blends from FrameColor into the face in one-pixel rings,
// a glyph from one of the built-in bitmaps (or any assigned strip of cells) and a
// caption with an optional '&' accelerator. Colours are 0x00BBGGRR values or system
// colours (see platform/SysColor.h).
//
// The button decides press, release and click itself: a left press and release
// inside clicks, Enter clicks, the accelerator clicks, the space bar does nothing.
// clicked() is the command notification.
class TGlgBtn : public QAbstractButton
{
    Q_OBJECT
public:
    // Where glyph and caption go for a given size; exposed for the layout rules.
    struct Layout
    {
        int glyphLeft = 0;
        int glyphTop = 0;
        int textLeft = 0;
        int textTop = 0;
        bool operator==(const Layout &) const = default;
    };
    static Layout computeLayout(
        TBmpLayout layout, int w, int h, int glyphW, int glyphH, int space, int textW, int textH);

    // The accelerator marked by '&' in a caption, upper-cased; null when none.
    static QChar accelerator(const QString &caption);

    static constexpr int MaxWidth = 200;
    static constexpr int MaxHeight = 188;

    explicit TGlgBtn(QWidget *parent = nullptr);
    ~TGlgBtn() override;

    quint32 ButtonColor() const { return m_buttonColor; }
    void setButtonColor(quint32 color);
    quint32 EnterColor() const { return m_enterColor; }
    void setEnterColor(quint32 color);
    quint32 FrameColor() const { return m_frameColor; }
    void setFrameColor(quint32 color);
    int FrameWidth() const { return m_frameWidth; }
    void setFrameWidth(int width);
    // A copy of the picture strip; null when there is none.
    QImage Glyph() const { return m_glyph; }
    void setGlyph(const QImage &glyph);
    TBmpLayout GlyphLayout() const { return m_glyphLayout; }
    void setGlyphLayout(TBmpLayout layout);
    TKind Kind() const { return m_kind; }
    void setKind(TKind kind);
    int GlyphsNum() const { return m_glyphsNum; }
    void setGlyphsNum(int count);
    int GlyphSpace() const { return m_glyphSpace; }
    void setGlyphSpace(int space);
    int CornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(int radius);
    TShape Shape() const { return m_shape; }
    void setShape(TShape shape);
    TTextStyle TextStyle() const { return m_textStyle; }
    void setTextStyle(TTextStyle style);
    quint32 TransparentColor() const { return m_transparentColor; }
    void setTransparentColor(quint32 color);
    bool ShowFocused() const { return m_showFocused; }
    void setShowFocused(bool show) { m_showFocused = show; }

    // The caption; its '&' accelerator fires with Alt, with or without Shift, from
    // any control of the window, and without Alt while a glyph button has the focus.
    void setText(const QString &caption);

    bool Pressed() const { return m_pressed; }
    bool MouseInside() const { return m_mouseInside; }
    int GlyphCellWidth() const { return m_glyphCellWidth; }
    int GlyphLeft() const { return m_layout.glyphLeft; }
    int GlyphTop() const { return m_layout.glyphTop; }
    int TextLeft() const { return m_layout.textLeft; }
    int TextTop() const { return m_layout.textTop; }

    // The bitmap of a built-in kind (a null image for lgNone).
    static QImage kindBitmap(TKind kind);

    QSize sizeHint() const override { return { 75, 22 }; }

public slots:
    // The click operation: focus (with ShowFocused), repaint, unpress, clicked().
    void click();

signals:
    void mouseDown(Qt::MouseButton button, const QPoint &pos);
    void mouseUp(Qt::MouseButton button, const QPoint &pos);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool hitButton(const QPoint &pos) const override;

private:
    // The painting steps, in their order.
    void paintFaceAndOutline(QPainter &p);
    QColor paintFrameRings(QPainter &p); // returns the innermost ring colour
    void paintGlyph(QPainter &p, const QColor &brush);
    void paintCaption(QPainter &p, const QSize &size);
    quint32 faceColor() const { return m_mouseInside ? m_enterColor : m_buttonColor; }

    void press(QMouseEvent *event);
    bool drawsFocus() const { return m_showFocused && hasFocus(); }
    QColor color(quint32 value) const;

    quint32 m_buttonColor;
    quint32 m_enterColor;
    quint32 m_frameColor;
    int m_frameWidth = 6;
    QImage m_glyph;
    TBmpLayout m_glyphLayout = lyLeft;
    TKind m_kind = lgNone;
    int m_glyphsNum = 2;
    int m_glyphSpace = 2;
    int m_cornerRadius = 2;
    TShape m_shape = shRectangle;
    TTextStyle m_textStyle = txRaised;
    quint32 m_transparentColor;
    bool m_showFocused = true;

    bool m_pressed = false;
    bool m_mouseInside = false;
    bool m_pressBeganInside = false;
    bool m_clickArmed = false;
    int m_shiftAcceleratorId = 0;
    int m_glyphCellWidth = 0;
    Layout m_layout;
};
