#include "DialogRunner.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>

#include <utility>

DialogRunner::Hook& DialogRunner::CurrentHook() {
    static Hook hook;
    return hook;
}

DialogRunner::MessageHook& DialogRunner::CurrentMessageHook() {
    static MessageHook hook;
    return hook;
}

int DialogRunner::Exec(QDialog& dialog) {
    // A copy, so that a hook may replace itself while it runs.
    const Hook hook = CurrentHook();
    if (hook)
        return hook(dialog);
    return dialog.exec();
}

void DialogRunner::SetHook(Hook hook) {
    CurrentHook() = std::move(hook);
}

void DialogRunner::ShowStandardMessage(const QString& text) {
    const MessageHook hook = CurrentMessageHook();
    if (hook) {
        hook(text);
        return;
    }
    QString title = QApplication::applicationDisplayName();
    if (title.isEmpty())
        title = QStringLiteral("Velmora");
    QMessageBox box(QMessageBox::Warning, title, text, QMessageBox::Ok,
                    QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    Exec(box);
}

void DialogRunner::SetStandardMessageHook(MessageHook hook) {
    CurrentMessageHook() = std::move(hook);
}

DialogRunner::ScopedHook::ScopedHook(Hook hook) : previous_(std::move(CurrentHook())) {
    CurrentHook() = std::move(hook);
}

DialogRunner::ScopedHook::~ScopedHook() {
    CurrentHook() = std::move(previous_);
}

DialogRunner::ScopedMessageHook::ScopedMessageHook(MessageHook hook)
    : previous_(std::move(CurrentMessageHook())) {
    CurrentMessageHook() = std::move(hook);
}

DialogRunner::ScopedMessageHook::~ScopedMessageHook() {
    CurrentMessageHook() = std::move(previous_);
}
