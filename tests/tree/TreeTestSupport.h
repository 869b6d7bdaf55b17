#pragma once

#include "TZunPigger.h"

#include <memory>
#include <string>

// Helpers shared by the tree tests and the tree fuzz target; no test
// framework needed.
namespace treetest {

// The first difference between two trees (names, attributes in order, text,
// children), or an empty string when they are equal.
std::string Difference(const TZunPigger& expected, const TZunPigger& actual);

// What reading back the written text of tree must give: elements with an
// empty name vanish with their subtree, and text loses the spaces, TABs and
// line breaks at its ends (they are written unescaped and trimmed on
// reading).
std::unique_ptr<TZunPigger> AsReadBack(const TZunPigger& tree);

} // namespace treetest
