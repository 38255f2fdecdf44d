#pragma once

// The Crop pane of the inspector palette: drives the canvas's crop mode. While the canvas
// crops a photo under a mask (a rectangle made for it, or a shape or text box), the pane
// zooms and turns the photo, flips it, keeps its proportions, holds the mask to a fixed or
// custom aspect ratio or tiles the photo inside it, and finishes or cancels the crop. The
// canvas does the cropping; the pane calls its crop operations and reads back the photo
// being cropped and the mask.
//
// The palette grows and shrinks by the controls offered (keeping its bottom edge): type 1
// the adjustments alone, 2 with the ratio pop-up, 3 with the custom ratio fields too.

#include <QSizeF>
#include <QString>
#include <QWidget>

class HUDCheckbox;
class HUDComboBox;
class HUDPopUpButton;
class HUDSlider;
class HUDTextField;
class HUDWindowController;
class LBCircularSlider;
class LBCompImageButton;
class QAction;

class HUDCropTools : public QWidget
{
    Q_OBJECT
public:
    // Items of the ratio pop-up, by index.
    enum CropItem : int {
        NoConstraintItem = 0,
        SquareItem = 8,
        CustomItem = 9,
        OrientationItem = 11, // toggles portrait and landscape
        TileItem = 13
    };
    static constexpr int itemCount = 14;
    static constexpr int paneWidth = 230;

    explicit HUDCropTools(HUDWindowController& controller);

    // --- The rules (pure) ---
    // The width / height ratio item i gives the canvas (the inverse pairs while swapped);
    // 0 for no constraint, -1 for the items that apply no ratio (10 to 13).
    static double ratioForItem(int item, bool swapped, const QSizeF& customRatio);
    // 1 without the constraint controls, 3 for the custom item, else 2.
    static int windowTypeForItem(int item, bool showConstrainTools);
    // The palette height for a type, from the current one (unchanged when it fits).
    static double windowHeightForCropType(int type, double height);
    // The least width of the photo under the mask: it never shows past the mask's edges.
    static double zoomMinimum(const QSizeF& image, double imageRotation, const QSizeF& mask);
    // The rotation as shown: a number (a > 180 shown as a - 360) and the degree sign.
    static QString rotationText(double degrees);
    // The stored custom ratio, 6 by 4 when its width is 0.
    static QSizeF storedCustomRatio();

    // --- The pane (the frame and the canvas call these) ---
    void forceSelectCropTools(bool force, bool showConstrainTools);
    void updateCropTools();
    void updateCropSliders();
    void cropToolsAction(QObject* sender);
    void setWindowHeightForCropType(int type, bool animate);

    // --- Outlets ---
    HUDSlider* _cropZoomSlider = nullptr; // the photo's width in hundredths of a point
    LBCircularSlider* _cropRotateSlider = nullptr;
    HUDComboBox* _cropRotateComboBox = nullptr;
    HUDCheckbox* _cropConstrainProportionsCheckbox = nullptr;
    HUDPopUpButton* _cropPopup = nullptr;
    QWidget* _cropConstrainView = nullptr;
    QWidget* _cropCustomView = nullptr;
    HUDTextField* _cropCustomWidth = nullptr;
    HUDTextField* _cropCustomHeight = nullptr;
    LBCompImageButton* _cropOKButton = nullptr;
    LBCompImageButton* _cropCancelButton = nullptr;
    LBCompImageButton* _flipHorizontalButton = nullptr; // tag 1
    LBCompImageButton* _flipVerticalButton = nullptr;   // tag 2

    // --- State ---
    bool showCropConstrainTools() const;
    bool swapCropRatio() const { return _swapCropRatio; }
    int selectedCropType() const { return _selectedCropType; }
    double origCropImageWidth() const { return _origCropImageWidth; }
    // The zoom slider's value and range in points.
    double zoomValue() const;
    double zoomMinimumValue() const;
    double zoomMaximumValue() const;
    // Selects item i of the ratio pop-up and sends its action, as a choice from its menu.
    void chooseItem(int item);
    QAction* itemAt(int item) const;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void layOut();
    void selectItem(int item);
    void setItem11Bullet(bool on);
    void ratioPopupAction(int item);
    void customRatioAction();

    HUDWindowController& _controller;
    bool _swapCropRatio = false;
    int _selectedCropType = 0;
    double _origCropImageWidth = 0.0;
};
