#include "layouts/LBPaperSizeController.h"

#include "document/DimensionInfo.h"
#include "layouts/LBLayoutSheetController.h"

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
    updatePreviewImage();
    showLayout();
}

namespace {

bool isEnvelopeOrLetterhead(qint64 labelType)
{
    return labelType >= 5 && labelType <= 8;
}

} // namespace

bool LBPaperSizeController::labelsOverflowPage(const QVariantMap& layout)
{
    const qint64 type = Info::integer(layout, Info::labelType);
    if (isEnvelopeOrLetterhead(type))
        return false;
    QSizeF page(Info::real(layout, Info::pageWidth), Info::real(layout, Info::pageHeight));
    if (page.width() == 0 || page.height() == 0)
        page = LBLayoutSheetController::pixelDimensionsForPaper(layout);
    const qint64 rows = Info::integer(layout, Info::numRows);
    const qint64 columns = Info::integer(layout, Info::numColumns);
    const double w = Info::real(layout, Info::labelWidth);
    const double h = Info::real(layout, Info::labelHeight);
    const double left = Info::real(layout, Info::leftMargin);
    const double top = Info::real(layout, Info::topMargin);
    // A grid without rows, columns or label size cannot be laid out at all.
    if (rows < 1 || columns < 1 || w <= 0 || h <= 0)
        return true;
    const bool fits = (columns - 1) * Info::real(layout, Info::hLabelSpace) + columns * w + left
                          <= page.width() + 0.01
                      && (rows - 1) * Info::real(layout, Info::vLabelSpace) + rows * h + top
                             <= page.height() + 0.01
                      && left >= 0 && top >= 0;
    return !fits;
}

void LBPaperSizeController::updatePreviewImage()
{
    QVariantMap card = _dimensionInfo;
    const qint64 type = Info::integer(card, Info::labelType);
    qint64 projectType = LBLayoutSheetController::AddressLabelsProject;
    if (isEnvelopeOrLetterhead(type)) {
        projectType = type <= 6 ? LBLayoutSheetController::EnvelopesProject
                                : LBLayoutSheetController::LetterheadProject;
        card.insert(Info::numRows, 1);
        card.insert(Info::numColumns, 1);
        for (const QString& key :
             {Info::leftMargin, Info::topMargin, Info::hLabelSpace, Info::vLabelSpace})
            card.insert(key, 0.0);
    }
    // The kinds of sheet the pane offers turned: labels 2, rounded labels 4, envelopes 5,
    // letterhead 8.
    _landscape = type == 2 || type == 4 || type == 5 || type == 8;
    _previewImage = LBLayoutSheetController::previewImageForCard(card, projectType, _landscape);
    _labelsOverflow = labelsOverflowPage(_dimensionInfo);
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
