// Writes the program's masks library from the mask art: every line of the list
// "index|name|default softness|picture" names an SVG beside it.
//
//     writemaskslibrary <list> <output file>

#include "MasksLibraryWriter.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication application(argc, argv);
    const QStringList arguments = application.arguments();
    if (arguments.size() != 3) {
        std::fprintf(stderr, "usage: writemaskslibrary <list> <output file>\n");
        return 2;
    }
    QFile list(arguments.at(1));
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "%s cannot be read\n", qPrintable(arguments.at(1)));
        return 1;
    }
    const QString folder = QFileInfo(list).absolutePath();
    QList<MaskSource> masks;
    QTextStream lines(&list);
    while (!lines.atEnd()) {
        const QString line = lines.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QStringList fields = line.split(QLatin1Char('|'));
        bool indexOk = false;
        bool softnessOk = false;
        const qint64 index = fields.value(0).toLongLong(&indexOk);
        const qint64 softness = fields.value(2).toLongLong(&softnessOk);
        QFile art(folder + QStringLiteral("/art/") + fields.value(3));
        if (fields.size() != 4 || !indexOk || !softnessOk || !art.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "bad line or missing art: %s\n", qPrintable(line));
            return 1;
        }
        MaskSource mask = maskSourceFromArt(fields.at(1), index, softness, art.readAll());
        if (mask.pictureData.isEmpty()) {
            std::fprintf(stderr, "the art of %s cannot be drawn\n", qPrintable(fields.at(1)));
            return 1;
        }
        masks.append(mask);
    }
    QString error;
    if (!writeMasksLibrary(arguments.at(2), masks, &error)) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
