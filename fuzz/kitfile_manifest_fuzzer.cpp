// Fuzzes the kit manifest reader: any bytes as "contents.xml", read into a kit file
// without a package. A manifest that reads must write out and read back to the same
// manifest once the reader has normalised it (numbers from text, colours to their form).

#include "kitfile/iCorbeilFile.h"
#include "platform/core/PropertyList.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

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

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    iCorbeilFile kit;
    if (!kit.readContents(QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                  qsizetype(size))))
        return 0;
    const QByteArray written = manifestOf(kit);
    iCorbeilFile again;
    if (!again.readContents(written) || manifestOf(again) != written)
        std::abort();
    return 0;
}
