#include "PackageFolder.h"

#include "FuzzTarget.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fuzz {

namespace {

const QByteArray EntryMark = "\n%%";
constexpr int MostLevels = 4;
constexpr int MostEntries = 16;

// The path's components without empty ones, "." and ".."; at most MostLevels.
QStringList safeComponents(const QString& path)
{
    QStringList out;
    for (QString part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        part.remove(QChar(0));
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            continue;
        out.append(part.left(100));
        if (out.size() == MostLevels)
            break;
    }
    return out;
}

QByteArray png()
{
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::NewOnly) && file.write(bytes) == bytes.size();
}

} // namespace

PackageInput decodePackage(const QByteArray& data)
{
    PackageInput input;
    qsizetype at = data.indexOf(EntryMark);
    input.main = data.left(at < 0 ? data.size() : at);
    while (at >= 0 && input.entries.size() < MostEntries) {
        const qsizetype start = at + EntryMark.size();
        at = data.indexOf(EntryMark, start);
        const QByteArray entry = data.mid(start, at < 0 ? -1 : at - start);
        if (entry.isEmpty())
            continue;
        const qsizetype lineEnd = entry.indexOf('\n');
        PackageEntry e;
        e.kind = entry.at(0);
        e.path = QString::fromUtf8(entry.mid(1, lineEnd < 0 ? -1 : lineEnd - 1));
        e.body = lineEnd < 0 ? QByteArray() : entry.mid(lineEnd + 1);
        input.entries.append(e);
    }
    return input;
}

QByteArray encodePackage(const PackageInput& input)
{
    QByteArray out = input.main;
    for (const PackageEntry& e : input.entries)
        out += EntryMark + e.kind + e.path.toUtf8() + '\n' + e.body;
    return out;
}

PackageSandbox::PackageSandbox(const QString& packageName, const QString& mainName,
                               const PackageInput& input)
    : _root(std::make_unique<QTemporaryDir>())
{
    const QDir root(_root->path());
    _package = root.filePath(packageName);
    _outside = root.filePath(QStringLiteral("outside"));
    root.mkpath(packageName);
    root.mkpath(QStringLiteral("outside/Images"));
    writeFile(QDir(_outside).filePath(QStringLiteral("picture.png")), png());
    writeFile(QDir(_outside).filePath(QStringLiteral("Images/picture.png")), png());
    writeFile(QDir(_outside).filePath(QStringLiteral("Contents.quarnd")),
              "{GraphicsList = (); }");
    writeFile(QDir(_outside).filePath(QStringLiteral("contents.xml")),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>"
              "<key>VQName</key><string>Outside</string><key>VQObjects</key><array/>"
              "</dict></plist>\n");
    writeFile(QDir(_package).filePath(mainName), input.main);

    for (const PackageEntry& e : input.entries) {
        const QStringList parts = safeComponents(e.path);
        if (parts.isEmpty())
            continue;
        const QString relative = parts.join(QLatin1Char('/'));
        const QString path = QDir(_package).filePath(relative);
        const QString parent = QFileInfo(path).path();
        // Parents are made as folders; where a file or link stands in the way the entry
        // is left out.
        if (!QDir().mkpath(parent))
            continue;
        switch (e.kind) {
        case 'd': QDir().mkpath(path); break;
        case 'l': {
            const QString body = QString::fromUtf8(e.body).remove(QChar(0));
            QString destination;
            if (body.startsWith(QLatin1Char('/'))) {
                destination = _outside;
                if (const QStringList rest = safeComponents(body); !rest.isEmpty())
                    destination += QLatin1Char('/') + rest.join(QLatin1Char('/'));
            } else if (body.startsWith(QLatin1String("../"))) {
                // Up to the sandbox: the package and each folder above the link.
                destination = QStringLiteral("../").repeated(parts.size()) + QStringLiteral("outside");
                if (const QStringList rest = safeComponents(body); !rest.isEmpty())
                    destination += QLatin1Char('/') + rest.join(QLatin1Char('/'));
            } else {
                destination = safeComponents(body).join(QLatin1Char('/'));
                if (destination.isEmpty())
                    destination = QStringLiteral(".");
            }
            ::symlink(QFile::encodeName(destination).constData(),
                      QFile::encodeName(path).constData());
            break;
        }
        default: writeFile(path, e.body); break;
        }
    }
}

