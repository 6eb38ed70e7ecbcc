#pragma once

#include <QSize>
#include <QWidget>

// Window positions and sizes are kept in twips: 15 to a pixel at 96 dpi. Qt scales pixels by
// itself for other resolutions, so these stay the same at every scaling.
constexpr int twips(int value)
{
    return (value + 7) / 15;
}

constexpr QSize twips(int width, int height)
{
    return {twips(width), twips(height)};
}

// The designed size is the least a control gets; a larger font makes it larger still. (A fixed
// minimum alone would let the layout squeeze the caption.)
inline void setDesignedSize(QWidget *control, QSize designed)
{
    control->setMinimumSize(designed.expandedTo(control->sizeHint()));
}
