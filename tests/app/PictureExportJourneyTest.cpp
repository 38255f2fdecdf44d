// A disc label and an envelope made from the layout chooser (File > New, the chooser
// clicked through), each exported by File > Export… as PNG, JPEG and TIFF at a resolution
// typed into the export panel; the pictures read back are the page at that resolution and
// say so.

#include "ProgramFixture.h"

#include "LayoutChooser.h"

#include "document/DimensionInfo.h"
#include "merge/LBExportPanel.h"

#include <QComboBox>
#include <QDataStream>
#include <QFile>
#include <QImageReader>
#include <QLineEdit>
#include <QTest>

#include <cmath>

namespace {

// The resolution a TIFF file states (XResolution and YResolution, in dots per inch); (0, 0)
// when it states none.
QPointF tiffResolution(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    QDataStream in(bytes);
    const QByteArray order = bytes.left(2);
    in.setByteOrder(order == "II" ? QDataStream::LittleEndian : QDataStream::BigEndian);
    quint16 magic = 0;
    quint32 directory = 0;
    in.skipRawData(2);
    in >> magic >> directory;
    if (magic != 42 || directory >= quint32(bytes.size()))
        return {};
    in.device()->seek(directory);
    quint16 entries = 0;
    in >> entries;
    QPointF dpi;
    for (quint16 i = 0; i < entries; ++i) {
        quint16 tag = 0;
        quint16 type = 0;
        quint32 count = 0;
        quint32 offset = 0;
        in >> tag >> type >> count >> offset;
        if ((tag != 282 && tag != 283) || type != 5)
            continue;
        const qint64 next = in.device()->pos();
        in.device()->seek(offset);
        quint32 numerator = 0;
        quint32 denominator = 0;
        in >> numerator >> denominator;
        in.device()->seek(next);
        const double value = denominator ? double(numerator) / denominator : 0.0;
        (tag == 282 ? dpi.rx() : dpi.ry()) = value;
    }
    return dpi;
}

class PictureExportJourney : public ProgramFixture
{
protected:
    void TearDown() override
    {
        ProgramFixture::TearDown();
        LayoutChooser::forgetChoices();
    }

    // Exports the document by File > Export… as the format at the resolution typed into
    // the panel; the file's path.
    QString exportAs(LBExportPanel::Format format, int dpi, const QString& name)
    {
        window->window()->activateWindow();
        settle();
        QTest::keyClick(window->window(), Qt::Key_E, Qt::ControlModifier);
        settle();
        auto* panel = openPanel<LBExportPanel>();
        EXPECT_NE(panel, nullptr) << "File > Export… showed no panel";
        if (!panel)
            return {};
        QComboBox* formats = panel->formatPopup();
        formats->setCurrentIndex(format);
        Q_EMIT formats->activated(format);
        QLineEdit* resolution = panel->resolutionBox()->lineEdit();
        EXPECT_TRUE(resolution->isVisibleTo(panel));
        resolution->selectAll();
        QTest::keyClicks(resolution, QStringLiteral("%1 dpi").arg(dpi));
        Q_EMIT resolution->editingFinished();
        const QString path = folder.filePath(name);
        answerPanel(panel, path);
        return path;
    }
};

} // namespace

TEST_F(PictureExportJourney, ADiscLabelAndAnEnvelopeExportAsPicturesOfThePageAtTheResolution)
{
    openDocument();
    // The project, the file names and the label kinds the layout can have (upright or
    // across).
    struct Case
    {
        const char* project;
        const char* name;
        qint64 kinds[2];
    };
    for (const Case& made :
         {Case{"Disc Labels", "disc", {17, 18}}, Case{"Envelopes", "envelope", {5, 6}}}) {
        SCOPED_TRACE(made.project);
        newDocumentFromTheKeys();
        const LayoutChooser chooser(window->window());
        ASSERT_FALSE(chooser.empty()) << "no chooser on the new window";
        chooser.chooseFirstDesign(QLatin1String(made.project), QString());
        ASSERT_FALSE(HasFatalFailure());
        settle();
        ASSERT_FALSE(chooser.sheet()->isVisible()) << "the chooser stayed open";
        alerts.clear(); // the envelope asks about address fields: the first answer adds them

        const QVariantMap& layout = document->dimensionInfo();
        const qint64 kind = DimensionInfo::integer(layout, DimensionInfo::labelType);
        EXPECT_TRUE(kind == made.kinds[0] || kind == made.kinds[1]) << kind;
        const QSizeF page(DimensionInfo::real(layout, DimensionInfo::pageWidth),
                          DimensionInfo::real(layout, DimensionInfo::pageHeight));
        ASSERT_GT(page.width(), 0);
        ASSERT_GT(page.height(), 0);

        const int dpi = 120;
        const QSize expected(int(std::lround(page.width() * dpi / 72.0)),
                             int(std::lround(page.height() * dpi / 72.0)));
        const int dotsPerMetre = int(std::lround(dpi / 0.0254));
        for (const auto& [format, suffix] :
             {std::pair{LBExportPanel::PNG, "png"}, std::pair{LBExportPanel::JPEG, "jpg"},
              std::pair{LBExportPanel::TIFF, "tif"}}) {
            SCOPED_TRACE(suffix);
            const QString path =
                exportAs(format, dpi, QStringLiteral("%1.%2").arg(made.name, suffix));
            EXPECT_TRUE(alerts.isEmpty()) << alerts.join(u'\n').toStdString();
            alerts.clear();
            QImageReader reader(path);
            const QImage picture = reader.read();
            ASSERT_FALSE(picture.isNull())
                << path.toStdString() << ": " << reader.errorString().toStdString();
            EXPECT_EQ(picture.size(), expected);
            if (format == LBExportPanel::TIFF) {
                const QPointF stated = tiffResolution(path);
                EXPECT_NEAR(stated.x(), dpi, 0.01);
                EXPECT_NEAR(stated.y(), dpi, 0.01);
            } else {
                EXPECT_NEAR(picture.dotsPerMeterX(), dotsPerMetre, 1);
                EXPECT_NEAR(picture.dotsPerMeterY(), dotsPerMetre, 1);
            }
        }
    }
}
