// A small layout for the format base form's tests: one detail band with a
// number, a date and a title, its design shipped as a layout text over the
// base form's (layouts/TTestFmt.txt).
#pragma once

#include "format/VRBaseFmtF.h"
#include "format/engine/ClientDataSet.h"

#include <QApplication>

#include <memory>

namespace kelm24::test {

class TTestFmt : public TfrmVRBaseFmt {
    Q_OBJECT

public:
    explicit TTestFmt(QWidget* owner = nullptr) : TfrmVRBaseFmt(owner) {}
    static TVRFormatForm* CreateForm(QWidget* owner) { return TQVForm::Create<TTestFmt>(owner); }
    // A layout of a style on a server, as a designer's session opens it; the
    // stored layout is read once the creating event is over.
    static std::unique_ptr<TTestFmt> Open(const Variant& Server, const QString& Style, const QString& Company,
                                          const QString& User, const QString& ClientPath)
    {
        std::unique_ptr<TTestFmt> form(TQVForm::Create<TTestFmt>());
        form->LocalAppServer = Server;
        form->StyleName = Style;
        form->CompanyCode = Company;
        form->UserCode = User;
        form->MaxStyleNameLength = 40;
        form->ClientPath = ClientPath;
        QApplication::processEvents();
        return form;
    }

    Q_INVOKABLE void lblTitlePrint(QObject* Sender, QString& Value)
    {
        Q_UNUSED(Sender);
        Value = QStringLiteral("[") + Value + QStringLiteral("]");
        ++titlePrints;
    }
    // A handler of the wrong shape: layouts may not bind it to OnPrint.
    Q_INVOKABLE void WrongShape(QObject* Sender) { Q_UNUSED(Sender); }

    void OnAsteriskPrint(QObject* Sender, QString& Value) override
    {
        Q_UNUSED(Sender);
        Value = QString(Value.size(), QLatin1Char('*'));
    }

    int OpenReportData(const QString& SQL) override
    {
        try {
            ClientDataSet1->SetCommandText(SQL);
            ClientDataSet1->Open();
        } catch (const std::exception&) {
            return -1;
        }
        lastSQL = SQL;
        return ClientDataSet1->IsEmpty() ? 0 : 1;
    }

    int titlePrints = 0;
    QString lastSQL;
    // Pages of the last run of any test layout (the option form frees it).
    static inline int lastPages = -1;

protected:
    void ShowPreviewWindow() override { lastPages = GeneratedPages; }
};

// A layout class named as the receipt layouts are (frm ... Fmt_n), for the
// file names derived from the class name.
class TfrmProbeFmt_1 : public TTestFmt {
    Q_OBJECT

public:
    explicit TfrmProbeFmt_1(QWidget* owner = nullptr) : TTestFmt(owner) {}
};

}  // namespace kelm24::test
