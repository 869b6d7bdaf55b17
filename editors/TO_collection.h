#pragma once

#include "TFigureCollection.h"

#include <QFrame>

class QComboBox;
class QCompleter;
class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;
class TDateBox;

// The page "Collection" of the figure editor: the figure's status,
// quantity, date acquired, price and value (two decimals, in the locale's
// form), storage place (completed from the places already used) and a
// short note. It shows the values it is given and tells whether the user
// changed them.
class TO_collection : public QFrame {
    Q_OBJECT

public:
    // The widths of the stored texts.
    static constexpr int PlaceLength = 64;
    static constexpr int NoteLength = 128;
    // The largest quantity, price and value the stored numbers hold.
    static constexpr int MaxQuantity = 99999;
    static constexpr double MaxAmount = 99999.99;

    explicit TO_collection(QWidget* parent = nullptr);

    // Shows values (the defaults for a figure without a row), with places
    // offered as the storage place is typed; unchanged afterwards.
    void Load(const TFigureCollection::Values& values, const QStringList& places);
    // What the page shows now.
    TFigureCollection::Values Entered() const;
    // Whether that differs from what was loaded.
    bool Modified() const;

    QComboBox* CmB_status = nullptr;
    QSpinBox* SE_quantity = nullptr;
    TDateBox* DE_acquired = nullptr;
    QDoubleSpinBox* SE_price = nullptr;
    QDoubleSpinBox* SE_value = nullptr;
    QLineEdit* E_place = nullptr;
    QLineEdit* E_note = nullptr;

private:
    TFigureCollection::Values loaded_;
    QCompleter* placeCompleter_ = nullptr;
};
