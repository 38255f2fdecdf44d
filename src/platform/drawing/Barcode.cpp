#include "platform/drawing/Barcode.h"

#include <QFont>
#include <QGuiApplication>
#include <QHash>
#include <QPainterPath>
#include <QRawFont>

#include <zint.h>

#include <memory>

namespace platform {

namespace {

// The library draws two vector units a module at scale 1.
constexpr qreal kUnitsPerModule = 2.0;

bool isPostal(Barcode::Symbology symbology)
{
    switch (symbology) {
    case Barcode::Symbology::POSTNET:
    case Barcode::Symbology::PLANET:
    case Barcode::Symbology::RoyalMail:
    case Barcode::Symbology::JapanPost: return true;
    default: return false;
    }
}

QString number(qreal value)
{
    return QString::number(value, 'g', 12);
}

// A coordinate of a caption's outline: a hundredth of a point is finer than any output.
QString shortNumber(qreal value)
{
    return QString::number(value, 'f', 2);
}

// The caption's outline as SVG path data: the glyphs of the font the caption names, at its
// size in the picture's points, placed by its anchor (1 start, 2 end, else middle) on the
// baseline. Drawn as a shape, a caption costs what its bars cost: through the SVG
// renderer, text into a PDF costs many times more, a label at a time. Empty without a
// font (no GUI application).
QString captionOutline(const QString& text, qreal x, qreal y, qreal size, int anchor)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return QString();
    static const QRawFont face = [] {
        QFont font(QStringLiteral("Helvetica"));
        font.setStyleHint(QFont::SansSerif);
        return QRawFont::fromFont(font);
    }();
    if (!face.isValid())
        return QString();
    // Captions are digits and capitals at a few sizes: each glyph's outline and advance is
    // made once.
    struct Glyph
    {
        QPainterPath outline;
        qreal advance = 0;
    };
    static QHash<QPair<char16_t, qreal>, Glyph> glyphs;
    QRawFont raw;
    qreal width = 0;
    QList<Glyph> laid;
    for (const QChar ch : text) {
        const QPair<char16_t, qreal> key(ch.unicode(), size);
        auto it = glyphs.find(key);
        if (it == glyphs.end()) {
            if (!raw.isValid()) {
                raw = face;
                raw.setPixelSize(size);
            }
            const QList<quint32> index = raw.glyphIndexesForString(QString(ch));
            Glyph glyph;
            if (!index.isEmpty()) {
                glyph.outline = raw.pathForGlyph(index.first());
                glyph.advance = raw.advancesForGlyphIndexes(index).value(0).x();
            }
            if (glyphs.size() > 4096)
                glyphs.clear();
            it = glyphs.insert(key, glyph);
        }
        laid.append(*it);
        width += it->advance;
    }
    qreal pen = anchor == 1 ? x : anchor == 2 ? x - width : x - width / 2.0;
    QPainterPath path;
    for (const Glyph& glyph : laid) {
        path.addPath(glyph.outline.translated(pen, y));
        pen += glyph.advance;
    }
    QString d;
    for (int i = 0; i < path.elementCount(); ++i) {
        const QPainterPath::Element e = path.elementAt(i);
        if (e.isMoveTo()) {
            d += QStringLiteral("M%1 %2").arg(shortNumber(e.x), shortNumber(e.y));
        } else if (e.isLineTo()) {
            d += QStringLiteral("L%1 %2").arg(shortNumber(e.x), shortNumber(e.y));
        } else if (e.isCurveTo() && i + 2 < path.elementCount()) {
            const QPainterPath::Element c2 = path.elementAt(i + 1);
            const QPainterPath::Element end = path.elementAt(i + 2);
            d += QStringLiteral("C%1 %2 %3 %4 %5 %6")
                     .arg(shortNumber(e.x), shortNumber(e.y), shortNumber(c2.x), shortNumber(c2.y),
                          shortNumber(end.x), shortNumber(end.y));
            i += 2;
        }
    }
    return d;
}

struct SymbolDeleter
{
    void operator()(zint_symbol* symbol) const { ZBarcode_Delete(symbol); }
};

} // namespace

