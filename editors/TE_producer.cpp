#include "TE_producer.h"

#include "CommandGuard.h"
#include "DBactions.h"
#include "Msg.h"
#include "ShellOpen.h"
#include "TDBEdit.h"
#include "TField.h"
#include "TQuery.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace {

const QString WebsiteField = QStringLiteral("producer_website");
const QString WebPrefix = QStringLiteral("http://");

// Whether an address begins with "http://" in any letter case. Any other
// scheme, the secure one included, is not the prefix: the user
// is asked, and declining opens the address as typed.
bool HasWebPrefix(const QString& address) {
    return address.toUpper().startsWith(QLatin1String("HTTP://"));
}

} // namespace

TE_producer::TE_producer(QWidget* parent) : TP_Edit(parent) {
    setWindowTitle(QStringLiteral("Manufacturer"));
    SetClientSize(ClientWidth, ClientHeight);

    Label1 = new QLabel(QStringLiteral("Manufacturer name:"), this);
    Label1->setGeometry(8, 11, 130, 16);
    DBEdit_name = new TDBEdit(&DS1, QStringLiteral("producer_name"), this);
    DBEdit_name->setGeometry(142, 8, 229, 21);
    Label1->setBuddy(DBEdit_name);

    // Drawn as a link: a click opens the address.
    Label2 = new QLabel(QStringLiteral("website:"), this);
    Label2->setGeometry(8, 43, 130, 16);
    QPalette linkColours = Label2->palette();
    linkColours.setColor(QPalette::WindowText, QColor(0, 0, 128));
    Label2->setPalette(linkColours);
    QFont underlined = Label2->font();
    underlined.setUnderline(true);
    Label2->setFont(underlined);
    Label2->setCursor(Qt::PointingHandCursor);
    Label2->installEventFilter(this);
    DBEdit_website = new TDBEdit(&DS1, WebsiteField, this);
    DBEdit_website->setGeometry(142, 40, 229, 21);
}

void TE_producer::Label2Click() {
    QString address = DBEdit_website->text().trimmed();
    if (address.isEmpty()) {
        ShowMsg(QStringLiteral("No URL entered. Please enter web address first"));
        return;
    }
    if (!HasWebPrefix(address) &&
        Ask(QStringLiteral("WEB address must begin from \"http://\". Add this prefix?"))) {
        address = WebPrefix + address;
        // Kept in the record, and so in the box; saved only by "Ok".
        if (TQuery* dataSet = DS1.DataSet(); dataSet && dataSet->Active()) {
            DataSetEdit(*dataSet);
            if (dataSet->State() == TDataSetState::Edit ||
                dataSet->State() == TDataSetState::Insert)
                dataSet->FieldByName(WebsiteField).SetAsString(address);
        }
    }
    ShellOpen::Open(address);
}

bool TE_producer::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Label2 && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::LeftButton &&
            Label2->rect().contains(mouse->position().toPoint())) {
            CommandGuard::Run([this] { Label2Click(); });
            return true;
        }
    }
    return TP_Edit::eventFilter(watched, event);
}
