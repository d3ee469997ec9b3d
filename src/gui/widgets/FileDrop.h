#pragma once

#include <QObject>
#include <QString>
#include <optional>

class QMimeData;
class QWidget;

namespace sorabel {

// Takes a file dropped on the widgets it watches (text fields, which would
// otherwise paste its name as a "file://" text) and hands its name on; text
// and anything else are left to the widget.
class FileDrop : public QObject {
    Q_OBJECT

public:
    explicit FileDrop(QObject* parent = nullptr) : QObject(parent) {}

    // The one local file a drag carries, if that is what it carries.
    static std::optional<QString> droppedFile(const QMimeData* mime);

    void watch(QWidget* widget);

signals:
    void dropped(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace sorabel
