#include "SitePages.h"

namespace {

QString Esc(const QString& text) {
    return text.toHtmlEscaped();
}

// Paragraphs at blank lines, line breaks kept within them.
QString Paragraphs(const QString& text) {
    QString html;
    const QStringList paragraphs = QString(text)
                                       .replace(QStringLiteral("\r\n"), QStringLiteral("\n"))
                                       .split(QStringLiteral("\n\n"), Qt::SkipEmptyParts);
    for (const QString& paragraph : paragraphs) {
        if (!paragraph.trimmed().isEmpty())
            html += QStringLiteral("<p>") +
                    Esc(paragraph.trimmed()).replace(QLatin1Char('\n'), QStringLiteral("<br>")) +
                    QStringLiteral("</p>\n");
    }
    return html;
}

QString WebAddress(const QString& website) {
    const QString address = website.trimmed();
    if (address.isEmpty() || address.contains(QStringLiteral("://")))
        return address;
    return QStringLiteral("http://") + address;
}

QString Count(int count) {
    return QStringLiteral(" <span class=\"count\">(%1)</span>").arg(count);
}

} // namespace

SitePages::SitePages(const QList<SiteFigure>& figures, const SiteIndex& index, Settings settings)
    : figures_(figures), index_(index), settings_(std::move(settings)) {
    if (settings_.title.trimmed().isEmpty())
        settings_.title = QStringLiteral("Figures");
}

QString SitePages::FigurePage(const QString& stem) {
    return QStringLiteral("figures/") + stem + QStringLiteral(".html");
}

QString SitePages::GenrePage(const QString& stem) {
    return QStringLiteral("genres/") + stem + QStringLiteral(".html");
}

QString SitePages::MakerPage(const QString& stem) {
    return QStringLiteral("makers/") + stem + QStringLiteral(".html");
}

QString SitePages::Thumbnail(const QString& stem) {
    return QStringLiteral("thumbs/") + stem + QStringLiteral(".jpg");
}

QByteArray SitePages::Page(const QString& root, const QString& title, const QString& body,
                           bool script) const {
    QString html =
        QStringLiteral("<!DOCTYPE html>\n<html lang=\"%1\">\n<head>\n"
                       "<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, "
                       "initial-scale=1\">\n<title>%2</title>\n"
                       "<link rel=\"stylesheet\" href=\"%3site.css\">\n</head>\n<body>\n")
            .arg(Esc(settings_.lang), Esc(title), root);
    if (!root.isEmpty())
        html += QStringLiteral("<header class=\"site\"><a href=\"%1index.html\">%2</a></header>\n")
                    .arg(root, Esc(settings_.title));
    html += QStringLiteral("<main>\n") + body + QStringLiteral("</main>\n");
    if (script)
        html += QStringLiteral("<script src=\"site-index.js\"></script>\n"
                               "<script src=\"site.js\"></script>\n");
    html += QStringLiteral("</body>\n</html>\n");
    return html.toUtf8();
}

QString SitePages::Img(const SiteImage& image, const QString& root, bool lazy) const {
    QString html = QStringLiteral("<img src=\"%1\" alt=\"%2\" width=\"%3\" height=\"%4\"%5>")
                       .arg(Esc(root + image.file), Esc(image.alt))
                       .arg(image.size.width())
                       .arg(image.size.height())
                       .arg(lazy ? QStringLiteral(" loading=\"lazy\"") : QString());
    if (!image.full.isEmpty())
        html = QStringLiteral("<a href=\"%1\">%2</a>").arg(Esc(root + image.full), html);
    return html;
}

QString SitePages::Card(int figure, const QString& root) const {
    const SiteFigure& f = figures_[figure];
    const QString stem = settings_.figureStem(f.key);
    const QString page = Esc(root + FigurePage(stem));
    QString picture = QStringLiteral("<span class=\"nothumb\"></span>");
    if (!f.thumbnail.isEmpty())
        picture = QStringLiteral("<a class=\"thumb\" href=\"%1\" tabindex=\"-1\">%2</a>")
                      .arg(page, Img({Thumbnail(stem), f.thumbnail, f.name, {}}, root, true));
    QStringList meta;
    for (const QString& text : {index_.GenreName(f), index_.MakerName(f), f.scale.trimmed()}) {
        if (!text.isEmpty())
            meta << QStringLiteral("<span>") + Esc(text) + QStringLiteral("</span>");
    }
    return QStringLiteral("<li class=\"card\" data-key=\"%1\">%2<h3><a href=\"%3\">%4</a></h3>"
                          "<p class=\"meta\">%5</p></li>\n")
        .arg(Esc(f.key), picture, page, Esc(f.name), meta.join(QLatin1Char(' ')));
}

