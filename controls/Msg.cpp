#include "Msg.h"

#include "TDmsg.h"
#include "TFsure.h"

void ShowMsg(const QString& text) {
    TDmsg::Instance().ShowText(text);
}

bool Ask(const QString& question) {
    return TFsure::Instance().Ask(question);
}
