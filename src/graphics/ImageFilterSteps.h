#pragma once

// Running image filters as steps of a picture's processing (the effects chain, the mask
// pictures): filters made by name and given their inputs at once, and the inputs' keys.
// Internal to the graphics folder.

#include "platform/imaging/FilterImage.h"

#include <QString>
#include <QTransform>
#include <QVariant>

#include <initializer_list>
#include <utility>

namespace platform {
class ImageFilter;
}

namespace filtersteps {

inline const QString kInputImage = QStringLiteral("inputImage");
inline const QString kInputBackgroundImage = QStringLiteral("inputBackgroundImage");
inline const QString kInputMaskImage = QStringLiteral("inputMaskImage");
inline const QString kInputTransform = QStringLiteral("inputTransform");
inline const QString kInputScale = QStringLiteral("inputScale");
inline const QString kInputAspectRatio = QStringLiteral("inputAspectRatio");
inline const QString kInputRadius = QStringLiteral("inputRadius");
inline const QString kInputColor = QStringLiteral("inputColor");
inline const QString kInputRectangle = QStringLiteral("inputRectangle");
inline const QString kInputCenter = QStringLiteral("inputCenter");
inline const QString kInputAngle = QStringLiteral("inputAngle");

inline QVariant imageValue(const platform::FilterImage& image)
{
    return QVariant::fromValue(image);
}

// The filter's output, or the null image when it fails, said in one log line naming the
// filter. The filter lets go of its pictures afterwards (a graphic keeps its filters
// between renderings, and pictures held there would stay in memory with them).
platform::FilterImage run(platform::ImageFilter& filter);

// The output of the filter of that name given these inputs; the null image when there is
// no such filter or it fails (logged as run() logs).
platform::FilterImage apply(const QString& name,
                            std::initializer_list<std::pair<QString, QVariant>> inputs);

// A step's output, or its input passed on when the step failed.
inline platform::FilterImage orInput(const platform::FilterImage& output,
                                     const platform::FilterImage& input)
{
    return output.isNull() ? input : output;
}

platform::FilterImage transformed(const platform::FilterImage& image, const QTransform& transform);
platform::FilterImage scaled(const platform::FilterImage& image, double scale, double aspectRatio);
platform::FilterImage blurred(const platform::FilterImage& image, double radius);

} // namespace filtersteps
