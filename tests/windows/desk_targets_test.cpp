#include <string>

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include "components/document_preview.h"
#include "components/mask_edit.h"
#include "components/message_box.h"
#include "config/tform3.h"
#include "desk/tform1.h"
#include "windows/desk_fixture.h"
#include "windows/desk_scenario.h"

using sortwell::test::DeskFixture;

using namespace sortwell::test::scenario;  // NOLINT(google-build-using-namespace)

class DeskTargetsTest : public QObject {
    Q_OBJECT

private slots:
    void init() {
        MessageBox::clearShown();
        MessageBox::clearAnswers();
    }

    void eachTooltipSaysWhereAClickWouldFileAsTheUserTypes() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        Arrive(desk, "new.pdf");
        desk.form1->Detection(false);
        QCOMPARE(TargetButton(desk, kTaggedPattern)->toolTip(),
                 QStringLiteral("Files to /archive/2014/Invoice_new.pdf"));

        desk.form1->Edit1->setText(QStringLiteral("Tax: letter"));
        QCOMPARE(TargetButton(desk, kTaggedPattern)->toolTip(),
                 QStringLiteral("Files to /archive/2014/Tax_letter_new.pdf"));
        desk.form1->MaskEdit2->setText(QStringLiteral("2013"));
        QCOMPARE(TargetButton(desk, kTaggedPattern)->toolTip(),
                 QStringLiteral("Files to /archive/2013/Tax_letter_new.pdf"));
        QCOMPARE(TargetButton(desk, kTaggedPattern)->styleSheet(), QString());
    }

    void aPatternFilingWouldRefuseSaysWhyBeforeAnyClick() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        desk.form3->CheckBox1->setChecked(false);
        desk.form1->Edit1->setText(QStringLiteral("x"));
        desk.form1->Edit1->setText(QString());
        const QToolButton* tagged = TargetButton(desk, kTaggedPattern);
        QVERIFY(tagged->toolTip().startsWith(QStringLiteral("This target cannot file: ")));
        QVERIFY(tagged->toolTip().contains(QStringLiteral("empty part")));
        QVERIFY(tagged->styleSheet().contains(QStringLiteral("grey")));
    }

    void aMissingFixedFolderIsGreyedAndAskedForOnce() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        desk.files.folders.erase(kArchive);
        Arrive(desk, "new.pdf");
        desk.form1->Detection(false);
        const QToolButton* dated = TargetButton(desk, kDatedPattern);
        QVERIFY(dated->toolTip().contains(QStringLiteral("The folder /archive does not exist")));
        QVERIFY(dated->styleSheet().contains(QStringLiteral("grey")));

        // The fixture answers Ok to everything; these two questions get their own answers.
        MessageBox::clearAnswers();
        MessageBox::setNextAnswer(MessageBox::Answer::No);
        MessageBox::setNextAnswer(MessageBox::Answer::Yes);
        MessageBox::setNextAnswer(MessageBox::Answer::Ok);
        QVERIFY(ClickTarget(desk, kDatedPattern));
        QCOMPARE(MessageBox::shown().size(), 1);
        QCOMPARE(MessageBox::shown().front().kind, MessageBox::Kind::Question);
        QCOMPARE(MessageBox::shown().front().text,
                 QStringLiteral("The folder /archive does not exist. Create it and file here?"));
        QCOMPARE(CountCalls(desk, "move"), 0);
        QCOMPARE(desk.form1->currentDocument, std::string("new.pdf"));

        QVERIFY(ClickTarget(desk, kDatedPattern));
        QCOMPARE(ProblemText(desk), QString());
        QVERIFY(desk.files.files.contains("/archive/2014/09 Anna_new.pdf"));
        QVERIFY(desk.files.folders.contains(kArchive));
        QCOMPARE(MessageBox::shown().size(), 2);
    }

    void aClickOnAnEmptyDeskAsksNothing() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        desk.files.folders.erase(kArchive);
        QVERIFY(ClickTarget(desk, kDatedPattern));
        QCOMPARE(MessageBox::shown().size(), 0);
    }

    void withThePreviewOffTheDeskKeepsItsDesignGeometry() {
        DeskFixture desk(StoredDesk());
        StartDesk(desk);
        QVERIFY(!desk.form1->previewOn());
        QVERIFY(!desk.form1->Preview->isVisible());
        QCOMPARE(desk.form1->Panel1->size(), QSize(470, 268));
    }

    void withThePreviewOnItStandsBesideTheGridAndTheWindowGrows() {
        DeskFixture desk({{"inputdir", kScans}, {"preview", "1"}});
        StartDesk(desk);
        QVERIFY(desk.form1->previewOn());
        QVERIFY(desk.form1->Preview->isVisible());
        QCOMPARE(desk.form1->Panel1->size(), QSize(470, 268));
        const QRect preview = desk.form1->Preview->geometry();
        QCOMPARE(preview.top(), desk.form1->Panel1->y());
        QCOMPARE(preview.height(), 268);
        QVERIFY(preview.left() > desk.form1->Panel1->geometry().right());
        QCOMPARE(preview.width(), (268 - 22) * 210 / 297);

        // Turned off in the dialog, the desk goes back to its own width.
        desk.form3->CheckBox4->setChecked(false);
        desk.form1->Save();
        QVERIFY(!desk.form1->Preview->isVisible());
        QCOMPARE(desk.form1->Panel1->size(), QSize(470, 268));
    }

    void aPreviewThatHangsNeverHoldsUpFilingOrDismiss() {
        QTemporaryDir folder;
        const QString hanging = folder.filePath(QStringLiteral("hanging-preview"));
        QFile script(hanging);
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\nexec sleep 60\n");
        script.close();
        QVERIFY(script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));

        DeskFixture desk({{"inputdir", kScans},
                          {"preview", "1"},
                          {"icon0", "<none>"},
                          {"caption0", "Dated"},
                          {"folder0", kDatedPattern.toStdString()},
                          {"hide0", ""}});
        desk.form1->Preview->setHelperPath(hanging);
        StartDesk(desk);
        Arrive(desk, "first.pdf");
        desk.form1->Detection(false);
        QCOMPARE(desk.form1->Preview->documentPath(), QStringLiteral("/scans/first.pdf"));
        QVERIFY(ClickTarget(desk, kDatedPattern));
        QVERIFY(desk.files.files.contains("/archive/2014/09 _first.pdf"));
        QCOMPARE(desk.form1->Preview->documentPath(), QString());

        ForgetGoneFromListing(desk);
        Arrive(desk, "second.pdf");
        desk.form1->Detection(false);
        QCOMPARE(desk.form1->currentDocument, std::string("second.pdf"));
        desk.form1->SpeedButton1Click();
        QVERIFY(!desk.files.files.contains("/scans/second.pdf"));
        QCOMPARE(desk.form1->currentDocument, std::string());
    }

    void thePresentedDocumentIsPreviewedAndAClickOpensIt() {
        DeskFixture desk({{"inputdir", kScans}, {"preview", "1"}});
        StartDesk(desk);
        Arrive(desk, "new.pdf");
        desk.form1->Detection(false);
        QCOMPARE(desk.form1->Preview->documentPath(), QStringLiteral("/scans/new.pdf"));
        QTest::mouseClick(desk.form1->Preview, Qt::LeftButton);
        QCOMPARE(desk.openedUrls.size(), 1);
        QCOMPARE(desk.openedUrls.front(), QUrl::fromLocalFile(QStringLiteral("/scans/new.pdf")));

        desk.form1->SpeedButton1Click();
        QCOMPARE(desk.form1->Preview->documentPath(), QString());
    }
};

QTEST_MAIN(DeskTargetsTest)
#include "desk_targets_test.moc"
