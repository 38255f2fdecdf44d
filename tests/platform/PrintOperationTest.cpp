// The print panel as the user meets it: the real panel, accepted as it comes up, keeps the
// paper and orientation of the print settings, envelopes included.

#include "platform/ui/PrintOperation.h"

#include <QApplication>
#include <QFile>
#include <QPrintDialog>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class OnePage : public platform::PrintableView
{
public:
    bool knowsPageRange(const QString&, qint64* first, qint64* count) override
    {
        *first = 1;
        *count = 1;
        return true;
    }
    QRectF rectForPage(qint64) override { return {}; }
    void drawPage(const QRectF&) override {}
};

// The size of the first page a PDF file states, in points.
QSizeF mediaBox(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    static const QRegularExpression box(
        QStringLiteral(R"(/MediaBox \[\s*0\s+0\s+([0-9.]+)\s+([0-9.]+)\s*\])"));
    const QRegularExpressionMatch m = box.match(QString::fromLatin1(file.readAll()));
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

} // namespace

TEST(PrintOperation, ThePrintPanelKeepsThePaperAndOrientationOfTheSettings)
{
    using platform::PrintInfo;
    QTemporaryDir folder;
    struct Case
    {
        const char* what;
        QSizeF paper;
        const char* key; // the printer's name for it
        PrintInfo::Orientation orientation;
        QSizeF page;
    } const cases[] = {
        {"envelope #10", {297, 684}, "Env10", PrintInfo::Landscape, {684, 297}},
        {"Letter across", {612, 792}, "Letter", PrintInfo::Landscape, {792, 612}},
        {"A4", {595, 842}, "A4", PrintInfo::Portrait, {595, 842}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PrintInfo settings;
        settings.setPaperSize(c.paper);
        settings.setPaperName(QLatin1String(c.key));
        settings.setOrientation(c.orientation);
        settings.setJobDisposition(PrintInfo::Save);
        const QString path = folder.filePath(QLatin1String(c.what) + QStringLiteral(".pdf"));
        settings.setJobSavingPath(path);
        OnePage view;
        platform::PrintOperation operation(view, settings);
        operation.setShowsPrintPanel(true);
        // The user presses Print as the panel comes up.
        bool panelShown = false;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            if (auto* panel = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                panelShown = true;
                panel->accept();
            }
        });
        user.start(20);
        ASSERT_EQ(operation.run(), platform::PrintOperation::Result::Printed)
            << operation.errorString().toStdString();
        EXPECT_TRUE(panelShown);
        EXPECT_EQ(mediaBox(path), c.page);
    }
}
