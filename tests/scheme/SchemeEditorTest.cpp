// The scheme editor through mouse events on its drawing surface.

#include "ModalScript.h"
#include "TO_sheme.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

class SchemeEditorTest : public ::testing::Test {
protected:
    void SetUp() override { frame_.resize(700, 500); }

    // A node named name at (l, t), 100 x 50.
    TZunPigger* Node(int l, int t, const std::string& name) {
        frame_.AddNode(l, t, name);
        return frame_.SelectedNode;
    }
    TZunPigger* Line(int xb, int yb, int xe, int ye, const std::string& name = "L1") {
        frame_.AddLine(xb, yb, xe, ye, 0, name);
        return frame_.SelectedLineBegin;
    }

    void Send(QEvent::Type type, int x, int y, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
        QMouseEvent event(type, QPointF(x, y), frame_.PB1->mapToGlobal(QPointF(x, y)), button,
                          buttons, modifiers);
        QApplication::sendEvent(frame_.PB1, &event);
    }
    void Click(int x, int y, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Send(QEvent::MouseButtonPress, x, y, Qt::LeftButton, modifiers);
        Send(QEvent::MouseButtonRelease, x, y, Qt::NoButton, modifiers);
    }
    void Drag(int x0, int y0, int x1, int y1, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        Send(QEvent::MouseButtonPress, x0, y0, Qt::LeftButton, modifiers);
        Send(QEvent::MouseMove, x1, y1, Qt::LeftButton, modifiers);
        Send(QEvent::MouseButtonRelease, x1, y1, Qt::NoButton, modifiers);
    }
    void CtrlDoubleClick(int x, int y) {
        Click(x, y, Qt::ControlModifier);
        Send(QEvent::MouseButtonDblClick, x, y, Qt::LeftButton, Qt::ControlModifier);
        Send(QEvent::MouseButtonRelease, x, y, Qt::NoButton, Qt::ControlModifier);
    }
    static std::string At(const TZunPigger* e, const char* name) { return e->GetAttribute(name); }

    TO_sheme frame_;
};

