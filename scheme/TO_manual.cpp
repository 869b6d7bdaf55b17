#include "TO_manual.h"

#include "Msg.h"
#include "TF_sheme_object_properties.h"

TO_manual::TO_manual(QWidget* parent) : TO_sheme(parent) {
    setObjectName(QStringLiteral("O_manual"));
}

void TO_manual::ResetView() {
    TO_sheme::ResetView();
}

void TO_manual::TB_editClick() {
    EditSelectedObject();
}

void TO_manual::EditSelectedObject() {
    TZunPigger* target = SelectedLineBegin ? SelectedLineBegin
                         : SelectedLineEnd ? SelectedLineEnd
                                           : SelectedNode;
    if (!target)
        return;
    const std::string remembered =
        target->GetAttribute(target->Name() == "LINE" ? "L_NAME" : "N_NAME");
    Change([&] {
        TF_sheme_object_properties window(this);
        window.EditObject(target);
        if (!SelectedNode)
            return;
        const std::string name = SelectedNode->GetAttribute("N_NAME");
        if (HasDuplicateNodeName(name)) {
            ShowMsg(QStringLiteral("The object \"%1\" already exists")
                        .arg(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()))));
            SelectedNode->SetAttribute("N_NAME", remembered);
        }
    });
    Repaint();
}
