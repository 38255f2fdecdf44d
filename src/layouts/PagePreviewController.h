#pragma once

// What the page grid view asks of preview mode's controller: drawing the labels of all
// sheets into the page rectangles the view lays out (LBPageView::pageRectForPageNum),
// for the part of the view being redrawn. The preview controller implements it.

class QRectF;

class PagePreviewController
{
public:
    virtual ~PagePreviewController() = default;

    // Draws the labels that fall in the update rectangle (view coordinates) into the
    // current graphics context.
    virtual void drawGraphicsInRect(const QRectF& updateRect) = 0;
};
