// The two faces' backgrounds and placeholders, and the document-wide page settings.

#include "document/LBDocument.h"

#include "platform/core/UserDefaults.h"
#include "platform/drawing/Image.h"

#include <QDebug>
#include <QFile>

namespace {

platform::UserDefaults& defaults()
{
    return platform::UserDefaults::standardUserDefaults();
}

} // namespace

// ==== Per-face settings ==================================================================

template <typename T, typename Arg>
void LBDocument::changeFaceValue(qint64 page, T Face::*field, const T& value,
                                 void (LBDocument::*setter)(Arg, qint64), const FaceChange& change)
{
    T& stored = face(page).*field;
    if (change.skipUnchanged && stored == value)
        return;
    registerUndo([this, setter, page, old = stored] { (this->*setter)(old, page); });
    stored = value;
    if (change.marksEdited)
        markEdited();
    if (change.redraw)
        postRedrawGraphicViews();
    if (change.refreshLayersView)
        platform::NotificationCenter::defaultCenter().post(LBUpdateLayersView);
}

void LBDocument::postRedrawGraphicViews()
{
    platform::NotificationCenter::defaultCenter().post(LBRedrawGraphicViews, this);
}

void LBDocument::setHasBackgroundColor(bool has, qint64 forPage)
{
    changeFaceValue(forPage, &Face::hasBackgroundColor, has, &LBDocument::setHasBackgroundColor,
                    {.skipUnchanged = true, .marksEdited = false, .refreshLayersView = true});
}

void LBDocument::setBackgroundColor(const QColor& color, qint64 forPage)
{
    changeFaceValue(forPage, &Face::backgroundColor, color, &LBDocument::setBackgroundColor, {});
    // Only the face numbers 0 and 1 redraw, as they always have.
    if ((forPage == 0 || forPage == 1) && face(forPage).drawBackgroundColor)
        postRedrawGraphicViews();
}

bool LBDocument::drawBackgroundColor(qint64 page) const
{
    return face(page).hasBackgroundColor && face(page).drawBackgroundColor;
}

void LBDocument::setDrawBackgroundColor(bool draw, qint64 forPage)
{
    changeFaceValue(forPage, &Face::drawBackgroundColor, draw, &LBDocument::setDrawBackgroundColor,
                    {.redraw = true, .refreshLayersView = true});
}

void LBDocument::setPrintBackgroundColor(bool print, qint64 forPage)
{
    changeFaceValue(forPage, &Face::printBackgroundColor, print,
                    &LBDocument::setPrintBackgroundColor, {});
}

void LBDocument::setBackgroundImageScaling(qint64 scaling, qint64 forPage)
{
    changeFaceValue(forPage, &Face::backgroundImageScaling, scaling,
                    &LBDocument::setBackgroundImageScaling, {.redraw = true});
}

void LBDocument::setBackgroundImageTransparency(double transparency, qint64 forPage)
{
    changeFaceValue(forPage, &Face::backgroundImageTransparency, transparency,
                    &LBDocument::setBackgroundImageTransparency, {.redraw = true});
}

void LBDocument::setDrawBackgroundImage(bool draw, qint64 forPage)
{
    changeFaceValue(forPage, &Face::drawBackgroundImage, draw, &LBDocument::setDrawBackgroundImage,
                    {.redraw = true});
}

void LBDocument::setPrintBackgroundImage(bool print, qint64 forPage)
{
    changeFaceValue(forPage, &Face::printBackgroundImage, print,
                    &LBDocument::setPrintBackgroundImage, {.redraw = true});
}

void LBDocument::makeBackgroundImage(const QString& path, qint64 forPage)
{
    setBackgroundImagePath(path, true, forPage);
    setDrawBackgroundImage(true, forPage);
    setPrintBackgroundImage(true, forPage);
    if (hasBackgroundPlaceholder(forPage))
        setHasBackgroundPlaceholder(false, forPage);
}

void LBDocument::setHasBackgroundPlaceholder(bool has, qint64 forPage)
{
    changeFaceValue(forPage, &Face::hasBackgroundPlaceholder, has,
                    &LBDocument::setHasBackgroundPlaceholder,
                    {.skipUnchanged = true, .marksEdited = false});
}

void LBDocument::setPlaceholderLabel(const QString& label, qint64 forPage)
{
    changeFaceValue(forPage, &Face::placeholderLabel, label, &LBDocument::setPlaceholderLabel,
                    {.skipUnchanged = true, .redraw = true});
}

void LBDocument::setPlaceholderLabelPosition(qint64 position, qint64 forPage)
{
    changeFaceValue(forPage, &Face::placeholderLabelPosition, position,
                    &LBDocument::setPlaceholderLabelPosition,
                    {.skipUnchanged = true, .redraw = true});
}

void LBDocument::setPlaceholderLabelIsVertical(bool vertical, qint64 forPage)
{
    changeFaceValue(forPage, &Face::placeholderLabelIsVertical, vertical,
                    &LBDocument::setPlaceholderLabelIsVertical,
                    {.skipUnchanged = true, .redraw = true});
}

