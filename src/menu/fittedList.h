#pragma once

#include <QListWidget>

// A list box that asks for the room its entries need: every entry fully readable in width,
// and `visibleRows` rows in height, whatever the font and the scaling.
class FittedList : public QListWidget
{
    Q_OBJECT
public:
    explicit FittedList(int visibleRows, QWidget *parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

private:
    int m_visibleRows;
};
