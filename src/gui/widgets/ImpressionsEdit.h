#pragma once

#include <QPlainTextEdit>
#include <functional>

namespace sorabel {

// The impressions field: plain text over several lines. It refuses any
// character that code page 932 cannot hold, typed, pasted or dropped, so
// that what is shown is what the catalogue file keeps.
class ImpressionsEdit : public QPlainTextEdit {
    Q_OBJECT

public:
    explicit ImpressionsEdit(QWidget* parent = nullptr);

    // Told the refused characters whenever input is refused.
    std::function<void(const QString&)> onRefused;

    // False (and onRefused told) when `text` may not enter the field.
    bool accepts(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;
};

} // namespace sorabel
