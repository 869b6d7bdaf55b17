#pragma once

#include "TQuery.h"

#include <QGroupBox>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;

// The group "Filter:" of the figures page: five conditions, each switched
// on by its check box, "Apply / Refresh" and the count of figures listed.
class TFilterGroup : public QGroupBox {
    Q_OBJECT

public:
    explicit TFilterGroup(QWidget* parent = nullptr);

    // Reloads the manufacturer and genre lookups and the type, scale and
    // status lists, each keeping its choice where it still can; otherwise
    // the lookups take their first entry, the type "cavalry", the scale
    // "54-mm", the status "wanted".
    void RefreshLookups();
    // No box ticked, the type, scale and status lists back on "cavalry",
    // "54-mm" and "wanted"; the lookups keep their choice.
    void ClearFilter();
    // Enables the controls of ticked boxes.
    void CBFClick();
    // The condition line of the figures query: " where " and " and "
    // between the conditions of the ticked boxes; empty when none is.
    QString FilterClause() const;
    void ShowRecordCount(int count);

    // Selects the lookup entry with that key; false when there is none.
    static bool SelectKey(QComboBox* lookup, const QString& key);
    // Selects the century beginning with that year (a multiple of 100),
    // adding it when the list has none.
    void SelectCentury(int firstYear);

    QCheckBox* CBFproducer = nullptr;
    QComboBox* DBLproducers = nullptr;
    QCheckBox* CBFgenre = nullptr;
    QComboBox* DBLgenres = nullptr;
    QCheckBox* CBFcavalry = nullptr;
    QComboBox* CmBFcavalry = nullptr;
    QCheckBox* CBFscale = nullptr;
    QComboBox* CmBFScale = nullptr;
    QCheckBox* CBFstatus = nullptr;
    QComboBox* CmBFstatus = nullptr;
    // Figures whose genre's epoch touches the century.
    QCheckBox* CBFcentury = nullptr;
    QComboBox* CmBFcentury = nullptr;
    QPushButton* btn_apply_filter = nullptr;
    QLabel* Label_records_filtered = nullptr;

    TQuery QFproducers;
    TQuery QFgenres;

private:
    static void Reload(TQuery& query, QComboBox* lookup);
    // Selects the entry text, or fallback when the list has no such entry.
    static void SelectText(QComboBox* list, const QString& text, const QString& fallback);
};
