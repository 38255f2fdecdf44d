#include "kitbrowser/SGPathControl.h"

#include <QFontDatabase>

SGPathControl::SGPathControl(QWidget* parent)
    : platform::SegmentedControl(parent, std::make_unique<SGPathCell>())
{
    cell()->setTrackingMode(platform::SegmentedCell::Tracking::Momentary);
    QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSizeF(11);
    setFont(font);
    setFixedHeight(22);
}

SGPathControl::~SGPathControl() = default;
