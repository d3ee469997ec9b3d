#include "gui/lookup/LookupPreview.h"

#include "core/text/ShiftJis.h"

#include <QHeaderView>

namespace sorabel {

LookupPreview::LookupPreview(QWidget* parent) : QTableWidget(0, 4, parent) {
    setObjectName(QStringLiteral("lookupPreview"));
    setHorizontalHeaderLabels({QStringLiteral("項目"), QStringLiteral("調べた内容"),
                               QStringLiteral("今の内容"), QStringLiteral("出典")});
    verticalHeader()->hide();
    horizontalHeader()->setSectionResizeMode(FieldColumn, QHeaderView::ResizeToContents);
    horizontalHeader()->setSectionResizeMode(TextColumn, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(CurrentColumn, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(SourceColumn, QHeaderView::ResizeToContents);
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setColumnHidden(CurrentColumn, true);
    setTabKeyNavigation(false);
}

QString LookupPreview::captionOf(const Catalogue& catalogue, Field f) {
    QString caption;
    if (isCombo(f))
        caption = sjis::decode(catalogue.heading(choiceListOf(f)));
    else if (const int n = fieldInfo(f).caption; n > 0)
        caption = sjis::decode(catalogue.liveCaptions[static_cast<size_t>(n - 1)]);
    return caption.isEmpty() ? QString::fromUtf8(fieldInfo(f).defaultCaption) : caption;
}

void LookupPreview::showFields(const std::vector<ProposedField>& fields, const Catalogue& catalogue,
                               std::optional<int> current) {
    fields_ = fields;
    setRowCount(static_cast<int>(fields.size()));
    setColumnHidden(CurrentColumn, !current.has_value());
    for (int row = 0; row < rowCount(); ++row) {
        const ProposedField& f = fields[static_cast<size_t>(row)];
        auto* name = new QTableWidgetItem(captionOf(catalogue, f.field));
        name->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        name->setCheckState(Qt::Checked);
        setItem(row, FieldColumn, name);
        setItem(row, TextColumn, new QTableWidgetItem(f.text));
        setItem(row, SourceColumn, new QTableWidgetItem(f.source));
        const QString now = current ? sjis::decode(catalogue.field(f.field, *current)) : QString();
        setItem(row, CurrentColumn, new QTableWidgetItem(now));
    }
}

void LookupPreview::clearFields() {
    fields_.clear();
    setRowCount(0);
}

std::vector<ProposedField> LookupPreview::checkedFields() const {
    std::vector<ProposedField> checked;
    for (int row = 0; row < rowCount(); ++row)
        if (item(row, FieldColumn)->checkState() == Qt::Checked)
            checked.push_back(fields_[static_cast<size_t>(row)]);
    return checked;
}

} // namespace sorabel
