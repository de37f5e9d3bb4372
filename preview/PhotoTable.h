// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The preview's list of photos in time order: name, capture time, offset, how it was placed, the
// time to the fix and the outcome; each row also one sentence for screen readers.

#include <QAbstractTableModel>
#include <QString>
#include <vector>

#include "run/RunInputs.h"
#include "run/RunPlan.h"

struct PhotoRow {
    size_t photo = 0;  // its place in the listing's order
    QString columns[6];
    QString sentence;  // "IMG_0042.jpg, 14:03:12, interpolated, 4 s from the track"
    int64_t utc = 0;   // for the order; photos without a time last
    bool placed = false;
};

// The row of a planned photo as `inputs` place it.
PhotoRow RowOf(size_t index, const PlannedPhoto& photo, const TaggingRunInputs& inputs);

class PhotoTableModel : public QAbstractTableModel {
public:
    using QAbstractTableModel::QAbstractTableModel;
    // Takes the rows, put in time order.
    void SetRows(std::vector<PhotoRow> rows);
    const PhotoRow& Row(int row) const { return m_Rows[static_cast<size_t>(row)]; }
    // The row of photo `photo`, or -1.
    int RowOfPhoto(size_t photo) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    std::vector<PhotoRow> m_Rows;
};
