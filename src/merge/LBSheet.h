#pragma once

// The merge layer's sheets: dialogs run window-modal on the document's window (on top of
// everything when there is none); the dialog's buttons carry on from there.

#include <QDialog>
#include <QWidget>

inline void LBBeginSheet(QDialog* sheet, QWidget* window)
{
    if (window) {
        sheet->setParent(window, sheet->windowFlags() | Qt::Dialog);
        sheet->setWindowModality(Qt::WindowModal);
    } else {
        sheet->setWindowModality(Qt::ApplicationModal);
    }
    sheet->open();
}
