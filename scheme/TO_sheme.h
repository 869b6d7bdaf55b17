#pragma once

#include "SchemeDocument.h"
#include "SchemeHistory.h"

#include <QWidget>

#include <functional>
#include <iosfwd>
#include <string>

class QAction;
class QPainter;
class QScrollArea;
class QToolBar;

// The scheme editor: a white sheet with its shadow in a scrolling area, on
// which the nodes and lines of one scheme are added, moved, attached and
// deleted with the mouse. It owns the scheme tree; every change goes
// through it and can be undone while the scheme stays loaded.
//
// Attaching needs a node and a line end selected together: a click with
// Ctrl held keeps a selected line end when it hits a node (and a selected
// node when it hits a line end), so a Ctrl+double-click on a node attaches
// the selected line end to it.
class TO_sheme : public QWidget {
    Q_OBJECT

public:
    explicit TO_sheme(QWidget* parent = nullptr);
    ~TO_sheme() override;

    SchemeDocument Doc;
    // The tree itself, root "SHEME"; never replaced, only cleared and
    // reloaded.
    TZunPigger& Scheme;

    TZunPigger* SelectedNode = nullptr;
    TZunPigger* SelectedLineBegin = nullptr;
    TZunPigger* SelectedLineEnd = nullptr;
    int DragOffsetX = 0;
    int DragOffsetY = 0;
    int LastNodeX = 0;
    int LastNodeY = 0;
    int LastLineX = 0;
    int LastLineY = 0;

    // Called after every hit test, and after undo and redo.
    std::function<void(TO_sheme&)> OnSelectionChanged;
    // Called after every change that entered the undo history.
    std::function<void(TO_sheme&)> OnSchemeChanged;

    QToolBar* ToolBar1 = nullptr;
    QAction* TB_reopen = nullptr;
    QAction* TB_new_node = nullptr;
    QAction* TB_new_rel = nullptr;
    QAction* TB_del = nullptr;
    QAction* TB_edit = nullptr;
    QAction* TB_properties = nullptr;
    QAction* TB_print = nullptr;
    QAction* ToolButton4 = nullptr;
    QScrollArea* SB1 = nullptr;
    QWidget* Shape_shadow = nullptr;
    QWidget* Shape1 = nullptr;
    // The drawing surface; sheet coordinates are its coordinates.
    QWidget* PB1 = nullptr;

    virtual void ResetView();
    virtual void ResetScheme();
    virtual void AddNode(int x, int y, const std::string& name);
    virtual void DeleteNodeByName(const std::string& name);
    virtual void DeleteNode(TZunPigger* node);
    virtual void AddLine(int xb, int yb, int xe, int ye, int im, const std::string& name);
    virtual void DeleteLine(TZunPigger* line);
    virtual void CheckScheme(std::string& text);

    // Replace the scheme with a text or a stream's text (empty: an empty
    // 600 x 400 scheme), reset selections and anchors, lay out, repaint.
    // The reader's errors pass on.
    void LoadSchemeText(const std::string& text);
    void LoadSchemeStream(std::istream& stream);

    bool IsNameFree(const std::string& name) const { return Doc.IsNameFree(name); }
    bool HasDuplicateNodeName(const std::string& name) const {
        return Doc.HasDuplicateNodeName(name);
    }
    TZunPigger* FindNode(const std::string& name) const { return Doc.FindNode(name); }
    int NodeCount() const { return Doc.NodeCount(); }
    int LineCount() const { return Doc.LineCount(); }
    bool CheckBounds() { return Doc.CheckBounds(); }

    // Sizes the sheet, its shadow and the drawing surface from "WIDTH" and
    // "HEIGHT", writing the defaults where they are not integers.
    void Layout();
    void Repaint();
    void PaintScheme(QPainter& painter) const;
    // Writes the scheme as a 24-bit BMP file of WIDTH x HEIGHT pixels;
    // raises std::runtime_error naming the file when it cannot.
    void SaveBitmap(const QString& fileName) const;

    static void MoveNode(TZunPigger* node, int x, int y) { SchemeDocument::MoveNode(node, x, y); }
    static void MoveLineBegin(TZunPigger* line, int x, int y) {
        SchemeDocument::MoveLineBegin(line, x, y);
    }
    static void MoveLineEnd(TZunPigger* line, int x, int y) {
        SchemeDocument::MoveLineEnd(line, x, y);
    }

    // The toolbar commands.
    void TB_reopenClick();
    void TB_new_nodeClick();
    void TB_new_relClick();
    void TB_delClick();
    virtual void TB_editClick();
    void TB_propertiesClick();
    void ToolButton4Click();

    // The mouse on the drawing surface, in its coordinates.
    void PB1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void PB1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x, int y);
    void PB1MouseUp(int x, int y);
    // Attaches a selected line end to the selected node; true when it did.
    bool PB1DblClick();
    // The second press of a double click: attaching, then the press. After
    // an attach only the line end stays selected.
    void PB1DoubleClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

    // Runs an edit of the scheme; when it changed the scheme's text, the
    // text before enters the undo history. Errors pass on, the change that
    // was made up to them recorded.
    void Change(const std::function<void()>& edit);
    bool CanUndo() const { return history_.CanUndo(); }
    bool CanRedo() const { return history_.CanRedo(); }
    void Undo();
    void Redo();
    void ClearHistory() { history_.Clear(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ClearSelection();
    void AnchorRule(int x, int y);
    void NotifySelection();
    void RestoreText(const std::string& text);
    void RecordSince(std::string before);

    SchemeHistory history_;
    std::string pressText_;
    bool pressRecorded_ = false;
    bool draggingNode_ = false;
    bool draggingLineBegin_ = false;
    bool draggingLineEnd_ = false;
};
