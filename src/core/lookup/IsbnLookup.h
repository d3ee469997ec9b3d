#pragma once

#include "core/lookup/BookData.h"
#include "core/lookup/BookProposal.h"
#include "core/lookup/Isbn.h"
#include "core/lookup/LookupSettings.h"

#include <QObject>
#include <QStringList>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;

namespace sorabel {

// The end of one lookup.
struct LookupOutcome {
    enum class Status { Found, NotFound, Failed };
    Isbn isbn;
    Status status = Status::NotFound;
    std::vector<ProposedField> fields; // only when found
    // Japanese text for the user: why it failed, or which source could not
    // answer although the other found the book.
    QString message;
};

// Asks the chosen sources about one ISBN at a time, all of them at once, and
// merges their answers. Nothing is sent before start(). Every source has its
// own time limit; the outcome comes when every source has answered or failed.
class IsbnLookup : public QObject {
    Q_OBJECT

public:
    explicit IsbnLookup(QObject* parent = nullptr);
    ~IsbnLookup() override;

    // Starts a lookup, abandoning one still running.
    void start(const Isbn& isbn, const LookupSettings& settings);
    void cancel();
    bool isRunning() const { return pending_ > 0; }

signals:
    void finished(const sorabel::LookupOutcome& outcome);

private:
    struct SourceAnswer {
        std::optional<BookData> book;
        QString failure; // empty when the source answered
        bool asked = false;
    };
    void ask(QNetworkReply* reply, const QString& sourceName, SourceAnswer& answer, bool openBd,
             int timeoutMs);
    void finish();

    QNetworkAccessManager* network_;
    std::optional<Isbn> isbn_;
    SourceAnswer openBd_;
    SourceAnswer ndl_;
    int pending_ = 0;
    int generation_ = 0; // answers of an abandoned lookup are ignored
};

} // namespace sorabel

Q_DECLARE_METATYPE(sorabel::LookupOutcome)
