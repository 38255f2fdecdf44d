#include "graphics/ImageFilterSteps.h"

#include "platform/imaging/ImageFilter.h"

#include <QDebug>

using platform::FilterImage;

namespace filtersteps {

FilterImage run(platform::ImageFilter& filter)
{
    const FilterImage output = filter.outputImage();
    for (const QString& key : {kInputImage, kInputBackgroundImage, kInputMaskImage}) {
        if (filter.valueForKey(key).isValid())
            filter.setValue(QVariant(), key);
    }
    if (output.isNull())
        qWarning().noquote() << QStringLiteral("Image filter \"%1\" failed").arg(filter.name());
    return output;
}

FilterImage apply(const QString& name, std::initializer_list<std::pair<QString, QVariant>> inputs)
{
    const std::shared_ptr<platform::ImageFilter> filter =
        platform::ImageFilter::filterWithName(name);
    if (!filter) {
        qWarning().noquote() << QStringLiteral("No image filter is named \"%1\"").arg(name);
        return {};
    }
    for (const auto& [key, value] : inputs)
        filter->setValue(value, key);
    return run(*filter);
}

FilterImage transformed(const FilterImage& image, const QTransform& transform)
{
    return apply(QStringLiteral("CIAffineTransform"),
                 {{kInputImage, imageValue(image)}, {kInputTransform, transform}});
}

FilterImage scaled(const FilterImage& image, double scale, double aspectRatio)
{
    return apply(
        QStringLiteral("CILanczosScaleTransform"),
        {{kInputImage, imageValue(image)}, {kInputScale, scale}, {kInputAspectRatio, aspectRatio}});
}

FilterImage blurred(const FilterImage& image, double radius)
{
    return apply(QStringLiteral("CIGaussianBlur"),
                 {{kInputImage, imageValue(image)}, {kInputRadius, radius}});
}

} // namespace filtersteps
