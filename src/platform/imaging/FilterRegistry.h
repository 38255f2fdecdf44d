#pragma once

// The filters each kernel file defines, gathered by ImageFilter::filterWithName().
// Internal to the imaging folder.

#include "platform/imaging/ImageFilter.h"

#include <QList>

namespace platform::filters {

// Input keys many filters share.
inline const QString kInputImage = QStringLiteral("inputImage");
inline const QString kInputBackgroundImage = QStringLiteral("inputBackgroundImage");
inline const QString kInputCenter = QStringLiteral("inputCenter");
inline const QString kInputRadius = QStringLiteral("inputRadius");
inline const QString kInputAngle = QStringLiteral("inputAngle");
inline const QString kInputScale = QStringLiteral("inputScale");
inline const QString kInputWidth = QStringLiteral("inputWidth");
inline const QString kInputIntensity = QStringLiteral("inputIntensity");
inline const QString kInputSharpness = QStringLiteral("inputSharpness");
inline const QString kInputColor = QStringLiteral("inputColor");

struct Definition
{
    QString name;
    QList<ImageFilter::Input> inputs;
    ImageFilter::Kernel kernel;
};
using Definitions = QList<Definition>;

void addColourFilters(Definitions& definitions);
void addBlurFilters(Definitions& definitions);
void addDistortionFilters(Definitions& definitions);
void addStylizeFilters(Definitions& definitions);
void addGeneratorFilters(Definitions& definitions);
void addGeometryFilters(Definitions& definitions);
void addCompositingFilters(Definitions& definitions);

} // namespace platform::filters

namespace platform::kernels {
int threadCount();
void setThreadCount(int count);
} // namespace platform::kernels
