#pragma once

// The design drawer's tab buttons: a dark bar of grey gradients between black edges, with
// optional dividers at either side, darker and shaded inside while selected or held down,
// and the image (the alternate image while selected or held down) beside the title.
// The drawing is the cell's; the cell tells the drawer when its highlight changes
// ("LBGradientButtonHighlightChanged", the cell as object), once per change.

#include "controls/LBTitledButton.h"

#include <memory>

inline const QString LBGradientButtonHighlightChanged =
    QStringLiteral("LBGradientButtonHighlightChanged");

class LBGradientButtonCell
{
public:
    bool drawLeftDivider() const { return _drawLeftDivider; }
    void setDrawLeftDivider(bool draw) { _drawLeftDivider = draw; }
    bool drawRightDivider() const { return _drawRightDivider; }
    void setDrawRightDivider(bool draw) { _drawRightDivider = draw; }
    bool isSelected() const { return _selected; }
    void setSelected(bool selected) { _selected = selected; }
    bool isHighlighted() const { return _wasHighlighted; }

    // Remembers the highlight and posts the notification when it differs from the last.
    void noteHighlight(bool highlighted);
    // The bar, lines, bands and inner shadows, in the frame (y down).
    void drawBackgroundForButtonFrame(QPainter& painter, const QRectF& frame,
                                      bool highlighted) const;

private:
    bool _wasHighlighted = false;
    bool _drawLeftDivider = false;
    bool _drawRightDivider = false;
    bool _selected = false;
};

class LBGradientButton : public LBTitledButton
{
    Q_OBJECT
public:
    explicit LBGradientButton(QWidget* parent = nullptr);
    ~LBGradientButton() override;

    LBGradientButtonCell* cell() const { return _cell.get(); }

    std::shared_ptr<platform::Image> alternateImage() const { return _alternateImage; }
    void setAlternateImage(const std::shared_ptr<platform::Image>& image);

    // Where the image and the title go in the frame (y down), for the present state.
    QRectF imageRect() const;
    QPointF titleOrigin() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::unique_ptr<LBGradientButtonCell> _cell;
    std::shared_ptr<platform::Image> _alternateImage;
};
