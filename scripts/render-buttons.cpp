// Renders docs/buttons.png: the glyph buttons of the windows in each of their states.
// Build against the controls and platform libraries and run with QT_QPA_PLATFORM=offscreen:
//   render-buttons OUT.png [SCALE]
#include "controls/GlgBtn.h"

#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("buttons.png");
    const int scale = argc > 2 ? std::max(1, atoi(argv[2])) : 1;

    QFont font(QStringLiteral("AR PL UMing CN"));
    font.setPixelSize(12);
    const QList<QPair<QString, TKind>> buttons = { { QStringLiteral("搜索"), lgFind },
        { QStringLiteral("订阅"), lgLower }, { QStringLiteral("退订"), lgUp },
        { QStringLiteral("修改"), lgWrite }, { QStringLiteral("清空"), lgNo },
        { QStringLiteral("打印"), lgPrint }, { QStringLiteral("输出"), lgExcel },
        { QStringLiteral("确定"), lgOk }, { QStringLiteral("取消"), lgCancel } };
    const QStringList states = { "normal", "hover", "pressed", "focused", "disabled" };
    const int cellW = 85, cellH = 30, labelW = 64;

    QWidget host;
    host.setFont(font);
    host.resize(200, 60);
    TGlgBtn btn(&host);
    btn.move(10, 10);
    host.show();
    host.activateWindow();
    QCoreApplication::processEvents();

    QImage sheet(
        labelW + buttons.size() * cellW + 8, states.size() * cellH + 8, QImage::Format_RGB32);
    sheet.fill(host.palette().color(QPalette::Window));
    QPainter p(&sheet);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 8));
    for (int s = 0; s < states.size(); ++s) {
        const int y = 4 + s * cellH;
        p.drawText(QRect(4, y, labelW - 8, 22), Qt::AlignVCenter | Qt::AlignLeft, states[s]);
        for (int b = 0; b < buttons.size(); ++b) {
            btn.setText(buttons[b].first);
            btn.setKind(buttons[b].second);
            btn.setEnabled(states[s] != "disabled");
            btn.setShowFocused(states[s] == "focused");
            if (states[s] == "focused")
                btn.setFocus();
            else
                btn.clearFocus();
            QEvent leave(QEvent::Leave);
            QCoreApplication::sendEvent(&btn, &leave);
            if (states[s] == "hover" || states[s] == "pressed") {
                QEnterEvent enter(QPointF(30, 10), QPointF(40, 20), QPointF(40, 20));
                QCoreApplication::sendEvent(&btn, &enter);
            }
            if (states[s] == "pressed") {
                QMouseEvent press(QEvent::MouseButtonPress, QPointF(30, 10), QPointF(40, 20),
                    Qt::MiddleButton, Qt::MiddleButton, Qt::NoModifier);
                QCoreApplication::sendEvent(&btn, &press);
            }
            p.drawImage(labelW + b * cellW, y, btn.grab().toImage());
            if (states[s] == "pressed") {
                QMouseEvent release(QEvent::MouseButtonRelease, QPointF(30, 10), QPointF(40, 20),
                    Qt::MiddleButton, Qt::NoButton, Qt::NoModifier);
                QCoreApplication::sendEvent(&btn, &release);
            }
        }
    }
    p.end();
    if (scale > 1)
        sheet = sheet.scaled(sheet.size() * scale, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    return sheet.save(out) ? 0 : 1;
}