PackageSandbox::~PackageSandbox()
{
    if (_inotify >= 0)
        ::close(_inotify);
}

QStringList PackageSandbox::snapshot() const
{
    QStringList lines;
    const QString root = _root->path();
    QStringList folders{root};
    while (!folders.isEmpty()) {
        const QString folder = folders.takeFirst();
        const QStringList names =
            QDir(folder).entryList(QDir::AllEntries | QDir::System | QDir::Hidden
                                       | QDir::NoDotAndDotDot,
                                   QDir::Name);
        for (const QString& name : names) {
            const QString path = folder + QLatin1Char('/') + name;
            const QByteArray encoded = QFile::encodeName(path);
            struct stat info = {};
            if (::lstat(encoded.constData(), &info) != 0) {
                lines.append(path.mid(root.size()) + QStringLiteral(" gone"));
                continue;
            }
            QString line = QStringLiteral("%1 mode %2 size %3 time %4.%5")
                               .arg(path.mid(root.size()))
                               .arg(info.st_mode, 0, 8)
                               .arg(info.st_size)
                               .arg(info.st_mtim.tv_sec)
                               .arg(info.st_mtim.tv_nsec);
            if (S_ISLNK(info.st_mode)) {
                char target[PATH_MAX];
                const ssize_t n = ::readlink(encoded.constData(), target, sizeof target);
                line += QStringLiteral(" -> ") + QFile::decodeName(QByteArray(target, n < 0 ? 0 : n));
            } else if (S_ISDIR(info.st_mode)) {
                folders.append(path);
            } else if (S_ISREG(info.st_mode)) {
                QFile file(path);
                QCryptographicHash hash(QCryptographicHash::Sha1);
                if (file.open(QIODevice::ReadOnly))
                    hash.addData(&file);
                line += QStringLiteral(" sha1 ") + QString::fromLatin1(hash.result().toHex());
            }
            lines.append(line);
        }
    }
    return lines;
}

void PackageSandbox::watchOutside()
{
    if (_inotify < 0) {
        _inotify = ::inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
        if (_inotify < 0)
            broken("inotify_init1() != -1", QString::fromLocal8Bit(strerror(errno)));
        for (const QString& folder : {_outside, _outside + QStringLiteral("/Images")})
            _watches.append(::inotify_add_watch(_inotify, QFile::encodeName(folder).constData(),
                                                IN_OPEN | IN_ACCESS | IN_MODIFY | IN_ATTRIB
                                                    | IN_CREATE | IN_DELETE | IN_MOVE));
    }
    openedOutside();
}

QStringList PackageSandbox::openedOutside()
{
    QStringList events;
    alignas(struct inotify_event) char buffer[4096];
    while (true) {
        const ssize_t n = ::read(_inotify, buffer, sizeof buffer);
        if (n <= 0)
            break;
        for (ssize_t at = 0; at < n;) {
            const auto* event = reinterpret_cast<const struct inotify_event*>(buffer + at);
            const QString folder = event->wd == _watches.value(1) ? QStringLiteral("Images/")
                                                                  : QString();
            events.append(QStringLiteral("%1%2 event %3")
                              .arg(folder,
                                   event->len ? QFile::decodeName(event->name)
                                              : QStringLiteral("(the folder)"))
                              .arg(event->mask, 0, 16));
            at += ssize_t(sizeof(struct inotify_event)) + event->len;
        }
    }
    return events;
}

PackagePromises::PackagePromises(PackageSandbox& sandbox) : _sandbox(sandbox)
{
    _before = sandbox.snapshot();
    sandbox.watchOutside();
}

void PackagePromises::check(const char* what)
{
    const QStringList opened = _sandbox.openedOutside();
    FUZZ_PROMISE(opened.isEmpty(), QStringLiteral("%1 read outside its package:\n%2")
                                       .arg(QLatin1String(what), opened.join(QLatin1Char('\n'))));
    const QStringList after = _sandbox.snapshot();
    if (after != _before) {
        QStringList changed;
        for (const QString& line : after)
            if (!_before.contains(line))
                changed.append(QStringLiteral("now ") + line);
        for (const QString& line : std::as_const(_before))
            if (!after.contains(line))
                changed.append(QStringLiteral("was ") + line);
        broken("reading changes no file",
               QStringLiteral("%1 changed:\n%2").arg(QLatin1String(what), changed.join(QLatin1Char('\n'))));
    }
}

} // namespace fuzz
