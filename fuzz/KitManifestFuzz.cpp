// The kit manifest reader: any bytes as "contents.xml", read into a kit file without a
// package. A manifest that reads must write out and read back to the same manifest once
// the reader has normalised it (numbers from text, colours to their form). Its seeds are
// the manifests in corpus/KitManifest.

#include "FuzzTarget.h"

#include "kitfile/iCorbeilFile.h"
#include "platform/core/PropertyList.h"

namespace fuzz {

namespace {

QByteArray manifestOf(const iCorbeilFile& kit)
{
    QVariantMap contents = kit.info()->props();
    QVariantList objects;
    for (const auto& object : kit.objects()) {
        objects.append(object->properties());
        // The derived texts the kit browser shows.
        object->typeAsString();
        object->orientationAsString();
        iCorbeilImage::colorNameForColor(object->primaryColor());
    }
    contents.insert(VQObjects, objects);
    return platform::PropertyList::toXml(contents);
}

} // namespace

QList<QByteArray> seeds()
{
    return {};
}

void fuzzOne(const QByteArray& data)
{
    iCorbeilFile kit;
    if (!kit.readContents(data))
        return;
    const QByteArray written = manifestOf(kit);
    iCorbeilFile again;
    FUZZ_PROMISE(again.readContents(written), describe(written));
    FUZZ_PROMISE(manifestOf(again) == written, describe(written));
}

} // namespace fuzz
