#include "platform/imaging/ImageFilter.h"

#include "platform/imaging/FilterKernels.h"
#include "platform/imaging/FilterRegistry.h"

#include <QColor>
#include <QDebug>
#include <QHash>

#include <cmath>

namespace platform {

namespace {

const QHash<QString, filters::Definition>& definitions()
{
    static const QHash<QString, filters::Definition> byName = [] {
        filters::Definitions all;
        filters::addColourFilters(all);
        filters::addBlurFilters(all);
        filters::addDistortionFilters(all);
        filters::addStylizeFilters(all);
        filters::addGeneratorFilters(all);
        filters::addGeometryFilters(all);
        filters::addCompositingFilters(all);
        QHash<QString, filters::Definition> table;
        for (const filters::Definition& definition : all)
            table.insert(definition.name, definition);
        return table;
    }();
    return byName;
}

ImageFilter::Factory& factory()
{
    static ImageFilter::Factory current;
    return current;
}

} // namespace

std::shared_ptr<ImageFilter> ImageFilter::filterWithName(const QString& name)
{
    if (factory())
        return factory()(name);
    const auto found = definitions().constFind(name);
    if (found == definitions().constEnd())
        return nullptr;
    return std::make_shared<ImageFilter>(found->name, found->inputs, found->kernel);
}

QStringList ImageFilter::filterNames()
{
    QStringList names = definitions().keys();
    names.sort();
    return names;
}

void ImageFilter::setFactory(Factory f)
{
    factory() = std::move(f);
}

void ImageFilter::setMaximumThreadCount(int count)
{
    kernels::setThreadCount(count);
}

int ImageFilter::maximumThreadCount()
{
    return kernels::threadCount();
}

void ImageFilter::forEachBand(int count, const std::function<void(int begin, int end)>& work)
{
    kernels::forEachBand(count, work);
}

ImageFilter::ImageFilter(QString name, QList<Input> inputs, Kernel kernel)
    : _name(std::move(name)), _inputs(std::move(inputs)), _kernel(kernel)
{
    setDefaults();
}

QStringList ImageFilter::inputKeys() const
{
    QStringList keys;
    for (const Input& input : _inputs)
        keys.append(input.key);
    return keys;
}

void ImageFilter::setDefaults()
{
    for (const Input& input : _inputs) {
        const bool holdsImage =
            _values.value(input.key).metaType() == QMetaType::fromType<FilterImage>();
        if (input.defaultValue.isValid() || !holdsImage)
            _values.insert(input.key, input.defaultValue);
    }
}

void ImageFilter::setValue(const QVariant& value, const QString& forKey)
{
    for (const Input& input : _inputs) {
        if (input.key == forKey) {
            _values.insert(forKey, value);
            return;
        }
    }
    qWarning().noquote() << QStringLiteral("%1 has no input \"%2\"").arg(_name, forKey);
}

FilterImage ImageFilter::outputImage() const
{
    _failed = false;
    if (!_kernel)
        return {};
    const FilterImage output = _kernel(*this);
    if (_failed || (!output.isInfinite() && output.extent().isEmpty()))
        return {};
    return output;
}

FilterImage ImageFilter::image(const QString& key, bool required) const
{
    const QVariant value = _values.value(key);
    if (value.metaType() == QMetaType::fromType<FilterImage>()) {
        const FilterImage image = value.value<FilterImage>();
        if (!image.isNull() || !required)
            return image;
    } else if (!required && !value.isValid()) {
        return {};
    }
    _failed = true;
    return {};
}

double ImageFilter::number(const QString& key) const
{
    const QVariant value = _values.value(key);
    bool ok = false;
    const double number = value.toDouble(&ok);
    if (!ok || !std::isfinite(number)) {
        _failed = true;
        return 0.0;
    }
    return number;
}

QPointF ImageFilter::point(const QString& key) const
{
    const QVariant value = _values.value(key);
    if (value.metaType() == QMetaType::fromType<QPointF>()
        || value.metaType() == QMetaType::fromType<QPoint>()) {
        const QPointF point = value.toPointF();
        if (std::isfinite(point.x()) && std::isfinite(point.y()))
            return point;
    }
    _failed = true;
    return {};
}

QColor ImageFilter::color(const QString& key) const
{
    const QVariant value = _values.value(key);
    if (value.metaType() == QMetaType::fromType<QColor>()) {
        const QColor color = value.value<QColor>();
        if (color.isValid())
            return color;
    }
    _failed = true;
    return {};
}

QTransform ImageFilter::transform(const QString& key) const
{
    const QVariant value = _values.value(key);
    if (value.metaType() == QMetaType::fromType<QTransform>())
        return value.value<QTransform>();
    _failed = true;
    return {};
}

QRectF ImageFilter::rect(const QString& key) const
{
    const QVariant value = _values.value(key);
    if (value.metaType() == QMetaType::fromType<QRectF>()
        || value.metaType() == QMetaType::fromType<QRect>())
        return value.toRectF();
    _failed = true;
    return {};
}

} // namespace platform
