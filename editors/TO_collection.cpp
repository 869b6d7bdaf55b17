#include "TO_collection.h"

#include "TDateBox.h"

#include <QComboBox>
#include <QCompleter>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QSpinBox>
#include <QStringListModel>

namespace {

QDoubleSpinBox* AmountBox() {
    auto* box = new QDoubleSpinBox;
    box->setDecimals(2);
    box->setRange(0, TO_collection::MaxAmount);
    box->setGroupSeparatorShown(true);
    return box;
}

} // namespace

TO_collection::TO_collection(QWidget* parent) : QFrame(parent) {
    CmB_status = new QComboBox;
    CmB_status->addItems(TFigureCollection::Statuses());
    SE_quantity = new QSpinBox;
    SE_quantity->setRange(0, MaxQuantity);
    DE_acquired = new TDateBox;
    SE_price = AmountBox();
    SE_value = AmountBox();
    E_place = new QLineEdit;
    E_place->setMaxLength(PlaceLength);
    placeCompleter_ = new QCompleter(new QStringListModel(this), this);
    placeCompleter_->setCaseSensitivity(Qt::CaseInsensitive);
    E_place->setCompleter(placeCompleter_);
    E_note = new QLineEdit;
    E_note->setMaxLength(NoteLength);

    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Status:"), CmB_status);
    form->addRow(QStringLiteral("Quantity:"), SE_quantity);
    form->addRow(QStringLiteral("Acquired:"), DE_acquired);
    form->addRow(QStringLiteral("Price:"), SE_price);
    form->addRow(QStringLiteral("Value:"), SE_value);
    form->addRow(QStringLiteral("Storage place:"), E_place);
    form->addRow(QStringLiteral("Note:"), E_note);
    Load({}, {});
}

void TO_collection::Load(const TFigureCollection::Values& values, const QStringList& places) {
    static_cast<QStringListModel*>(placeCompleter_->model())->setStringList(places);
    CmB_status->setCurrentIndex(CmB_status->findText(values.status));
    SE_quantity->setValue(values.quantity);
    DE_acquired->SetDate(values.acquired);
    SE_price->setValue(values.price);
    SE_value->setValue(values.value);
    E_place->setText(values.place);
    E_note->setText(values.note);
    // As the page shows them: a stored amount beyond two decimals or a
    // text longer than its box counts as unchanged.
    loaded_ = Entered();
}

TFigureCollection::Values TO_collection::Entered() const {
    TFigureCollection::Values values;
    values.status = CmB_status->currentIndex() < 0 ? QString() : CmB_status->currentText();
    values.quantity = SE_quantity->value();
    values.acquired = DE_acquired->Date();
    values.price = SE_price->value();
    values.value = SE_value->value();
    values.place = E_place->text();
    values.note = E_note->text();
    return values;
}

bool TO_collection::Modified() const {
    return Entered() != loaded_;
}
