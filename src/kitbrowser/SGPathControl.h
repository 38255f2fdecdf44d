#pragma once

// The path bar at the top of each panel of the kit browser: one segment per step of the
// current path, the first the home step. The controller sets the segments' labels and
// widths; a click sends the bar's action to the controller (pathControlAction()).

#include "kitbrowser/SGPathCell.h"
#include "kitbrowser/iCorbeilGUIExport.h"
#include "platform/ui/SegmentedControl.h"

class ICORBEILGUI_EXPORT SGPathControl : public platform::SegmentedControl
{
    Q_OBJECT

public:
    explicit SGPathControl(QWidget* parent = nullptr);
    ~SGPathControl() override;

    SGPathCell* pathCell() const { return static_cast<SGPathCell*>(cell()); }
};
