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

#include <algorithm>

namespace {

const QString WebsiteField = QStringLiteral("producer_website");
const QString WebPrefix = QStringLiteral("http://");

bool IsAsciiLetter(QChar c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Whether an address already names its scheme, in any letter case: a
// "scheme://" of any scheme, or "scheme:" without the slashes (mailto:,
// news:) unless what follows is a port number ("localhost:8080") or the
// name has a dot ("www.example.org:80"). A single letter is a drive
// ("C:"), not a scheme. Such an address is opened and kept as typed.
bool HasScheme(const QString& address) {
    const qsizetype colon = address.indexOf(QLatin1Char(':'));
    if (colon < 2)
        return false;
    const QStringView scheme = QStringView(address).left(colon);
    if (!IsAsciiLetter(scheme.front()))
        return false;
    for (const QChar c : scheme) {
        if (!IsAsciiLetter(c) && !(c >= u'0' && c <= u'9') && c != u'+' && c != u'-' && c != u'.')
            return false;
    }
    const QStringView rest = QStringView(address).mid(colon + 1);
    if (rest.startsWith(QLatin1String("//")))
        return true;
    if (scheme.contains(QLatin1Char('.')) || rest.isEmpty())
        return false;
    const qsizetype portEnd = rest.indexOf(QLatin1Char('/'));
    const QStringView port = portEnd < 0 ? rest : rest.left(portEnd);
    const bool number = !port.isEmpty() && std::all_of(port.begin(), port.end(), [](QChar c) {
        return c >= u'0' && c <= u'9';
    });
    return !number;
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
    if (!HasScheme(address) &&
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
