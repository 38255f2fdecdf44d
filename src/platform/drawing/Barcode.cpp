#include "platform/drawing/Barcode.h"

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
