#pragma once

#include "TO_ci.h"

#include <QStringList>

class QPushButton;
class TF_picture_mgm;

// The additional pictures of one figure: a panel per picture showing its
// thumbnail, two panels a row, and the buttons "New ", "Edit" and "Delete".
// Changes stay in the query's cache until the owner applies them, so the
// figure's editor stores them with the figure or drops them with it.
class TO_pictures : public TO_ci {
    Q_OBJECT

public:
    static constexpr int PanelWidth = 139;
    static constexpr int PanelHeight = 107;
    static constexpr int ButtonColumnWidth = 84;

    explicit TO_pictures(QWidget* parent = nullptr);

    // The image dialog "Edit" opens; set by the owner.
    TF_picture_mgm* PictureDialog = nullptr;

    QPushButton* btn_new = nullptr;
    QPushButton* btn_edit = nullptr;
    QPushButton* btn_delete = nullptr;

    int RowHeight() const override;
    void OpenList() override;
    // "Edit" and "Delete" are enabled exactly when there is a picture.
    void UpdateButtons();
    // A new row belongs to the figure the list was opened for.
    void Q1AfterInsert();
    // Posts and deletes stay in the cache until the owner applies it.
    void Q1AfterPost() override;
    void Q1AfterDelete() override;

    void btn_newClick();
    void btn_editClick();
    void btn_deleteClick();

    // Picture files dropped on the list: a new picture for each file that
    // can be read, named after the file, with its automatic thumbnail; a
    // file that cannot be read is said so and adds nothing.
    void AddPictureFiles(const QStringList& files);

    // The panels show the thumbnail only, on the grid's own colours.
    void CGrid1PaintPanel(QPainter& painter, const QRect& panel, int index) override;
    void PaintPanelContent(QPainter& painter, const QRect& panel, int row) override;
    QString PanelElementAt(int row, const QRect& panel, const QPoint& pos) const override;
    Qt::CursorShape PanelElementCursor(const QString& element) const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // The image dialog on the current row; true when it changed the row.
    bool EditCurrent();
    // The current row's name, the row going into edit state.
    void SetName(const QString& name);
};
