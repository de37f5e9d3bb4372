// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A group box whose frame runs through the middle of its title, filling its template rectangle.
// It only draws: no focus, and clicks pass to the controls inside it.

#include <QString>
#include <QWidget>

class DialogGroupBox : public QWidget {
public:
    DialogGroupBox(const QString& title, QWidget* parent);

    const QString& title() const { return m_Title; }

    // Where the frame and the title are drawn, in the box's coordinates.
    QRect FrameRect() const;
    QRect TitleRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_Title;
};
