#include "core/csv/CsvReader.h"

#include <cstring>

namespace sorabel {

QString CsvReader::unclosedQuoteMessage(int line) {
    return QStringLiteral("%1 行目で始まる引用符（\"）が閉じられていません").arg(line);
}

CsvParse CsvReader::parse(std::string_view bytes, size_t maxRows) {
    CsvParse out;
    const char* p = bytes.data();
    const size_t n = bytes.size();
    size_t i = 0;
    int line = 1;

    auto isEnd = [&](size_t k) { return k >= n || p[k] == ',' || p[k] == '\r' || p[k] == '\n'; };
    // Consumes one line break at i (CR LF, LF or CR), counting the line.
    auto takeBreak = [&]() {
        if (p[i] == '\r' && i + 1 < n && p[i + 1] == '\n')
            ++i;
        ++i;
        ++line;
    };

    while (i < n) {
        if (p[i] == '\r' || p[i] == '\n') { // an empty line
            takeBreak();
            continue;
        }
        CsvRow row;
        row.line = line;
        for (;;) {
            std::string cell;
            if (i < n && p[i] == '"') {
                const int startLine = line;
                ++i;
                for (;;) {
                    const void* q = std::memchr(p + i, '"', n - i);
                    if (!q) {
                        out.error = CsvError{startLine, unclosedQuoteMessage(startLine)};
                        return out;
                    }
                    const size_t at = static_cast<size_t>(static_cast<const char*>(q) - p);
                    for (size_t k = i; k < at; ++k)
                        if (p[k] == '\n' || (p[k] == '\r' && (k + 1 >= at || p[k + 1] != '\n')))
                            ++line;
                    cell.append(p + i, at - i);
                    i = at + 1;
                    if (i < n && p[i] == '"') { // a doubled quote stands for one
                        cell.push_back('"');
                        ++i;
                        continue;
                    }
                    break;
                }
            }
            // Unquoted text, or what follows a closing quote.
            const size_t from = i;
            while (!isEnd(i))
                ++i;
            cell.append(p + from, i - from);
            row.cells.push_back(std::move(cell));
            if (i < n && p[i] == ',') {
                ++i;
                continue;
            }
            if (i < n)
                takeBreak();
            break;
        }
        if (out.rows.size() < maxRows) {
            out.rows.push_back(std::move(row));
        } else if (!out.moreRows++) {
            out.firstMoreLine = row.line;
        }
    }
    return out;
}

} // namespace sorabel
