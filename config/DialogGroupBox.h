// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A group box drawn as dialog templates lay it out: the frame's top edge runs through the middle
// of the title's first line, and the title interrupts it near the left, so the whole template
// rectangle belongs to the box. (QGroupBox puts its title above the frame and would push the
// frame into the controls that the template places just below the title.) The box only draws:
// it takes no focus and lets every click through to the controls inside it.

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
