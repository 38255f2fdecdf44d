#pragma once

// Records the image filters the graphics run while it lives: each filter made by name does
// its real work and notes its name and inputs (pictures left out) when asked for output.

#include "platform/imaging/ImageFilter.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QVariantMap>

#include <memory>

class FilterRecorder
{
public:
    struct Run
    {
        QString name;
        QVariantMap inputs; // numbers, points, colours, rectangles and transforms
    };

    FilterRecorder()
    {
        // Real filters to copy, made before the factory is replaced.
        for (const QString& name : platform::ImageFilter::filterNames())
            _prototypes.insert(name, platform::ImageFilter::filterWithName(name));
        platform::ImageFilter::setFactory([this](const QString& name) {
            const auto prototype = _prototypes.value(name);
            return prototype ? std::make_shared<Recording>(*prototype, &runs) : nullptr;
        });
    }
    ~FilterRecorder() { platform::ImageFilter::setFactory({}); }
    FilterRecorder(const FilterRecorder&) = delete;
    FilterRecorder& operator=(const FilterRecorder&) = delete;

    // The runs of the filter of that name, in order.
    QList<Run> runsOf(const QString& name) const
    {
        QList<Run> found;
        for (const Run& run : runs) {
            if (run.name == name)
                found << run;
        }
        return found;
    }

    QList<Run> runs;

private:
    class Recording : public platform::ImageFilter
    {
    public:
        Recording(const platform::ImageFilter& real, QList<Run>* runs)
            : platform::ImageFilter(real), _runs(runs)
        {}
        platform::FilterImage outputImage() const override
        {
            Run run{name(), {}};
            for (const QString& key : inputKeys()) {
                const QVariant value = valueForKey(key);
                if (value.metaType() != QMetaType::fromType<platform::FilterImage>())
                    run.inputs.insert(key, value);
            }
            _runs->append(run);
            return platform::ImageFilter::outputImage();
        }

    private:
        QList<Run>* _runs;
    };

    QHash<QString, std::shared_ptr<platform::ImageFilter>> _prototypes;
};
