#include "core/csv/CsvBookBuilder.h"

#include "core/csv/HeaderMapping.h"
#include "core/text/DateReader.h"

#include <QRegularExpression>
#include <QStringList>

namespace sorabel {

namespace {

const QString kSeparator = QStringLiteral(" / ");

QString oneLine(QString s) {
    if (s.contains(u'\n') || s.contains(u'\r')) {
        s.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
        s.replace(QLatin1Char('\n'), QLatin1Char(' '));
        s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    }
    return s.trimmed();
}

// Line breaks as the catalogue keeps them, CR LF, in one pass.
QString withCrLf(const QString& s) {
    if (!s.contains(u'\n') && !s.contains(u'\r'))
        return s;
    QString out(s.size() * 2, Qt::Uninitialized);
    char16_t* d = reinterpret_cast<char16_t*>(out.data());
    const char16_t* p = reinterpret_cast<const char16_t*>(s.constData());
    const char16_t* end = p + s.size();
    char16_t* start = d;
    for (; p < end; ++p) {
        if (*p == u'\r' || *p == u'\n') {
            if (*p == u'\r' && p + 1 < end && p[1] == u'\n')
                ++p;
            *d++ = u'\r';
            *d++ = u'\n';
        } else {
            *d++ = *p;
        }
    }
    out.truncate(d - start);
    return out;
}

bool isSet(const QString& flag) {
    static const QStringList yes = {QStringLiteral("true"), QStringLiteral("1"),
                                    QStringLiteral("yes"),  QStringLiteral("あり"),
                                    QStringLiteral("on"),   QStringLiteral("○")};
    return yes.contains(flag.trimmed().toLower());
}

bool notRated(const QString& rating) {
    bool ok = false;
    const double value = rating.toDouble(&ok);
    return rating.trimmed().isEmpty() || (ok && value == 0);
}

void append(QString& into, const QString& text, const QString& separator) {
    if (text.isEmpty())
        return;
    if (!into.isEmpty())
        into += separator;
    into += text;
}

} // namespace

CsvBookBuilder::CsvBookBuilder(const std::vector<QString>& header, const ImportPlan& plan,
                               CsvPresetId preset)
    : plan_(plan), preset_(preset) {
    for (const QString& h : header)
        keys_.push_back(HeaderMapping::normalise(h));
}

int CsvBookBuilder::columnNamed(const char* name) const {
    const QString key = HeaderMapping::normalise(QString::fromUtf8(name));
    for (size_t c = 0; c < keys_.size(); ++c)
        if (keys_[c] == key)
            return static_cast<int>(c);
    return -1;
}

QString CsvBookBuilder::withoutFormula(const QString& cell) {
    if (cell.size() >= 3 && cell.startsWith(QStringLiteral("=\"")) && cell.endsWith(u'"'))
        return cell.mid(2, cell.size() - 3);
    return cell;
}

QString CsvBookBuilder::fromHtml(const QString& cell) {
    if (!cell.contains(u'<') && !cell.contains(u'&'))
        return cell;
    static const QRegularExpression lineBreak(QStringLiteral(R"(<br\s*/?>)"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression paragraph(QStringLiteral(R"(</p>\s*|</div>\s*)"),
                                              QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression tag(QStringLiteral(R"(</?[A-Za-z][^<>]*>)"));
    static const QRegularExpression entity(
        QStringLiteral(R"(&(#\d{1,7}|#x[0-9A-Fa-f]{1,6}|[a-z]+);)"));
    static const QRegularExpression blankLines(QStringLiteral(R"(\n{3,})"));
    QString s = cell;
    // Most markup in exports is line breaks: those without a pattern.
    for (const auto* br : {u"<br/>", u"<br />", u"<br>"})
        s.replace(QString::fromUtf16(br), QStringLiteral("\n"));
    if (s.contains(u'<')) {
        s.replace(lineBreak, QStringLiteral("\n"));
        s.replace(paragraph, QStringLiteral("\n\n"));
        s.remove(tag);
    }
    if (!s.contains(u'&')) {
        if (s.contains(QStringLiteral("\n\n\n")))
            s.replace(blankLines, QStringLiteral("\n\n"));
        return s.trimmed();
    }
    QString out;
    qsizetype last = 0;
    for (auto it = entity.globalMatch(s); it.hasNext();) {
        const auto m = it.next();
        out += QStringView(s).sliced(last, m.capturedStart() - last);
        const QString name = m.captured(1);
        QString value;
        if (name.startsWith(QStringLiteral("#x")))
            value = QString::fromUcs4(
                std::array<char32_t, 1>{char32_t(name.mid(2).toUInt(nullptr, 16))}.data(), 1);
        else if (name.startsWith(u'#'))
            value = QString::fromUcs4(
                std::array<char32_t, 1>{char32_t(name.mid(1).toUInt())}.data(), 1);
        else if (name == u"amp")
            value = QStringLiteral("&");
        else if (name == u"lt")
            value = QStringLiteral("<");
        else if (name == u"gt")
            value = QStringLiteral(">");
        else if (name == u"quot")
            value = QStringLiteral("\"");
        else if (name == u"apos")
            value = QStringLiteral("'");
        else if (name == u"nbsp")
            value = QStringLiteral(" ");
        else
            value = m.captured(0);
        out += value;
        last = m.capturedEnd();
    }
    out += QStringView(s).sliced(last);
    out.replace(blankLines, QStringLiteral("\n\n"));
    return out.trimmed();
}

QString CsvBookBuilder::plainDate(const QString& text) {
    const auto date = readDate(text);
    if (!date)
        return text.trimmed();
    switch (date->precision) {
    case DatePrecision::Year:
        return QString::number(date->year);
    case DatePrecision::Month:
        return QStringLiteral("%1/%2").arg(date->year).arg(date->month, 2, 10, QLatin1Char('0'));
    case DatePrecision::Day:
        break;
    }
    return QStringLiteral("%1/%2/%3")
        .arg(date->year)
        .arg(date->month, 2, 10, QLatin1Char('0'))
        .arg(date->day, 2, 10, QLatin1Char('0'));
}

CsvBookBuilder::FieldTexts CsvBookBuilder::build(const std::vector<QString>& cells) const {
    FieldTexts f;
    auto at = [&](Field field) -> QString& { return f[static_cast<size_t>(index(field))]; };
    QString notes, ids, memos, shelf, added;
    const bool service = preset_ != CsvPresetId::Generic;

    for (size_t c = 0; c < plan_.size(); ++c) {
        const ColumnPlan& p = plan_[c];
        if (p.role == ColumnRole::Ignore)
            continue;
        QString text = c < cells.size() ? withoutFormula(cells[c]) : QString();
        if (service)
            text = fromHtml(text);
        text = text.trimmed();
        if (text.isEmpty())
            continue;
        const QString entry = p.label + QStringLiteral(": ");
        switch (p.role) {
        case ColumnRole::Ignore:
            break;
        case ColumnRole::Field:
            if (p.field)
                at(*p.field) = *p.field == Field::Impressions ? withCrLf(text) : oneLine(text);
            break;
        case ColumnRole::Genres: {
            static const QRegularExpression split(QStringLiteral(R"(\s*[;,/、；，]\s*)"));
            QStringList parts = text.split(split, Qt::SkipEmptyParts);
            if (!parts.isEmpty())
                at(Field::Genre1) = parts.takeFirst();
            if (!parts.isEmpty() && at(Field::Genre2).isEmpty())
                at(Field::Genre2) = parts.takeFirst();
            if (!parts.isEmpty())
                append(notes, entry + parts.join(QStringLiteral("、")), kSeparator);
            break;
        }
        case ColumnRole::Note:
            append(notes, entry + oneLine(text), kSeparator);
            break;
        case ColumnRole::Identifier:
            if (text.startsWith(u'[') && text.endsWith(u']'))
                text = text.mid(1, text.size() - 2).trimmed();
            if (!text.isEmpty())
                append(ids, entry + oneLine(text), kSeparator);
            break;
        case ColumnRole::Memo:
            append(memos, entry + withCrLf(text), QStringLiteral("\r\n"));
            break;
        case ColumnRole::Rating:
            if (!notRated(text))
                append(notes, entry + text, kSeparator);
            break;
        case ColumnRole::Flag:
            if (isSet(text))
                append(notes, entry + QStringLiteral("あり"), kSeparator);
            break;
        case ColumnRole::Shelf:
            shelf = oneLine(text);
            append(notes, entry + shelf, kSeparator);
            break;
        case ColumnRole::Added:
            added = text;
            append(notes, entry + oneLine(text), kSeparator);
            break;
        }
    }

    // What each service writes its own way.
    if (preset_ == CsvPresetId::Goodreads && at(Field::Series).isEmpty()) {
        // "Title (Series, #3)"
        static const QRegularExpression series(
            QStringLiteral(R"(^(.+?)\s*\(([^()]+?),?\s*#([\d.]+)\)$)"));
        if (const auto m = series.match(at(Field::Title)); m.hasMatch()) {
            at(Field::Title) = m.captured(1);
            at(Field::Series) = m.captured(2) + QStringLiteral(" ") + m.captured(3);
        }
    }
    if (preset_ == CsvPresetId::Calibre) {
        at(Field::Author).replace(QStringLiteral(" & "), QStringLiteral("、"));
        const int index = columnNamed("series_index");
        if (!at(Field::Series).isEmpty() && index >= 0 && size_t(index) < cells.size()) {
            const double n = cells[size_t(index)].toDouble();
            if (n > 0)
                at(Field::Series) += QStringLiteral(" ") + QString::number(n);
        }
    }
    if (preset_ == CsvPresetId::LibraryThing) {
        // "新潮社 (2015), Edition: 2, 文庫"
        const qsizetype cut = at(Field::Publisher).indexOf(QStringLiteral(" ("));
        if (cut > 0)
            at(Field::Publisher).truncate(cut);
        const int roles = columnNamed("Secondary Author Roles");
        const QString role =
            roles >= 0 && size_t(roles) < cells.size() ? cells[size_t(roles)] : QString();
        if (!at(Field::Translator).isEmpty() && !role.contains(QStringLiteral("ranslat")) &&
            !role.contains(u'訳')) {
            append(notes, QStringLiteral("その他の著者: ") + at(Field::Translator), kSeparator);
            at(Field::Translator).clear();
        }
    }

    if (service)
        for (Field d :
             {Field::FirstEdition, Field::DateFinished, Field::DateStarted, Field::DateBought})
            at(d) = plainDate(at(d));

    // The state the service keeps becomes the date the log derives it from.
    const QString since = added.isEmpty() ? QString() : plainDate(added);
    switch (shelfStateOf(shelf)) {
    case ShelfState::Finished:
        if (at(Field::DateFinished).isEmpty())
            at(Field::DateFinished) = since;
        break;
    case ShelfState::Reading:
        if (at(Field::DateFinished).isEmpty() && at(Field::DateStarted).isEmpty())
            at(Field::DateStarted) = since.isEmpty() ? shelf : since;
        break;
    case ShelfState::Stacked:
        if (at(Field::DateFinished).isEmpty() && at(Field::DateStarted).isEmpty() &&
            at(Field::DateBought).isEmpty())
            at(Field::DateBought) = since.isEmpty() ? shelf : since;
        break;
    case ShelfState::None:
        break;
    }

    if (!notes.isEmpty())
        at(Field::Note1) =
            at(Field::Note1).isEmpty() ? notes : at(Field::Note1) + kSeparator + notes;
    if (!ids.isEmpty())
        at(Field::Note2) = at(Field::Note2).isEmpty() ? ids : at(Field::Note2) + kSeparator + ids;
    if (!memos.isEmpty())
        append(at(Field::Impressions), memos, QStringLiteral("\r\n\r\n"));
    return f;
}

} // namespace sorabel
