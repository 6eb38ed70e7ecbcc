#pragma once

#include <QListWidget>

// A list box that asks for the room its entries need: every entry fully readable in width,
// and `visibleRows` rows in height, whatever the font and the scaling; never less than its
// designed size.
class FittedList : public QListWidget
{
    Q_OBJECT
public:
    FittedList(int visibleRows, QSize designedSize, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    int m_visibleRows;
    QSize m_designedSize;
};
