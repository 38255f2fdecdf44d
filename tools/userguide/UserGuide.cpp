// Writes the user guide: the HTML text given first, as a PDF at the path given second.
#include <QFile>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QTextDocument>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: userguide <guide.html> <guide.pdf>\n");
        return 2;
    }
    QFile html(QString::fromLocal8Bit(argv[1]));
    if (!html.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "userguide: cannot read %s\n", argv[1]);
        return 1;
    }
    QPdfWriter writer(QString::fromLocal8Bit(argv[2]));
    writer.setTitle(QStringLiteral("Veltrin User Guide"));
    writer.setCreator(QStringLiteral("Veltrin"));
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                     QMarginsF(20, 20, 20, 20), QPageLayout::Millimeter));
    QTextDocument document;
    document.setHtml(QString::fromUtf8(html.readAll()));
    document.print(&writer);
    return QFile::exists(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
