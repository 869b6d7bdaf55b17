#include "TO_sheme.h"

#include "BmpWriter.h"
#include "CommandGuard.h"
#include "DBactions.h"
#include "DialogRunner.h"
#include "Msg.h"
#include "SchemePainter.h"
#include "TD_sheme_properties.h"
#include "WholeFile.h"

#include <QAction>
#include <QFontMetrics>
#include <QInputDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>
#include <stdexcept>

namespace {

QString FromBytes(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

void ShowTaken(const std::string& name) {
    ShowMsg(QStringLiteral("The object \"%1\" already exists").arg(FromBytes(name)));
}

QWidget* Filled(QWidget* parent, const QColor& colour) {
    auto* widget = new QWidget(parent);
    // Its own role: a child would take the scrolling area's light colour.
    widget->setBackgroundRole(QPalette::Window);
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
    return widget;
}

} // namespace

TO_sheme::TO_sheme(QWidget* parent) : QWidget(parent), Scheme(Doc.Root) {
    setObjectName(QStringLiteral("O_sheme"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    auto add = [this](QAction*& action, QStyle::StandardPixmap icon, const QString& hint,
                      std::function<void()> handler) {
        action = ToolBar1->addAction(style()->standardIcon(icon), hint);
        action->setToolTip(hint);
        connect(action, &QAction::triggered, this, CommandGuard::Slot(std::move(handler)));
    };
    add(TB_reopen, QStyle::SP_BrowserReload, QStringLiteral("(пере)открыть"),
        [this] { TB_reopenClick(); });
    add(TB_new_node, QStyle::SP_FileDialogNewFolder, QStringLiteral("новый узел"),
        [this] { TB_new_nodeClick(); });
    add(TB_new_rel, QStyle::SP_ArrowRight, QStringLiteral("новая связь"),
        [this] { TB_new_relClick(); });
    add(TB_del, QStyle::SP_TrashIcon, QStringLiteral("удалить активный объект"),
        [this] { TB_delClick(); });
    add(TB_edit, QStyle::SP_FileDialogDetailedView, QStringLiteral("свойства активного объекта"),
        [this] { TB_editClick(); });
    add(TB_properties, QStyle::SP_FileDialogInfoView, QStringLiteral("свойства диаграммы"),
        [this] { TB_propertiesClick(); });
    // Printing is not offered; the button stays for its place.
    add(TB_print, QStyle::SP_DialogSaveButton, QStringLiteral("печать"), [] {});
    add(ToolButton4, QStyle::SP_MessageBoxInformation, QString(), [this] { ToolButton4Click(); });
    layout->addWidget(ToolBar1);

    SB1 = new QScrollArea(this);
    SB1->setObjectName(QStringLiteral("SB1"));
    SB1->setBackgroundRole(QPalette::Midlight);
    auto* area = new QWidget;
    area->setBackgroundRole(QPalette::Midlight);
    area->setAutoFillBackground(true);
    Shape_shadow = Filled(area, Qt::gray);
    Shape_shadow->move(SchemeDocument::ShadowLeft, SchemeDocument::ShadowTop);
    Shape1 = Filled(area, Qt::black);
    Shape1->move(SchemeDocument::SheetLeft - 1, SchemeDocument::SheetTop - 1);
    PB1 = Filled(area, Qt::white);
    PB1->setObjectName(QStringLiteral("PB1"));
    PB1->move(SchemeDocument::SheetLeft, SchemeDocument::SheetTop);
    PB1->setMouseTracking(false);
    PB1->installEventFilter(this);
    SB1->setWidget(area);
    layout->addWidget(SB1);

    ResetScheme();
    ResetView();
    Layout();
}

TO_sheme::~TO_sheme() = default;

void TO_sheme::ClearSelection() {
    SelectedNode = nullptr;
    SelectedLineBegin = nullptr;
    SelectedLineEnd = nullptr;
    draggingNode_ = draggingLineBegin_ = draggingLineEnd_ = false;
}

void TO_sheme::ResetView() {
    LastNodeX = LastNodeY = 0;
    LastLineX = LastLineY = 0;
    SB1->horizontalScrollBar()->setValue(0);
    SB1->verticalScrollBar()->setValue(0);
}

void TO_sheme::ResetScheme() {
    ClearSelection();
    Doc.Reset();
    LastNodeX = LastNodeY = 0;
    LastLineX = LastLineY = 0;
}

void TO_sheme::LoadSchemeText(const std::string& text) {
    ResetScheme();
    ResetView();
    Doc.LoadText(text);
    Layout();
    Repaint();
}

void TO_sheme::LoadSchemeStream(std::istream& stream) {
    ResetScheme();
    ResetView();
    Doc.LoadStream(stream);
    Layout();
    Repaint();
}

void TO_sheme::Layout() {
    Doc.EnsureSize();
    // Widgets cannot grow beyond QWIDGETSIZE_MAX; the sheet stops short of it.
    constexpr int Largest = QWIDGETSIZE_MAX - 100;
    const int width =
        std::clamp(SchemeDocument::Add(Doc.Width(), -2 * SchemeDocument::ShadowLeft), 0, Largest);
    const int height =
        std::clamp(SchemeDocument::Add(Doc.Height(), -2 * SchemeDocument::ShadowTop), 0, Largest);
    Shape_shadow->resize(width, height);
    Shape1->resize(width + 2, height + 2);
    PB1->resize(width, height);
    SB1->widget()->resize(SchemeDocument::ShadowLeft + width + SchemeDocument::SheetLeft,
                          SchemeDocument::ShadowTop + height + SchemeDocument::SheetTop);
}

void TO_sheme::Repaint() {
    PB1->update();
}

void TO_sheme::PaintScheme(QPainter& painter) const {
    SchemePainter::Paint(painter, Scheme, {SelectedNode, SelectedLineBegin, SelectedLineEnd});
}

void TO_sheme::SaveBitmap(const QString& fileName) const {
    const QImage bitmap =
        SchemePainter::Bitmap(Scheme, {SelectedNode, SelectedLineBegin, SelectedLineEnd},
                              Doc.Width(), Doc.Height(), PB1->font());
    const QByteArray bytes = BitmapToBmpBytes(bitmap);
    if (bytes.isEmpty() || !WriteWholeFile(fileName, bytes))
        throw std::runtime_error("Cannot create file " + fileName.toStdString());
}

void TO_sheme::AnchorRule(int x, int y) {
    if (SelectedNode) {
        LastNodeX = x;
        LastNodeY = y;
    }
    if (SelectedLineBegin || SelectedLineEnd) {
        LastLineX = x;
        LastLineY = y;
    }
}

void TO_sheme::NotifySelection() {
    if (OnSelectionChanged)
        OnSelectionChanged(*this);
}

void TO_sheme::AddNode(int x, int y, const std::string& name) {
    const int nameWidth = QFontMetrics(PB1->font()).horizontalAdvance(FromBytes(name));
    TZunPigger* node = Doc.AddNode(x, y, name, nameWidth);
    if (!node) {
        ShowTaken(name);
        return;
    }
    SelectedNode = node;
    AnchorRule(x, y);
}

void TO_sheme::AddLine(int xb, int yb, int xe, int ye, int im, const std::string& name) {
    TZunPigger* line = Doc.AddLine(xb, yb, xe, ye, im, name);
    if (!line) {
        ShowTaken(name);
        return;
    }
    SelectedLineBegin = line;
    AnchorRule(xb, yb);
}

void TO_sheme::DeleteNode(TZunPigger* node) {
    Doc.DeleteNode(node);
    SelectedNode = nullptr;
    draggingNode_ = false;
}

void TO_sheme::DeleteNodeByName(const std::string& name) {
    if (Doc.DeleteNodeByName(name)) {
        SelectedNode = nullptr;
        draggingNode_ = false;
    }
}

void TO_sheme::DeleteLine(TZunPigger* line) {
    Doc.DeleteLine(line);
    SelectedLineBegin = nullptr;
    SelectedLineEnd = nullptr;
    draggingLineBegin_ = draggingLineEnd_ = false;
}

void TO_sheme::CheckScheme(std::string& text) {
    text = Doc.CheckScheme();
}

void TO_sheme::TB_reopenClick() {
    Change([this] {
        ResetScheme();
        ResetView();
        Layout();
    });
    Repaint();
    NotifySelection();
}

void TO_sheme::TB_new_nodeClick() {
    QInputDialog input(this);
    input.setWindowTitle(QString());
    input.setLabelText(QString());
    input.setTextValue(QStringLiteral("New operation"));
    if (DialogRunner::Exec(input) != QDialog::Accepted)
        return;
    const std::string name = input.textValue().toStdString();
    Change([&] {
        AddNode(SchemeDocument::Add(LastNodeX, 30), SchemeDocument::Add(LastNodeY, 30), name);
    });
    Repaint();
}

void TO_sheme::TB_new_relClick() {
    const std::string name = NewRecordKey().toStdString();
    Change([&] {
        const auto at = [](int anchor, int offset) { return SchemeDocument::Add(anchor, offset); };
        AddLine(at(LastLineX, 30), at(LastLineY, 30), at(LastLineX, 90), at(LastLineY, 120), 0,
                name);
        if (SelectedLineBegin && SelectedLineBegin->GetAttribute("L_NAME") == name)
            Doc.ClampLine(SelectedLineBegin);
    });
    Repaint();
}

void TO_sheme::TB_delClick() {
    Change([this] {
        if (SelectedLineBegin)
            DeleteLine(SelectedLineBegin);
        if (SelectedLineEnd)
            DeleteLine(SelectedLineEnd);
        if (SelectedNode)
            DeleteNode(SelectedNode);
    });
    Repaint();
}

void TO_sheme::TB_editClick() {}

void TO_sheme::TB_propertiesClick() {
    TD_sheme_properties dialog(this);
    dialog.EditSchemeProperties(this);
}

void TO_sheme::ToolButton4Click() {
    DialogRunner::ShowStandardMessage(FromBytes(Scheme.SaveToString()));
}

void TO_sheme::PB1MouseDown(Qt::MouseButton, Qt::KeyboardModifiers modifiers, int x, int y) {
    pressRecorded_ = false;
    const SchemeSelection before{SelectedNode, SelectedLineBegin, SelectedLineEnd};
    ClearSelection();
    const SchemeSelection hit = Doc.HitTest(x, y);
    SelectedNode = hit.Node;
    SelectedLineBegin = hit.LineBegin;
    SelectedLineEnd = hit.LineEnd;
    if (hit.HasLineEnd()) {
        const TZunPigger* line = hit.LineBegin ? hit.LineBegin : hit.LineEnd;
        AnchorRule(SchemeDocument::IntOf(*line, "XB"), SchemeDocument::IntOf(*line, "YB"));
    } else if (hit.Node) {
        AnchorRule(SchemeDocument::IntOf(*hit.Node, "L"), SchemeDocument::IntOf(*hit.Node, "T"));
    }
    if (modifiers & Qt::ControlModifier) {
        // Ctrl keeps the other half of a node and line end pair, for
        // attaching them with a double click.
        if (hit.Node && !hit.HasLineEnd() && before.HasLineEnd()) {
            SelectedLineBegin = before.LineBegin;
            SelectedLineEnd = before.LineEnd;
        } else if (hit.HasLineEnd() && before.Node) {
            SelectedNode = before.Node;
        }
    }
    if (hit.Node) {
        DragOffsetX = SchemeDocument::Sub(SchemeDocument::IntOf(*hit.Node, "L"), x);
        DragOffsetY = SchemeDocument::Sub(SchemeDocument::IntOf(*hit.Node, "T"), y);
    }
    Repaint();
    NotifySelection();
}

void TO_sheme::PB1MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers modifiers, int x,
                            int y) {
    if (buttons != Qt::LeftButton || modifiers != Qt::NoModifier)
        return;
    // The text before a drag is taken when it starts, not at every click:
    // a scheme of thousands of operations is long.
    if (!pressRecorded_ && (SelectedNode || SelectedLineBegin || SelectedLineEnd)) {
        pressText_ = Scheme.SaveToString();
        pressRecorded_ = true;
    }
    if (SelectedLineBegin) {
        MoveLineBegin(SelectedLineBegin, x, y);
        draggingLineBegin_ = true;
    }
    if (SelectedLineEnd) {
        MoveLineEnd(SelectedLineEnd, x, y);
        draggingLineEnd_ = true;
    }
    if (SelectedNode && !draggingLineBegin_ && !draggingLineEnd_) {
        MoveNode(SelectedNode, SchemeDocument::Add(x, DragOffsetX),
                 SchemeDocument::Add(y, DragOffsetY));
        draggingNode_ = true;
    }
    Repaint();
}

void TO_sheme::PB1MouseUp(int x, int y) {
    AnchorRule(x, y);
    if (draggingNode_ && SelectedNode) {
        Doc.ClampNode(SelectedNode);
        Doc.Reroute(SelectedNode);
    }
    draggingNode_ = false;
    if (draggingLineBegin_ && SelectedLineBegin) {
        Doc.DetachBegin(SelectedLineBegin);
        Doc.ClampLine(SelectedLineBegin);
    }
    draggingLineBegin_ = false;
    if (draggingLineEnd_ && SelectedLineEnd) {
        Doc.DetachEnd(SelectedLineEnd);
        Doc.ClampLine(SelectedLineEnd);
    }
    draggingLineEnd_ = false;
    Repaint();
    if (pressRecorded_) {
        pressRecorded_ = false;
        RecordSince(std::move(pressText_));
    }
}

bool TO_sheme::PB1DblClick() {
    bool attached = false;
    Change([&] {
        if (SelectedNode && SelectedLineBegin) {
            SchemeDocument::AttachBegin(SelectedLineBegin, SelectedNode);
            attached = true;
        }
        if (SelectedNode && SelectedLineEnd) {
            SchemeDocument::AttachEnd(SelectedLineEnd, SelectedNode);
            attached = true;
        }
    });
    Repaint();
    return attached;
}

void TO_sheme::PB1DoubleClick(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x,
                              int y) {
    const SchemeSelection before{SelectedNode, SelectedLineBegin, SelectedLineEnd};
    const bool attached = PB1DblClick();
    PB1MouseDown(button, modifiers, x, y);
    if (!attached)
        return;
    // After attaching only the line stays selected: a following "Delete"
    // or edit is meant for it, not for the node it now hangs on.
    ClearSelection();
    SelectedLineBegin = before.LineBegin;
    SelectedLineEnd = before.LineEnd;
    Repaint();
    NotifySelection();
}

void TO_sheme::RecordSince(std::string before) {
    if (Scheme.SaveToString() == before)
        return;
    history_.Record(std::move(before));
    if (OnSchemeChanged)
        OnSchemeChanged(*this);
}

void TO_sheme::Change(const std::function<void()>& edit) {
    std::string before = Scheme.SaveToString();
    try {
        edit();
    } catch (...) {
        RecordSince(std::move(before));
        throw;
    }
    RecordSince(std::move(before));
}

void TO_sheme::RestoreText(const std::string& text) {
    ClearSelection();
    pressRecorded_ = false;
    Scheme.LoadFromString(text);
    Layout();
    Repaint();
    NotifySelection();
    if (OnSchemeChanged)
        OnSchemeChanged(*this);
}

void TO_sheme::Undo() {
    if (CanUndo())
        RestoreText(history_.Undo(Scheme.SaveToString()));
}

void TO_sheme::Redo() {
    if (CanRedo())
        RestoreText(history_.Redo(Scheme.SaveToString()));
}

bool TO_sheme::eventFilter(QObject* watched, QEvent* event) {
    if (watched != PB1)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter painter(PB1);
        PaintScheme(painter);
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        CommandGuard::Run(
            [&] { PB1MouseDown(mouse->button(), mouse->modifiers(), at.x(), at.y()); });
        return true;
    }
    case QEvent::MouseButtonDblClick: {
        // The second press of a double click is a press as well.
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        CommandGuard::Run(
            [&] { PB1DoubleClick(mouse->button(), mouse->modifiers(), at.x(), at.y()); });
        return true;
    }
    case QEvent::MouseMove: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QPoint at = mouse->position().toPoint();
        CommandGuard::Run(
            [&] { PB1MouseMove(mouse->buttons(), mouse->modifiers(), at.x(), at.y()); });
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const QPoint at = static_cast<QMouseEvent*>(event)->position().toPoint();
        CommandGuard::Run([&] { PB1MouseUp(at.x(), at.y()); });
        return true;
    }
    default:
        return QWidget::eventFilter(watched, event);
    }
}
