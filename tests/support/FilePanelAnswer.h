#pragma once

// Types a name into a file panel's name field, as a user does. QFileDialog::selectFile
// leaves the field alone while it has the keyboard focus, which a shown panel may or may
// not have yet: a test that selected the file that way answered with the panel's own
// proposal now and then.

#include <QFileDialog>
#include <QLineEdit>
#include <QString>

inline bool typeIntoFilePanel(QFileDialog* panel, const QString& name)
{
    auto* field = panel ? panel->findChild<QLineEdit*>(QStringLiteral("fileNameEdit")) : nullptr;
    if (!field)
        return false;
    field->setText(name);
    return true;
}