qreal Barcode::moduleWidth(Symbology symbology)
{
    return isPostal(symbology) ? 72.0 / 44.0 : 1.0;
}

Barcode::Barcode(Symbology symbology) : _symbology(symbology)
{}

Barcode::~Barcode() = default;

std::unique_ptr<Barcode> Barcode::barcodeWithBarcodeID(Symbology symbology,
                                                       const QString& dataString)
{
    std::unique_ptr<Barcode> barcode(new Barcode(symbology));
    barcode->setDataString(dataString);
    return barcode;
}

void Barcode::setDataString(const QString& dataString)
{
    _dataString = dataString;
    _picture.reset();
    _bars.clear();
    _modules = 0;
    _errorText.clear();

    const std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol) {
        _errorCode = ZINT_ERROR_MEMORY;
        _errorText = QStringLiteral("The barcode library could not start.");
        return;
    }
    symbol->symbology = int(_symbology);
    symbol->input_mode = UNICODE_MODE;
    symbol->scale = 1.0f;
    if (isPostal(_symbology))
        symbol->output_options |= COMPLIANT_HEIGHT;
    const QByteArray text = dataString.toUtf8();
    _errorCode = ZBarcode_Encode(
        symbol.get(), reinterpret_cast<const unsigned char*>(text.constData()), int(text.size()));
    if (_errorCode < kFirstError) {
        const int drawn = ZBarcode_Buffer_Vector(symbol.get(), 0);
        if (drawn >= kFirstError || drawn > _errorCode)
            _errorCode = drawn;
    }
    _errorText = QString::fromUtf8(symbol->errtxt);
    if (_errorCode >= kFirstError || !symbol->vector) {
        if (_errorText.isEmpty())
            _errorText = QStringLiteral("The text cannot be encoded.");
        return;
    }

    // The library's vector units, turned into points, as SVG the picture draws from.
    const qreal k = moduleWidth(_symbology) / kUnitsPerModule;
    const zint_vector& vector = *symbol->vector;
    const qreal width = vector.width * k;
    const qreal height = vector.height * k;
    QString svg =
        QStringLiteral(
            R"(<svg xmlns="http://www.w3.org/2000/svg" width="%1" height="%2" viewBox="0 0 %1 %2">)")
            .arg(number(width), number(height));
    svg += QStringLiteral(R"(<g fill="#000000">)");
    for (const zint_vector_rect* r = vector.rectangles; r; r = r->next) {
        const QRectF bar(r->x * k, r->y * k, r->width * k, r->height * k);
        _bars.append(bar);
        svg +=
            QStringLiteral(R"(<rect x="%1" y="%2" width="%3" height="%4"/>)")
                .arg(number(bar.x()), number(bar.y()), number(bar.width()), number(bar.height()));
    }
    for (const zint_vector_string* s = vector.strings; s; s = s->next) {
        const QString caption = QString::fromUtf8(reinterpret_cast<const char*>(s->text));
        const QString outline =
            captionOutline(caption, s->x * k, s->y * k, s->fsize * k, s->halign);
        if (!outline.isEmpty()) {
            svg += QStringLiteral(R"(<path d="%1"/>)").arg(outline);
            continue;
        }
        const char* anchor = s->halign == 1 ? "start" : s->halign == 2 ? "end" : "middle";
        svg +=
            QStringLiteral(
                R"(<text x="%1" y="%2" font-family="Helvetica" font-size="%3" text-anchor="%4">%5</text>)")
                .arg(number(s->x * k), number(s->y * k), number(s->fsize * k),
                     QString::fromLatin1(anchor),
                     QString::fromUtf8(reinterpret_cast<const char*>(s->text)).toHtmlEscaped());
    }
    svg += QStringLiteral("</g></svg>");
    _modules = symbol->width;
    _picture = Image::withSVGData(svg.toUtf8());
    if (!_picture) {
        _errorCode = ZINT_ERROR_ENCODING_PROBLEM;
        _errorText = QStringLiteral("The barcode's picture could not be made.");
        _bars.clear();
    }
}

} // namespace platform
