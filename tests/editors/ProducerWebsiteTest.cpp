// The manufacturer editor's "website:" link: the prefix question, the
// stored prefix and what is handed to the desktop.

#include "EditorTestSupport.h"
#include "ShellOpen.h"
#include "TDBEdit.h"
#include "TE_producer.h"
#include "TField.h"

namespace {

const QString Question = "Confirmation: WEB address must begin from \"http://\". Add this prefix?";

class ProducerWebsiteTest : public OnEveryEngine<ProducerListFixture> {
protected:
    void TypeWebsite(const QString& text) {
        editor_.DBEdit_website->selectAll();
        QTest::keyClick(editor_.DBEdit_website, Qt::Key_Delete);
        QTest::keyClicks(editor_.DBEdit_website, text);
    }
    void ClickWebsite() { QTest::mouseClick(editor_.Label2, Qt::LeftButton); }
    void Close(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    TE_producer editor_;
    ModalScript script_;
    QStringList opened_;
    ShellOpen::ScopedHook openHook_{[this](const QString& text) { opened_ << text; }};
};

TEST_P(ProducerWebsiteTest, NoAddressShowsAMessageAndOpensNothing) {
    list_.Next();
    script_
        .Then([&](QDialog&) {
            ClickWebsite();
            TypeWebsite("   ");
            ClickWebsite();
            QTest::mouseClick(editor_.Label2, Qt::RightButton);
            Close(editor_.btn_cancel);
        })
        .Then(ModalScript::Ok)
        .Then(ModalScript::Ok);
    editor_.EditRecord(list_);
    const QString message = "Message: No URL entered. Please enter web address first";
    EXPECT_EQ(script_.Shown, (QStringList{"Manufacturer", message, message}));
    EXPECT_TRUE(opened_.isEmpty());
}

TEST_P(ProducerWebsiteTest, YesStoresThePrefixedAddressNoOpensItAsTyped) {
    script_
        .Then([&](QDialog&) {
            ClickWebsite(); // stored "www.airfix.example", declined
            EXPECT_EQ(list_.State(), TDataSetState::Browse) << "the record is not touched";
            TypeWebsite(" localhost:8080/shop ");
            ClickWebsite(); // declined
            TypeWebsite("www.x.com");
            ClickWebsite(); // accepted
            EXPECT_EQ(editor_.DBEdit_website->text(), "http://www.x.com");
            Close(editor_.btn_ok);
        })
        .Then(ModalScript::No)
        .Then(ModalScript::No)
        .Then(ModalScript::Yes);
    EXPECT_TRUE(editor_.EditRecord(list_));
    EXPECT_EQ(script_.Shown, (QStringList{"Manufacturer", Question, Question, Question}));
    EXPECT_EQ(opened_,
              (QStringList{"www.airfix.example", "localhost:8080/shop", "http://www.x.com"}));
    EXPECT_EQ(Stored("producer_website", "P1"), "http://www.x.com");
}

TEST_P(ProducerWebsiteTest, HttpAddressesInAnyLetterCaseOpenUnchangedWithoutAQuestion) {
    const QStringList addresses = {"HTTP://X.com", "Http://x.com", "http://x.com/a?b=c"};
    script_.Then([&](QDialog&) {
        for (const QString& address : addresses) {
            TypeWebsite(address);
            ClickWebsite();
        }
        EXPECT_EQ(editor_.DBEdit_website->text(), addresses.last());
        Close(editor_.btn_cancel);
    });
    editor_.EditRecord(list_);
    EXPECT_EQ(script_.Shown, QStringList{"Manufacturer"});
    EXPECT_EQ(opened_, addresses);
}

TEST_P(ProducerWebsiteTest, AddressesWithAnySchemeOpenAndStayAsTypedWithoutAQuestion) {
    const QStringList addresses = {"https://x.com",     "HTTPS://Y.COM/a?b=c", "ftp://x.com/f",
                                   "mailto:shop@x.com", "svn+ssh://x.com/r",   "news:rec.models"};
    script_.Then([&](QDialog&) {
        for (const QString& address : addresses) {
            TypeWebsite(address);
            ClickWebsite();
            EXPECT_EQ(editor_.DBEdit_website->text(), address);
        }
        Close(editor_.btn_ok);
    });
    EXPECT_TRUE(editor_.EditRecord(list_));
    EXPECT_EQ(script_.Shown, QStringList{"Manufacturer"});
    EXPECT_EQ(opened_, addresses);
    EXPECT_EQ(Stored("producer_website", "P1"), addresses.last());
}

TEST_P(ProducerWebsiteTest, CancelAfterAddingThePrefixLeavesTheTableUnchanged) {
    script_
        .Then([&](QDialog&) {
            ClickWebsite();
            EXPECT_EQ(list_.FieldByName("producer_website").AsString(),
                      "http://www.airfix.example");
            Close(editor_.btn_cancel);
        })
        .Then(ModalScript::Yes);
    EXPECT_FALSE(editor_.EditRecord(list_));
    EXPECT_EQ(opened_, QStringList{"http://www.airfix.example"});
    EXPECT_EQ(list_.FieldByName("producer_website").AsString(), "www.airfix.example");
    EXPECT_EQ(Stored("producer_website", "P1"), "www.airfix.example");
}

} // namespace

VELMORA_ON_EVERY_ENGINE(ProducerWebsiteTest);
