// The relation wizard library, loaded as the format forms load it, working on
// a real SQL builder and a data set of the application server.
#include "appserver/AppServer.h"
#include "demo/SampleCompany.h"
#include "format/DreamDesigner.h"
#include "format/VRSQLBuilder.h"
#include "format/engine/ClientDataSet.h"
#include "kelm24/HostObjects.h"
#include "tests/appserver/TestSupport.h"

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <dlfcn.h>
#include <gtest/gtest.h>

using namespace kelm24;

namespace {

using TGetSQLFixed = int (*)(QWidget*, QObject*, QObject*);

class TessivarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QByteArray path = qgetenv("KELM24_BIN_DIR") + "/libTessivar.so";
        handle = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(handle, nullptr) << dlerror();
        getSQLFixed = reinterpret_cast<TGetSQLFixed>(dlsym(handle, "GetSQLFixed"));
        ASSERT_NE(getSQLFixed, nullptr);

        as.Connect(TSampleCompany::ProgramCode, TSampleCompany::LeaderUser, TSampleCompany::CompanyCode, QStringLiteral("DEMO"),
                   QStringLiteral("PURTG"));
        form.resize(600, 400);
        designer = new TDreamDesigner(&form);
        builder = new TVRSQLBuilder(&form);
        const QChar m(3);
        builder->SetLayoutFields(QString(m) + QStringLiteral("TG005") + m + QStringLiteral("供应商") + m + QStringLiteral("TG002") +
                                 m + QStringLiteral("单号"));
        builder->Apply(QStringLiteral("Select TG001,TG002,TG005 "), QStringLiteral(" From $$PURTG AS PURTG "), 1, QString(),
                       QString(), QString(), QStringLiteral(" LEFT JOIN $$PURMA AS PURMA ON TG005=PURMA.MA001 "));
        data = new TClientDataSet(&form, QStringLiteral("cdsTemp"));
        data->SetRemoteServer(server);
        data->SetProviderName(QStringLiteral("pvdTemp"));
        form.show();
    }
    void TearDown() override
    {
        // The library pins itself: closing the handle leaves it loaded.
        if (handle) dlclose(handle);
    }
    template <class T>
    T* Find(QObject* in, const char* name)
    {
        T* found = in->findChild<T*>(QLatin1String(name));
        EXPECT_NE(found, nullptr) << name;
        return found;
    }
    // The wizard as a user reaches it: design mode, the tool window, its button.
    QDialog* OpenWizard()
    {
        designer->Start();
        EXPECT_EQ(getSQLFixed(&form, builder, data), 0);
        QWidget* window = Find<QWidget>(&form, "frmTessivar");
        if (!window) return nullptr;
        EXPECT_TRUE(window->isVisible());
        Find<QToolButton>(window, "tbAddTable")->click();
        wizard = Find<QDialog>(window, "frmRelationWizard");
        return wizard;
    }
    // Types a table name and leaves the field; answers whether its columns came.
    bool ChooseTable(const QString& Table)
    {
        auto* combo = Find<QComboBox>(wizard, "cboTable");
        combo->setEditText(Table);
        emit combo->lineEdit()->editingFinished();
        return Find<QTableWidget>(wizard, "tblFields")->rowCount() > 0 &&
               Status().startsWith(Table.trimmed().toUpper() + QLatin1Char(':'));
    }
    QString Status() { return wizard->findChildren<QLabel*>().last()->text(); }
    // Presses OK; answers whether the dialog closed.
    bool PressOk()
    {
        Find<QPushButton>(wizard, "btnOk")->click();
        return !wizard->isVisible();
    }
    QTableWidget* Fields() { return Find<QTableWidget>(wizard, "tblFields"); }
    void Join(const QString& Base, const QString& Column)
    {
        Find<QComboBox>(wizard, "cboBaseColumn")->setEditText(Base);
        Find<QComboBox>(wizard, "cboJoinColumn")->setCurrentText(Column);
        Find<QToolButton>(wizard, "btnAddJoin")->click();
    }

    test::TSampleInstall install{6};
    Variant server{std::make_shared<TAppServer>(install.Settings())};
    TAppServerObject as{server};
    QWidget form;
    TDreamDesigner* designer = nullptr;
    TVRSQLBuilder* builder = nullptr;
    TClientDataSet* data = nullptr;
    void* handle = nullptr;
    TGetSQLFixed getSQLFixed = nullptr;
    QDialog* wizard = nullptr;
};

}  // namespace