void LBDocument::setPlaceholderColor(const QColor& color, qint64 forPage)
{
    changeFaceValue(forPage, &Face::placeholderColor, color, &LBDocument::setPlaceholderColor,
                    {.marksEdited = false});
}

void LBDocument::setPlaceholderLabelColor(const QColor& color, qint64 forPage)
{
    changeFaceValue(forPage, &Face::placeholderLabelColor, color,
                    &LBDocument::setPlaceholderLabelColor, {.redraw = true});
}

void LBDocument::setDrawBackgroundPlaceholder(bool draw, qint64 forPage)
{
    changeFaceValue(forPage, &Face::drawBackgroundPlaceholder, draw,
                    &LBDocument::setDrawBackgroundPlaceholder, {.redraw = true});
}

void LBDocument::setPrintBackgroundPlaceholder(bool print, qint64 forPage)
{
    changeFaceValue(forPage, &Face::printBackgroundPlaceholder, print,
                    &LBDocument::setPrintBackgroundPlaceholder, {.redraw = true});
}

void LBDocument::setPlaceholderPatternIndexOnly(qint64 index, qint64 forPage)
{
    changeFaceValue(forPage, &Face::placeholderPatternIndex, index,
                    &LBDocument::setPlaceholderPatternIndexOnly, {.marksEdited = false});
}

void LBDocument::setPlaceholderPatternIndex(qint64 index, qint64 forPage)
{
    // The index's own undo step puts back only the index: the background picture's steps
    // put back the picture, which replaying this whole setter with the old index would
    // clear again.
    const bool hadPlaceholder = face(forPage).hasBackgroundPlaceholder;
    setPlaceholderPatternIndexOnly(index, forPage);
    QString patternPath;
    if (index != 0) {
        setBackgroundImageScaling(1, forPage);
        const QString name = QStringLiteral("PlaceholderPattern%1").arg(index);
        const platform::ImagePtr pattern = platform::Image::imageNamed(name);
        const QByteArray png =
            pattern ? platform::Image::fromBitmap(pattern->forcedBitmapImageRep(), pattern->size())
                          ->pngData()
                    : QByteArray();
        if (png.isEmpty()) {
            qWarning().noquote() << QStringLiteral("There is no pattern picture \"%1\"").arg(name);
        } else {
            patternPath = newTemporaryFilePath(QStringLiteral("png"));
            QFile file(patternPath);
            if (file.open(QIODevice::WriteOnly) && file.write(png) == png.size()) {
                rememberTemporaryFileName(patternPath);
            } else {
                qWarning().noquote() << QStringLiteral("The pattern picture cannot be written to "
                                                       "\"%1\": %2")
                                            .arg(patternPath, file.errorString());
                patternPath.clear();
            }
        }
    }
    setBackgroundImagePath(patternPath, true, forPage);
    setHasBackgroundPlaceholder(hadPlaceholder, forPage);
}

// ==== Document-wide settings =============================================================

double LBDocument::gridSpacing() const
{
    return _gridSpacing != 0.0 ? _gridSpacing
                               : defaults().floatForKey(QStringLiteral("Grid Spacing"));
}

void LBDocument::setGridSpacing(double spacing, bool updatePrefs)
{
    _gridSpacing = spacing;
    markEdited();
    if (updatePrefs)
        defaults().setFloat(spacing, QStringLiteral("Grid Spacing"));
    platform::NotificationCenter::defaultCenter().post(LBRefreshEditView, this);
}

qint64 LBDocument::guideSpacing() const
{
    if (_gridSpacing == 0.0)
        return static_cast<qint64>(defaults().floatForKey(QStringLiteral("Grid Guide Spacing")));
    return _guideSpacing;
}

void LBDocument::setGuideSpacing(qint64 spacing, bool updatePrefs)
{
    _guideSpacing = spacing;
    markEdited();
    if (updatePrefs)
        defaults().setInteger(spacing, QStringLiteral("Grid Guide Spacing"));
    platform::NotificationCenter::defaultCenter().post(LBRefreshEditView, this);
}

void LBDocument::setPrintGrid(bool print)
{
    _printGrid = print;
    markEdited();
}

void LBDocument::setDrawAuxiliaryInfo(qint64 bits, bool updateUserDefaults)
{
    _drawAuxiliaryInfo = static_cast<quint8>(bits);
    if (updateUserDefaults)
        defaults().setInteger(_drawAuxiliaryInfo, QStringLiteral("Draw Auxiliary Info"));
}

void LBDocument::setLabelRepeatCount(qint64 count)
{
    _labelRepeatCount = count;
    markEdited();
}

void LBDocument::setImportTextArray(const QStringList& array, qint64 numImportColumns)
{
    _importTextArray = array;
    _numImportColumns = numImportColumns;
}

QStringList LBDocument::importTextArrayAndColumnCount(qint64* columnCount) const
{
    if (columnCount)
        *columnCount = _numImportColumns;
    return _importTextArray;
}

QString LBDocument::stringForImportColumn(qint64 column, qint64 recordIndex) const
{
    if (column < 0 || column >= _numImportColumns || recordIndex < 0)
        return QString();
    const qint64 index = recordIndex * _numImportColumns + column;
    return index < _importTextArray.size() ? _importTextArray.at(index) : QString();
}
