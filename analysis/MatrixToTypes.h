#pragma once
// Turning a presence-absence matrix into the site type strings that the
// co-occurrence tests read. Layout of the matrix: row 0 holds the site names,
// column 0 the species names, column 1 each species' guild ("---" is no
// guild), and a cell at row >= 1, column >= 2 is "1" where the species is
// present at site (column - 1).
//
// A site type string is "(" a(1),...,a(n) ")" where n is the number of
// taking-part species present at the site and a(k) the number of guilds with
// exactly k of them present; an empty site is "()".

#include "platform/OrderedDictionary.h"
#include "platform/TextHash.h"

#include <QString>
#include <cstdint>
#include <string>
#include <vector>

class SparseArray;

// Guild name (compared exactly) to the number of its species present at one site.
using GuildCounts = platform::OrderedDictionary<QString, int32_t, platform::TextHash>;

// One type string per selected site, in the order of the matrix's column-count
// store (element 0 is the first selected site). Species rows with at least one
// cell besides name and guild, and site columns with at least two cells, take
// part; the name and guild cells of every selected row are written back
// trimmed of blanks. Throws MarviskError (UserDefined) when no site column
// qualifies, before anything is written.
std::vector<std::string> MatrixToTypes(SparseArray& sry1);

// The type string of one site's guild counts; "()" when there are none.
std::string CountsToType(const GuildCounts& counts);
