#include "core/lookup/IsbnLookup.h"

#include "core/lookup/LookupError.h"
#include "core/lookup/NdlReader.h"
#include "core/lookup/OpenBdReader.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrlQuery>

namespace sorabel {

namespace {

QUrl under(const QString& base, const QString& path) {
    QString b = base.trimmed();
    while (b.endsWith(QLatin1Char('/')))
        b.chop(1);
    return QUrl(b + path);
}

QUrl openBdUrl(const QString& base, const Isbn& isbn) {
    QUrl url = under(base, QStringLiteral("/v1/get"));
    url.setQuery(QUrlQuery{{QStringLiteral("isbn"), isbn.digits()}});
    return url;
}

QUrl ndlUrl(const QString& base, const Isbn& isbn) {
    QUrl url = under(base, QStringLiteral("/api/sru"));
    QUrlQuery q;
    q.addQueryItem(QStringLiteral("operation"), QStringLiteral("searchRetrieve"));
    q.addQueryItem(QStringLiteral("version"), QStringLiteral("1.2"));
    q.addQueryItem(QStringLiteral("recordSchema"), QStringLiteral("dcndl"));
    q.addQueryItem(QStringLiteral("recordPacking"), QStringLiteral("xml"));
    q.addQueryItem(QStringLiteral("maximumRecords"), QStringLiteral("10"));
    q.addQueryItem(QStringLiteral("query"), QStringLiteral("isbn=%1").arg(isbn.digits()));
    url.setQuery(q);
    return url;
}

QString networkFailure(const QString& source, QNetworkReply* reply) {
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (status >= 400)
        return QStringLiteral("%1 がエラーを返しました（HTTP %2）").arg(source).arg(status);
    switch (reply->error()) {
    case QNetworkReply::ConnectionRefusedError:
    case QNetworkReply::HostNotFoundError:
    case QNetworkReply::TemporaryNetworkFailureError:
    case QNetworkReply::NetworkSessionFailedError:
    case QNetworkReply::UnknownNetworkError:
        return QStringLiteral("%1 に接続できません。ネットワークを確かめてください").arg(source);
    default:
        return QStringLiteral("%1 との通信に失敗しました（%2）").arg(source, reply->errorString());
    }
}

} // namespace

IsbnLookup::IsbnLookup(QObject* parent)
    : QObject(parent), network_(new QNetworkAccessManager(this)) {
    qRegisterMetaType<LookupOutcome>();
}

IsbnLookup::~IsbnLookup() {
    cancel();
}

void IsbnLookup::cancel() {
    ++generation_;
    pending_ = 0;
    for (QNetworkReply* r : network_->findChildren<QNetworkReply*>())
        r->abort();
}

void IsbnLookup::start(const Isbn& isbn, const LookupSettings& settings) {
    cancel();
    isbn_ = isbn;
    openBd_ = {};
    ndl_ = {};
    if (!settings.useOpenBd && !settings.useNdl) {
        emit finished(
            {isbn,
             LookupOutcome::Status::Failed,
             {},
             QStringLiteral("問い合わせ先が選ばれていません。オプションで選んでください")});
        return;
    }
    // Both requests go out before either answer is read.
    QNetworkReply* openBd = nullptr;
    QNetworkReply* ndl = nullptr;
    if (settings.useOpenBd)
        openBd = network_->get(QNetworkRequest(openBdUrl(settings.openBdUrl, isbn)));
    if (settings.useNdl)
        ndl = network_->get(QNetworkRequest(ndlUrl(settings.ndlUrl, isbn)));
    pending_ = (openBd != nullptr) + (ndl != nullptr);
    if (openBd)
        ask(openBd, BookProposal::kOpenBd, openBd_, true, settings.timeoutMs);
    if (ndl)
        ask(ndl, BookProposal::kNdl, ndl_, false, settings.timeoutMs);
}

void IsbnLookup::ask(QNetworkReply* reply, const QString& sourceName, SourceAnswer& answer,
                     bool openBd, int timeoutMs) {
    answer.asked = true;
    const int generation = generation_;
    auto* timer = new QTimer(reply);
    timer->setSingleShot(true);
    auto timedOut = std::make_shared<bool>(false);
    connect(timer, &QTimer::timeout, reply, [reply, timedOut] {
        *timedOut = true;
        reply->abort();
    });
    timer->start(timeoutMs);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, sourceName, &answer, openBd, timeoutMs, generation, timedOut] {
                reply->deleteLater();
                if (generation != generation_)
                    return;
                if (*timedOut) {
                    answer.failure = QStringLiteral("%1 から %2 秒以内に返答がありませんでした")
                                         .arg(sourceName)
                                         .arg(timeoutMs / 1000.0);
                } else if (reply->error() != QNetworkReply::NoError) {
                    answer.failure = networkFailure(sourceName, reply);
                } else {
                    try {
                        const QByteArray body = reply->readAll();
                        answer.book = openBd ? OpenBdReader::read(body, isbn_->digits())
                                             : NdlReader::read(body, isbn_->digits());
                    } catch (const LookupError& e) {
                        answer.failure = e.message();
                    }
                }
                if (--pending_ == 0)
                    finish();
            });
}

void IsbnLookup::finish() {
    LookupOutcome outcome{*isbn_, LookupOutcome::Status::NotFound, {}, {}};
    QStringList failures;
    for (const SourceAnswer* a : {&openBd_, &ndl_})
        if (!a->failure.isEmpty())
            failures.append(a->failure);
    outcome.fields = BookProposal::merge(*isbn_, openBd_.book, ndl_.book);
    if (!outcome.fields.empty()) {
        outcome.status = LookupOutcome::Status::Found;
        outcome.message = failures.join(QLatin1Char('\n'));
    } else if (!failures.isEmpty()) {
        outcome.status = LookupOutcome::Status::Failed;
        outcome.message = failures.join(QLatin1Char('\n'));
    } else {
        outcome.message =
            QStringLiteral("ISBN %1 の本は見つかりませんでした").arg(isbn_->hyphenated());
    }
    emit finished(outcome);
}

} // namespace sorabel
