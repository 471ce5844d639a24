#pragma once
// The keyed store in which a window keeps the design-time properties of the
// controls it hosts. Keys are compared exactly and enumerate in the order of
// their first writing. A value equal to its default is not stored, and a key
// that is missing reads as its default, so a store holds only what differs.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <initializer_list>

class PropertyBag {
public:
    PropertyBag() = default;
    // A store that already holds these entries, as a window's saved form does.
    PropertyBag(std::initializer_list<QPair<QString, QVariant>> entries);

    // Stores value under name; a value equal to defaultValue is left out (an
    // entry already under name is then removed).
    void WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue);
    // The value stored under name, or defaultValue when there is none.
    QVariant ReadProperty(const QString& name, const QVariant& defaultValue) const;

    bool Contains(const QString& name) const;
    // The stored keys, in the order of their first writing.
    QStringList Keys() const;
    int Count() const { return static_cast<int>(entries_.size()); }

private:
    QList<QPair<QString, QVariant>> entries_;
};
