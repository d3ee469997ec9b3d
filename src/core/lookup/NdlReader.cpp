#include "core/lookup/NdlReader.h"

#include "core/lookup/BibliographicText.h"
#include "core/lookup/Isbn.h"
#include "core/lookup/LookupError.h"

#include <QRegularExpression>
#include <QXmlStreamReader>
#include <vector>

namespace sorabel {

namespace {

using namespace bibliographic;

// A small tree of the answer: enough to read records whose parts nest in
// RDF descriptions. Names carry the usual prefix of their namespace.
struct Node {
    QString name;
    QString text;
    std::vector<Node> children;

    const Node* child(QStringView n) const {
        for (const Node& c : children)
            if (c.name == n)
                return &c;
        return nullptr;
    }
    // The text of a plain element, or of rdf:value / foaf:name inside it.
    QString value() const {
        if (children.empty())
            return decodeEntities(text);
        for (const Node& c : children) {
            if (c.name == u"rdf:value" || c.name == u"foaf:name")
                return decodeEntities(c.text);
            if (const QString inner = c.value(); !inner.isEmpty())
                return inner;
        }
        return {};
    }
    // dcndl:transcription anywhere below.
    QString transcription() const {
        for (const Node& c : children) {
            if (c.name == u"dcndl:transcription")
                return decodeEntities(c.text);
            if (const QString inner = c.transcription(); !inner.isEmpty())
                return inner;
        }
        return {};
    }
};

QString prefixOf(QStringView uri) {
    static const struct {
        const char* uri;
        const char* prefix;
    } kKnown[] = {{"http://purl.org/dc/elements/1.1/", "dc"},
                  {"http://purl.org/dc/terms/", "dcterms"},
                  {"http://ndl.go.jp/dcndl/terms/", "dcndl"},
                  {"http://xmlns.com/foaf/0.1/", "foaf"},
                  {"http://www.w3.org/1999/02/22-rdf-syntax-ns#", "rdf"},
                  {"http://www.w3.org/2000/01/rdf-schema#", "rdfs"},
                  {"http://www.loc.gov/zing/srw/", "srw"},
                  {"http://www.loc.gov/zing/srw/diagnostic/", "diag"}};
    for (const auto& k : kKnown)
        if (uri == QLatin1String(k.uri))
            return QString::fromLatin1(k.prefix);
    return {};
}

[[noreturn]] void malformed() {
    throw LookupError(
        QStringLiteral("国立国会図書館の返答が読めません（XML の形が正しくありません）"));
}

Node parseTree(const QString& xml);

void readChildren(QXmlStreamReader& r, Node& parent) {
    while (r.readNext() != QXmlStreamReader::Invalid) {
        if (r.isEndElement())
            return;
        if (r.isCharacters()) {
            parent.text += r.text();
        } else if (r.isStartElement()) {
            Node node;
            const QString prefix = prefixOf(r.namespaceUri());
            node.name = prefix.isEmpty() ? r.name().toString()
                                         : prefix + QLatin1Char(':') + r.name().toString();
            readChildren(r, node);
            parent.children.push_back(std::move(node));
        } else if (r.isEndDocument()) {
            return;
        }
    }
}

Node parseTree(const QString& xml) {
    QXmlStreamReader r(xml);
    Node root;
    readChildren(r, root);
    if (r.hasError())
        malformed();
    return root;
}

// Records packed as escaped text are parsed where they stand.
void unpackRecords(Node& node) {
    for (Node& c : node.children) {
        if (c.name.endsWith(QStringLiteral("recordData")) && c.children.empty() &&
            c.text.trimmed().startsWith(QLatin1Char('<'))) {
            c.children = parseTree(c.text.trimmed()).children;
            c.text.clear();
        }
        unpackRecords(c);
    }
}

void collect(const Node& node, std::vector<const Node*>& records) {
    for (const Node& c : node.children) {
        if (c.name == u"dcndl:BibResource" || c.name == u"item")
            records.push_back(&c);
        else
            collect(c, records);
    }
}

void addCreators(const QString& text, BookData& book) {
    for (const QString& part :
         text.split(QRegularExpression(QStringLiteral("\\s*[;；]\\s*")), Qt::SkipEmptyParts)) {
        const Contributor c = splitRole(part);
        if (!c.name.isEmpty())
            book.contributors.push_back(c);
    }
}

void readSeries(const QString& text, BookData& book) {
    // "新潮文庫 ; な-1-1" or "シリーズ名 ; 3": only a number is a volume.
    const qsizetype semicolon = text.indexOf(QLatin1Char(';'));
    book.series = semicolon < 0 ? text : text.left(semicolon).trimmed();
    if (semicolon >= 0 && book.volume.isEmpty()) {
        const QString after = text.mid(semicolon + 1).trimmed();
        static const QRegularExpression volume(
            QStringLiteral("^(第?[0-9０-９]+[巻号]?|[上中下]巻?)$"));
        if (volume.match(after).hasMatch())
            book.volume = after;
    }
}

BookData readRecord(const Node& record) {
    BookData book;
    QStringList agentNames;
    for (const Node& c : record.children) {
        const QString& n = c.name;
        if (n == u"dcterms:title" || n == u"title" || n == u"dc:title") {
            if (book.title.isEmpty())
                book.title = c.value();
            if (book.reading.isEmpty())
                book.reading = c.transcription();
        } else if (n == u"dcndl:titleTranscription") {
            book.reading = decodeEntities(c.text);
        } else if (n == u"dcndl:seriesTitle") {
            if (book.series.isEmpty())
                readSeries(c.value(), book);
        } else if (n == u"dcndl:volume") {
            book.volume = c.value();
        } else if (n == u"dc:creator") {
            addCreators(c.value(), book);
        } else if (n == u"dcterms:creator" || n == u"author") {
            agentNames.append(c.value());
        } else if (n == u"dcterms:publisher" || n == u"dc:publisher") {
            if (book.publisher.isEmpty())
                book.publisher = c.value();
        } else if (n == u"dcndl:price") {
            readPrice(c.value(), book);
        } else if (n == u"dcterms:date") {
            readDate(c.value(), book);
        } else if (n == u"dcterms:issued") {
            if (book.year == 0)
                readDate(c.value(), book);
        } else if (n == u"dcterms:extent" || n == u"dc:extent") {
            if (const double h = heightInExtent(c.value()); h > 0)
                book.format = formatOfHeight(h);
        } else if (n == u"dcterms:identifier" || n == u"dc:identifier") {
            try {
                book.isbn = Isbn::parse(c.value()).digits();
            } catch (const IsbnError&) {
                // another kind of identifier
            }
        }
    }
    // Names without roles only when the record names nobody with one.
    if (book.contributors.empty())
        for (const QString& name : agentNames)
            if (!name.isEmpty())
                book.contributors.push_back({cleanName(name), QString()});
    // "書名 : 副題" in the cataloguers' punctuation.
    if (const qsizetype colon = book.title.indexOf(QStringLiteral(" : ")); colon > 0) {
        if (book.subtitle.isEmpty())
            book.subtitle = book.title.mid(colon + 3).trimmed();
        book.title = book.title.left(colon).trimmed();
    }
    return book;
}

int fullness(const BookData& b) {
    return !b.title.isEmpty() + !b.subtitle.isEmpty() + 2 * !b.reading.isEmpty() +
           !b.contributors.empty() + !b.publisher.isEmpty() + !b.series.isEmpty() + (b.price > 0) +
           (b.year > 0) + !b.format.isEmpty();
}

} // namespace

std::optional<BookData> NdlReader::read(const QByteArray& xml, const QString& isbn13) {
    Node root = parseTree(QString::fromUtf8(xml));
    if (root.children.empty())
        malformed();
    unpackRecords(root);
    // An SRU diagnostic: the service refused the question.
    std::vector<const Node*> stack{&root};
    while (!stack.empty()) {
        const Node* n = stack.back();
        stack.pop_back();
        if (n->name == u"diag:diagnostic") {
            const Node* message = n->child(u"diag:message");
            throw LookupError(QStringLiteral("国立国会図書館の検索がエラーを返しました: %1")
                                  .arg(message ? message->text.trimmed() : QString()));
        }
        for (const Node& c : n->children)
            stack.push_back(&c);
    }

    std::vector<const Node*> records;
    collect(root, records);
    std::optional<BookData> best;
    for (const Node* record : records) {
        BookData book = readRecord(*record);
        if (book.isEmpty() || (!isbn13.isEmpty() && !book.isbn.isEmpty() && book.isbn != isbn13))
            continue;
        if (!best || fullness(book) > fullness(*best))
            best = std::move(book);
    }
    return best;
}

} // namespace sorabel
