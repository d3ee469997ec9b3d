#pragma once

#include "core/catalogue/Catalogue.h"
#include "core/csv/CsvImport.h"

#include <QDialog>
#include <QString>
#include <optional>
#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

namespace sorabel {

// "インポート(&I)…" → CSV: shows the first rows of a CSV file, lets the user
// override the encoding, choose the field of each column (or "取り込まない")
// and what happens to text the catalogue cannot hold, and reports every field
// changed and row refused. It changes nothing itself: the records to append
// are its result.
class CsvImportDialog : public QDialog {
    Q_OBJECT
public:
    static constexpr int kHelpContext = 64;
    static constexpr int kPreviewRows = 20;

    explicit CsvImportDialog(const Catalogue& catalogue, QWidget* parent = nullptr);

    // Asks for a CSV file, reads it and shows the dialog: the records to
    // append after the last one, or nothing when cancelled or unreadable.
    static std::optional<std::vector<Record>> run(QWidget* parent, const Catalogue& catalogue);

    // Reads the file. A file that cannot be imported is shown in the error
    // box, and false comes back.
    bool loadFile(const QString& path);

    // What an OK would import, as it stands.
    const CsvImportResult& importResult() const { return result_; }
    HeaderMapping::Columns columns() const;
    // What each column becomes as the boxes stand.
    ImportPlan plan() const;

private:
    // The box over column `column` (from 0) choosing where it goes.
    QComboBox* mappingBox(int column) const;
    void encodingChosen();
    void reread();
    void showDocument();
    void update();

    const Catalogue& catalogue_;
    std::string bytes_;
    CsvDocument document_;
    CsvImportResult result_;
    bool loaded_ = false;

    QLabel* file_;
    QComboBox* encoding_;
    QLabel* detected_;
    QComboBox* preset_;
    QCheckBox* firstRowIsData_;
    ImportPlan presetPlan_; // the chosen service's plan, for labels of note columns
    QTableWidget* preview_;
    QRadioButton* replace_;
    QRadioButton* skip_;
    QPlainTextEdit* report_;
    QLabel* summary_;
    QPushButton* import_;
    QPushButton* help_;
};

} // namespace sorabel
