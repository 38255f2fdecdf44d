#pragma once

// The custom paper-size pane of the layout chooser's last step. For now it keeps the
// layout it is given, shows it (read-only) and hands it back unchanged, so the chooser's
// custom step applies that layout again or a saved custom layout.

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

    // The pane's view, made on first use; owned by whoever it is put into.
    QWidget* mainView();

private:
    void showLayout();

    QVariantMap _dimensionInfo;
    QPointer<QWidget> _mainView;
    QPointer<QLabel> _summary;
};
