#pragma once

#include "TO_sheme.h"

// The scheme editor of the manual window: the editor frame with the
// properties of the selected node or line on its edit command.
class TO_manual : public TO_sheme {
    Q_OBJECT

public:
    explicit TO_manual(QWidget* parent = nullptr);

    void ResetView() override;
    void TB_editClick() override;

    // Edits the selected line (its begin, else its end) or node in the
    // object properties window. A node name another node already has is
    // refused and the old name comes back.
    void EditSelectedObject();
};
