// Vector pictures: PDF drawn through poppler's QPainter backend, so it stays vector in
// printed and exported output, each PDF from outside read first by a child process with a
// time limit (PDFReading.h); EPS converted to PDF by the `gs` command (never interpreted in
// this process: PostScript is a program, and the data comes from outside), each distinct
// EPS once while its result is cached; SVG text drawn by Qt's renderer.

#include "platform/drawing/Image.h"

#include "platform/drawing/BoundedCache.h"
#include "platform/drawing/PDFReading.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDebug>
#include <QFile>
#include <QHash>
#include <QMutex>
#include <QPicture>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QtEndian>

#include <poppler-qt6.h>

#include <atomic>
#include <cmath>
#include <cstdio>
#include <mutex>
#include <optional>

namespace platform {

// The first page of a PDF document, the bitmap it was last drawn from on screen, and its
// drawing as poppler makes it through a painter. Poppler sets the painter's transform to
// its own, so the drawing is recorded once and replayed under the caller's transform
// (a replayed picture's transforms are relative to the painter's).
class PDFPicture
{
public:
    std::unique_ptr<Poppler::Document> document;
    std::unique_ptr<Poppler::Page> page;
    QByteArray bytes; // the PDF document
    QSizeF size;      // points
    QImage screenBitmap;
    std::optional<QPicture> drawing;
};

namespace {

constexpr int kConversionTimeLimit = 30000; // ms
// A screen bitmap larger than this is not kept: the page is drawn as vector instead.
constexpr qint64 kLargestScreenBitmap = 64ll * 1024 * 1024;

void setError(QString* error, const QString& message)
{
    if (error)
        *error = message;
}

// The first page of PDF data, or a reason it cannot be had, read in this process.
std::shared_ptr<PDFPicture> readPDFHere(const QByteArray& data, QString* reason)
{
    // Poppler reports each fault it meets on the standard error stream, one line each and
    // thousands for a damaged file, which costs more than the reading; the reason given
    // here is what the user hears.
    static std::once_flag quiet;
    std::call_once(quiet, [] {
        Poppler::setDebugErrorFunction([](const QString&, const QVariant&) {}, QVariant());
    });
    auto picture = std::make_shared<PDFPicture>();
    picture->bytes = data;
    picture->document = Poppler::Document::loadFromData(data);
    if (!picture->document) {
        *reason = QStringLiteral("The PDF picture is damaged and cannot be read.");
        return nullptr;
    }
    if (picture->document->isLocked()) {
        *reason = QStringLiteral("The PDF picture is protected by a password and cannot be drawn.");
        return nullptr;
    }
    if (picture->document->numPages() < 1 || !(picture->page = picture->document->page(0))) {
        *reason = QStringLiteral("The PDF picture has no page to draw.");
        return nullptr;
    }
    picture->size = picture->page->pageSizeF();
    if (!(picture->size.width() > 0.0) || !(picture->size.height() > 0.0)) {
        *reason = QStringLiteral("The PDF picture's page has no size.");
        return nullptr;
    }
    picture->document->setRenderHint(Poppler::Document::Antialiasing);
    picture->document->setRenderHint(Poppler::Document::TextAntialiasing);
    picture->document->setRenderHint(Poppler::Document::IgnorePaperColor);
    return picture;
}

constexpr char kPDFReadingArgument[] = "--read-pdf-picture";
// What the child says on its standard output: when it starts to read, and before its
// verdict (empty when it read the PDF).
constexpr QByteArrayView kReadingStarted = "reading\n";
constexpr QByteArrayView kReadingDone = "read\n";
// How long reading may take once the child has started to read, in milliseconds.
std::atomic<int> pdfReadingTimeLimit = 5000;
// Set once main() has offered the program as the child.
std::atomic<bool> childReadsPDF = false;

// What a child of the program found reading the data: empty when it read, the reason
// otherwise; nothing when no child could be had, and the data is then read here.
std::optional<QString> childVerdict(const QByteArray& data)
{
    if (!childReadsPDF || !QCoreApplication::instance())
        return std::nullopt;
    // The verdicts of the data already read, by its hash, kept as the EPS conversions are.
    static QMutex guard;
    static BoundedCache<QString> verdicts(
        1024 * 1024, 10 * 60 * 1000, [](const QString& v) { return qint64(v.size() * 2) + 64; });
    const QByteArray key = QCryptographicHash::hash(data, QCryptographicHash::Sha256);
    QMutexLocker locked(&guard);
    if (std::optional<QString> found = verdicts.find(key))
        return found;

    QProcess child;
    child.setStandardErrorFile(QProcess::nullDevice());
    child.start(QCoreApplication::applicationFilePath(),
                {QString::fromLatin1(kPDFReadingArgument)});
    if (!child.waitForStarted())
        return std::nullopt;
    child.write(data);
    child.closeWriteChannel();
    // The time limit counts from the child's start of reading, not from the program's
    // loading before it, which a busy machine may make slow.
    QByteArray said;
    const QDeadlineTimer startLimit(30000);
    while (!said.startsWith(kReadingStarted) && child.waitForReadyRead(startLimit.remainingTime()))
        said += child.readAllStandardOutput();
    if (!said.startsWith(kReadingStarted)) {
        child.kill();
        child.waitForFinished();
        return std::nullopt;
    }
    const int limit = pdfReadingTimeLimit;
    QString verdict;
    if (child.state() != QProcess::NotRunning && !child.waitForFinished(limit)) {
        child.kill();
        child.waitForFinished();
        verdict = QStringLiteral("The PDF picture is damaged: reading it took longer than %1 "
                                 "seconds.")
                      .arg(limit / 1000.0);
    } else {
        said += child.readAllStandardOutput();
        const qsizetype done = said.indexOf(kReadingDone, kReadingStarted.size());
        // A child that ended without its answer met data that made poppler fail.
        verdict = done < 0 ? QStringLiteral("The PDF picture is damaged and cannot be read.")
                           : QString::fromUtf8(said.mid(done + kReadingDone.size()));
    }
    verdicts.insert(key, verdict);
    return verdict;
}

// Which PDF data is read by a child first: all from outside, but not the conversions of
// EPS pictures, which `gs` wrote.
enum class PDFSource { Outside, Conversion };

std::shared_ptr<PDFPicture> readPDF(const QByteArray& data, QString* reason, PDFSource source)
{
    if (source == PDFSource::Outside) {
        if (const std::optional<QString> verdict = childVerdict(data);
            verdict && !verdict->isEmpty()) {
            *reason = *verdict;
            return nullptr;
        }
    }
    return readPDFHere(data, reason);
}

// The PostScript of EPS data: all of a plain EPS, the PostScript section of one with a
// DOS binary header (which also holds a preview in TIFF or WMF). Empty when the header
// points outside the data.
QByteArray postScriptSection(const QByteArray& data)
{
    if (!data.startsWith("\xc5\xd0\xd3\xc6"))
        return data;
    if (data.size() < 30)
        return {};
    const quint32 offset = qFromLittleEndian<quint32>(data.constData() + 4);
    const quint32 length = qFromLittleEndian<quint32>(data.constData() + 8);
    if (offset < 30 || length == 0 || quint64(offset) + length > quint64(data.size()))
        return {};
    return data.mid(qsizetype(offset), qsizetype(length));
}

// The size "%%BoundingBox: llx lly urx ury" states, in points (the last one when the
// first says "(atend)"); empty when there is none.
QSizeF boundingBoxSize(const QByteArray& postScript)
{
    static const QRegularExpression box(
        QStringLiteral(
            R"(^%%BoundingBox:[ \t]*(-?[0-9.]+)[ \t]+(-?[0-9.]+)[ \t]+(-?[0-9.]+)[ \t]+(-?[0-9.]+))"),
        QRegularExpression::MultilineOption);
    // The comments are at the start (or, with "(atend)", the end): look at both ends only.
    const QString text =
        QString::fromLatin1(postScript.left(64 * 1024) + '\n' + postScript.right(64 * 1024));
    auto matches = box.globalMatch(text);
    while (matches.hasNext()) {
        const QRegularExpressionMatch m = matches.next();
        const double w = m.captured(3).toDouble() - m.captured(1).toDouble();
        const double h = m.captured(4).toDouble() - m.captured(2).toDouble();
        if (w > 0.0 && h > 0.0)
            return {w, h};
    }
    return {};
}

struct Conversion
{
    QByteArray pdf;
    QString error;
};

// EPS → PDF through `gs` in a temporary folder, with a time limit.
Conversion convertWithGhostscript(const QByteArray& postScript)
{
    const QString gs = QStandardPaths::findExecutable(QStringLiteral("gs"));
    if (gs.isEmpty())
        return {{},
                QStringLiteral("The EPS picture cannot be drawn: the \"gs\" command "
                               "(Ghostscript) is not installed.")};
    QTemporaryDir folder;
    QFile input(folder.filePath(QStringLiteral("in.eps")));
    if (!folder.isValid() || !input.open(QIODevice::WriteOnly)
        || input.write(postScript) != postScript.size())
        return {
            {},
            QStringLiteral("The EPS picture cannot be drawn: no temporary file could be written.")};
    input.close();

    QProcess process;
    process.setWorkingDirectory(folder.path());
    process.start(gs, {QStringLiteral("-dSAFER"), QStringLiteral("-dBATCH"),
                       QStringLiteral("-dNOPAUSE"), QStringLiteral("-dQUIET"),
                       QStringLiteral("-dEPSCrop"), QStringLiteral("-sDEVICE=pdfwrite"),
                       QStringLiteral("-sOutputFile=out.pdf"), QStringLiteral("in.eps")});
    if (!process.waitForStarted())
        return {{},
                QStringLiteral("The EPS picture cannot be drawn: \"gs\" could not be started.")};
    if (!process.waitForFinished(kConversionTimeLimit)) {
        process.kill();
        process.waitForFinished();
        return {
            {},
            QStringLiteral("The EPS picture cannot be drawn: \"gs\" took longer than %1 seconds.")
                .arg(kConversionTimeLimit / 1000)};
    }
    QFile output(folder.filePath(QStringLiteral("out.pdf")));
    QByteArray pdf;
    if (process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0
        && output.open(QIODevice::ReadOnly))
        pdf = output.readAll();
    if (pdf.isEmpty()) {
        // gs names the PostScript error on its output streams.
        const QString said =
            QString::fromLocal8Bit(process.readAllStandardError() + process.readAllStandardOutput())
                .simplified()
                .left(200);
        return {
            {},
            QStringLiteral("The EPS picture cannot be drawn: \"gs\" rejected it%1")
                .arg(said.isEmpty() ? QStringLiteral(".") : QStringLiteral(" (%1).").arg(said))};
    }
    return {pdf, {}};
}

// A distinct EPS is converted once while its result stays in the cache, failures included;
// the cache keeps at most 64 MB of converted documents, none unused for more than ten
// minutes, so a long session placing many pictures does not keep them all.
Conversion convertedEPS(const QByteArray& postScript)
{
    static BoundedCache<Conversion> conversions(
        64 * 1024 * 1024, 10 * 60 * 1000, [](const Conversion& conversion) {
            return qint64(conversion.pdf.size() + conversion.error.size() * 2) + 64;
        });
    const QByteArray key = QCryptographicHash::hash(postScript, QCryptographicHash::Sha256);
    if (std::optional<Conversion> found = conversions.find(key))
        return *found;
    Conversion conversion = convertWithGhostscript(postScript);
    conversions.insert(key, conversion);
    return conversion;
}

} // namespace

ImagePtr Image::fromVectorData(const QByteArray& data, QString* error)
{
    auto image = std::make_shared<Image>(Key{});
    image->_sourceData = data;
    QString reason;
    if (data.startsWith("%PDF-")) {
        image->_kind = RepresentationKind::PDF;
        image->_pdf = readPDF(data, &reason, PDFSource::Outside);
    } else {
        image->_kind = RepresentationKind::EPS;
        const QByteArray postScript = postScriptSection(data);
        if (postScript.isEmpty()) {
            reason = QStringLiteral("The EPS picture's binary header is damaged.");
        } else {
            image->_size = boundingBoxSize(postScript);
            const Conversion conversion = convertedEPS(postScript);
            reason = conversion.error;
            if (reason.isEmpty()) {
                image->_pdf = readPDF(conversion.pdf, &reason, PDFSource::Conversion);
                if (!image->_pdf)
                    reason = QStringLiteral("The EPS picture cannot be drawn: %1").arg(reason);
            }
        }
    }
    if (image->_pdf)
        image->_size = image->_pdf->size;
    image->_loadError = reason;
    if (!reason.isEmpty()) {
        qWarning().noquote() << reason;
        setError(error, reason);
    }
    return image;
}

std::optional<int> servePDFReadingIfAsked(int argc, char** argv)
{
    if (argc < 2 || qstrcmp(argv[1], kPDFReadingArgument) != 0) {
        childReadsPDF = true;
        return std::nullopt;
    }
    std::fwrite(kReadingStarted.data(), 1, size_t(kReadingStarted.size()), stdout);
    std::fflush(stdout);
    QFile input;
    if (!input.open(stdin, QIODevice::ReadOnly))
        return 1;
    const QByteArray data = input.readAll();
    QString reason;
    readPDFHere(data, &reason);
    std::fwrite(kReadingDone.data(), 1, size_t(kReadingDone.size()), stdout);
    std::fputs(reason.toUtf8().constData(), stdout);
    std::fflush(stdout);
    return 0;
}

void setPDFReadingTimeLimit(int milliseconds)
{
    pdfReadingTimeLimit = milliseconds;
}

QByteArray Image::pdfData() const
{
    return _pdf ? _pdf->bytes : QByteArray();
}

ImagePtr Image::withSVGData(const QByteArray& data, QString* error)
{
    auto renderer = std::make_shared<QSvgRenderer>(data);
    if (!renderer->isValid() || renderer->viewBoxF().isEmpty()) {
        setError(error, QStringLiteral("The SVG picture cannot be read."));
        return nullptr;
    }
    auto image = std::make_shared<Image>(Key{});
    image->_kind = RepresentationKind::SVG;
    image->_size = renderer->viewBoxF().size();
    image->_vector = std::move(renderer);
    image->_sourceData = data;
    return image;
}

ImagePtr Image::copy() const
{
    auto image = std::make_shared<Image>(Key{});
    image->_kind = _kind;
    image->_size = _size;
    image->_bitmap = _bitmap;
    image->_sourceData = _sourceData;
    image->_dataRetained = _dataRetained;
    image->_vector = _vector;
    image->_pdf = _pdf;
    image->_loadError = _loadError;
    return image;
}

void Image::drawPDFInRect(QPainter& painter, bool onScreen, const QRectF& rect,
                          const QRectF& fromRect) const
{
    const QSizeF page = _pdf->size;
    const QRectF part = fromRect.isEmpty() ? QRectF(QPointF(0, 0), _size) : fromRect;
    if (part.isEmpty() || _size.isEmpty())
        return;
    // The whole page placed so that `part` of the picture lands on rect.
    const qreal sx = rect.width() / part.width() * _size.width() / page.width();
    const qreal sy = rect.height() / part.height() * _size.height() / page.height();
    const QRectF whole(rect.x() - part.x() * rect.width() / part.width(),
                       rect.y() - part.y() * rect.height() / part.height(), page.width() * sx,
                       page.height() * sy);
    painter.save();
    if (!fromRect.isEmpty())
        painter.setClipRect(rect, Qt::IntersectClip);

    if (onScreen) {
        // The page at the pixel size it covers on the device.
        const QTransform device = painter.deviceTransform();
        const QSize pixels(qRound(whole.width() * std::hypot(device.m11(), device.m12())),
                           qRound(whole.height() * std::hypot(device.m21(), device.m22())));
        if (!pixels.isEmpty() && qint64(pixels.width()) * pixels.height() <= kLargestScreenBitmap) {
            if (_pdf->screenBitmap.size() != pixels) {
                _pdf->document->setRenderBackend(Poppler::Document::SplashBackend);
                _pdf->screenBitmap = _pdf->page
                                         ->renderToImage(72.0 * pixels.width() / page.width(),
                                                         72.0 * pixels.height() / page.height())
                                         .convertToFormat(QImage::Format_ARGB32_Premultiplied);
            }
            if (!_pdf->screenBitmap.isNull()) {
                painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
                painter.drawImage(whole, _pdf->screenBitmap);
                painter.restore();
                return;
            }
        }
    }
    // Vector: poppler's drawing in points of the page, replayed, kept to the page.
    if (!_pdf->drawing) {
        _pdf->drawing.emplace();
        QPainter recorder(&*_pdf->drawing);
        _pdf->document->setRenderBackend(Poppler::Document::QPainterBackend);
        _pdf->page->renderToPainter(&recorder, 72.0, 72.0);
    }
    painter.translate(whole.topLeft());
    painter.scale(sx, sy);
    painter.setClipRect(QRectF(QPointF(0, 0), page), Qt::IntersectClip);
    // A picture replays scaled by the device's resolution over the one it was recorded
    // at; this one holds points, so that scaling is undone.
    if (const QPaintDevice* device = painter.device();
        device && device->logicalDpiX() > 0 && device->logicalDpiY() > 0)
        painter.scale(qreal(_pdf->drawing->logicalDpiX()) / device->logicalDpiX(),
                      qreal(_pdf->drawing->logicalDpiY()) / device->logicalDpiY());
    painter.drawPicture(0, 0, *_pdf->drawing);
    painter.restore();
}

} // namespace platform
