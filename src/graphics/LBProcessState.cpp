#include "graphics/LBProcessState.h"

#include "graphics/InspectorPalette.h"

#include "platform/core/UserDefaults.h"

#include <QDir>

#include <utility>

namespace {

bool draggingOutFlag = false;
double scaleFactor = 1.0;
bool printingFlag = false;
bool printJobFlag = false;
qint64 printResolutionOverride = 0;
double imageScaleFactorValue = 1.0;
QString temporaryFolder;
QString supportFolder;
QString designsFolder;
qint64 displayResolution = 150;
bool fullResolutionFlag = false;
InspectorPalette* currentInspectorPalette = nullptr;
InPlaceTextEditing* currentTextEditing = nullptr;
QList<InspectorPalette*> standalonePalettes;
InspectorPalette* hiddenPalette = nullptr;
CurveStatusWindow* currentCurveStatusWindow = nullptr;

} // namespace

bool LBProcessState::isDraggingOut()
{
    return draggingOutFlag;
}

void LBProcessState::setDraggingOut(bool draggingOut)
{
    draggingOutFlag = draggingOut;
}

double LBProcessState::displayScaleFactor()
{
    return scaleFactor;
}

void LBProcessState::setDisplayScaleFactor(double factor)
{
    scaleFactor = factor;
}

bool LBProcessState::isPrinting()
{
    return printingFlag;
}

void LBProcessState::setPrinting(bool printing)
{
    printingFlag = printing;
}

double LBProcessState::imageScaleFactor()
{
    return imageScaleFactorValue;
}

void LBProcessState::setImageScaleFactor(double factor)
{
    imageScaleFactorValue = factor > 0.0 ? factor : 1.0;
}

qint64 LBProcessState::printResolution()
{
    if (printResolutionOverride > 0)
        return printResolutionOverride;
    return platform::UserDefaults::standardUserDefaults().integerForKey(
        QStringLiteral("Print Quality"));
}

void LBProcessState::setPrintResolution(qint64 dpi)
{
    printResolutionOverride = dpi;
}

bool LBProcessState::isPrintJobRunning()
{
    return printJobFlag;
}

void LBProcessState::setPrintJobRunning(bool running)
{
    printJobFlag = running;
}

namespace {

std::function<void()> paletteMaker;

// Taken out before it runs: the palette it makes asks for the current palette too.
void makePalettesIfPending()
{
    if (std::function<void()> maker = std::exchange(paletteMaker, nullptr))
        maker();
}

} // namespace

void LBProcessState::setInspectorPaletteMaker(std::function<void()> maker)
{
    paletteMaker = std::move(maker);
}

InspectorPalette* LBProcessState::inspectorPalette()
{
    makePalettesIfPending();
    return currentInspectorPalette;
}

void LBProcessState::setInspectorPalette(InspectorPalette* palette)
{
    currentInspectorPalette = palette;
}

QList<InspectorPalette*> LBProcessState::standaloneInspectorPalettes()
{
    return standalonePalettes;
}

void LBProcessState::setStandaloneInspectorPalettes(const QList<InspectorPalette*>& palettes)
{
    standalonePalettes = palettes;
}

QList<InspectorPalette*> LBProcessState::allInspectorPalettes()
{
    makePalettesIfPending();
    QList<InspectorPalette*> all;
    if (currentInspectorPalette)
        all.append(currentInspectorPalette);
    all.append(standalonePalettes);
    return all;
}

InspectorPalette* LBProcessState::hiddenInspectorPalette()
{
    return hiddenPalette;
}

void LBProcessState::setHiddenInspectorPalette(InspectorPalette* palette)
{
    hiddenPalette = palette;
}

void LBProcessState::forgetInspectorPalette(const InspectorPalette* palette)
{
    if (currentInspectorPalette == palette)
        currentInspectorPalette = nullptr;
    if (hiddenPalette == palette)
        hiddenPalette = nullptr;
    standalonePalettes.removeAll(palette);
}

InspectorPalette::~InspectorPalette()
{
    LBProcessState::forgetInspectorPalette(this);
}

CurveStatusWindow* LBProcessState::curveStatusWindow()
{
    makePalettesIfPending();
    return currentCurveStatusWindow;
}

void LBProcessState::setCurveStatusWindow(CurveStatusWindow* window)
{
    currentCurveStatusWindow = window;
}

InPlaceTextEditing* LBProcessState::textEditing()
{
    return currentTextEditing;
}

void LBProcessState::setTextEditing(InPlaceTextEditing* editing)
{
    currentTextEditing = editing;
}

QString LBProcessState::temporaryFolderPath()
{
    return temporaryFolder;
}

void LBProcessState::setTemporaryFolderPath(const QString& path)
{
    temporaryFolder = path;
}

namespace {

QString withSeparator(const QString& path)
{
    return path.isEmpty() || path.endsWith(QLatin1Char('/')) ? path : path + QLatin1Char('/');
}

} // namespace

QString LBProcessState::applicationSupportPath()
{
    if (supportFolder.isEmpty()) {
        QString data = qEnvironmentVariable("XDG_DATA_HOME");
        if (data.isEmpty() || !QDir::isAbsolutePath(data))
            data = QDir::homePath() + QStringLiteral("/.local/share");
        return withSeparator(data) + QStringLiteral("Orvane/Veltrin/");
    }
    return supportFolder;
}

void LBProcessState::setApplicationSupportPath(const QString& path)
{
    supportFolder = withSeparator(path);
}

QString LBProcessState::designsFolderPath()
{
    return designsFolder.isEmpty() ? applicationSupportPath() + QStringLiteral("Designs/")
                                   : designsFolder;
}

void LBProcessState::setDesignsFolderPath(const QString& path)
{
    designsFolder = withSeparator(path);
}

qint64 LBProcessState::imageDisplayResolution()
{
    return displayResolution;
}

void LBProcessState::setImageDisplayResolution(qint64 dpi)
{
    displayResolution = dpi;
}

bool LBProcessState::useFullResolutionImages()
{
    return fullResolutionFlag;
}

void LBProcessState::setUseFullResolutionImages(bool full)
{
    fullResolutionFlag = full;
}

namespace {

QString countryCode;
QVariantList fieldsLists[4];
std::function<QVariantList(LBProcessState::FieldsList)> fieldsLoader;
bool fieldsListRead[4] = {};

} // namespace

QString LBProcessState::defaultCountryCode()
{
    return countryCode;
}

void LBProcessState::setDefaultCountryCode(const QString& code)
{
    countryCode = code;
}

QVariantList& LBProcessState::fieldsList(FieldsList list)
{
    const int index = static_cast<int>(list);
    if (fieldsLoader && !fieldsListRead[index]) {
        fieldsListRead[index] = true;
        fieldsLists[index] = fieldsLoader(list);
    }
    return fieldsLists[index];
}

void LBProcessState::setFieldsListLoader(std::function<QVariantList(FieldsList)> loader)
{
    fieldsLoader = std::move(loader);
    for (bool& read : fieldsListRead)
        read = false;
}
