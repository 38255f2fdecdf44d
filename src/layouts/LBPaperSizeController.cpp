#include "layouts/LBPaperSizeController.h"

#include "document/DimensionInfo.h"

#include <QLabel>
#include <QVBoxLayout>

namespace {

using Info = DimensionInfo;

QString lengthText(const QVariantMap& info, const QString& key)
{
    return QString::number(Info::real(info, key), 'f', 2);
}

} // namespace

LBPaperSizeController::LBPaperSizeController() = default;

LBPaperSizeController::~LBPaperSizeController() = default;

void LBPaperSizeController::setDimensionInfo(const QVariantMap& info)
{
    _dimensionInfo = info;
    showLayout();
}

QWidget* LBPaperSizeController::mainView()
{
    if (!_mainView) {
        _mainView = new QWidget;
        auto* layout = new QVBoxLayout(_mainView);
        _summary = new QLabel(_mainView);
        _summary->setTextInteractionFlags(Qt::TextSelectableByMouse);
        _summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        layout->addWidget(_summary);
        layout->addStretch();
        showLayout();
    }
    return _mainView;
}

void LBPaperSizeController::showLayout()
{
    if (!_summary)
        return;
    const QVariantMap& info = _dimensionInfo;
    _summary->setText(
        QStringLiteral("%1 %2\nPage: %3 x %4 pt\nLabel: %5 x %6 pt\n%7 rows x %8 columns\n"
                       "Margins: top %9, left %10 pt")
            .arg(Info::text(info, Info::paperManufacturer), Info::text(info, Info::paperCode),
                 lengthText(info, Info::pageWidth), lengthText(info, Info::pageHeight),
                 lengthText(info, Info::labelWidth), lengthText(info, Info::labelHeight),
                 QString::number(Info::integer(info, Info::numRows)),
                 QString::number(Info::integer(info, Info::numColumns)),
                 lengthText(info, Info::topMargin))
            .arg(lengthText(info, Info::leftMargin)));
}
