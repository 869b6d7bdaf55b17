#include "TFilterGroup.h"

#include "CommandGuard.h"
#include "DBactions.h"
#include "TCatalogStats.h"
#include "TE_figure.h"
#include "TField.h"
#include "TFigureCollection.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>

namespace {

constexpr int FirstCentury = -1000;
constexpr int LastCentury = 2000;
constexpr int DefaultCentury = 1800;

} // namespace

TFilterGroup::TFilterGroup(QWidget* parent) : QGroupBox(QStringLiteral("Filter:"), parent) {
    QFproducers.SQL = {"select producer_id, producer_name ", "from producers",
                       "order by producer_name"};
    QFgenres.SQL = {"select genre_id, genre_name ", "from genres", "order by genre_name"};

    auto* grid = new QGridLayout(this);
    int row = 0;
    auto addPair = [&](QCheckBox*& box, QComboBox*& list, const QString& caption) {
        box = new QCheckBox(caption, this);
        list = new QComboBox(this);
        grid->addWidget(box, row++, 0, 1, 2);
        grid->addWidget(list, row++, 0, 1, 2);
        connect(box, &QCheckBox::toggled, this, CommandGuard::Slot([this] { CBFClick(); }));
    };
    addPair(CBFproducer, DBLproducers, QStringLiteral("Producer:"));
    addPair(CBFgenre, DBLgenres, QStringLiteral("Genre:"));
    addPair(CBFcavalry, CmBFcavalry, QStringLiteral("Figure type:"));
    addPair(CBFscale, CmBFScale, QStringLiteral("Scale:"));
    addPair(CBFstatus, CmBFstatus, QStringLiteral("Status:"));
    addPair(CBFcentury, CmBFcentury, QStringLiteral("Century:"));
    // The centuries of the genre editor's time line.
    for (int year = FirstCentury; year <= LastCentury; year += 100)
        CmBFcentury->addItem(TCatalogStats::CenturyLabel(year), year);
    SelectCentury(DefaultCentury);

    btn_apply_filter = new QPushButton(QStringLiteral("Apply / Refresh"), this);
    grid->addWidget(btn_apply_filter, row++, 0, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("Records retrieved:"), this), row, 0);
    Label_records_filtered = new QLabel(QStringLiteral("0"), this);
    QFont bold = Label_records_filtered->font();
    bold.setBold(true);
    Label_records_filtered->setFont(bold);
    Label_records_filtered->setStyleSheet(QStringLiteral("color: navy"));
    grid->addWidget(Label_records_filtered, row, 1);
    CBFClick();
}

void TFilterGroup::Reload(TQuery& query, QComboBox* lookup) {
    const QString key = lookup->currentData().toString();
    query.Close();
    query.Open();
    lookup->clear();
    for (query.First(); !query.Eof(); query.Next())
        lookup->addItem(TField(query, 1).AsString(), TField(query, 0).AsString());
    // The lookup keeps its choice; one showing nothing takes the first entry.
    if (!SelectKey(lookup, key) && lookup->count() > 0)
        lookup->setCurrentIndex(0);
}

void TFilterGroup::RefreshLookups() {
    Reload(QFproducers, DBLproducers);
    Reload(QFgenres, DBLgenres);
    // The type and scale lists keep their choice too, so that they go on
    // showing what the list is filtered by.
    const QString scale = CmBFScale->currentText();
    const QString type = CmBFcavalry->currentText();
    const QString status = CmBFstatus->currentText();
    CmBFScale->clear();
    CmBFScale->addItems(TE_figure::Scales());
    CmBFcavalry->clear();
    CmBFcavalry->addItems(TE_figure::FigureTypes());
    SelectText(CmBFcavalry, type, TE_figure::FigureTypes().value(0));
    SelectText(CmBFScale, scale, QStringLiteral("54-mm"));
    CmBFstatus->clear();
    CmBFstatus->addItems(TFigureCollection::Statuses());
    SelectText(CmBFstatus, status, TFigureCollection::Statuses().value(0));
    CBFClick();
}

void TFilterGroup::ClearFilter() {
    for (QCheckBox* box : {CBFproducer, CBFgenre, CBFcavalry, CBFscale, CBFstatus, CBFcentury})
        box->setChecked(false);
    CmBFcavalry->setCurrentIndex(CmBFcavalry->findText(TE_figure::FigureTypes().value(0)));
    CmBFScale->setCurrentIndex(CmBFScale->findText(QStringLiteral("54-mm")));
    CmBFstatus->setCurrentIndex(CmBFstatus->findText(TFigureCollection::Statuses().value(0)));
    CBFClick();
}

void TFilterGroup::SelectText(QComboBox* list, const QString& text, const QString& fallback) {
    const int index = list->findText(text);
    list->setCurrentIndex(index >= 0 ? index : list->findText(fallback));
}

void TFilterGroup::SelectCentury(int firstYear) {
    int index = CmBFcentury->findData(firstYear);
    if (index < 0) {
        CmBFcentury->addItem(TCatalogStats::CenturyLabel(firstYear), firstYear);
        index = CmBFcentury->count() - 1;
    }
    CmBFcentury->setCurrentIndex(index);
}

bool TFilterGroup::SelectKey(QComboBox* lookup, const QString& key) {
    const int index = key.isEmpty() ? -1 : lookup->findData(key);
    if (index >= 0)
        lookup->setCurrentIndex(index);
    return index >= 0;
}

void TFilterGroup::CBFClick() {
    const std::pair<QCheckBox*, QComboBox*> pairs[] = {
        {CBFproducer, DBLproducers}, {CBFgenre, DBLgenres},   {CBFcavalry, CmBFcavalry},
        {CBFscale, CmBFScale},       {CBFstatus, CmBFstatus}, {CBFcentury, CmBFcentury}};
    for (const auto& [box, control] : pairs) {
        const bool on = box->isChecked();
        control->setEnabled(on);
        QPalette palette = control->palette();
        palette.setColor(QPalette::Base, palette.color(on ? QPalette::Base : QPalette::Button));
        control->setPalette(palette);
    }
}

QString TFilterGroup::FilterClause() const {
    QString clause;
    auto add = [&clause](const QString& condition) {
        clause += clause.isEmpty() ? QStringLiteral(" where ") : QStringLiteral(" and ");
        clause += condition;
    };
    // Columns are qualified with their table (the figures table's, which
    // the joined tables share key names with, or the collection's); values
    // have their quotes doubled.
    auto condition = [](const char* column, const QString& value) {
        return QStringLiteral("%1='%2'").arg(QLatin1String(column), SqlLiteralText(value));
    };
    if (CBFproducer->isChecked())
        add(condition("f.producer_id", DBLproducers->currentData().toString()));
    if (CBFgenre->isChecked())
        add(condition("f.genre_id", DBLgenres->currentData().toString()));
    if (CBFcavalry->isChecked())
        add(condition("f.type_ci", CmBFcavalry->currentText()));
    if (CBFscale->isChecked())
        add(condition("f.scale", CmBFScale->currentText()));
    if (CBFstatus->isChecked())
        add(condition("c.collection_status", CmBFstatus->currentText()));
    if (CBFcentury->isChecked()) {
        const int first = CmBFcentury->currentData().toInt();
        add(QStringLiteral(
                "f.genre_id in (select genre_id from genres where TB <= %1 and TE >= %2)")
                .arg(first + 99)
                .arg(first));
    }
    return clause;
}

void TFilterGroup::ShowRecordCount(int count) {
    Label_records_filtered->setText(QString::number(count));
}
