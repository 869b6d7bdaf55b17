#pragma once

#include "SchemeSelection.h"
#include "TZunPigger.h"

#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

// A flow diagram of operations kept as a tree document: the root "SHEME"
// with "HEIGHT" and "WIDTH", "NODE" boxes (L, T, W, H, N_NAME, the
// description as text) and "LINE" arrows (L_NAME, XB, YB, XE, YE, IM). A
// line is bound to nodes by "LINE_OUT" / "LINE_IN" children of the nodes,
// holding the line's name and the offsets RX, RY from the node's top-left
// (begin) or bottom-right (end) corner.
//
// Every rule on the tree lives here, without a window: names, adding and
// deleting, moving with re-routing, attaching and detaching, clamping to the
// sheet, the hit test and the bounds check. Coordinates are sheet pixels.
class SchemeDocument {
public:
    static constexpr int DefaultWidth = 600;
    static constexpr int DefaultHeight = 400;
    // Where the sheet lies in the scrolling area of the editor; clamping
    // keeps objects inside it.
    static constexpr int SheetLeft = 21;
    static constexpr int SheetTop = 28;
    static constexpr int ShadowLeft = 35;
    static constexpr int ShadowTop = 42;
    static constexpr int NewNodeWidth = 100;
    static constexpr int NewNodeHeight = 50;

    SchemeDocument();

    TZunPigger Root;

    // The value when the whole text is an optional minus sign and decimal
    // digits within int; nothing otherwise.
    static std::optional<int> ToInt(std::string_view text);
    // The attribute as an integer; raises std::runtime_error
    // "'text' is not a valid integer value" when it is not one.
    static int IntOf(const TZunPigger& element, std::string_view name);
    // The attribute as an integer, 0 when it is not one (blanks around it
    // allowed).
    static int IntOrZero(const TZunPigger& element, std::string_view name);

    // a + b and a - b held within int: coordinates from a file may be anything.
    static int Add(int a, int b);
    static int Sub(int a, int b);

    // An empty scheme: no children, no attributes, named "SHEME".
    void Reset();
    // Replaces the scheme with the text's; a tree without any child element
    // is no scheme and starts empty. Sizes get their defaults. The reader's
    // errors pass on, leaving what was read.
    void LoadText(std::string_view text);
    void LoadStream(std::istream& stream);
    // Writes "HEIGHT" 400 and "WIDTH" 600 where they are not integers.
    void EnsureSize();
    int Width() const { return IntOrZero(Root, "WIDTH"); }
    int Height() const { return IntOrZero(Root, "HEIGHT"); }

    // Names: node and line names together, ignoring letter case; a missing
    // name counts as empty.
    bool IsNameFree(std::string_view name) const;
    bool HasDuplicateNodeName(std::string_view name) const;
    TZunPigger* FindNode(std::string_view name) const;
    int NodeCount() const;
    int LineCount() const;

    // Both return nullptr, changing nothing, when the name is taken. A node
    // is nameWidth + 20 wide when that is more than 100.
    TZunPigger* AddNode(int x, int y, std::string_view name, int nameWidth);
    TZunPigger* AddLine(int xb, int yb, int xe, int ye, int im, std::string_view name);
    // The node goes with its references; its lines stay, unattached.
    void DeleteNode(TZunPigger* node);
    bool DeleteNodeByName(std::string_view name);
    // Detaches both ends, then deletes the line.
    void DeleteLine(TZunPigger* line);

    // Only a "NODE", resp. only a "LINE", is moved.
    static void MoveNode(TZunPigger* node, int x, int y);
    static void MoveLineBegin(TZunPigger* line, int x, int y);
    static void MoveLineEnd(TZunPigger* line, int x, int y);

    // Moves the ends of the node's lines with it.
    void Reroute(const TZunPigger* node);
    // Removes the node references that bind the begin (or the end) of the
    // line; references of the other kind stay, also on the same node.
    void DetachBegin(const TZunPigger* line);
    void DetachEnd(const TZunPigger* line);
    // Puts the begin on the node's right edge, the end on the side "IM"
    // names, and records the offsets in the node's "LINE_OUT" (begin) or
    // "LINE_IN" (end) reference to the line, so a line may leave and enter
    // the same node.
    static void AttachBegin(TZunPigger* line, TZunPigger* node);
    static void AttachEnd(TZunPigger* line, TZunPigger* node);

    // Keeps a released node or line on the sheet.
    void ClampNode(TZunPigger* node) const;
    void ClampLine(TZunPigger* line) const;

    // What a press at (x, y) selects: a line end near the point, last line
    // first (begin within 4 pixels, end within 9), else the last node
    // containing it. Raises like IntOf on a coordinate that is no integer.
    SchemeSelection HitTest(int x, int y) const;

    // True when every node and line lies inside WIDTH and HEIGHT; what lies
    // at negative coordinates is moved to 5.
    bool CheckBounds();
    // "Sheme is not deffined." for an empty scheme, "Object(s) outside
    // sheme are detected." when the bounds check fails, else empty.
    std::string CheckScheme();

    // Why a tree read from a scheme file cannot be imported: its root is not
    // "SHEME", or its format version (the root's third attribute) is below
    // 2 or missing. Empty when it can.
    static std::string ImportRefusal(const TZunPigger& tree);
    // Marks the scheme as of this format version before it is exported.
    void SetVersion();

private:
    // A tree without any child element is no scheme; sizes get defaults.
    void Loaded();
    void Detach(const TZunPigger* line, std::string_view kind);
    // The node's first reference of that kind ("LINE_OUT", "LINE_IN") to the
    // line of that name; the name compares as the names of lines do.
    static TZunPigger* FindReference(const TZunPigger* node, std::string_view name,
                                     std::string_view kind);
    // The reference, made when there is none.
    static TZunPigger* Reference(TZunPigger* node, const TZunPigger* line, std::string_view kind);
};
