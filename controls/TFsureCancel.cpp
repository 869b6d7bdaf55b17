#include "TFsureCancel.h"

#include "DialogRunner.h"

#include <QLabel>
#include <QPushButton>

namespace {

TFsureCancel* registered = nullptr;

} // namespace

TFsureCancel::TFsureCancel(QWidget* parent) : TFsure(parent, false) {
    // No answers rather than rejects: rejecting is going back.
    disconnect(btn_no, &QPushButton::clicked, this, nullptr);
    connect(btn_no, &QPushButton::clicked, this, [this] {
        noPressed_ = true;
        accept();
    });
    btn_cancel = new QPushButton(QStringLiteral("Cancel"), this);
    btn_cancel->setGeometry(btn_no->geometry());
    btn_no->move(btn_yes->pos());
    btn_yes->move(btn_yes->x() - (btn_cancel->x() - btn_yes->x()), btn_yes->y());
    connect(btn_cancel, &QPushButton::clicked, this, &QDialog::reject);
    setTabOrder(btn_yes, btn_no);
    setTabOrder(btn_no, btn_cancel);

    if (!registered)
        registered = this;
}

TFsureCancel::~TFsureCancel() {
    if (registered == this)
        registered = nullptr;
}

TFsureCancel& TFsureCancel::Instance() {
    if (!registered)
        new TFsureCancel(); // registers itself and lives for the rest of the run
    return *registered;
}

TFsureCancel::Reply TFsureCancel::AskWithCancel(const QString& question,
                                                const QStringList& captions) {
    Answer = false;
    noPressed_ = false;
    Question->setText(question);
    const QStringList texts =
        captions.size() == 3
            ? captions
            : QStringList{QStringLiteral("Yes"), QStringLiteral("No"), QStringLiteral("Cancel")};
    btn_yes->setText(texts.at(0));
    btn_no->setText(texts.at(1));
    btn_cancel->setText(texts.at(2));
    btn_yes->setFocus();
    DialogRunner::Exec(*this);
    if (Answer)
        return Reply::Yes;
    return noPressed_ ? Reply::No : Reply::Cancel;
}

TFsureCancel::Reply AskYesNoCancel(const QString& question, const QStringList& captions) {
    return TFsureCancel::Instance().AskWithCancel(question, captions);
}
