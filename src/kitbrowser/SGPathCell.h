#pragma once

// The look of the kit browser's path bar: each step a segment drawn from a left piece (a
// cap for the first step, an arrow for the others), a stretched middle and a right piece (a
// cap for the last step, an arrow for the others), neighbours overlapping by 4 points, the
// first step's label "W" drawn as the house picture. The pieces are pictures of the
// library's bundle, in a normal and a highlighted (selected segment) form, read once per
// process.

#include "kitbrowser/iCorbeilGUIExport.h"
#include "platform/ui/SegmentedControl.h"

#include <QList>
#include <QPixmap>
#include <QRectF>
#include <QString>

class ICORBEILGUI_EXPORT SGPathCell : public platform::SegmentedCell
{
public:
    struct Pieces
    {
        QPixmap capLeft, capRight, arrowLeft, arrowRight, middle;
    };
    // The names of a segment's left and right pieces ("PathCapLeft", "PathArrowRight1", ...).
    struct PieceNames
    {
        QString left, right, middle;
    };

    // The five pictures, normal or highlighted.
    static Pieces getCellImage(bool hilited);
    static QPixmap homeImage();
    static PieceNames pieceNamesForSegment(int segment, int segmentCount, bool hilited);
    // Where each segment is drawn in a frame: overlapping by 4 points on each side.
    static QList<QRectF> segmentFrames(const QList<qreal>& widths, const QRectF& frame);

    void drawWithFrame(QPainter& painter, const QRectF& frame, QWidget* view) override;
    void drawSegment(QPainter& painter, int segment, const QRectF& frame, QWidget* view) override;
};
