#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/csv/CsvEncoding.h"

#include <QDialog>
#include <QString>
#include <array>
#include <optional>

class QPushButton;
class QRadioButton;

namespace sorabel {

// "エクスポート(&E)…" → CSV: the encoding is chosen here; OK then asks for the
// file and writes every record to it. An existing file is replaced only when
// the user says so; a declined or failed write (shown in the error box) keeps
// the dialog open.
class CsvExportDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 63;

    // `openCatalogue`: the catalogue's own file (empty when untitled), which
    // an export never writes over, nor its backup.
    explicit CsvExportDialog(const Catalogue& catalogue, QWidget* parent = nullptr,
                             const QString& openCatalogue = QString());

    // Shows the dialog; the file written, or nothing when cancelled.
    static std::optional<QString> run(QWidget* parent, const Catalogue& catalogue,
                                      const QString& openCatalogue = QString());

    CsvEncoding encoding() const;
    void setEncoding(CsvEncoding encoding);
    // The file the dialog wrote; empty until it has.
    QString writtenPath() const { return written_; }

public slots:
    void accept() override;

private:
    const Catalogue& catalogue_;
    QString openCatalogue_;
    std::array<QRadioButton*, 3> encodings_{};
    QPushButton* export_;
    QPushButton* help_;
    QString written_;
};

} // namespace sorabel