TEST_F(SchemeEditorTest, PressSelectsNearLineEndsBeforeNodesAndTheLaterOfOverlappingNodes) {
    TZunPigger* first = Node(100, 100, "first");
    TZunPigger* later = Node(150, 120, "later");
    TZunPigger* line = Line(120, 120, 300, 300);
    TZunPigger* shortLine = Line(400, 100, 413, 100, "L2");
    struct Case {
        int x, y;
        const TZunPigger* node;
        const TZunPigger* begin;
        const TZunPigger* end;
    };
    const Case cases[] = {
        {124, 122, nullptr, line, nullptr},      // within 4 of the begin, inside a node
        {125, 120, first, nullptr, nullptr},     // 5 from the begin: the node
        {160, 130, later, nullptr, nullptr},     // both nodes: the later one
        {295, 306, nullptr, nullptr, line},      // 8 from the end
        {405, 100, nullptr, nullptr, shortLine}, // 5 from the begin, 8 from the end
        {600, 450, nullptr, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        Click(c.x, c.y);
        EXPECT_EQ(frame_.SelectedNode, c.node) << c.x << "," << c.y;
        EXPECT_EQ(frame_.SelectedLineBegin, c.begin) << c.x << "," << c.y;
        EXPECT_EQ(frame_.SelectedLineEnd, c.end) << c.x << "," << c.y;
    }
}

TEST_F(SchemeEditorTest, ShiftDragMovesNothing) {
    TZunPigger* node = Node(100, 100, "box");
    Drag(110, 110, 200, 200, Qt::ShiftModifier);
    EXPECT_EQ(At(node, "L"), "100");
    EXPECT_EQ(At(node, "T"), "100");
}

TEST_F(SchemeEditorTest, ReleasedNodeIsClampedAndItsLinesFollowIt) {
    TZunPigger* source = Node(100, 100, "source");
    TZunPigger* target = Node(300, 200, "target");
    TZunPigger* line = Line(150, 120, 250, 250);
    SchemeDocument::AttachBegin(line, source);
    SchemeDocument::AttachEnd(line, target);
    EXPECT_EQ(At(line, "XB"), "200");
    EXPECT_EQ(At(line, "YE"), "250");
    Drag(150, 140, 60, 140); // left edge to 10
    EXPECT_EQ(At(source, "L"), "23");
    EXPECT_EQ(At(line, "XB"), "123");
    EXPECT_EQ(At(line, "YB"), "120");
    // Dragging the end away detaches only the end.
    Drag(300, 250, 400, 320);
    EXPECT_EQ(target->FindChild("LINE_IN"), nullptr);
    EXPECT_NE(source->FindChild("LINE_OUT"), nullptr);
    EXPECT_EQ(At(line, "XE"), "400");
}

TEST_F(SchemeEditorTest, CtrlDoubleClickOnANodeAttachesTheSelectedLineEnd) {
    TZunPigger* node = Node(300, 200, "target");
    TZunPigger* line = Line(100, 100, 200, 200);
    frame_.SelectedNode = nullptr;
    Click(200, 200); // the end
    ASSERT_EQ(frame_.SelectedLineEnd, line);
    CtrlDoubleClick(350, 230);
    // Only the line stays selected: "Delete" takes the line, not the node.
    EXPECT_EQ(frame_.SelectedNode, nullptr);
    EXPECT_EQ(frame_.SelectedLineEnd, line);
    const TZunPigger* in = node->FindChild("LINE_IN");
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(At(line, "XE"), "300"); // on the left edge
    EXPECT_EQ(At(in, "RX"), "-100");
    // Undo takes the attachment back.
    frame_.Undo();
    EXPECT_EQ(frame_.Scheme.ChildCount(), 2);
    EXPECT_EQ(frame_.FindNode("target")->FindChild("LINE_IN"), nullptr);
}

TEST_F(SchemeEditorTest, LineFromANodeBackToItselfKeepsBothReferences) {
    TZunPigger* node = Node(100, 100, "loop");
    TZunPigger* line = Line(150, 120, 250, 250);
    SchemeDocument::AttachBegin(line, node);
    SchemeDocument::AttachEnd(line, node);
    const TZunPigger* out = node->FindChild("LINE_OUT");
    const TZunPigger* in = node->FindChild("LINE_IN");
    ASSERT_NE(out, nullptr);
    ASSERT_NE(in, nullptr);
    EXPECT_EQ(At(out, "RX"), "100");
    EXPECT_EQ(At(in, "RX"), "-100");
    Drag(120, 140, 220, 240);
    EXPECT_EQ(At(line, "XB"), "300");
    EXPECT_EQ(At(line, "XE"), "200");
    frame_.Doc.DetachEnd(line);
    EXPECT_EQ(node->FindChild("LINE_IN"), nullptr);
    EXPECT_NE(node->FindChild("LINE_OUT"), nullptr);
}

TEST_F(SchemeEditorTest, TakenNamesAreRefusedWithAMessage) {
    ModalScript script;
    Node(100, 100, "PAINT");
    Line(10, 10, 50, 50, "9D4A0C51E37B4F2A8C6E1B0F5D2A7C39");
    script.Then(ModalScript::Ok).Then(ModalScript::Ok);
    frame_.AddNode(200, 200, "paint");
    frame_.AddNode(200, 200, "9d4a0c51e37b4f2a8c6e1b0f5d2a7c39");
    EXPECT_TRUE(script.Done());
    EXPECT_EQ(frame_.NodeCount(), 1);
    EXPECT_EQ(script.Shown, QStringList({"Message: The object \"paint\" already exists",
                                         "Message: The object "
                                         "\"9d4a0c51e37b4f2a8c6e1b0f5d2a7c39\" already exists"}));
}

TEST_F(SchemeEditorTest, UndoAndRedoWalkThroughChanges) {
    const std::string empty = frame_.Scheme.SaveToString();
    frame_.Change([&] { Node(100, 100, "box"); });
    const std::string one = frame_.Scheme.SaveToString();
    Drag(110, 110, 210, 160);
    EXPECT_TRUE(frame_.CanUndo());
    frame_.Undo();
    EXPECT_EQ(frame_.Scheme.SaveToString(), one);
    EXPECT_EQ(frame_.SelectedNode, nullptr);
    frame_.Undo();
    EXPECT_EQ(frame_.Scheme.SaveToString(), empty);
    EXPECT_FALSE(frame_.CanUndo());
    frame_.Redo();
    EXPECT_EQ(frame_.Scheme.SaveToString(), one);
    Click(400, 400); // a click changes nothing and records nothing
    frame_.Undo();
    EXPECT_EQ(frame_.Scheme.SaveToString(), empty);
}

} // namespace

namespace {

TEST(SchemeExtremesTest, CoordinatesAtTheEndsOfIntAreDrawnCheckedAndClickedSafely) {
    TO_sheme frame;
    frame.LoadSchemeText(
        "<SHEME HEIGHT=\"2147483647\" WIDTH=\"-2147483648\"><NODE L=\"2147483647\" "
        "T=\"-2147483648\" W=\"2147483647\" H=\"2147483647\" N_NAME=\"a\"><LINE_IN L_NAME=\"x\" "
        "RX=\"2147483647\" RY=\"-2147483648\"/></NODE><LINE L_NAME=\"x\" XB=\"2147483647\" "
        "YB=\"1\" XE=\"-2147483648\" YE=\"2\" IM=\"7\"/></SHEME>");
    frame.PB1MouseDown(Qt::LeftButton, Qt::NoModifier, 10, 10);
    frame.Doc.Reroute(frame.FindNode("a"));
    std::string found;
    frame.CheckScheme(found);
    EXPECT_EQ(found, "Object(s) outside sheme are detected.");
    QImage image(200, 100, QImage::Format_RGB32);
    QPainter painter(&image);
    frame.PaintScheme(painter);
}

} // namespace
