// Speed of placed vector art and barcodes: a PDF page of 2,000 paths drawn at 1000 × 1000
// pixels on screen, repeatedly (from the bitmap kept for that size; goal 2 ms), the same
// drawn as vector (print and export), and encoding a barcode of each symbology with its
// picture (goal 0.3 ms; a sheet encodes one a label).

#include "platform/drawing/Barcode.h"
#include "platform/drawing/GraphicsContext.h"
#include "platform/drawing/Image.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPainterPath>
#include <QPdfWriter>
#include <QRandomGenerator>

#include <benchmark/benchmark.h>

using platform::Barcode;
using platform::GraphicsContext;
using platform::Image;

namespace {

platform::ImagePtr busyPdf()
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setPageSize(
            QPageSize(QSizeF(500, 500), QPageSize::Point, QString(), QPageSize::ExactMatch));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        painter.setRenderHint(QPainter::Antialiasing);
        QRandomGenerator random(3);
        for (int i = 0; i < 2000; ++i) {
            QPainterPath path;
            const QPointF at(random.bounded(480.0), random.bounded(480.0));
            path.moveTo(at);
            path.cubicTo(at + QPointF(random.bounded(40.0), -20),
                         at + QPointF(-10, random.bounded(40.0)),
                         at + QPointF(random.bounded(30.0), random.bounded(30.0)));
            path.closeSubpath();
            painter.setPen(QPen(QColor::fromHsv(random.bounded(360), 200, 150), 1.5));
            painter.setBrush(QColor::fromHsv(random.bounded(360), 120, 230, 200));
            painter.drawPath(path);
        }
    }
    return Image::fromData(bytes);
}

void drawPdf(benchmark::State& state, bool onScreen)
{
    const platform::ImagePtr pdf = busyPdf();
    QImage target(1000, 1000, QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&target);
    GraphicsContext context(&painter, onScreen);
    GraphicsContext::Scope scope(context);
    pdf->drawInRect(QRectF(0, 0, 1000, 1000)); // the first drawing makes what is kept
    for (auto _ : state) {
        target.fill(Qt::white);
        pdf->drawInRect(QRectF(0, 0, 1000, 1000));
    }
}

void PdfOnScreenRepeated(benchmark::State& state)
{
    drawPdf(state, true);
}
void PdfAsVector(benchmark::State& state)
{
    drawPdf(state, false);
}

void EncodeBarcodes(benchmark::State& state)
{
    const std::pair<Barcode::Symbology, const char*> codes[] = {
        {Barcode::Symbology::Code39, "666205110038"},
        {Barcode::Symbology::Code128, "ABC123"},
        {Barcode::Symbology::ExtendedCode39, "ABC123"},
        {Barcode::Symbology::Interleaved2of5, "12345"},
        {Barcode::Symbology::Industrial2of5, "12345"},
        {Barcode::Symbology::UPCA, "12345678901"},
        {Barcode::Symbology::UPCE, "0123456"},
        {Barcode::Symbology::EAN, "123456789012"},
        {Barcode::Symbology::POSTNET, "12345"},
        {Barcode::Symbology::MSIPlessey, "12345"},
        {Barcode::Symbology::Plessey, "12345"},
        {Barcode::Symbology::Codabar, "A12345A"},
        {Barcode::Symbology::RoyalMail, "ABC123"},
        {Barcode::Symbology::PLANET, "12345678901"},
        {Barcode::Symbology::JapanPost, "1234567"}};
    const auto& [symbology, text] = codes[state.range(0)];
    for (auto _ : state) {
        const auto barcode = Barcode::barcodeWithBarcodeID(symbology, QString::fromLatin1(text));
        benchmark::DoNotOptimize(barcode->barcodeImage().get());
    }
}

} // namespace

BENCHMARK(PdfOnScreenRepeated)->Unit(benchmark::kMillisecond);
BENCHMARK(PdfAsVector)->Unit(benchmark::kMillisecond);
BENCHMARK(EncodeBarcodes)->DenseRange(0, 14)->Unit(benchmark::kMicrosecond);
