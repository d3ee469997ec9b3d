#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>

namespace sorabel {

// The one way tests, the screenshots and the benchmarks get hold of a window's
// parts, which the windows keep private: by object name, anywhere below `root`.
// Anything but exactly one such part throws, naming the part and its type.
template <class W> W& reach(const QObject& root, const QString& objectName) {
    const QList<W*> found = root.findChildren<W*>(objectName);
    if (found.size() != 1)
        throw std::logic_error(
            QStringLiteral("found %1 %2 named \"%3\" under %4 \"%5\"; expected exactly one")
                .arg(QString::number(found.size()), W::staticMetaObject.className(), objectName,
                     root.metaObject()->className(), root.objectName())
                .toStdString());
    return *found.front();
}

} // namespace sorabel
