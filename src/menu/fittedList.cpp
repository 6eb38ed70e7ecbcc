#include "fittedList.h"

#include <QAbstractItemModel>
#include <QStyle>

#include <algorithm>

FittedList::FittedList(int visibleRows, QSize designedSize, QWidget *parent)
    : QListWidget(parent)
    , m_visibleRows(visibleRows)
    , m_designedSize(designedSize)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The layout has to learn of entries added after it was built.
    connect(model(), &QAbstractItemModel::rowsInserted, this, [this] { updateGeometry(); });
    connect(model(), &QAbstractItemModel::rowsRemoved, this, [this] { updateGeometry(); });
}

QSize FittedList::sizeHint() const
{
    const int frame = 2 * frameWidth();
    const int rowHeight = count() > 0 ? sizeHintForRow(0) : fontMetrics().height();
    const int rows = std::max(1, m_visibleRows);
    int width = sizeHintForColumn(0) + frame;
    if (count() > rows)
        width += style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    return QSize(width, rows * rowHeight + frame).expandedTo(m_designedSize);
}
