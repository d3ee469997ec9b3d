#include "core/support/HelpFile.h"

#include "core/storage/FileIo.h"

#include <QRegularExpression>
#include <QStringList>

namespace sorabel {

namespace {

QString attribute(const QString& attributes, const QString& name) {
    const QRegularExpression re(
        QStringLiteral("(?:^|\\s)%1\\s*=\\s*\"([^\"]*)\"").arg(QRegularExpression::escape(name)));
    const QRegularExpressionMatch m = re.match(attributes);
    return m.hasMatch() ? HelpFile::plainText(m.captured(1)) : QString();
}

// Folded form used by the search: compatibility forms unified (full-width
// letters become ASCII, half-width kana become full-width), case folded.
QString fold(const QString& text) {
    return text.normalized(QString::NormalizationForm_KC).toCaseFolded();
}

QString decodeEntities(QString text) {
    static const QRegularExpression numeric(QStringLiteral("&#(x?)([0-9A-Fa-f]+);"));
    QString out;
    qsizetype last = 0;
    auto it = numeric.globalMatch(text);
    while (it.hasNext()) {
        const auto m = it.next();
        out += text.mid(last, m.capturedStart() - last);
        bool ok = false;
        const uint code = m.captured(2).toUInt(&ok, m.captured(1).isEmpty() ? 10 : 16);
        if (ok && code > 0 && code <= 0x10FFFF)
            out += QString::fromUcs4(reinterpret_cast<const char32_t*>(&code), 1);
        last = m.capturedEnd();
    }
    out += text.mid(last);
    out.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    out.replace(QStringLiteral("&gt;"), QStringLiteral(">"));
    out.replace(QStringLiteral("&quot;"), QStringLiteral("\""));
    out.replace(QStringLiteral("&nbsp;"), QStringLiteral(" "));
    out.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return out;
}

} // namespace

QString HelpFile::plainText(const QString& html) {
    static const QRegularExpression comments(QStringLiteral("<!--.*?-->"),
                                             QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression tags(QStringLiteral("<[^>]*>"));
    static const QRegularExpression spaces(QStringLiteral("\\s+"));
    QString text = html;
    text.remove(comments);
    text.replace(tags, QStringLiteral(" "));
    text = decodeEntities(text);
    return text.replace(spaces, QStringLiteral(" ")).trimmed();
}

HelpFile HelpFile::load(const QString& path) {
    const std::string bytes =
        FileIo::readAll(path, FileIo::kMaxCatalogueBytes, io_messages::kFileTooLarge);
    return parse(QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

HelpFile HelpFile::parse(const QString& html) {
    HelpFile file;
    static const QRegularExpression title(QStringLiteral("<title>(.*?)</title>"),
                                          QRegularExpression::DotMatchesEverythingOption |
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression style(QStringLiteral("<style[^>]*>(.*?)</style>"),
                                          QRegularExpression::DotMatchesEverythingOption |
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression section(QStringLiteral("<section\\b([^>]*)>(.*?)</section>"),
                                            QRegularExpression::DotMatchesEverythingOption |
                                                QRegularExpression::CaseInsensitiveOption);
    if (const auto m = title.match(html); m.hasMatch())
        file.title_ = plainText(m.captured(1));
    if (const auto m = style.match(html); m.hasMatch())
        file.styleSheet_ = m.captured(1).trimmed();

    auto it = section.globalMatch(html);
    while (it.hasNext()) {
        const auto m = it.next();
        const QString attributes = m.captured(1);
        bool ok = false;
        const int context = attribute(attributes, QStringLiteral("data-context")).toInt(&ok);
        // A section without a usable number cannot be asked for; the first of
        // two sections with one number wins.
        if (!ok || context <= 0 || file.topic(context))
            continue;
        Topic topic;
        topic.context = context;
        topic.title = attribute(attributes, QStringLiteral("data-title"));
        topic.chapter = attribute(attributes, QStringLiteral("data-chapter"));
        topic.html = m.captured(2).trimmed();
        topic.text = plainText(topic.html);
        file.topics_.push_back(std::move(topic));
    }
    return file;
}

const HelpFile::Topic* HelpFile::topic(int context) const {
    for (const Topic& t : topics_)
        if (t.context == context)
            return &t;
    return nullptr;
}

std::vector<const HelpFile::Topic*> HelpFile::search(const QString& query) const {
    const QStringList words =
        fold(query).split(QRegularExpression(QStringLiteral("[\\s　]+")), Qt::SkipEmptyParts);
    std::vector<const Topic*> inTitle;
    std::vector<const Topic*> inText;
    if (words.isEmpty())
        return {};
    for (const Topic& t : topics_) {
        const QString title = fold(t.title);
        const QString all = title + QLatin1Char(' ') + fold(t.text);
        bool every = true;
        bool anyInTitle = false;
        for (const QString& w : words) {
            if (!all.contains(w)) {
                every = false;
                break;
            }
            anyInTitle = anyInTitle || title.contains(w);
        }
        if (every)
            (anyInTitle ? inTitle : inText).push_back(&t);
    }
    inTitle.insert(inTitle.end(), inText.begin(), inText.end());
    return inTitle;
}

} // namespace sorabel
