#pragma once

class TZunPigger;

// What a scheme editor has selected: a node, and the begin or the end of a
// line. A plain click leaves at most one of the three set.
struct SchemeSelection {
    TZunPigger* Node = nullptr;
    TZunPigger* LineBegin = nullptr;
    TZunPigger* LineEnd = nullptr;

    bool HasLineEnd() const { return LineBegin != nullptr || LineEnd != nullptr; }
    bool Empty() const { return Node == nullptr && !HasLineEnd(); }
};
