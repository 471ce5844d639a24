#include "app/ValidateMatrix.h"

#include "analysis/MarviskError.h"
#include "analysis/SparseArray.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"

#include <QString>
#include <utility>
#include <vector>

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
    // The cells are taken once, in key order, as places rather than key
    // texts: each visit writes its cell back, which moves it in the order.
    std::vector<std::pair<int32_t, int32_t>> places;
    places.reserve(sry1.cellCount());
    sry1.forEachCell([&places](int32_t row, int32_t col, const QString&) { places.emplace_back(row, col); });
    for (const auto& [row, col] : places) {
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
