#include "app/GpxFileDialog.h"

#include <QFileDialog>

std::string ChooseGpxFileWithDialog() {
    return QFileDialog::getOpenFileName(nullptr, QString(), QString(), "GPX Files (*.gpx)")
        .toStdString();
}
