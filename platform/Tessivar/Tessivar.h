// libTessivar.so: the relation wizard of the layout designer. The format form
// loads it by name and calls its one export:
//
//   int GetSQLFixed(QWidget* Form, QObject* Builder, QObject* DataSet);
//
// Form is the format form, Builder its SQL builder, DataSet a client data set
// on the application server's provider "pvdTemp" through which the wizard
// reads the company's tables. Answers 0, or -1 when the arguments are no
// form, builder and data set.
//
// While the form's designer ("DreamDesigner1") is active, the call opens (or
// brings up) the wizard's tool window "frmTessivar" beside the form: the list
// "lvExtending" of the fields of the builder's related tables, to be dragged
// onto a band; the label tool "tbLabel"; the list "lvFields" of the layout's
// own fields by component name; and "tbAddTable", which opens the dialog
// "frmRelationWizard" where a related table is chosen, joined on columns of
// the report statement and its fields offered. Outside design mode the call
// checks the placed fields against the tables as the server has them now and
// leaves out of this run the fields whose column is gone, so the statement
// still opens.
//
// The library talks to the form, the builder and the data set only through
// Qt's meta-object system (invokable methods, properties, object names).
// It stays loaded once loaded: its windows outlive the call.
#pragma once

class QObject;
class QWidget;

extern "C" __attribute__((visibility("default"))) int GetSQLFixed(QWidget* Form, QObject* Builder, QObject* DataSet);
