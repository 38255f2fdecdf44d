#pragma once

// The custom paper-size pane of the layout chooser's last step. For now it keeps the
// layout it is given, shows it (read-only) with its live miniature and hands it back
// unchanged, so the chooser's custom step applies that layout again or a saved custom
// layout; it tells whether the layout's labels overflow their page.

#include <QImage>
#include <QPointer>
#include <QVariantMap>

class QLabel;
class QWidget;

class LBPaperSizeController
{
public:
    LBPaperSizeController();
    ~LBPaperSizeController();
    LBPaperSizeController(const LBPaperSizeController&) = delete;
    LBPaperSizeController& operator=(const LBPaperSizeController&) = delete;

    QVariantMap dimensionInfo() const { return _dimensionInfo; }
    void setDimensionInfo(const QVariantMap& info);

    // Whether the labels of the layout run off the page (or cannot be laid out: no rows,
    // no columns, no label size); never for envelopes and letterhead (label kinds 5-8).
    static bool labelsOverflowPage(const QVariantMap& layout);
    bool labelsOverflow() const { return _labelsOverflow; }
    // The miniature of the layout, upright, and whether it is shown turned (landscape).
    QImage previewImage() const { return _previewImage; }
    bool landscapeOrientation() const { return _landscape; }

    // The pane's view, made on first use; owned by whoever it is put into.
    QWidget* mainView();

private:
    void showLayout();
    void updatePreviewImage();

    QVariantMap _dimensionInfo;
    QPointer<QWidget> _mainView;
    QPointer<QLabel> _summary;
    QImage _previewImage;
    bool _landscape = false;
    bool _labelsOverflow = false;
};