QString SitePages::Cards(const QList<int>& figures, const QString& root) const {
    QString html = QStringLiteral("<ul class=\"cards\">\n");
    for (int figure : figures)
        html += Card(figure, root);
    return html + QStringLiteral("</ul>\n");
}

QString SitePages::Chips() const {
    QString html;
    const QList<std::pair<QString, QString>> fields{
        {QStringLiteral("genre"), QStringLiteral("Genre")},
        {QStringLiteral("scale"), QStringLiteral("Scale")},
        {QStringLiteral("type"), QStringLiteral("Type")}};
    for (const auto& [field, caption] : fields) {
        const QStringList values = index_.Values(field);
        if (values.isEmpty())
            continue;
        html += QStringLiteral("<div class=\"chips\" role=\"group\" aria-label=\"%1\">"
                               "<span class=\"chips-caption\">%1:</span>\n")
                    .arg(caption);
        for (const QString& value : values)
            html += QStringLiteral("<button type=\"button\" class=\"chip\" data-field=\"%1\" "
                                   "data-value=\"%2\" aria-pressed=\"false\">%2</button>\n")
                        .arg(field, Esc(value));
        html += QStringLiteral("</div>\n");
    }
    return html;
}

QByteArray SitePages::Index() const {
    QString body = QStringLiteral("<h1>%1</h1>\n").arg(Esc(settings_.title));
    body += Paragraphs(settings_.introduction);
    body +=
        QStringLiteral("<nav class=\"listings\" aria-label=\"Listings\"><a href=\"by-maker.html\">"
                       "By manufacturer</a> <a href=\"by-scale.html\">By scale</a></nav>\n");
    body += QStringLiteral("<div id=\"filters\" class=\"filters\" hidden>\n"
                           "<label for=\"search\">Search</label>\n"
                           "<input type=\"search\" id=\"search\" autocomplete=\"off\">\n") +
            Chips() + QStringLiteral("<p id=\"found\" aria-live=\"polite\"></p>\n</div>\n");
    QString contents = QStringLiteral("<nav class=\"contents\" aria-label=\"Contents\">\n"
                                      "<h2>Contents</h2>\n<ul>\n");
    QString groups;
    for (const SiteGroup& group : index_.ByGenre()) {
        const QString id = group.key.isEmpty()
                               ? QStringLiteral("genre-none")
                               : QStringLiteral("genre-") + settings_.genreStem(group.key);
        const SiteGenre* genre = index_.Genre(group.key);
        contents += QStringLiteral("<li><a href=\"#%1\">%2</a>%3</li>\n")
                        .arg(id, Esc(group.title), Count(group.figures.size()));
        QString heading = Esc(group.title);
        if (genre) {
            heading = QStringLiteral("<a href=\"%1\">%2</a> <span class=\"years\">%3</span>")
                          .arg(Esc(GenrePage(settings_.genreStem(group.key))), heading,
                               Esc(genre->years));
        }
        groups += QStringLiteral("<section class=\"group\" id=\"%1\">\n<h2>%2%3</h2>\n")
                      .arg(id, heading, Count(group.figures.size())) +
                  Cards(group.figures, {}) + QStringLiteral("</section>\n");
    }
    body += contents + QStringLiteral("</ul>\n</nav>\n") + groups;
    return Page({}, settings_.title, body, true);
}

QString SitePages::Listing(const QList<SiteGroup>& groups, const QString& heading) const {
    QString body = QStringLiteral("<p><a href=\"index.html\">%1</a></p>\n<h1>%2</h1>\n")
                       .arg(Esc(settings_.title), Esc(heading));
    for (const SiteGroup& group : groups) {
        body += QStringLiteral("<h2>%1%2</h2>\n<ul class=\"names\">\n")
                    .arg(Esc(group.title), Count(group.figures.size()));
        for (int figure : group.figures) {
            const SiteFigure& f = figures_[figure];
            body += QStringLiteral("<li><a href=\"%1\">%2</a></li>\n")
                        .arg(Esc(FigurePage(settings_.figureStem(f.key))), Esc(f.name));
        }
        body += QStringLiteral("</ul>\n");
    }
    return body;
}

QByteArray SitePages::ByMaker() const {
    QList<SiteGroup> groups = index_.ByMaker();
    return Page({}, QStringLiteral("By manufacturer"),
                Listing(groups, QStringLiteral("By manufacturer")));
}

QByteArray SitePages::ByScale() const {
    return Page({}, QStringLiteral("By scale"),
                Listing(index_.ByScale(), QStringLiteral("By scale")));
}

