// A large scheme: 5,000 nodes and 5,000 lines, every line attached to two
// nodes, on a 6000 x 4000 sheet.
//
// Loading its text and painting it, against reading the same text into a
// plain tree and drawing the same rectangles, texts, lines and circles with
// QPainter from ready-made lists, in the same pen, brush, font and image.
//
// One step of dragging a node: moving an attached node, re-routing its
// lines and painting the whole scheme again, against painting it alone.

#include "RatioReporter.h"
#include "SchemeDocument.h"
#include "SchemePainter.h"
#include "TZunPigger.h"

#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QLine>
#include <QPainter>
#include <QRect>
#include <QString>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr int SheetWidth = 6000;
constexpr int SheetHeight = 4000;
constexpr int Columns = 50;
constexpr int Rows = 100;
constexpr int Count = Columns * Rows;

std::string LineName(int i) {
    return QStringLiteral("%1").arg(i, 32, 16, QLatin1Char('0')).toUpper().toStdString();
}

// Nodes on a grid (neighbouring rows overlap a little), each line from one
// node's right edge into the node one row down and one column to the right,
// entering from the left, the top or the bottom in turn.
std::string MakeSchemeText() {
    SchemeDocument scheme;
    scheme.Root.SetAttribute("HEIGHT", std::to_string(SheetHeight));
    scheme.Root.SetAttribute("WIDTH", std::to_string(SheetWidth));
    scheme.SetVersion();
    std::vector<TZunPigger*> nodes;
    for (int i = 0; i < Count; ++i)
        nodes.push_back(scheme.AddNode(20 + (i % Columns) * 118, 20 + (i / Columns) * 39,
                                       "Operation " + std::to_string(i), 0));
    for (int i = 0; i < Count; ++i) {
        TZunPigger* from = nodes[i];
        TZunPigger* to = nodes[(i + Columns + 1) % Count];
        TZunPigger* line = scheme.AddLine(0, 0, 0, 0, i % 3 - 1, LineName(i));
        SchemeDocument::MoveLineBegin(line, 0, SchemeDocument::IntOf(*from, "T") + 20);
        SchemeDocument::MoveLineEnd(line, SchemeDocument::IntOf(*to, "L") + 40,
                                    SchemeDocument::IntOf(*to, "T") + 25);
        SchemeDocument::AttachBegin(line, from);
        SchemeDocument::AttachEnd(line, to);
    }
    return scheme.Root.SaveToString();
}

const std::string& SchemeText() {
    static const std::string text = MakeSchemeText();
    return text;
}

QImage& Canvas() {
    static QImage image(SheetWidth, SheetHeight, QImage::Format_RGB32);
    return image;
}

void Begin(QPainter& painter, QImage& image) {
    image.fill(Qt::white);
    painter.begin(&image);
    painter.setFont(QGuiApplication::font());
}

void PaintScheme(QImage& image, const TZunPigger& root) {
    QPainter painter;
    Begin(painter, image);
    SchemePainter::Paint(painter, root, {});
}

// What the scheme's painter draws, as ready-made lists in drawing order.
struct Drawing {
    struct Node {
        QRect box;
        QPoint textAt;
        QString text;
        std::vector<QRect> marks;
    };
    struct Arrow {
        QLine stub;
        QRect circle;
        QLine lines[4];
    };
    std::vector<Node> nodes;
    std::vector<Arrow> arrows;
};

int Int(const TZunPigger& element, const char* name) {
    return SchemeDocument::IntOf(element, name);
}

// Corners as the scheme gives them, the right and bottom edges left out.
QRect Box(int x1, int y1, int x2, int y2) {
    return {x1, y1, x2 - x1 - 1, y2 - y1 - 1};
}

Drawing MakeDrawing() {
    SchemeDocument scheme;
    scheme.LoadText(SchemeText());
    const int ascent = QFontMetrics(QGuiApplication::font()).ascent();
    Drawing drawing;
    for (int i = 0; i < scheme.Root.ChildCount(); ++i) {
        const TZunPigger& node = *scheme.Root.Child(i);
        if (node.Name() != "NODE")
            continue;
        const int l = Int(node, "L");
        const int t = Int(node, "T");
        const int w = Int(node, "W");
        const int h = Int(node, "H");
        Drawing::Node drawn{Box(l, t, l + w, t + h),
                            QPoint(l + 10, t + 10 + ascent),
                            QString::fromStdString(node.GetAttribute("N_NAME")),
                            {}};
        for (int j = 0; j < node.ChildCount(); ++j) {
            const TZunPigger& reference = *node.Child(j);
            const int x = reference.Name() == "LINE_OUT" ? l + Int(reference, "RX")
                                                         : l + w + Int(reference, "RX");
            const int y = reference.Name() == "LINE_OUT" ? t + Int(reference, "RY")
                                                         : t + h + Int(reference, "RY");
            if (reference.Name() == "LINE_OUT")
                drawn.marks.push_back(Box(x - 5, y - 5, x, y + 5));
            else if (x == l)
                drawn.marks.push_back(Box(x, y - 5, x + 5, y + 5));
            else if (y == t)
                drawn.marks.push_back(Box(x - 5, y, x + 5, y + 5));
            else
                drawn.marks.push_back(Box(x - 5, y - 5, x + 5, y));
        }
        drawing.nodes.push_back(std::move(drawn));
    }
    for (int i = 0; i < scheme.Root.ChildCount(); ++i) {
        const TZunPigger& line = *scheme.Root.Child(i);
        if (line.Name() != "LINE")
            continue;
        const int xb = Int(line, "XB");
        const int yb = Int(line, "YB");
        const QPoint tip(Int(line, "XE"), Int(line, "YE"));
        const int im = Int(line, "IM");
        const int reach = SchemePainter::Reach;
        const QPoint side = im == 0 ? QPoint(-reach, 0) : QPoint(0, -im * reach);
        const QPoint approach = tip + side;
        const QPoint wing1 = im == 0 ? QPoint(-9, 3) : QPoint(-3, -im * 9);
        const QPoint wing2 = im == 0 ? QPoint(-9, -3) : QPoint(3, -im * 9);
        const QPoint stubEnd(xb + reach, yb);
        drawing.arrows.push_back({QLine(xb, yb, xb + reach, yb),
                                  Box(xb - 3, yb - 3, xb + 3, yb + 3),
                                  {QLine(approach, tip), QLine(tip, tip + wing1),
                                   QLine(tip, tip + wing2), QLine(approach, stubEnd)}});
    }
    return drawing;
}