TEST_F(TessivarTest, WizardJoinsARelatedTableAndOffersItsFields)
{
    ASSERT_NE(OpenWizard(), nullptr);
    EXPECT_TRUE(wizard->isVisible());
    // The tables of the statement and the layout's fields are offered.
    EXPECT_GE(Find<QComboBox>(wizard, "cboTable")->findText(QStringLiteral("PURMA")), 0);
    EXPECT_GE(Find<QComboBox>(wizard, "cboBaseColumn")->findText(QStringLiteral("TG005")), 0);

    ASSERT_TRUE(ChooseTable(QStringLiteral("purma")));
    EXPECT_GE(Find<QComboBox>(wizard, "cboJoinColumn")->findText(QStringLiteral("MA005")), 0);
    EXPECT_EQ(Fields()->rowCount(), Find<QComboBox>(wizard, "cboJoinColumn")->count());
    Find<QLineEdit>(wizard, "edtCaption")->setText(QStringLiteral("供应商"));
    Join(QStringLiteral("PURTG.TG005"), QStringLiteral("MA001"));
    ASSERT_EQ(Find<QListWidget>(wizard, "lbJoins")->count(), 1);
    for (int r = 0; r < Fields()->rowCount(); ++r) {
        const QString column = Fields()->item(r, 0)->text();
        if (column == QLatin1String("MA005") || column == QLatin1String("MA001")) Fields()->item(r, 0)->setCheckState(Qt::Checked);
        if (column == QLatin1String("MA001")) Fields()->item(r, 1)->setCheckState(Qt::Checked);
    }
    EXPECT_TRUE(PressOk());

    ASSERT_EQ(builder->RelationCount(), 1);
    EXPECT_EQ(builder->RelationTableName(0), QStringLiteral("PURMA"));
    EXPECT_EQ(builder->Relation(0).JoinColumns, (QList<QPair<QString, QString>>{{QStringLiteral("PURTG.TG005"), QStringLiteral("MA001")}}));
    ASSERT_EQ(builder->FieldCount(0), 2);
    EXPECT_TRUE(builder->FieldBarcode(0, 0));   // MA001
    EXPECT_FALSE(builder->FieldBarcode(0, 1));  // MA005

    // The field list shows them with [_, column, hint, table, field].
    auto* list = form.findChild<QTreeWidget*>(QStringLiteral("lvExtending"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->topLevelItemCount(), 2);
    QTreeWidgetItem* phone = list->topLevelItem(1);
    EXPECT_EQ(phone->text(1), QStringLiteral("RT0MA005"));
    EXPECT_EQ(phone->text(2), QStringLiteral("供应商.MA005"));
    EXPECT_EQ(phone->text(3), QStringLiteral("0"));
    EXPECT_EQ(phone->text(4), QStringLiteral("1"));
    // Placing a field shows in the list at once.
    builder->SetFieldPlaced(0, 1, QStringLiteral("ExTxtRT0MA0051"));
    EXPECT_EQ(list->topLevelItem(1)->toolTip(0), QStringLiteral("ExTxtRT0MA0051"));
    EXPECT_NE(form.findChild<QToolButton*>(QStringLiteral("tbLabel")), nullptr);

    // A second call brings the same window up again.
    EXPECT_EQ(getSQLFixed(&form, builder, data), 0);
    EXPECT_EQ(form.findChildren<QWidget*>(QStringLiteral("frmTessivar")).size(), 1);
}

TEST_F(TessivarTest, WizardRefusesWhatCannotBeJoined)
{
    ASSERT_NE(OpenWizard(), nullptr);
    // OK without a table keeps the dialog open.
    EXPECT_FALSE(PressOk());
    // A table the server does not have: said so, nothing changes.
    EXPECT_FALSE(ChooseTable(QStringLiteral("NOSUCH")));
    EXPECT_TRUE(Status().contains(QStringLiteral("NOSUCH")));
    EXPECT_FALSE(ChooseTable(QStringLiteral("PURMA WHERE 1=1")));
    // Without a join or without fields the dialog stays open too.
    ASSERT_TRUE(ChooseTable(QStringLiteral("CMSMQ")));
    EXPECT_FALSE(PressOk());
    EXPECT_TRUE(Status().contains(QStringLiteral("关联条件")));
    Join(QStringLiteral("TG001 OR 1=1"), QStringLiteral("MQ001"));
    EXPECT_FALSE(PressOk());
    EXPECT_TRUE(Status().contains(QStringLiteral("提供的栏位")));
    Fields()->item(1, 0)->setCheckState(Qt::Checked);
    // The builder refuses a join column that is no plain name.
    EXPECT_FALSE(PressOk());
    EXPECT_TRUE(Status().contains(QStringLiteral("TG001 OR 1=1")));
    EXPECT_EQ(builder->RelationCount(), 0);
}

TEST_F(TessivarTest, PrintRunsLeaveOutFieldsWhoseColumnIsGone)
{
    const int t = builder->AddRelationTable(QStringLiteral("PURMA"), QStringLiteral("供应商"), {QStringLiteral("PURTG.TG005")},
                                            {QStringLiteral("MA001")});
    builder->AddRelationField(t, QStringLiteral("MA005"), QString(), false);
    builder->AddRelationField(t, QStringLiteral("MA099"), QString(), false);
    builder->SetFieldPlaced(t, 0, QStringLiteral("ExTxtRT0MA0051"));
    builder->SetFieldPlaced(t, 1, QStringLiteral("ExTxtRT0MA0992"));
    ASSERT_FALSE(designer->Active());
    EXPECT_EQ(getSQLFixed(&form, builder, data), 0);
    EXPECT_TRUE(builder->FieldPlaced(t, 0));
    EXPECT_FALSE(builder->FieldPlaced(t, 1));
    // No window outside design mode.
    EXPECT_EQ(form.findChild<QWidget*>(QStringLiteral("frmTessivar")), nullptr);
    // Arguments that are not a form, builder and data set are refused.
    EXPECT_EQ(getSQLFixed(nullptr, builder, data), -1);
    EXPECT_EQ(getSQLFixed(&form, data, data), -1);
}