QByteArray SitePages::Figure(int place, const std::optional<SiteImage>& picture,
                             const QList<SiteImage>& gallery,
                             const std::optional<SiteImage>& map) const {
    const QString root = QStringLiteral("../");
    const QList<int>& order = index_.Order();
    const SiteFigure& f = figures_[order[place]];
    QString body = QStringLiteral("<h1>%1</h1>\n").arg(Esc(f.name));
    if (picture)
        body += QStringLiteral("<figure class=\"picture\">%1</figure>\n")
                    .arg(Img(*picture, root, false));

    QString fields;
    auto field = [&fields](const QString& caption, const QString& html) {
        if (!html.isEmpty())
            fields += QStringLiteral("<dt>%1</dt><dd>%2</dd>\n").arg(caption, html);
    };
    if (const SiteGenre* genre = index_.Genre(f.genreKey)) {
        field(QStringLiteral("Genre"),
              QStringLiteral("<a href=\"%1\">%2</a> <span class=\"years\">%3</span>")
                  .arg(Esc(root + GenrePage(settings_.genreStem(genre->key))), Esc(genre->name),
                       Esc(genre->years)));
    }
    if (const SiteMaker* maker = index_.Maker(f.makerKey)) {
        QString html =
            QStringLiteral("<a href=\"%1\">%2</a>")
                .arg(Esc(root + MakerPage(settings_.makerStem(maker->key))), Esc(maker->name));
        if (!maker->website.trimmed().isEmpty())
            html += QStringLiteral(" <a class=\"web\" href=\"%1\">%2</a>")
                        .arg(Esc(WebAddress(maker->website)), Esc(maker->website.trimmed()));
        field(QStringLiteral("Manufacturer"), html);
    }
    field(QStringLiteral("Scale"), Esc(f.scale.trimmed()));
    field(QStringLiteral("Type"), Esc(f.type.trimmed()));
    field(QStringLiteral("Sculptor"), Esc(f.sculptor.trimmed()));
    field(QStringLiteral("Painter"), Esc(f.painter.trimmed()));
    if (!fields.isEmpty())
        body += QStringLiteral("<dl class=\"fields\">\n") + fields + QStringLiteral("</dl>\n");
    if (!f.description.isEmpty()) {
        QString text = f.description;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        body += QStringLiteral("<h2>Description</h2>\n<div class=\"description\" "
                               "id=\"description\">%1</div>\n")
                    .arg(Esc(text));
    }
    if (map)
        body += QStringLiteral("<figure class=\"map\">%1</figure>\n").arg(Img(*map, root, true));
    if (!gallery.isEmpty()) {
        body += QStringLiteral("<h2>Additional pictures</h2>\n<ul class=\"gallery\">\n");
        for (const SiteImage& image : gallery)
            body += QStringLiteral("<li>%1</li>\n").arg(Img(image, root, true));
        body += QStringLiteral("</ul>\n");
    }

    QString pager = QStringLiteral("<nav class=\"pager\" aria-label=\"Figures\">");
    if (place > 0)
        pager +=
            QStringLiteral("<a rel=\"prev\" href=\"%1\">Previous: %2</a> ")
                .arg(Esc(root + FigurePage(settings_.figureStem(figures_[order[place - 1]].key))),
                     Esc(figures_[order[place - 1]].name));
    pager += QStringLiteral("<a href=\"../index.html\">Back to the catalog</a>");
    if (place + 1 < order.size())
        pager +=
            QStringLiteral(" <a rel=\"next\" href=\"%1\">Next: %2</a>")
                .arg(Esc(root + FigurePage(settings_.figureStem(figures_[order[place + 1]].key))),
                     Esc(figures_[order[place + 1]].name));
    body += pager + QStringLiteral("</nav>\n");
    return Page(root, f.name, body);
}

QByteArray SitePages::Genre(const SiteGroup& group, const std::optional<SiteImage>& map) const {
    const QString root = QStringLiteral("../");
    const SiteGenre* genre = index_.Genre(group.key);
    QString body = QStringLiteral("<h1>%1</h1>\n").arg(Esc(group.title));
    if (genre)
        body += QStringLiteral("<p class=\"years\">Epoch: %1</p>\n").arg(Esc(genre->years));
    if (map)
        body += QStringLiteral("<figure class=\"map\">%1</figure>\n").arg(Img(*map, root, false));
    body += QStringLiteral("<h2>Figures%1</h2>\n").arg(Count(group.figures.size())) +
            Cards(group.figures, root);
    return Page(root, group.title, body);
}

QByteArray SitePages::Maker(const SiteGroup& group) const {
    const QString root = QStringLiteral("../");
    const SiteMaker* maker = index_.Maker(group.key);
    QString body = QStringLiteral("<h1>%1</h1>\n").arg(Esc(group.title));
    if (maker && !maker->website.trimmed().isEmpty())
        body += QStringLiteral("<p><a class=\"web\" href=\"%1\">%2</a></p>\n")
                    .arg(Esc(WebAddress(maker->website)), Esc(maker->website.trimmed()));
    body += QStringLiteral("<h2>Figures%1</h2>\n").arg(Count(group.figures.size())) +
            Cards(group.figures, root);
    return Page(root, group.title, body);
}
