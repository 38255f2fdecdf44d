#include "merge/LBEnvelopeFeedSheet.h"

#include "document/LBDocument.h"
#include "merge/LBSheet.h"
#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"
#include "window/LBWindowController.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

const QString kAutomatic = QStringLiteral("Envelope Automatic Alignment");
const QString kFront = QStringLiteral("Printer Loads Envelopes From Front");
const QString kFaceUp = QStringLiteral("Envelopes Are Face Up");
const QString kFeed = QStringLiteral("Envelope Feed Position");

void selectRow(QButtonGroup* group, int row)
{
    if (QAbstractButton* button = group->button(row))
        button->setChecked(true);
}

} // namespace

LBEnvelopeFeedSheet::LBEnvelopeFeedSheet(LBWindowController& window, QWidget* parent)
    : QDialog(parent), _window(window)
{
    setWindowTitle(tr("Envelope Feed"));
    auto* layout = new QVBoxLayout(this);
    auto* alignmentBox = new QGroupBox(tr("Alignment"));
    _alignment = matrix({tr("Automatic"), tr("Manual")}, alignmentBox);
    layout->addWidget(alignmentBox);

    _manualControls = new QWidget;
    auto* manual = new QHBoxLayout(_manualControls);
    auto* choices = new QVBoxLayout;
    auto* loadingBox = new QGroupBox(tr("The printer loads envelopes"));
    _loading = matrix({tr("Along the long edge"), tr("Along the short edge")}, loadingBox);
    auto* faceBox = new QGroupBox(tr("Envelopes go in"));
    _faceOrientation = matrix({tr("Face up"), tr("Face down")}, faceBox);
    auto* feedBox = new QGroupBox(tr("Feed position"));
    _feed = matrix({tr("Left"), tr("Center"), tr("Right")}, feedBox);
    auto* orientationBox = new QGroupBox(tr("Envelope"));
    auto* orientation = new QHBoxLayout(orientationBox);
    _portraitButton = new QRadioButton(tr("Portrait"));
    _landscapeButton = new QRadioButton(tr("Landscape"));
    orientation->addWidget(_portraitButton);
    orientation->addWidget(_landscapeButton);
    for (QGroupBox* box : {loadingBox, faceBox, feedBox, orientationBox})
        choices->addWidget(box);
    manual->addLayout(choices);
    _preview = new QLabel;
    _preview->setMinimumSize(160, 130);
    manual->addWidget(_preview);
    layout->addWidget(_manualControls);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Cancel);
    buttons->addButton(tr("Print"), QDialogButtonBox::AcceptRole);
    layout->addWidget(buttons);

    // One width for both alignments: only the height changes, and the automatic sheet,
    // narrow by itself, would cut its title short.
    setMinimumWidth(sizeHint().width());

    connect(_alignment, &QButtonGroup::idClicked, this, [this] { envelopeAlignmentAction(); });
    for (QButtonGroup* group : {_loading, _faceOrientation, _feed})
        connect(group, &QButtonGroup::idClicked, this, [this] { updateEnvelopePreview(); });
    connect(_portraitButton, &QRadioButton::clicked, this,
            [this] { envelopeOrientationAction(false); });
    connect(_landscapeButton, &QRadioButton::clicked, this,
            [this] { envelopeOrientationAction(true); });
    connect(buttons, &QDialogButtonBox::accepted, this, [this] { saveEnvelopeSheet(); });
    connect(buttons, &QDialogButtonBox::rejected, this, [this] { cancelEnvelopeSheet(); });
}

QButtonGroup* LBEnvelopeFeedSheet::matrix(const QStringList& titles, QWidget* into)
{
    auto* group = new QButtonGroup(this);
    auto* layout = new QVBoxLayout(into);
    for (int row = 0; row < titles.size(); ++row) {
        auto* button = new QRadioButton(titles.at(row));
        group->addButton(button, row);
        layout->addWidget(button);
    }
    return group;
}

LBDocument* LBEnvelopeFeedSheet::document() const
{
    return _window.document();
}

void LBEnvelopeFeedSheet::openEnvelopeFeedSheet()
{
    selectRow(_alignment, defaults().boolForKey(kAutomatic) ? 0 : 1);
    selectRow(_loading, defaults().boolForKey(kFront) ? 0 : 1);
    selectRow(_faceOrientation, defaults().boolForKey(kFaceUp) ? 0 : 1);
    selectRow(_feed, int(std::clamp<qint64>(defaults().integerForKey(kFeed), 0, 2)));
    const bool landscape =
        document() && document()->printInfo().orientation() == platform::PrintInfo::Landscape;
    envelopeOrientationAction(landscape);
    envelopeAlignmentAction();
    updateEnvelopePreview();
    _openedBefore = true;
    LBBeginSheet(this, _window.window());
}

void LBEnvelopeFeedSheet::envelopeAlignmentAction()
{
    const bool manual = _alignment->checkedId() == 1;
    for (QButtonGroup* group : {_loading, _faceOrientation, _feed})
        for (QAbstractButton* button : group->buttons())
            button->setEnabled(manual);
    _preview->setEnabled(manual);
    _manualControls->setVisible(manual);
    adjustSize();
}

void LBEnvelopeFeedSheet::envelopeOrientationAction(bool landscape)
{
    _landscapeButton->setChecked(landscape);
    _portraitButton->setChecked(!landscape);
}

QString LBEnvelopeFeedSheet::previewImageName() const
{
    static const char* const positions[] = {"Left", "Center", "Right"};
    QString name = _loading->checkedId() == 1 ? QStringLiteral("EnvelopeTop")
                                              : QStringLiteral("EnvelopeFront");
    name += QLatin1String(positions[std::clamp(_feed->checkedId(), 0, 2)]);
    if (_faceOrientation->checkedId() == 1)
        name += u'D';
    return name;
}

void LBEnvelopeFeedSheet::updateEnvelopePreview()
{
    const platform::ImagePtr image = platform::Image::imageNamed(previewImageName());
    _preview->setPixmap(image ? QPixmap::fromImage(image->forcedBitmapImageRep()) : QPixmap());
}

void LBEnvelopeFeedSheet::saveEnvelopeSheet()
{
    defaults().setObject(_alignment->checkedId() == 0, kAutomatic);
    defaults().setObject(_loading->checkedId() == 0, kFront);
    defaults().setObject(_faceOrientation->checkedId() == 0, kFaceUp);
    defaults().setObject(qint64(std::max(0, _feed->checkedId())), kFeed);
    hide();
    LBDocument* doc = document();
    if (!doc)
        return;
    doc->setEnvelopePrintLandscape(_landscapeButton->isChecked());
    _window.initializePageSetup(true);
    doc->ourPrintShowingPrintPanel(true);
}

void LBEnvelopeFeedSheet::cancelEnvelopeSheet()
{
    hide();
}
