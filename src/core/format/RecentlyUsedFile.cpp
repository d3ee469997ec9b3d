#include "core/format/RecentlyUsedFile.h"

#include "core/storage/FileIo.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <utility>

namespace sorabel {

namespace {
const QString kBookmarkNs =
    QStringLiteral("http://www.freedesktop.org/standards/desktop-bookmarks");
const std::string kNotAList = "recently-used.xbel は最近使ったファイルの一覧として読めません";
const QString kMimeNs = QStringLiteral("http://www.freedesktop.org/standards/shared-mime-info");

QString stamp(const QDateTime& when) {
    return when.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
}

struct Earlier {
    QString added; // when the file was first used, empty when never
    int count = 0; // this program's uses so far
};

// Reads the bookmark the reader stands on to its end.
Earlier readBookmark(QXmlStreamReader& r, const QString& application) {
    Earlier earlier;
    earlier.added = r.attributes().value(QStringLiteral("added")).toString();
    int depth = 1;
    while (depth > 0 && !r.atEnd()) {
        r.readNext();
        if (r.isStartElement()) {
            ++depth;
            if (r.namespaceUri() == kBookmarkNs && r.name() == u"application" &&
                r.attributes().value(QStringLiteral("name")) == application)
                earlier.count = r.attributes().value(QStringLiteral("count")).toInt();
        } else if (r.isEndElement()) {
            --depth;
        }
    }
    return earlier;
}

void writeBookmark(QXmlStreamWriter& w, const QString& href, const RecentlyUsedFile::Use& use,
                   const Earlier& earlier) {
    const QString now = stamp(use.when);
    w.writeStartElement(QStringLiteral("bookmark"));
    w.writeAttribute(QStringLiteral("href"), href);
    w.writeAttribute(QStringLiteral("added"), earlier.added.isEmpty() ? now : earlier.added);
    w.writeAttribute(QStringLiteral("modified"), now);
    w.writeAttribute(QStringLiteral("visited"), now);
    w.writeStartElement(QStringLiteral("info"));
    w.writeStartElement(QStringLiteral("metadata"));
    w.writeAttribute(QStringLiteral("owner"), QStringLiteral("http://freedesktop.org"));
    w.writeEmptyElement(kMimeNs, QStringLiteral("mime-type"));
    w.writeAttribute(QStringLiteral("type"), use.mimeType);
    w.writeStartElement(kBookmarkNs, QStringLiteral("applications"));
    w.writeEmptyElement(kBookmarkNs, QStringLiteral("application"));
    w.writeAttribute(QStringLiteral("name"), use.application);
    w.writeAttribute(QStringLiteral("exec"), QStringLiteral("'%1'").arg(use.exec));
    w.writeAttribute(QStringLiteral("modified"), now);
    w.writeAttribute(QStringLiteral("count"), QString::number(earlier.count + 1));
    w.writeEndElement(); // applications
    w.writeEndElement(); // metadata
    w.writeEndElement(); // info
    w.writeEndElement(); // bookmark
}
} // namespace

QByteArray RecentlyUsedFile::withUse(const QByteArray& xbel, const Use& use) {
    const QByteArray source = xbel.trimmed().isEmpty()
                                  ? QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                                      "<xbel version=\"1.0\">\n</xbel>\n")
                                  : xbel;
    const QString href = QString::fromLatin1(QUrl::fromLocalFile(use.path).toEncoded());
    QXmlStreamReader r(source);
    QByteArray out;
    QXmlStreamWriter w(&out);
    Earlier earlier;
    int depth = 0;
    bool sawList = false;
    bool afterOld = false; // the line break after the old bookmark goes with it
    while (!r.atEnd()) {
        r.readNext();
        if (r.hasError())
            break;
        if (std::exchange(afterOld, false) && r.isWhitespace())
            continue;
        if (r.isStartElement()) {
            ++depth;
            if (depth == 1 && r.name() != u"xbel")
                throw IoError(kNotAList);
            if (depth == 2 && r.name() == u"bookmark" &&
                r.attributes().value(QStringLiteral("href")) == href) {
                earlier = readBookmark(r, use.application);
                --depth;
                afterOld = true;
                continue;
            }
            w.writeCurrentToken(r);
            if (depth == 1) {
                sawList = true;
                // Both prefixes are declared once on the list, as the desktop writes them.
                const auto declared = r.namespaceDeclarations();
                const auto has = [&](const QString& ns) {
                    return std::any_of(declared.begin(), declared.end(),
                                       [&](const auto& d) { return d.namespaceUri() == ns; });
                };
                if (!has(kBookmarkNs))
                    w.writeNamespace(kBookmarkNs, QStringLiteral("bookmark"));
                if (!has(kMimeNs))
                    w.writeNamespace(kMimeNs, QStringLiteral("mime"));
            }
            continue;
        }
        if (r.isEndElement() && depth-- == 1) {
            writeBookmark(w, href, use, earlier);
            w.writeCharacters(QStringLiteral("\n"));
        }
        w.writeCurrentToken(r);
    }
    if (r.hasError() || !sawList)
        throw IoError(kNotAList);
    return out;
}

QString RecentlyUsedFile::defaultPath() {
    return QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
        .filePath(QStringLiteral("recently-used.xbel"));
}

void RecentlyUsedFile::record(const QString& listPath, const Use& use) {
    QByteArray xbel;
    if (FileIo::exists(listPath))
        xbel = QByteArray::fromStdString(FileIo::readAll(listPath));
    const QByteArray updated = withUse(xbel, use);
    QDir().mkpath(QFileInfo(listPath).absolutePath());
    FileIo::writeAtomically(listPath, std::string_view(updated.constData(), updated.size()));
}

} // namespace sorabel
