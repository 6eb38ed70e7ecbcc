#pragma once

// Window positions and sizes are kept in twips: 15 to a pixel at 96 dpi. Qt scales pixels by
// itself for other resolutions, so these stay the same at every scaling.
constexpr int twips(int value)
{
    return (value + 7) / 15;
}
