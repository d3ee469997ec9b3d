#include "core/lookup/IsbnCommandLine.h"

#include "core/format/SettingsFile.h"
#include "core/lookup/IsbnLookup.h"

#include <QEventLoop>

namespace sorabel {

int IsbnCommandLine::run(const QStringList& args, QTextStream& out, QTextStream& err) {
    const qsizetype at = args.indexOf(QString::fromLatin1(kOption));
    if (at < 0 || at + 1 >= args.size() || args.size() != 3) {
        err << QStringLiteral("使い方: sorabel --lookup-isbn ISBN\n");
        err.flush();
        return 2;
    }
    Isbn isbn;
    try {
        isbn = Isbn::parse(args[at + 1]);
    } catch (const IsbnError& e) {
        err << e.message() << '\n';
        err.flush();
        return 2;
    }

    IsbnLookup lookup;
    QEventLoop loop;
    LookupOutcome result;
    QObject::connect(&lookup, &IsbnLookup::finished, &loop, [&](const LookupOutcome& o) {
        result = o;
        loop.quit();
    });
    lookup.start(isbn, LookupSettings::read(SettingsFile::defaultPath()).withEnvironment());
    if (lookup.isRunning())
        loop.exec();

    if (!result.message.isEmpty())
        err << result.message << '\n';
    err.flush();
    if (result.status != LookupOutcome::Status::Found)
        return 1;
    for (const ProposedField& f : result.fields)
        out << QString::fromUtf8(fieldInfo(f.field).defaultCaption) << QStringLiteral(": ")
            << f.text << '\n';
    out.flush();
    return 0;
}

} // namespace sorabel