const Drawing& ReadyDrawing() {
    static const Drawing drawing = MakeDrawing();
    return drawing;
}

void DrawReference(QImage& image, const Drawing& drawing) {
    QPainter painter;
    Begin(painter, image);
    painter.setBrush(Qt::white);
    QPen pen(SchemePainter::Gray);
    pen.setWidth(1);
    painter.setPen(pen);
    for (const Drawing::Node& node : drawing.nodes) {
        painter.drawRect(node.box);
        painter.drawText(node.textAt, node.text);
        for (const QRect& mark : node.marks)
            painter.drawRect(mark);
    }
    for (const Drawing::Arrow& arrow : drawing.arrows) {
        painter.drawLine(arrow.stub);
        painter.drawEllipse(arrow.circle);
        painter.drawLines(arrow.lines, 4);
    }
}

void BM_LoadAndPaintScheme(benchmark::State& state) {
    QImage& image = Canvas();
    for (auto _ : state) {
        SchemeDocument scheme;
        scheme.LoadText(SchemeText());
        scheme.EnsureSize();
        PaintScheme(image, scheme.Root);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(SchemeText().size()));
}

void BM_TreeAndQPainter(benchmark::State& state) {
    QImage& image = Canvas();
    const Drawing& drawing = ReadyDrawing();
    for (auto _ : state) {
        TZunPigger tree;
        tree.LoadFromString(SchemeText());
        DrawReference(image, drawing);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<long long>(SchemeText().size()));
}

// The scheme loaded once for the drag pair.
SchemeDocument& LoadedScheme() {
    struct Loaded {
        Loaded() { scheme.LoadText(SchemeText()); }
        SchemeDocument scheme;
    };
    static Loaded loaded;
    return loaded.scheme;
}

void BM_DragNodeStep(benchmark::State& state) {
    SchemeDocument& scheme = LoadedScheme();
    QImage& image = Canvas();
    TZunPigger* node = scheme.FindNode("Operation 2525");
    const int l = SchemeDocument::IntOf(*node, "L");
    const int t = SchemeDocument::IntOf(*node, "T");
    bool away = false;
    for (auto _ : state) {
        away = !away;
        SchemeDocument::MoveNode(node, away ? l + 7 : l, away ? t + 5 : t);
        scheme.Reroute(node);
        PaintScheme(image, scheme.Root);
    }
}

void BM_RepaintScheme(benchmark::State& state) {
    const SchemeDocument& scheme = LoadedScheme();
    QImage& image = Canvas();
    for (auto _ : state)
        PaintScheme(image, scheme.Root);
}

BENCHMARK(BM_LoadAndPaintScheme)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TreeAndQPainter)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DragNodeStep)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RepaintScheme)->Unit(benchmark::kMillisecond)->UseRealTime();

// Both sides of the first pair draw the same pixels.
bool DrawingsAgree() {
    SchemeDocument scheme;
    scheme.LoadText(SchemeText());
    QImage ours(SheetWidth, SheetHeight, QImage::Format_RGB32);
    PaintScheme(ours, scheme.Root);
    DrawReference(Canvas(), ReadyDrawing());
    return scheme.NodeCount() == Count && scheme.LineCount() == Count && ours == Canvas();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    if (Canvas().isNull() || !DrawingsAgree()) {
        std::fprintf(stderr, "bench_scheme: the scheme cannot be drawn, or the reference draws "
                             "other pixels\n");
        return 1;
    }
    std::printf("scheme: %d nodes and %d lines on %d x %d, %zu bytes of text\n", Count, Count,
                SheetWidth, SheetHeight, SchemeText().size());
    return RatioReporter::Main(
        argc, argv,
        {{"load + paint vs tree + QPainter", "BM_LoadAndPaintScheme", "BM_TreeAndQPainter", 0.5},
         {"drag step vs repaint", "BM_DragNodeStep", "BM_RepaintScheme", 1 / 1.5}});
}
