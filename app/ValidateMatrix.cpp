#include "app/ValidateMatrix.h"

#include "analysis/MarviskError.h"
#include "analysis/SparseArray.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"

#include <QString>

namespace {

const QString Title = QStringLiteral("Marvisk");
const QString NoGuild = QStringLiteral("---");

[[noreturn]] void fail(const QString& message) {
    platform::showMessage(message, platform::MessageButtons::OK, Title);
    throw MarviskError(MarviskError::UserDefined, message.toStdString());
}

} // namespace

void ValidateMatrix(SparseArray& sry1) {
    bool guildEntered = false;
    const QStringList keys = sry1.sKeys();
    for (const QString& key : keys) {
        const auto [unused, row, col] = sry1.RowColumn(key);
        (void)unused;
        const QString text = platform::trimBlanks(sry1.sValue(row, col));
        sry1.sValue(row, col, text);
        if (col == 1 && row != 0 && text != NoGuild)
            guildEntered = true;
        if (row >= 1 && col >= 2 && text != u"1" && text != u"0")
            fail(QStringLiteral("Error 04: Presence-absence matrix contains a non-binary entry in cell ") +
                 QString::number(row) + u',' + QString::number(int64_t(col) - 1) +
                 QStringLiteral(".  Aborting analysis."));
    }
    if (!guildEntered)
        fail(QStringLiteral("Error 05: No guilds entered.  Aborting analysis."));
}
