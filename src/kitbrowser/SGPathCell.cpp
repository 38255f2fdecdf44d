#include "kitbrowser/SGPathCell.h"

#include "kitbrowser/SGCorbeilController.h"
#include "platform/drawing/Bundle.h"

#include <QApplication>
#include <QPainter>
#include <QWidget>

namespace {

QPixmap piece(const QString& name)
{
    const qreal ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    return platform::Bundle(SGCorbeilController::bundleName()).pixmapNamed(name, ratio);
}

} // namespace

SGPathCell::PieceNames SGPathCell::pieceNamesForSegment(int segment, int segmentCount, bool hilited)
{
    const QString suffix = hilited ? QStringLiteral("1") : QString();
    PieceNames names;
    names.left =
        (segment == 0 ? QStringLiteral("PathCapLeft") : QStringLiteral("PathArrowLeft")) + suffix;
    names.right = (segment == segmentCount - 1 ? QStringLiteral("PathCapRight")
                                               : QStringLiteral("PathArrowRight"))
                  + suffix;
    names.middle = QStringLiteral("PathMiddle") + suffix;
    return names;
}

SGPathCell::Pieces SGPathCell::getCellImage(bool hilited)
{
    static const Pieces normal = {
        piece(QStringLiteral("PathCapLeft")), piece(QStringLiteral("PathCapRight")),
        piece(QStringLiteral("PathArrowLeft")), piece(QStringLiteral("PathArrowRight")),
        piece(QStringLiteral("PathMiddle"))};
    static const Pieces highlighted = {
        piece(QStringLiteral("PathCapLeft1")), piece(QStringLiteral("PathCapRight1")),
        piece(QStringLiteral("PathArrowLeft1")), piece(QStringLiteral("PathArrowRight1")),
        piece(QStringLiteral("PathMiddle1"))};
    return hilited ? highlighted : normal;
}

QPixmap SGPathCell::homeImage()
{
    static const QPixmap home = piece(QStringLiteral("PathHome"));
    return home;
}

QList<QRectF> SGPathCell::segmentFrames(const QList<qreal>& widths, const QRectF& frame)
{
    QList<QRectF> frames;
    if (widths.size() == 1) {
        frames.append(frame);
        return frames;
    }
    qreal before = 0;
    for (int i = 0; i < widths.size(); ++i) {
        const bool end = i == 0 || i == widths.size() - 1;
        const qreal x = i == 0 ? 0 : before - 4;
        frames.append(QRectF(frame.x() + x, frame.y(), widths[i] + (end ? 4 : 8), frame.height()));
        before += widths[i];
    }
    return frames;
}

void SGPathCell::drawWithFrame(QPainter& painter, const QRectF& frame, QWidget* view)
{
    QList<qreal> widths;
    for (int i = 0; i < segmentCount(); ++i)
        widths.append(effectiveWidth(i, view));
    const QList<QRectF> frames = segmentFrames(widths, frame);
    for (int i = 0; i < frames.size(); ++i)
        drawSegment(painter, i, frames[i], view);
}

void SGPathCell::drawSegment(QPainter& painter, int segment, const QRectF& frame, QWidget* view)
{
    const bool hilited = segment == selectedSegment() || segment == highlightedSegment();
    const Pieces pieces = getCellImage(hilited);
    const QPixmap& left = segment == 0 ? pieces.capLeft : pieces.arrowLeft;
    const QPixmap& right = segment == segmentCount() - 1 ? pieces.capRight : pieces.arrowRight;
    const QSizeF leftSize = left.deviceIndependentSize();
    const QSizeF rightSize = right.deviceIndependentSize();
    const QSizeF middleSize = pieces.middle.deviceIndependentSize();
    const qreal x = frame.x();
    const qreal y = frame.y();
    // The end pieces stand on the frame's last row: their lower-left corner there.
    const qreal baseline = y + frame.height() - 1;
    painter.save();
    painter.drawPixmap(QRectF(QPointF(x, baseline - leftSize.height()), leftSize), left,
                       QRectF(left.rect()));
    const qreal stretch = frame.width() - leftSize.width() - rightSize.width();
    if (stretch > 0)
        painter.drawPixmap(QRectF(x + leftSize.width(), y, stretch, middleSize.height()),
                           pieces.middle, QRectF(pieces.middle.rect()));
    painter.drawPixmap(
        QRectF(QPointF(x + frame.width() - rightSize.width(), baseline - rightSize.height()),
               rightSize),
        right, QRectF(right.rect()));

    const QString label = labelForSegment(segment);
    if (label == QLatin1String("W")) {
        const QPixmap home = homeImage();
        const QSizeF size = home.deviceIndependentSize();
        painter.drawPixmap(QRectF(QPointF(x + 9, y + 15 - size.height()), size), home,
                           QRectF(home.rect()));
    } else {
        const QFont font = view ? view->font() : QFont();
        painter.setFont(font);
        painter.setPen(hilited ? QColor(Qt::white) : QColor(40, 40, 40));
        const qreal textX = x + 10 + (segment > 0 ? 3 : 0);
        const QFontMetricsF metrics(font);
        painter.drawText(QPointF(textX, y + 2 + metrics.ascent()), label);
    }
    painter.restore();
}
