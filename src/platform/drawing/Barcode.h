#pragma once

// A barcode: a symbology and a text, encoded by the zint library into bars and
// human-readable text, given as a vector picture (an Image of the SVG kind, never a
// bitmap) so it prints sharp at any size. One module (the narrowest bar) is exactly
// moduleWidth() points. Which symbology a graphic asks for and what text it passes are
// its own rules; this class encodes what it is given and reports the library's verdict.

#include "platform/drawing/Image.h"

#include <QList>
#include <QRectF>
#include <QString>

#include <memory>

namespace platform {

class Barcode
{
public:
    // The symbologies labels use, with the library's numbers.
    enum class Symbology {
        Code39 = 8,
        ExtendedCode39 = 9,
        Code128 = 20,
        Interleaved2of5 = 3,
        Industrial2of5 = 7,
        UPCA = 34,
        UPCE = 37,
        EAN = 13, // EAN-13 or EAN-8 by the length of the text
        POSTNET = 40,
        MSIPlessey = 47,
        Plessey = 86, // hexadecimal digits
        Codabar = 18,
        RoyalMail = 70,
        PLANET = 82,
        JapanPost = 76,
    };

    // A barcode of the symbology, encoded from the text at once.
    static std::unique_ptr<Barcode> barcodeWithBarcodeID(Symbology symbology,
                                                         const QString& dataString);
    ~Barcode();
    Barcode(const Barcode&) = delete;
    Barcode& operator=(const Barcode&) = delete;

    // Encodes a new text.
    void setDataString(const QString& dataString);
    QString dataString() const { return _dataString; }
    Symbology symbology() const { return _symbology; }

    // The library's result for the last text: 0 encoded, 1 to 4 encoded with a warning,
    // 5 and above not encoded (the text was rejected, or the library failed).
    int errorCode() const { return _errorCode; }
    bool succeeded() const { return _errorCode < kFirstError && _picture; }
    // The library's reason for a warning or an error; empty when there is none.
    QString errorText() const { return _errorText; }

    // The picture of the last text, nullptr when it was not encoded. Its size in points:
    // the symbol's modules, quiet zones and text, a module being moduleWidth() points.
    ImagePtr barcodeImage() const { return _picture; }
    // The bars in the picture's points (y down), and the symbol's width in modules.
    const QList<QRectF>& bars() const { return _bars; }
    int modules() const { return _modules; }

    // One module in points: 1 for the linear codes; for the postal codes (POSTNET, PLANET,
    // Royal Mail, Japan Post), whose bars are as tall as their standards say, 72 / 44
    // (22 bars an inch).
    static qreal moduleWidth(Symbology symbology);

    static constexpr int kFirstError = 5;

private:
    explicit Barcode(Symbology symbology);

    Symbology _symbology;
    QString _dataString;
    int _errorCode = 0;
    QString _errorText;
    ImagePtr _picture;
    QList<QRectF> _bars;
    int _modules = 0;
};

} // namespace platform
