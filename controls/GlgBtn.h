#pragma once

#include <QAbstractButton>

// Built-in glyph kinds; every value but lgNone names a bitmap resource G<NAME>.
enum TKind : quint8 {
    lgNone, lgAdd, lgAlarm, lgArrow_down, lgArrow_left, lgArrow_right, lgArrow_up, lgCancel,
    lgCopy, lgCut, lgDay, lgDelete, lgExcel, lgExit, lgExit1, lgExit2, lgFind, lgHelp, lgHome,
    lgLast, lgLeft, lgLibrary, lgLower, lgModi, lgNew, lgNext, lgNo, lgOk, lgOpen, lgOut_left,
    lgOut_right, lgPaste, lgPause, lgPlay, lgPrint, lgPrior, lgRight, lgSave, lgSet, lgStop,
    lgTop, lgUp, lgWord, lgWrite
};

// The owner-drawn command button of every window, with a built-in glyph.
// (Skeleton: the full behaviour and painting follow.)
class TGlgBtn : public QAbstractButton
{
    Q_OBJECT
public:
    explicit TGlgBtn(QWidget *parent = nullptr);
    ~TGlgBtn() override;

    TKind Kind() const { return m_kind; }
    void setKind(TKind kind) { m_kind = kind; update(); }

protected:
    void paintEvent(QPaintEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    TKind m_kind = lgNone;
};
