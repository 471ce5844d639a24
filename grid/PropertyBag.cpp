#include "grid/PropertyBag.h"

PropertyBag::PropertyBag(std::initializer_list<QPair<QString, QVariant>> entries) {
    for (const auto& entry : entries) {
        bool replaced = false;
        for (auto& existing : entries_) {
            if (existing.first == entry.first) {
                existing.second = entry.second;
                replaced = true;
            }
        }
        if (!replaced)
            entries_.append(entry);
    }
}

void PropertyBag::WriteProperty(const QString& name, const QVariant& value, const QVariant& defaultValue) {
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (entries_[i].first == name) {
            if (value == defaultValue)
                entries_.removeAt(i);
            else
                entries_[i].second = value;
            return;
        }
    }
    if (value != defaultValue)
        entries_.append({name, value});
}

QVariant PropertyBag::ReadProperty(const QString& name, const QVariant& defaultValue) const {
    for (const auto& entry : entries_) {
        if (entry.first == name)
            return entry.second;
    }
    return defaultValue;
}

bool PropertyBag::Contains(const QString& name) const {
    for (const auto& entry : entries_) {
        if (entry.first == name)
            return true;
    }
    return false;
}

QStringList PropertyBag::Keys() const {
    QStringList keys;
    for (const auto& entry : entries_)
        keys.append(entry.first);
    return keys;
}
