// Speed of the old-style property-list text reader and writer on a document the size of
// a large design: a graphics list of pages of layers of graphic dictionaries. The reader
// is paired with a plain tokenizer over the same bytes (no values built), the floor any
// reader of the form stands on. The same document in the XML form is read too, paired with
// expat passing over it with handlers that do nothing.

#include "platform/core/PropertyList.h"
#include "platform/core/TextForms.h"
#include "platform/core/XmlParser.h"

#include <QByteArray>
#include <QRectF>
#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <benchmark/benchmark.h>

namespace {

QVariantMap graphic(int n)
{
    static const char* const names[] = {"Class",
                                        "Bounds",
                                        "FillColor",
                                        "StrokeColor",
                                        "Rotation",
                                        "Text",
                                        "Name",
                                        "Hidden",
                                        "Locked",
                                        "StrokeWidth",
                                        "Alpha",
                                        "ShadowInfo",
                                        "GroupBounds",
                                        "GroupMember",
                                        "GroupCount",
                                        "ImagePath",
                                        "ImageData",
                                        "Flipped",
                                        "ReflectionHeight",
                                        "ReflectionAlpha",
                                        "Modifier1",
                                        "Modifier2",
                                        "Mask",
                                        "CornerRadius",
                                        "DashPattern",
                                        "LineCap",
                                        "LineJoin",
                                        "ArrowStart",
                                        "ArrowEnd",
                                        "ArrowSize",
                                        "Font",
                                        "FontSize",
                                        "Alignment",
                                        "Kerning",
                                        "TextResizeMask",
                                        "TextHeight",
                                        "FieldName",
                                        "FieldType",
                                        "BarcodeType",
                                        "BarcodeData",
                                        "Filter",
                                        "FilterAmount",
                                        "Brightness",
                                        "Contrast",
                                        "Saturation",
                                        "Hue",
                                        "Exposure",
                                        "Sharpen",
                                        "Blur",
                                        "Crop",
                                        "Original Bounds",
                                        "Special Image Type",
                                        "Image Kind",
                                        "Scale",
                                        "Opacity",
                                        "Gradient",
                                        "GradientAngle",
                                        "GradientStart",
                                        "GradientEnd",
                                        "Tag"};
    QVariantMap map;
    int i = 0;
    for (const char* name : names) {
        const QString key = QString::fromLatin1(name);
        switch (i++ % 6) {
        case 0: map.insert(key, platform::stringFromRect(QRectF(10 + n, 20, 100, 50.5))); break;
        case 1:
            map.insert(key, QByteArray::fromHex("040b747970656473747265616d8103e88401"
                                                "40848484074e53436f6c6f7200848408"));
            break;
        case 2: map.insert(key, platform::format2f(n % 360)); break;
        case 3: map.insert(key, QString::number(n)); break;
        case 4: map.insert(key, QStringLiteral("LBTextArea")); break;
        default:
            map.insert(
                key,
                QString::fromUtf8("Caf\u00e9 \u201cMain Street\u201d %1, K\u00f8benhavn").arg(n));
            break;
        }
    }
    return map;
}

QVariantMap document(qsizetype targetBytes)
{
    // One graphic takes about 3.9 KB of text; 4 pages of 2 layers share them out.
    const int graphics = int(targetBytes / 3900);
    QVariantList pages;
    int n = 0;
    for (int page = 0; page < 4; ++page) {
        QVariantList layers;
        for (int layer = 0; layer < 2; ++layer) {
            QVariantList list;
            for (int i = 0; i < graphics / 8; ++i)
                list.append(graphic(n++));
            layers.append(QVariant(list));
        }
        pages.append(QVariant(layers));
    }
    return QVariantMap{{QStringLiteral("GraphicsList"), pages}};
}

const QVariantMap& sampleDocument()
{
    static const QVariantMap map = document(5 * 1024 * 1024);
    return map;
}

void BM_WriteText(benchmark::State& state)
{
    const QVariant value(sampleDocument());
    qsizetype bytes = 0;
    for (auto _ : state) {
        const QByteArray text = platform::PropertyList::toText(value);
        bytes = text.size();
        benchmark::DoNotOptimize(text.constData());
    }
    state.SetBytesProcessed(state.iterations() * bytes);
    state.counters["document_bytes"] = double(bytes);
}

void BM_ReadText(benchmark::State& state)
{
    const QByteArray text = platform::PropertyList::toText(QVariant(sampleDocument()));
    for (auto _ : state) {
        std::optional<QVariant> value = platform::PropertyList::fromText(text);
        if (!value) {
            state.SkipWithError("the document did not read");
            break;
        }
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(state.iterations() * text.size());
    state.counters["document_bytes"] = double(text.size());
}

// Splits the text into its tokens (strings bare or quoted, data blocks, punctuation),
// skipping white space and comments, and counts them.
qsizetype countTokens(const QByteArray& text)
{
    const char* p = text.constData();
    const char* const end = p + text.size();
    qsizetype tokens = 0;
    const auto bare = [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
               || c == '_' || c == '$' || c == '+' || c == '/' || c == ':' || c == '.' || c == '-';
    };
    while (p < end) {
        const char c = *p;
        if (c == ' ' || c == '\n' || c == '\t' || c == '\r') {
            ++p;
        } else if (c == '/' && p + 1 < end && p[1] == '/') {
            while (p < end && *p != '\n')
                ++p;
        } else if (c == '"') {
            for (++p; p < end && *p != '"'; ++p)
                p += *p == '\\';
            ++p;
            ++tokens;
        } else if (c == '<') {
            while (p < end && *p != '>')
                ++p;
            ++p;
            ++tokens;
        } else if (bare(c)) {
            while (p < end && bare(*p))
                ++p;
            ++tokens;
        } else {
            ++p;
            ++tokens;
        }
    }
    return tokens;
}

void BM_ReadText_Baseline(benchmark::State& state)
{
    const QByteArray text = platform::PropertyList::toText(QVariant(sampleDocument()));
    for (auto _ : state)
        benchmark::DoNotOptimize(countTokens(text));
    state.SetBytesProcessed(state.iterations() * text.size());
    state.counters["document_bytes"] = double(text.size());
}

void BM_ReadXml(benchmark::State& state)
{
    const QByteArray xml = platform::PropertyList::toXml(QVariant(sampleDocument()));
    for (auto _ : state) {
        std::optional<QVariant> value = platform::PropertyList::fromXml(xml);
        if (!value) {
            state.SkipWithError("the document did not read");
            break;
        }
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(state.iterations() * xml.size());
    state.counters["document_bytes"] = double(xml.size());
}

class IgnoringParser : public platform::XmlParser
{
    void startElement(QByteArrayView, const platform::XmlAttributes&) override {}
    void endElement(QByteArrayView) override {}
    void characters(QByteArrayView) override {}
};

void BM_ReadXml_Baseline(benchmark::State& state)
{
    const QByteArray xml = platform::PropertyList::toXml(QVariant(sampleDocument()));
    IgnoringParser parser;
    for (auto _ : state)
        benchmark::DoNotOptimize(parser.parse(xml));
    state.SetBytesProcessed(state.iterations() * xml.size());
    state.counters["document_bytes"] = double(xml.size());
}

} // namespace

BENCHMARK(BM_WriteText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadText_Baseline)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadXml)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ReadXml_Baseline)->Unit(benchmark::kMillisecond);
